#include "appearance/EmoticonSet.h"
#include "popup/PopupHost.h"
#include "popup/frmAlerte.h"
#include "store/AlertStore.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <array>
#include <filesystem>
#include <memory>

using namespace zento;
using namespace std::chrono;

namespace {

/// The main window as the popup sees it: a real store, the table loaded from it, and counters.
class TestHost final : public PopupHost {
public:
    explicit TestHost(std::filesystem::path ini) : m_store(std::move(ini)) { reloadQuietly(); }
    AlertStore& store() override { return m_store; }
    const AlertTable& table() const override { return m_table; }
    void LoadAllAlerts() override {
        ++loads;
        reloadQuietly();
    }
    void enableTimer() override { ++timerOn; }
    void snoozed(std::int32_t id, const std::string& date, const std::string& time) override {
        ++snoozes;
        if (const auto p = m_table.positionOf(id)) {
            m_table.at(*p).AlertDate = date;
            m_table.at(*p).AlertTime = time;
        }
    }
    void popupOpened(frmAlerte*) override { ++opened; }
    void popupClosed(frmAlerte*) override { ++closed; }
    QString waveFolder() const override { return QStringLiteral("/sons/"); }
    /// What another window of the program would do meanwhile.
    void reloadQuietly() { m_table = m_store.LoadAllAlerts(); }

    int loads = 0, timerOn = 0, snoozes = 0, opened = 0, closed = 0;

private:
    AlertStore m_store;
    AlertTable m_table;
};

/// Counts the popups already showing when the action is opened.
class OrderLauncher final : public ActionLauncher {
public:
    std::vector<std::string> opened;
    int popupsShowing = -1;
    void OpenAction(const std::string& target) override {
        opened.push_back(target);
        popupsShowing = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            popupsShowing += qobject_cast<frmAlerte*>(w) && w->isVisible();
    }
};

/// An alert from its ten fields, Info1..Info10.
Alerte alert(std::int32_t id, const std::array<const char*, Alerte::kFieldCount>& fields) {
    Alerte a;
    a.Id = id;
    for (int k = 1; k <= Alerte::kFieldCount; ++k)
        a.field(k) = fields[static_cast<std::size_t>(k - 1)];
    return a;
}

template <class W>
W* child(QWidget* w, const char* name) {
    return w->findChild<W*>(QLatin1String(name));
}

QColor windowColor(QWidget* w, QPalette::ColorRole role = QPalette::Window) {
    return w->palette().color(role);
}

} // namespace

class tst_AlertPopup : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<TestHost> m_host;
    std::unique_ptr<test::FakeServices> m_fake;

    std::filesystem::path ini() const { return *m_dir / "Alertes.ini"; }
    std::string file() const { return test::readFile(ini()); }
    std::string value(int id, int k) const {
        return m_host->store().ReadIniValue(Alerte::sectionOf(id), Alerte::keyOf(k), "?");
    }
    frmAlerte* show(std::int32_t position, bool testMode = false) {
        return ShowAlertPopup(*m_host, m_fake->services, position, testMode);
    }
    /// Closed popups delete themselves once the event loop runs its deferred deletions.
    static bool gone(const QPointer<frmAlerte>& p) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return p.isNull();
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        AlertStore s(ini());
        for (const Alerte& a : {
                 alert(1, {"Appeler le dentiste", "12/03/2026", "0", "0", "", "255", "0", "14:30", "0", ""}),
                 alert(2, {"Payer le loyer", "31/01/2026", "4", "9", "Defaut.wav", "16777215&", "8388608",
                           "09:00", "1", "https://example.org/loyer"}),
                 alert(3, {"Anniversaire de Marie", "29/02/2028", "8", "13", "", "255", "0", "", "0", ""}),
                 alert(4,
                       {"Fiche abimee", "01/01/2026", "tous", "vingt", "", "bleu", "&Hzz", "10:00", "0", ""}),
             })
            QVERIFY(s.WriteAlert(a).ok());
        m_host = std::make_unique<TestHost>(ini());
        m_fake = std::make_unique<test::FakeServices>();
        m_fake->clock.set(Date{year{2026}, March, day{12}}, hours{14} + minutes{37} + seconds{50});
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmAlerte*>(w))
                delete w;
    }

    void showsTheAlert_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("dateLine");
        QTest::addColumn<QColor>("background");
        QTest::addColumn<QColor>("text");
        QTest::addColumn<int>("emoticon");
        QTest::addColumn<bool>("periodic");
        QTest::newRow("one-off, 255 is red")
            << 1 << "12/03/2026 14:30" << QColor(Qt::red) << QColor(Qt::black) << 0 << false;
        QTest::newRow("monthly, 16777215& is white")
            << 2 << "31/01/2026 09:00" << QColor(Qt::white) << QColor(0, 0, 128) << 9 << true;
        QTest::newRow("all day: the date and one blank")
            << 3 << "29/02/2028 " << QColor(Qt::red) << QColor(Qt::black) << 13 << true;
    }
    void showsTheAlert() {
        QFETCH(int, position);
        QFETCH(QString, dateLine);
        QFETCH(QColor, background);
        QFETCH(QColor, text);
        QFETCH(int, emoticon);
        QFETCH(bool, periodic);
        const Alerte& a = m_host->table().at(position);
        frmAlerte* p = show(position);
        QVERIFY(p && p->isVisible());
        QCOMPARE(p->windowTitle(), QStringLiteral("Zento - Alerte"));
        QCOMPARE(child<QLabel>(p, "lblDateMess")->text(), dateLine);
        auto* message = child<QLabel>(p, "lblMessage");
        QCOMPARE(message->text(), QString::fromStdString(a.Message));
        QCOMPARE(windowColor(p), background);
        QCOMPARE(windowColor(message), background);
        QCOMPARE(windowColor(message, QPalette::WindowText), text);
        QCOMPARE(p->emoticonIndex(), emoticon);
        QVERIFY(!child<QPushButton>(p, "img")->icon().isNull());
        QCOMPARE(child<QPushButton>(p, "img")->toolTip(),
                 periodic ? QStringLiteral("Alerte périodique, cliquez pour valider la prochaine")
                          : QStringLiteral("Cliquez pour effacer l'alerte"));
        QCOMPARE(p->lblP(), periodic ? QString::fromStdString(a.Recurrence) : QString());
        QCOMPARE(p->lblD(), periodic ? QString::fromStdString(a.AlertDate) : QString());
        QCOMPARE(p->lblId(), QString::number(position));
        QCOMPARE(p->alertId(), a.Id);
        QVERIFY(child<QPushButton>(p, "cmdReport")->isEnabled());
        QVERIFY(!child<QPushButton>(p, "cmdModify")->isEnabled());
        QCOMPARE(child<QComboBox>(p, "cmbReport")->currentIndex(), -1);
        QCOMPARE(m_host->opened, 1);
    }

    void windowAndKeyboard() {
        std::string longText = "<b>pas du gras</b>";
        for (int i = 0; i < 30; ++i)
            longText += " une ligne de plus";
        QVERIFY(m_host->store().WriteIniValue("Alerte1", "Info1", longText).ok());
        m_host->reloadQuietly();
        frmAlerte* p = show(1);
        const Qt::WindowFlags f = p->windowFlags();
        QVERIFY(f.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(f & Qt::WindowType_Mask, Qt::Tool); // no taskbar button
        QVERIFY(
            !(f & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(p->minimumSize(), p->maximumSize());
        // The user's text is shown as it is, and scrolls rather than being cut off.
        QCOMPARE(child<QLabel>(p, "lblMessage")->text(), QString::fromStdString(longText));
        QTRY_VERIFY(child<QScrollArea>(p, "fraMessage")->verticalScrollBar()->maximum() > 0);

        QVERIFY(QTest::qWaitForWindowActive(p));
        // A stray key must not answer: the focus starts on the snooze list, Escape does nothing.
        QCOMPARE(QApplication::focusWidget(), child<QComboBox>(p, "cmbReport"));
        QTest::keyClick(p, Qt::Key_Escape);
        QVERIFY(p->isVisible());
        auto* img = child<QPushButton>(p, "img");
        QVERIFY(img->focusPolicy() & Qt::TabFocus);
        img->setFocus();
        QTest::keyClick(img, Qt::Key_Return);
        QVERIFY(!p->isVisible());
        QCOMPARE(value(1, 1), std::string("?"));
    }

    void acknowledge_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("oldLine");
        QTest::addColumn<QString>("newLine");
        QTest::newRow("one-off: the whole section goes") << 1 << ""
                                                         << "";
        QTest::newRow("monthly 31/01 to 28/02") << 2 << "Info2=31/01/2026"
                                                << "Info2=28/02/2026";
        QTest::newRow("yearly 29/02/2028 to 28/02/2029") << 3 << "Info2=29/02/2028"
                                                         << "Info2=28/02/2029";
    }
    void acknowledge() {
        QFETCH(int, position);
        QFETCH(QString, oldLine);
        QFETCH(QString, newLine);
        std::string expected = file();
        if (!oldLine.isEmpty()) {
            const auto at = expected.find(oldLine.toStdString());
            QCOMPARE(expected.find(oldLine.toStdString(), at + 1), std::string::npos);
            expected.replace(at, static_cast<std::size_t>(oldLine.size()), newLine.toStdString());
        }
        QPointer<frmAlerte> p = show(position);
        child<QPushButton>(p, "cmdClose")->click();
        if (oldLine.isEmpty()) {
            QCOMPARE(file().find("[Alerte1]"), std::string::npos);
            for (int k = 1; k <= Alerte::kFieldCount; ++k)
                QCOMPARE(value(1, k), std::string("?"));
        } else {
            QCOMPARE(file(), expected); // Info2 alone is rewritten
        }
        QCOMPARE(m_host->loads, 1);   // which switches the tick on
        QCOMPARE(m_host->timerOn, 0); // the close is an answer, not an abandon
        QVERIFY(gone(p));
        QCOMPARE(m_host->closed, 1);
    }

    void snooze_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("hour");
        QTest::addColumn<int>("minute");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("5 minutes") << 0 << 14 << 37 << "12/03/2026"
                                   << "14:42";
        QTest::newRow("no choice: now, seconds dropped") << -1 << 14 << 37 << "12/03/2026"
                                                         << "14:37";
        QTest::newRow("past midnight") << 3 << 23 << 50 << "13/03/2026"
                                       << "00:20";
    }
    void snooze() {
        QFETCH(int, choice);
        QFETCH(int, hour);
        QFETCH(int, minute);
        QFETCH(QString, date);
        QFETCH(QString, time);
        m_fake->clock.set(Date{year{2026}, March, day{12}}, hours{hour} + minutes{minute} + seconds{50});
        QPointer<frmAlerte> p = show(2);
        child<QComboBox>(p, "cmbReport")->setCurrentIndex(choice);
        child<QPushButton>(p, "cmdReport")->click();
        QCOMPARE(value(2, 2), date.toStdString());
        QCOMPARE(value(2, 8), time.toStdString());
        QCOMPARE(value(2, 3), std::string("4")); // still periodic
        QCOMPARE(m_host->table().at(2).AlertTime, time.toStdString());
        QCOMPARE(m_host->snoozes, 1);
        QCOMPARE(m_host->timerOn, 1);
        QCOMPARE(m_host->loads, 0);
        QVERIFY(gone(p));
    }

    void answersFollowTheIdNotThePosition() {
        QPointer<frmAlerte> snoozing = show(2);
        QPointer<frmAlerte> acknowledging = show(3);
        // The editor deletes the first alert: every position moves up by one.
        QVERIFY(m_host->store().DeleteAlertSection(1).ok());
        m_host->reloadQuietly();
        child<QComboBox>(snoozing, "cmbReport")->setCurrentIndex(1);
        snoozing->cmdReport_Click();
        QCOMPARE(value(2, 8), std::string("14:47"));
        QCOMPARE(m_host->table().at(1).AlertTime, std::string("14:47")); // Id 2, now at position 1
        QCOMPARE(value(3, 8), std::string(""));
        acknowledging->img_Click();
        QCOMPARE(value(3, 2), std::string("28/02/2029"));
        QCOMPARE(value(2, 2), std::string("12/03/2026"));
    }

    void answeringAnAlertDeletedMeanwhileChangesNothing() {
        QPointer<frmAlerte> snoozing = show(2);
        QPointer<frmAlerte> acknowledging = show(3);
        QVERIFY(m_host->store().DeleteAlertSection(2).ok() && m_host->store().DeleteAlertSection(3).ok());
        m_host->reloadQuietly();
        const std::string before = file();
        snoozing->cmdReport_Click();
        acknowledging->img_Click();
        QCOMPARE(file(), before); // no section holding only a date
        QCOMPARE(m_host->snoozes, 0);
        QCOMPARE(m_host->timerOn, 1);
        QCOMPARE(m_host->loads, 1);
        QVERIFY(gone(snoozing) && gone(acknowledging));
        QVERIFY(m_fake->dialogs.shown.empty());
    }

    void aFailingWriteIsToldAndThePopupStays_data() {
        QTest::addColumn<bool>("snooze");
        QTest::addColumn<int>("position");
        QTest::newRow("snooze") << true << 2;
        QTest::newRow("acknowledge one-off") << false << 1;
        QTest::newRow("acknowledge periodic") << false << 3;
    }
    void aFailingWriteIsToldAndThePopupStays() {
        QFETCH(bool, snooze);
        QFETCH(int, position);
        namespace fs = std::filesystem;
        const std::string before = file();
        fs::permissions(ini(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        QPointer<frmAlerte> p = show(position);
        const auto answer = [&] { snooze ? p->cmdReport_Click() : p->img_Click(); };
        answer();
        QCOMPARE(m_fake->dialogs.texts(),
                 QStringList{
                     QStringLiteral("Impossible d'enregistrer l'alerte : le fichier est en lecture seule")});
        QCOMPARE(m_fake->dialogs.shown.front().icon, UserDialogs::Icon::Warning);
        QCOMPARE(file(), before);
        QVERIFY(!gone(p) && p->isVisible());
        QCOMPARE(m_host->timerOn + m_host->loads + m_host->snoozes + m_host->closed, 0);
        // The user makes the file writable again and answers once more.
        fs::permissions(ini(), fs::perms::owner_write, fs::perm_options::add);
        answer();
        QVERIFY(file() != before);
        QVERIFY(gone(p));
    }

    void closingWithoutAnswerSwitchesTheTickOn() {
        const std::string before = file();
        QPointer<frmAlerte> normal = show(1);
        QPointer<frmAlerte> test = show(2, true);
        test->close();
        QCOMPARE(m_host->timerOn, 0); // a test popup never stopped it
        normal->close();
        QCOMPARE(m_host->timerOn, 1);
        QCOMPARE(m_host->closed, 2);
        QCOMPARE(file(), before);
        QVERIFY(gone(normal) && gone(test));
    }

    void aDamagedRecordStillPopsUp_data() {
        QTest::addColumn<bool>("testMode");
        QTest::newRow("due") << false;
        QTest::newRow("test") << true;
    }
    void aDamagedRecordStillPopsUp() {
        QFETCH(bool, testMode);
        frmAlerte* p = show(4, testMode);
        QVERIFY(p && p->isVisible());
        auto* message = child<QLabel>(p, "lblMessage");
        QCOMPARE(windowColor(p), QApplication::palette(p).color(QPalette::Window));
        QCOMPARE(windowColor(message, QPalette::WindowText),
                 QApplication::palette(message).color(QPalette::WindowText));
        QCOMPARE(p->emoticonIndex(), kDefaultEmoticon);
        QVERIFY(p->lblP().isEmpty()); // a recurrence that is no number counts as one-off
        QCOMPARE(message->text(), QStringLiteral("Fiche abimee"));
        QTest::ignoreMessage(QtWarningMsg, "Zento : pas d'alerte à la position 99");
        QVERIFY(!show(99));
    }

    void testPopupsChangeNothing() {
        const std::string before = file();
        for (int position : {1, 2}) {
            for (bool snooze : {false, true}) {
                QPointer<frmAlerte> p = show(position, true);
                QCOMPARE(p->windowTitle(), QStringLiteral("Zento - Alerte (mode Test)"));
                QCOMPARE(child<QPushButton>(p, "img")->toolTip(), QStringLiteral("Fermer"));
                QVERIFY(!child<QPushButton>(p, "cmdReport")->isEnabled());
                QVERIFY(p->lblId().isEmpty() && p->lblINI().isEmpty() && p->isTestMode());
                snooze ? p->cmdReport_Click() : p->img_Click();
                QVERIFY(gone(p));
            }
        }
        QCOMPARE(file(), before);
        QCOMPARE(m_host->loads, 2);
        QCOMPARE(m_host->snoozes + m_host->timerOn + m_host->opened, 0);
    }

    void theActionOpensOnceBeforeThePopupShows_data() { aDamagedRecordStillPopsUp_data(); }
    void theActionOpensOnceBeforeThePopupShows() {
        QFETCH(bool, testMode);
        OrderLauncher launcher;
        Services services{m_fake->clock, m_fake->random, m_fake->dialogs, m_fake->sound, launcher};
        frmAlerte* p = ShowAlertPopup(*m_host, services, 2, testMode);
        QCOMPARE(launcher.opened, std::vector<std::string>{"https://example.org/loyer"});
        QCOMPARE(launcher.popupsShowing, 0);
        QVERIFY(p->isVisible());
        ShowAlertPopup(*m_host, services, 1, false); // without an action
        QCOMPARE(launcher.opened.size(), std::size_t{1});
    }

    void editorTestPopup_data() {
        QTest::addColumn<bool>("hasTime");
        QTest::addColumn<bool>("withSound");
        QTest::addColumn<QString>("message");
        QTest::newRow("with time, silent") << true << false << "20/04/2026 08:15\n\nPrendre le train";
        QTest::newRow("all day, with sound") << false << true << "20/04/2026\nPrendre le train";
    }
    void editorTestPopup() {
        QFETCH(bool, hasTime);
        QFETCH(bool, withSound);
        QFETCH(QString, message);
        const std::string before = file();
        const EditorPreview v{QColor(255, 255, 192),
                              QColor(255, 128, 255),
                              "20/04/2026",
                              hasTime,
                              "08",
                              "15",
                              "Prendre le train",
                              12,
                              withSound,
                              "Carillon.wav",
                              true};
        QPointer<frmAlerte> p = ShowEditorTestPopup(*m_host, m_fake->services, v);
        QVERIFY(QTest::qWaitForWindowActive(p));
        QCOMPARE(child<QLabel>(p, "lblMessage")->text(), message);
        QVERIFY(child<QLabel>(p, "lblDateMess")->text().isEmpty());
        QCOMPARE(windowColor(p), v.background);
        QCOMPARE(windowColor(child<QLabel>(p, "lblMessage"), QPalette::WindowText), v.text);
        QCOMPARE(p->emoticonIndex(), 12);
        QCOMPARE(p->windowTitle(), QStringLiteral("Zento - Alerte (mode Test)"));
        QCOMPARE(child<QPushButton>(p, "img")->toolTip(), QStringLiteral("Fermer"));
        QVERIFY(!child<QPushButton>(p, "cmdReport")->isEnabled() &&
                !child<QComboBox>(p, "cmbReport")->isEnabled());
        QVERIFY(m_fake->launcher.opened.empty());
        QCOMPARE(m_fake->sound.plays.size(), std::size_t{withSound});
        if (withSound)
            QVERIFY(m_fake->sound.plays[0].path == "/sons/Carillon.wav" && m_fake->sound.plays[0].loop);
        p->img_Click();
        QVERIFY(gone(p));
        QCOMPARE(file(), before);
        QVERIFY(!m_fake->sound.playing);
    }

    void soundFollowsActivation() {
        auto& plays = m_fake->sound.plays;
        frmAlerte* looped = show(2); // Defaut.wav, in a loop
        QVERIFY(QTest::qWaitForWindowActive(looped));
        QCOMPARE(plays.size(), std::size_t{1});
        QVERIFY(plays[0].path == "/sons/Defaut.wav" && plays[0].loop);

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        looped->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(looped));
        QCOMPARE(plays.size(), std::size_t{2}); // from the beginning again

        frmAlerte* silent = show(3); // no sound: the path is the sound folder, which plays nothing
        QVERIFY(QTest::qWaitForWindowActive(silent));
        QVERIFY(plays.back().path == "/sons/" && !plays.back().loop);
        // Closing either popup silences the program.
        silent->close();
        QCOMPARE(m_fake->sound.stops, 1);
        looped->close();
        QCOMPARE(m_fake->sound.stops, 2);
    }
};

ZENTO_QTEST_MAIN(tst_AlertPopup)
#include "tst_AlertPopup.moc"
