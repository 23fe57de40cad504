#include "app/TrayShell.h"
#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "editor/frmMain.h"
#include "popup/frmAlerte.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QSystemTrayIcon>

#include <memory>

using namespace zento;
using namespace std::chrono;
using zento::test::FakeServices;
using zento::test::TempDir;
using zento::test::writeFile;

namespace {

const std::string kOneAlert =
    "[Alerte1]\r\nInfo1=demain\r\nInfo2=08/12/2026\r\nInfo3=0\r\nInfo4=5\r\nInfo5=\r\n"
    "Info6=0\r\nInfo7=16777215\r\nInfo8=\r\nInfo9=0\r\nInfo10=\r\n";

/// The program's session, window and shell as start-up builds them, on a private store.
struct Program {
    TempDir dir;
    AlertStore store{dir / "Alertes.ini"};
    FakeServices fakes;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<TrayShell> shell;
    QPointer<frmAlerte> popup;

    Program(bool withStore, bool trayAvailable) {
        if (withStore)
            writeFile(store.IniPath(), kOneAlert);
        fakes.clock.set(Date{year{2026}, month{12}, day{7}}, hours{10});
        session = std::make_unique<Session>(store, fakes.clock, fakes.random);
        window = std::make_unique<frmMain>(*session, fakes.services);
        QObject::connect(session.get(), &Session::alertDue, window.get(), [this](const Alerte& a) {
            popup = ShowAlertPopup(*session, fakes.services, a, false);
        });
        session->LoadAllAlerts();
        window->ListeAlertes();
        shell = std::make_unique<TrayShell>(*window, *session, fakes.services, trayAvailable);
        shell->start(store.exists());
    }
    ~Program() {
        delete popup;
        shell.reset();
        window.reset();
    }
    void click(const char* name) { window->findChild<QPushButton*>(QString::fromLatin1(name))->click(); }
    void trayMenu(const char* name) {
        shell->mnuMenu()->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
};

} // namespace

class tst_TrayShell final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    void startsHiddenWithAnIconUnlessThereIsNoStoreOrNoNotificationArea() {
        const struct {
            bool withStore, trayAvailable, shown;
        } cases[] = {{true, true, false}, {false, true, true}, {true, false, true}};
        for (const auto& c : cases) {
            Program p(c.withStore, c.trayAvailable);
            QCOMPARE(p.shell->hasTrayIcon(), c.trayAvailable);
            QVERIFY(!c.trayAvailable || p.shell->trayIcon()->toolTip() == QStringLiteral("Zento"));
            QCOMPARE(p.window->isVisible(), c.shown);
            QVERIFY(p.session->Timer1().isActive());
        }
    }

    void withoutANotificationAreaHidingMinimises() {
        Program p(true, false);
        p.click("cmdMasque_0");
        QVERIFY(p.window->isMinimized() && p.window->isVisible());
        p.window->showNormal();
        p.window->showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(p.window->isVisible());
        p.fakes.dialogs.answers = {false};
        p.click("cmdQuit_0");
        QVERIFY(p.window->isMinimized() && p.window->isVisible());
        // A second copy brings it back.
        p.shell->activateRequested();
        QVERIFY(!p.window->isMinimized());
    }

    void showingRefillsTheGridAndAbandonsTheEdit() {
        Program p(true, true);
        p.trayMenu("mnuAffiche");
        p.click("cmdNew");
        p.trayMenu("mnuMasquer");
        QVERIFY(!p.window->isVisible());
        writeFile(p.store.IniPath(), kOneAlert + "[Alerte2]\r\nInfo1=ajoutée\r\nInfo2=09/12/2026\r\n");
        p.session->LoadAllAlerts();
        p.trayMenu("mnuAffiche");
        QVERIFY(p.window->isVisible());
        QVERIFY(!p.window->editor()->isVisible());
        QVERIFY(p.window->findChild<QPushButton*>(QStringLiteral("cmdNew"))->isEnabled());
        QCOMPARE(p.window->grid()->gridModel().rowCount(), 2);
    }

    void hidingByButtonOrMinimisingKeepsTheTick() {
        Program p(true, true);
        p.shell->mnuAffiche_Click();
        p.click("cmdMasque_0");
        QVERIFY(!p.window->isVisible());
        QVERIFY(p.session->Timer1().isActive());
        p.shell->mnuAffiche_Click();
        p.window->showMinimized();
        QTRY_VERIFY(!p.window->isVisible());
        // A second copy leaves a hidden window hidden.
        p.shell->activateRequested();
        QVERIFY(!p.window->isVisible());
        p.shell->mnuAffiche_Click();
        QVERIFY(p.window->isVisible() && !p.window->isMinimized());
    }

    void quittingAsksFirst() {
        Program p(true, true);
        p.shell->mnuAffiche_Click();
        QSignalSpy quit(p.shell.get(), &TrayShell::quitNow);
        p.fakes.dialogs.answers = {false};
        p.click("cmdQuit_0");
        QCOMPARE(p.fakes.dialogs.texts(), QStringList{"Arreter Zento ?\n\nNon = mode veille\n\n"});
        QVERIFY(p.fakes.dialogs.shown.back().question);
        QCOMPARE(quit.count(), 0);
        QVERIFY(!p.window->isVisible());

        p.fakes.dialogs.answers = {true};
        p.fakes.sound.playing = true;
        p.trayMenu("mnuQuit");
        QCOMPARE(quit.count(), 1);
        QVERIFY(!p.fakes.sound.playing);
    }

    void theCloseBoxEndsUnlessAPopupIsOpen() {
        Program p(true, true);
        QSignalSpy quit(p.shell.get(), &TrayShell::quitNow);
        p.shell->mnuAffiche_Click();
        p.window->close();
        QCOMPARE(quit.count(), 1);

        Program q(true, true);
        QSignalSpy quit2(q.shell.get(), &TrayShell::quitNow);
        q.fakes.clock.set(Date{year{2026}, month{12}, day{8}}, hours{0});
        q.session->Timer1_Timer();
        QVERIFY(q.popup);
        q.shell->mnuAffiche_Click();
        q.window->close();
        QCOMPARE(quit2.count(), 0);
        QVERIFY(!q.window->isVisible());
        // Answering the popup brings the program back in standby, its tick running.
        q.popup->img_Click();
        QTRY_COMPARE(q.session->openPopupCount(), 0);
        QVERIFY(q.session->Timer1().isActive());
        QVERIFY(!q.window->isVisible());
    }
};

ZENTO_QTEST_MAIN(tst_TrayShell)
#include "tst_TrayShell.moc"
