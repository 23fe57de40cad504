#include "app/TrayShell.h"
#include "support/ProgramFixture.h"
#include "support/QtTestMain.h"

#include <QMenu>
#include <QSignalSpy>

#include <functional>

using namespace zento;
using namespace std::chrono;

namespace {

std::string alert(int id, const char* message, const char* time) {
    return test::section(id, std::string(message) + "|08/12/2026|0|5||16777215|0|" + time + "|0|");
}

/// What is open when the window is put away.
enum class Open { Nothing, Editor, AlertPopup, TestPopup };

/// The program as start-up wires it, its window left to the shell, with a notification area the
/// test makes come and go. Two alerts fall due on 8 December 2026, at 10:30 and 11:00.
struct Shelled : test::Program {
    bool tray;
    TrayShell shell;
    QSignalSpy quit{&shell, &TrayShell::quitNow};

    explicit Shelled(bool trayAtStart)
        : Program(alert(1, "réunion", "10:30") + alert(2, "train", "11:00"), false), tray(trayAtStart),
          shell(*main, *session, fakes.services, [this] { return tray; }) {
        shell.start(store.exists());
        session->Timer1().setInterval(5); // the 3-second tick, quickened
    }
    void at(unsigned d, int hour) { fakes.clock.set(Date{year{2026}, December, day{d}}, hours{hour}); }
    void menu(const char* name) { shell.mnuMenu()->findChild<QAction*>(QLatin1String(name))->trigger(); }
    void open(Open what) {
        if (what == Open::Editor || what == Open::TestPopup)
            click("cmdNew");
        if (what == Open::TestPopup)
            main->mnuTest_Click();
        if (what == Open::AlertPopup) { // the tick pops it up by itself, its minute come
            at(8, 10);
            fakes.clock.advance(minutes(30));
            QVERIFY(QTest::qWaitFor([this] { return !due.isEmpty(); }, 1000));
        }
    }
};

/// A way the user (or the desktop) puts the main window away (`away`) or closes other windows.
struct Way {
    const char* name;
    bool away;
    Open first;
    std::function<void(Shelled&)> act;
};

const Way kWays[] = {
    {"Masquer", true, Open::Nothing, [](Shelled& p) { p.click("cmdMasque_0"); }},
    {"the editor's Masquer", true, Open::Editor, [](Shelled& p) { p.click("cmdMasque_1"); }},
    {"minimise", true, Open::Nothing, [](Shelled& p) { p.main->showMinimized(); }},
    {"the close box under an alert's popup", true, Open::AlertPopup, [](Shelled& p) { p.main->close(); }},
    {"the close box under a test popup", true, Open::TestPopup, [](Shelled& p) { p.main->close(); }},
    {"an alert's popup closed", false, Open::AlertPopup, [](Shelled& p) { p.due.front()->close(); }},
};

} // namespace

class tst_TrayShell final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aLateNotificationAreaIsWatchedForCheaplyAndOneThatWentHidesNothing() {
        Shelled p(false);
        // The tick wakes the program every 3 s; the watch may not wake it more often.
        QVERIFY(p.shell.trayWatch().interval() >= 3000);
        for (int i = 0; i < 200; ++i) // ten minutes without one
            p.shell.checkTray();
        QVERIFY2(p.shell.trayWatch().isActive() && p.shell.trayWatch().interval() >= 10000,
                 "a desktop without one is asked rarely");
        p.tray = true; // a panel started
        p.shell.checkTray();
        QVERIFY(p.shell.hasTrayIcon() && !p.shell.trayWatch().isActive());

        p.tray = false; // and was closed
        p.click("cmdMasque_0");
        QCoreApplication::processEvents(); // the shell hears of the minimising
        QVERIFY(p.main->isVisible() && p.main->isMinimized());
    }

    void whateverPutsTheWindowAwayItComesBackAndTheTickGoesOn() {
        for (const bool tray : {false, true}) {
            for (const Way& way : kWays) {
                const QByteArray what = QByteArray(way.name) + (tray ? " (icon)" : " (no icon)");
                Shelled p(tray);
                p.shell.mnuAffiche_Click();
                p.open(way.first);
                if (QTest::currentTestFailed())
                    return;
                way.act(p);
                QTest::qWait(20); // closed windows go, a minimising is heard of
                QVERIFY2(p.main->isVisible() != (way.away && tray), what);
                QVERIFY2(tray || p.main->isMinimized() == way.away, what);
                QVERIFY2(p.quit.isEmpty(), what);
                // With the alerts' popups closed (a test popup may stay), the next alert pops up by itself.
                for (const auto& popup : p.due)
                    if (popup)
                        popup->close();
                const auto shown = p.due.size();
                p.at(9, 12);
                QVERIFY2(QTest::qWaitFor([&] { return p.due.size() > shown; }, 1000), what);
                // A second start brings the window forward, however it was put away.
                p.shell.activateRequested();
                QVERIFY2(p.main->isVisible() && !p.main->isMinimized(), what);
            }
        }
    }

    void showingRefillsTheGridAndAbandonsTheEdit() {
        Shelled p(true);
        p.menu("mnuAffiche");
        p.click("cmdNew");
        p.menu("mnuMasquer");
        test::writeFile(p.ini, test::readFile(p.ini) + alert(3, "ajout", "12:00"));
        p.session->LoadAllAlerts();
        p.menu("mnuAffiche");
        QVERIFY(p.main->isVisible() && !p.editor()->isVisible() && p.find("cmdNew")->isEnabled());
        QVERIFY(p.messages().contains(QStringLiteral("ajout")));
    }

    void theCloseBoxEndsWithoutAQuestionWhenNoPopupIsOpen() {
        Shelled p(true);
        QVERIFY2(!p.main->isVisible(), "a start with alerts and an icon shows the icon only");
        p.shell.mnuAffiche_Click();
        p.fakes.sound.playing = true;
        p.main->close();
        QVERIFY(p.fakes.dialogs.shown.empty() && !p.fakes.sound.playing);
        QCOMPARE(p.quit.count(), 1);
    }
};

ZENTO_QTEST_MAIN(tst_TrayShell)
#include "tst_TrayShell.moc"
