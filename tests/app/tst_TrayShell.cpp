#include "app/Translations.h"
#include "app/TrayShell.h"
#include "support/ProgramFixture.h"
#include "support/QtTestMain.h"

#include <QLocale>
#include <QMenu>
#include <QSignalSpy>

using namespace zento;

namespace {

std::string alert(int id, const char* message, const char* time) {
    return test::section(id, std::string(message) + "|08/12/2026|0|5||16777215|0|" + time + "|0|");
}

/// The program as start-up wires it, its window left to the shell, with a notification area the
/// test makes come and go.
struct Shelled : test::Program {
    bool tray;
    TrayShell shell;
    QSignalSpy quit{&shell, &TrayShell::quitNow};

    explicit Shelled(bool trayAtStart)
        : Program(alert(1, "réunion", "10:30"), false), tray(trayAtStart),
          shell(*main, *session, fakes.services, [this] { return tray; }) {
        shell.start(store.exists());
    }
    void menu(const char* name) { shell.mnuMenu()->findChild<QAction*>(QLatin1String(name))->trigger(); }
};

const std::pair<const char*, void (*)(Shelled&)> kWays[] = {
    {"Masquer", [](Shelled& p) { p.click("cmdMasque_0"); }},
    {"the editor's Masquer",
     [](Shelled& p) {
         p.click("cmdNew");
         p.click("cmdMasque_1");
     }},
    {"minimise", [](Shelled& p) { p.main->showMinimized(); }},
    {"the close box under an alert's popup",
     [](Shelled& p) {
         p.due << ShowAlertPopup(*p.session, p.fakes.services, p.session->table().at(1), false);
         p.main->close();
     }},
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
        QVERIFY(p.shell.trayWatch().isActive() && p.shell.trayWatch().interval() >= 10000);
        p.tray = true; // a panel started
        p.shell.checkTray();
        QVERIFY(p.shell.hasTrayIcon() && !p.shell.trayWatch().isActive());

        p.tray = false; // and was closed
        p.click("cmdMasque_0");
        QCoreApplication::processEvents(); // the shell hears of the minimising
        QVERIFY(p.main->isVisible() && p.main->isMinimized());
    }

    void whateverPutsTheWindowAwayItComesBack() {
        for (const bool tray : {false, true}) {
            for (const auto& [name, putAway] : kWays) {
                const QByteArray what = QByteArray(name) + (tray ? " (icon)" : " (no icon)");
                Shelled p(tray);
                p.shell.mnuAffiche_Click();
                putAway(p);
                QTest::qWait(20); // a minimising is heard of
                QVERIFY2(p.main->isVisible() != tray && (tray || p.main->isMinimized()), what);
                QVERIFY2(p.quit.isEmpty(), what);
                // A second start brings the window forward, however it was put away.
                p.shell.activateRequested();
                QVERIFY2(p.main->isVisible() && !p.main->isMinimized(), what);
            }
        }
    }

    void showingRefillsTheGridAndAbandonsTheEditAndTheCloseBoxEndsWithoutAQuestion() {
        Shelled p(true);
        QVERIFY2(!p.main->isVisible(), "a start with alerts and an icon shows the icon only");
        p.menu("mnuAffiche");
        p.click("cmdNew");
        p.menu("mnuMasquer");
        test::writeFile(p.ini, test::readFile(p.ini) + alert(3, "ajout", "12:00"));
        p.session->LoadAllAlerts();
        p.menu("mnuAffiche");
        QVERIFY(p.main->isVisible() && !p.editor()->isVisible() && p.find("cmdNew")->isEnabled());
        QVERIFY(p.messages().contains(QStringLiteral("ajout")));
        p.fakes.sound.playing = true;
        p.main->close();
        QVERIFY(p.fakes.dialogs.shown.empty() && !p.fakes.sound.playing);
        QCOMPARE(p.quit.count(), 1);
    }

    void qtsOwnButtonsSpeakFrench() {
        // The machine's locale is C here: the French texts must come from Qt's translation.
        QVERIFY(installFrenchTranslations(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&Non"));
        QCOMPARE(QLocale().language(), QLocale::French);
    }
};

ZENTO_QTEST_MAIN(tst_TrayShell)
#include "tst_TrayShell.moc"
