#include "app/TrayShell.h"
#include "editor/AlarmGrid.h"
#include "editor/frmMain.h"
#include "popup/frmAlerte.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QPushButton>

#include <functional>
#include <memory>

using namespace zento;
using namespace std::chrono;
using zento::test::TempDir;

namespace {

std::string section(int id, const char* message, const char* time) {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message +
           "\r\nInfo2=08/12/2026\r\nInfo3=0\r\nInfo4=5\r\nInfo5=\r\nInfo6=16777215\r\nInfo7=0\r\nInfo8=" +
           time + "\r\nInfo9=0\r\nInfo10=\r\n";
}

/// The program as start-up wires it: a session, the main window, the shell with a notification
/// area the test makes come and go, popups shown when the (fast) tick finds an alert due.
/// Two alerts on 8 December 2026, at 10:30 and 11:00; the clock on 7 December.
struct Program {
    TempDir dir;
    AlertStore store{dir / "Alertes.ini"};
    test::FakeServices fakes;
    bool tray;
    std::unique_ptr<Session> session;
    std::unique_ptr<frmMain> window;
    std::unique_ptr<TrayShell> shell;

    explicit Program(bool trayAtStart) : tray(trayAtStart) {
        test::writeFile(store.IniPath(), section(1, "réunion", "10:30") + section(2, "train", "11:00"));
        at(7, 10);
        session = std::make_unique<Session>(store, fakes.clock, fakes.random);
        window = std::make_unique<frmMain>(*session, fakes.services);
        QObject::connect(session.get(), &Session::alertDue, window.get(),
                         [this](const Alerte& a) { ShowAlertPopup(*session, fakes.services, a, false); });
        session->LoadAllAlerts();
        window->ListeAlertes();
        shell = std::make_unique<TrayShell>(*window, *session, fakes.services, [this] { return tray; });
        shell->start(true);
        session->Timer1().setInterval(5); // the 3-second tick, quickened
    }
    ~Program() {
        for (frmAlerte* p : popups(false))
            delete p;
        shell.reset();
        window.reset();
        session.reset();
    }
    void at(unsigned day, int hour) {
        fakes.clock.set(Date{year{2026}, December, std::chrono::day{day}}, hours{hour});
    }
    void click(const char* name) { window->findChild<QPushButton*>(QString::fromLatin1(name))->click(); }
    /// The popups showing; of alerts only, or test popups as well.
    static QList<frmAlerte*> popups(bool alertsOnly = true) {
        QList<frmAlerte*> out;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<frmAlerte*>(w); p && p->isVisible() && (!alertsOnly || p->alertId()))
                out << p;
        return out;
    }
    /// Lets the tick pop the first alert up by itself (the clock moved to its minute).
    frmAlerte* popUpFirstAlert() {
        at(8, 10);
        fakes.clock.advance(minutes(30));
        if (!QTest::qWaitFor([] { return !popups().isEmpty(); }, 1000))
            return nullptr;
        return popups().front();
    }
    frmAlerte* testPopup() {
        window->grid()->selectRow(0);
        click("cmdTest");
        return popups(false).back();
    }
};

/// A way the user (or the desktop) puts the main window away or closes windows.
struct Way {
    const char* name;
    std::function<void(Program&)> act;
};

const std::vector<Way>& waysAway() {
    static const std::vector<Way> ways = {{"Masquer", [](Program& p) { p.click("cmdMasque_0"); }},
                                          {"the editor's Masquer",
                                           [](Program& p) {
                                               p.click("cmdNew");
                                               p.click("cmdMasque_1");
                                           }},
                                          {"Quitter answered Non",
                                           [](Program& p) {
                                               p.fakes.dialogs.answers = {false};
                                               p.click("cmdQuit_0");
                                           }},
                                          {"minimise", [](Program& p) { p.window->showMinimized(); }},
                                          {"the close box under an alert's popup",
                                           [](Program& p) {
                                               QVERIFY(p.popUpFirstAlert());
                                               p.window->close();
                                           }},
                                          {"the close box under a test popup", [](Program& p) {
                                               p.testPopup();
                                               p.window->close();
                                           }}};
    return ways;
}

} // namespace

class tst_ShellReliability final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aNotificationAreaThatComesLaterGetsTheIcon() {
        Program p(false);
        QVERIFY(!p.shell->hasTrayIcon());
        QVERIFY(p.window->isVisible());
        QVERIFY(p.shell->trayWatch().isActive());
        p.window->showMinimized();
        p.shell->checkTray();
        QVERIFY(!p.shell->hasTrayIcon());

        p.tray = true; // the panel started
        p.shell->checkTray();
        QVERIFY(p.shell->hasTrayIcon());
        QVERIFY2(!p.shell->trayWatch().isActive(), "the watch costs nothing once the icon is there");
        QVERIFY2(p.window->isVisible() && p.window->isMinimized(), "the window stays as it was");
        p.shell->activateRequested();
        p.click("cmdMasque_0");
        QVERIFY2(!p.window->isVisible(), "from now on the window hides into the notification area");

        Program withTray(true);
        QVERIFY(withTray.shell->hasTrayIcon());
        QVERIFY(!withTray.shell->trayWatch().isActive());
    }

    void theTrayWatchStaysWithinTheIdleBudget() {
        // The tick wakes the program every 3 s; the whole program may wake once a second.
        Program p(false);
        QVERIFY(p.shell->trayWatch().interval() >= 3000);
        for (int i = 0; i < 200; ++i) // 10 minutes without a notification area
            p.shell->checkTray();
        QVERIFY2(p.shell->trayWatch().interval() >= 10000, "a desktop without one is asked rarely");
        QVERIFY(p.shell->trayWatch().isActive());
        p.tray = true;
        p.shell->checkTray();
        QVERIFY(p.shell->hasTrayIcon());
    }

    void theWindowIsHiddenOnlyWhereTheIconCanBringItBack() {
        for (const bool tray : {false, true}) {
            for (const Way& way : waysAway()) {
                const QByteArray what = QByteArray(way.name) + (tray ? " (icon)" : " (no icon)");
                Program p(tray);
                p.shell->mnuAffiche_Click();
                way.act(p);
                QCoreApplication::processEvents(); // the shell hears of a minimising later
                QVERIFY2(p.window->isVisible() != tray, what);
                // A second start brings it forward, however it was put away.
                p.shell->activateRequested();
                QVERIFY2(p.window->isVisible() && !p.window->isMinimized(), what);
            }
        }
    }

    void aNotificationAreaThatWentAwayHidesNothing() {
        Program p(true);
        p.shell->mnuAffiche_Click();
        p.tray = false; // the panel was closed
        p.click("cmdMasque_0");
        QVERIFY(p.window->isVisible() && p.window->isMinimized());
        p.window->showNormal();
        p.window->showMinimized();
        QCoreApplication::processEvents();
        QVERIFY(p.window->isVisible());
    }

    void theTickComesBackWhateverClosesTheWindows() {
        const std::vector<Way> closing = {
            {"an alert's popup closed by the window manager",
             [](Program& p) {
                 QVERIFY(p.popUpFirstAlert());
                 p.popups().front()->close();
             }},
            {"an alert's popup answered",
             [](Program& p) {
                 QVERIFY(p.popUpFirstAlert());
                 p.popups().front()->cmdClose_Click();
             }},
            {"an alert's popup snoozed",
             [](Program& p) {
                 QVERIFY(p.popUpFirstAlert());
                 p.popups().front()->cmdReport_Click();
             }},
            {"the close box under a test popup, then its own close box",
             [](Program& p) {
                 frmAlerte* test = p.testPopup();
                 p.window->close();
                 test->close();
             }},
            {"the close box under an alert's popup, then the popup closed",
             [](Program& p) {
                 QVERIFY(p.popUpFirstAlert());
                 p.window->close();
                 p.popups().front()->close();
             }},
            {"the editor's test popup closed",
             [](Program& p) {
                 p.click("cmdNew");
                 p.window->mnuTest_Click();
                 p.popups(false).back()->close();
             }},
        };
        std::vector<Way> ways = closing;
        ways.insert(ways.end(), waysAway().begin(), waysAway().end());
        for (const bool tray : {false, true}) {
            for (const Way& way : ways) {
                const QByteArray what = QByteArray(way.name) + (tray ? " (icon)" : " (no icon)");
                Program p(tray);
                p.shell->mnuAffiche_Click();
                way.act(p);
                QTest::qWait(20); // closed windows go, a minimising is heard of
                // Whatever happened, an alert falling due now pops up by itself.
                for (frmAlerte* popup : Program::popups())
                    popup->cmdClose_Click();
                p.at(9, 12);
                QVERIFY2(QTest::qWaitFor([] { return !Program::popups().isEmpty(); }, 1000), what);
            }
        }
    }
};

ZENTO_QTEST_MAIN(tst_ShellReliability)
#include "tst_ShellReliability.moc"
