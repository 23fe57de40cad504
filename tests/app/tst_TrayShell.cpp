#include "app/TrayShell.h"
#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "editor/frmMain.h"
#include "popup/frmAlerte.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QMenu>
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

/// The program's window and shell as start-up builds them, on a private store.
struct Program {
    TempDir dir;
    AlertStore store{dir / "Alertes.ini"};
    FakeServices fakes;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<TrayShell> shell;

    Program(bool withStore, bool trayAvailable) {
        if (withStore)
            writeFile(store.IniPath(), kOneAlert);
        fakes.clock.set(Date{year{2026}, month{12}, day{7}}, hours{10});
        window = std::make_unique<frmMain>(store, fakes.services, "");
        window->LoadAllAlerts();
        window->ListeAlertes();
        shell = std::make_unique<TrayShell>(*window, fakes.services, trayAvailable);
        shell->start(store.exists());
    }
    ~Program() {
        shell.reset();
        window.reset();
    }
    void click(const char* name) { window->findChild<QPushButton*>(QString::fromLatin1(name))->click(); }
};

} // namespace

class tst_TrayShell final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    void startUpShowsTheWindowOnlyOnTheFirstUse() {
        Program normal(true, true);
        QVERIFY(normal.shell->hasTrayIcon());
        QVERIFY(!normal.window->isVisible());
        QVERIFY(normal.window->Timer1().isActive());

        Program first(false, true);
        QVERIFY(first.shell->hasTrayIcon());
        QVERIFY(first.window->isVisible());
    }

    void withoutANotificationAreaTheWindowStaysReachable() {
        Program p(true, false);
        QVERIFY(!p.shell->hasTrayIcon());
        QVERIFY(p.window->isVisible());
        p.click("cmdMasque_0");
        QVERIFY(p.window->isMinimized());
        QVERIFY(p.window->isVisible());
        p.window->showNormal();
        p.window->showMinimized();
        QVERIFY(p.window->isVisible());
        p.fakes.dialogs.answers = {false};
        p.click("cmdQuit_0");
        QVERIFY(p.window->isMinimized());
        QVERIFY(p.window->isVisible());
    }

    void showingRefillsTheGridAndAbandonsTheEdit() {
        Program p(true, true);
        p.shell->mnuAffiche_Click();
        QVERIFY(p.window->isVisible());
        p.click("cmdNew");
        QVERIFY(p.window->editor()->isVisible());
        p.shell->mnuMasquer_Click();
        QVERIFY(!p.window->isVisible());
        writeFile(p.store.IniPath(), kOneAlert + "[Alerte2]\r\nInfo1=ajoutée\r\nInfo2=09/12/2026\r\n");
        p.window->LoadAllAlerts();
        p.shell->mnuAffiche_Click();
        QVERIFY(!p.window->editor()->isVisible());
        QVERIFY(p.window->findChild<QPushButton*>(QStringLiteral("cmdNew"))->isEnabled());
        QCOMPARE(p.window->grid()->gridModel().rowCount(), 2);
    }

    void hidingByButtonMenuAndMinimising() {
        Program p(true, true);
        p.shell->mnuAffiche_Click();
        p.click("cmdMasque_0");
        QVERIFY(!p.window->isVisible());
        QVERIFY(p.window->Timer1().isActive());
        p.shell->mnuAffiche_Click();
        p.window->showMinimized();
        QTRY_VERIFY(!p.window->isVisible());
        p.shell->mnuAffiche_Click();
        QVERIFY(p.window->isVisible());
        QVERIFY(!p.window->isMinimized());
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
        p.shell->mnuQuit_Click();
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
        q.window->Timer1_Timer();
        QCOMPARE(q.window->openPopupCount(), 1);
        q.shell->mnuAffiche_Click();
        q.window->close();
        QCOMPARE(quit2.count(), 0);
        QVERIFY(!q.window->isVisible());
        QVERIFY(!q.window->Timer1().isActive());
        // Answering the popup brings the program back in standby, its timer running.
        q.window->openPopups().front()->img_Click();
        QTRY_COMPARE(q.window->openPopupCount(), 0);
        QVERIFY(q.window->Timer1().isActive());
        QVERIFY(!q.window->isVisible());
    }

    void aSecondCopyBringsAShownWindowForwardButLeavesAHiddenOneHidden() {
        Program p(true, true);
        p.shell->activateRequested();
        QVERIFY(!p.window->isVisible());
        p.shell->mnuAffiche_Click();
        p.window->showMinimized();
        QTRY_VERIFY(!p.window->isVisible()); // minimising hid it into the notification area
        p.shell->activateRequested();
        QVERIFY(!p.window->isVisible());

        Program n(true, false);
        n.window->showMinimized();
        QVERIFY(n.window->isMinimized());
        n.shell->activateRequested();
        QVERIFY(!n.window->isMinimized());
        QVERIFY(n.window->isVisible());
    }

    void theIconCarriesTheTipAndTheMenu() {
        Program p(true, true);
        QCOMPARE(p.shell->trayIcon()->toolTip(), QStringLiteral("Zento"));
        QStringList entries;
        for (QAction* a : p.shell->mnuMenu()->actions())
            entries << a->text();
        QCOMPARE(entries, (QStringList{"Gérer les alertes", "Masquer", "Quitter"}));
    }
};

ZENTO_QTEST_MAIN(tst_TrayShell)
#include "tst_TrayShell.moc"
