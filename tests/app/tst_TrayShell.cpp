#include "app/TrayShell.h"
#include "support/ProgramFixture.h"
#include "support/QtTestMain.h"

#include <QMenu>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QSystemTrayIcon>

using namespace zento;
using namespace std::chrono;

namespace {

const std::string kOneAlert =
    "[Alerte1]\r\nInfo1=demain\r\nInfo2=08/12/2026\r\nInfo3=0\r\nInfo4=5\r\nInfo5=\r\n"
    "Info6=0\r\nInfo7=16777215\r\nInfo8=\r\nInfo9=0\r\nInfo10=\r\n";

/// The program as start-up builds it: its window left to the notification area shell.
struct Shelled : test::Program {
    TrayShell shell;
    QSignalSpy quit{&shell, &TrayShell::quitNow};

    Shelled(bool withStore, bool trayAvailable)
        : Program(withStore ? kOneAlert : std::string(), false),
          shell(*main, *session, fakes.services, [trayAvailable] { return trayAvailable; }) {
        shell.start(store.exists());
    }
    void trayMenu(const char* name) { shell.mnuMenu()->findChild<QAction*>(QLatin1String(name))->trigger(); }
};

} // namespace

class tst_TrayShell final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    void startsHiddenWithAnIconUnlessThereIsNoStoreOrNoNotificationArea() {
        for (const auto& [withStore, trayAvailable, shown] :
             {std::tuple{true, true, false}, std::tuple{false, true, true}, std::tuple{true, false, true}}) {
            Shelled p(withStore, trayAvailable);
            QCOMPARE(p.shell.hasTrayIcon(), trayAvailable);
            QVERIFY(!trayAvailable || p.shell.trayIcon()->toolTip() == QStringLiteral("Zento"));
            QCOMPARE(p.main->isVisible(), shown);
            QVERIFY(p.session->Timer1().isActive());
        }
    }

    void hidingHidesIntoTheIconOrMinimisesWithoutOne() {
        Shelled p(true, true);
        p.trayMenu("mnuAffiche");
        p.click("cmdMasque_0");
        QVERIFY(!p.main->isVisible() && p.session->Timer1().isActive());
        p.shell.mnuAffiche_Click();
        p.main->showMinimized();
        QTRY_VERIFY(!p.main->isVisible());
        p.shell.activateRequested(); // a second copy brings even a hidden window forward
        QVERIFY(p.main->isVisible() && !p.main->isMinimized());

        Shelled n(true, false);
        n.click("cmdMasque_0");
        QVERIFY(n.main->isMinimized() && n.main->isVisible());
        n.main->showNormal();
        n.main->showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(n.main->isVisible());
        n.click("cmdQuit_0"); // and No
        QVERIFY(n.main->isMinimized() && n.main->isVisible());
        n.shell.activateRequested(); // a second copy brings it back
        QVERIFY(!n.main->isMinimized());
    }

    void showingRefillsTheGridAndAbandonsTheEdit() {
        Shelled p(true, true);
        p.trayMenu("mnuAffiche");
        p.click("cmdNew");
        p.trayMenu("mnuMasquer");
        test::writeFile(p.ini, kOneAlert + "[Alerte2]\r\nInfo1=ajoutée\r\nInfo2=09/12/2026\r\n");
        p.session->LoadAllAlerts();
        p.trayMenu("mnuAffiche");
        QVERIFY(p.main->isVisible() && !p.editor()->isVisible() && p.find("cmdNew")->isEnabled());
        QCOMPARE(p.messages(), (QStringList{"demain", "ajoutée"}));
    }

    void quittingAsksFirst() {
        Shelled p(true, true);
        p.shell.mnuAffiche_Click();
        p.click("cmdQuit_0");
        QCOMPARE(p.shown(), QStringList{"Arreter Zento ?\n\nNon = mode veille\n\n"});
        QVERIFY(p.fakes.dialogs.shown.back().question);
        QVERIFY(p.quit.isEmpty() && !p.main->isVisible());
        p.fakes.dialogs.answers = {true};
        p.fakes.sound.playing = true;
        p.trayMenu("mnuQuit");
        QCOMPARE(p.quit.count(), 1);
        QVERIFY(!p.fakes.sound.playing);
    }

    void theCloseBoxEndsUnlessAPopupIsOpen() {
        Shelled p(true, true);
        p.shell.mnuAffiche_Click();
        p.main->close();
        QCOMPARE(p.quit.count(), 1);

        Shelled q(true, true);
        q.fakes.clock.set(Date{year{2026}, month{12}, day{8}}, hours{0});
        q.session->Timer1_Timer();
        QCOMPARE(q.session->openPopupCount(), 1);
        q.shell.mnuAffiche_Click();
        q.main->close();
        QVERIFY(q.quit.isEmpty() && !q.main->isVisible());
        // Answering the popup brings the program back in standby, its tick running.
        q.due.value(0)->img_Click();
        QTRY_COMPARE(q.session->openPopupCount(), 0);
        QVERIFY(q.session->Timer1().isActive() && !q.main->isVisible());
    }
};

ZENTO_QTEST_MAIN(tst_TrayShell)
#include "tst_TrayShell.moc"
