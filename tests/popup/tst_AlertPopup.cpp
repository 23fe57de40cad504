#include "appearance/EmoticonSet.h"
#include "media/SoundFolder.h"
#include "popup/frmAlerte.h"
#include "session/Session.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"
#include "support/WindowChecks.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

#include <filesystem>
#include <memory>

using namespace zento;
using namespace std::chrono;

namespace {

const std::string kStore =
    "[Alerte9]\r\nInfo1=en tête\r\nInfo2=01/01/2030\r\nInfo3=0\r\n"
    "[Alerte1]\r\nInfo1=Appeler le dentiste\r\nInfo2=12/03/2026\r\nInfo3=0\r\nInfo4=0\r\nInfo5=\r\n"
    "Info6=255\r\nInfo7=0\r\nInfo8=14:30\r\nInfo9=0\r\nInfo10=\r\n"
    "[Alerte2]\r\nInfo1=Payer le loyer\r\nInfo2=31/01/2026\r\nInfo3=4\r\nInfo4=9\r\nInfo5=Defaut.wav\r\n"
    "Info6=16777215&\r\nInfo7=8388608\r\nInfo8=09:00\r\nInfo9=1\r\nInfo10=https://example.org/loyer\r\n"
    "[Alerte3]\r\nInfo1=Anniversaire de Marie\r\nInfo2=29/02/2028\r\nInfo3=8\r\nInfo4=13\r\nInfo5=\r\n"
    "Info6=255\r\nInfo7=0\r\nInfo8=\r\nInfo9=0\r\nInfo10=\r\n"
    "[Alerte4]\r\nInfo1=Fiche abimee\r\nInfo2=01/01/2026\r\nInfo3=tous\r\nInfo4=vingt\r\nInfo5=\r\n"
    "Info6=bleu\r\nInfo7=&Hzz\r\nInfo8=10:00\r\nInfo9=0\r\nInfo10=\r\n";

template <class W = QPushButton>
W* child(QWidget* w, const char* name) {
    return w->findChild<W*>(QLatin1String(name));
}

/// Closed popups delete themselves once the event loop runs its deferred deletions.
bool gone(const QPointer<frmAlerte>& p) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return p.isNull();
}

} // namespace

class tst_AlertPopup : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<AlertStore> m_store;
    std::unique_ptr<test::FakeServices> m_fake;
    std::unique_ptr<Session> m_session;

    std::string file() const { return test::readFile(m_store->IniPath()); }
    const Alerte* stored(int id) const {
        const auto p = m_session->table().positionOf(id);
        return p ? &m_session->table().at(*p) : nullptr;
    }
    frmAlerte* show(int id, bool testMode = false) {
        return ShowAlertPopup(*m_session, m_fake->services, *stored(id), testMode);
    }

private Q_SLOTS:
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        test::writeFile(*m_dir / "Alertes.ini", kStore);
        m_store = std::make_unique<AlertStore>(*m_dir / "Alertes.ini");
        m_fake = std::make_unique<test::FakeServices>();
        m_fake->clock.set(Date{year{2026}, March, day{12}}, hours{14} + minutes{37} + seconds{50});
        m_session = std::make_unique<Session>(*m_store, m_fake->clock, m_fake->random);
        m_session->LoadAllAlerts();
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<frmAlerte*>(w))
                delete w;
        m_session.reset();
    }

    void showsTheAlertAndKeepsWhatItsAnswersNeed() {
        const QColor normal; // the window's own colours: the record's do not convert
        const struct {
            int id;
            const char* dateLine;
            QColor back, text;
            int emoticon, recurrence;
            bool loop;
        } cases[] = {
            {1, "12/03/2026 14:30", Qt::red, Qt::black, 0, 0, false},            // 255 is red
            {2, "31/01/2026 09:00", Qt::white, QColor(0, 0, 128), 9, 4, true},   // 16777215& is white
            {3, "29/02/2028 ", Qt::red, Qt::black, 13, 8, false},                // all day
            {4, "01/01/2026 10:00", normal, normal, kDefaultEmoticon, 0, false}, // damaged
        };
        for (const auto& c : cases) {
            const Alerte a = *stored(c.id);
            QPointer<frmAlerte> p = show(c.id);
            QVERIFY(p->isVisible());
            QVERIFY2(!m_session->Timer1().isActive(), "the tick waits for the answer");
            QCOMPARE(child<QLabel>(p, "lblDateMess")->text(), QString::fromLatin1(c.dateLine));
            auto* message = child<QLabel>(p, "lblMessage");
            QCOMPARE(message->text(), QString::fromStdString(a.Message));
            const QPalette own = QApplication::palette(message);
            QCOMPARE(p->palette().color(QPalette::Window),
                     c.back.isValid() ? c.back : own.color(QPalette::Window));
            QCOMPARE(message->palette().color(QPalette::WindowText),
                     c.text.isValid() ? c.text : own.color(QPalette::WindowText));
            QCOMPARE(p->emoticonIndex(), c.emoticon);
            QCOMPARE(child(p, "img")->toolTip(),
                     c.recurrence ? QStringLiteral("Alerte périodique, cliquez pour valider la prochaine")
                                  : QStringLiteral("Cliquez pour effacer l'alerte"));
            const DueAlert& due = p->alert();
            QVERIFY(due.id == c.id && due.recurrence == c.recurrence && due.loop == c.loop);
            QVERIFY(due.date == ParseDate(a.AlertDate));
            QCOMPARE(QString::fromStdString(due.soundPath),
                     a.Sound.empty() ? QString() : soundFolder() + QString::fromStdString(a.Sound));
            QVERIFY(!child(p, "cmdModify")->isEnabled());
            QCOMPARE(child<QComboBox>(p, "cmbReport")->currentIndex(), -1);
            const QStringList faults = test::windowFaults(p);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
            delete p;
        }
    }

    void waitsForAnAnswerThatNoStrayKeyGives() {
        Alerte a = *stored(1);
        a.Message = "<b>pas du gras</b>";
        for (int i = 0; i < 30; ++i)
            a.Message += " une ligne de plus";
        frmAlerte* p = ShowAlertPopup(*m_session, m_fake->services, a, false);
        const Qt::WindowFlags f = p->windowFlags();
        QVERIFY(f.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(f & Qt::WindowType_Mask, Qt::Tool); // no taskbar button
        QVERIFY(
            !(f & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(p->minimumSize(), p->maximumSize());
        // The user's text is shown as it is, and scrolls rather than being cut off.
        QCOMPARE(child<QLabel>(p, "lblMessage")->text(), QString::fromStdString(a.Message));
        QTRY_VERIFY(child<QScrollArea>(p, "fraMessage")->verticalScrollBar()->maximum() > 0);
        // The focus starts on the snooze list; Escape does nothing; Enter on the emoticon answers.
        QVERIFY(QTest::qWaitForWindowActive(p));
        QCOMPARE(QApplication::focusWidget(), child<QComboBox>(p, "cmbReport"));
        QTest::keyClick(p, Qt::Key_Escape);
        QVERIFY(p->isVisible());
        child(p, "img")->setFocus();
        QTest::keyClick(child(p, "img"), Qt::Key_Return);
        QVERIFY(!p->isVisible() && !stored(1));
    }

    void answersChangeTheAlertOfThePopupAndCloseIt() {
        constexpr int acknowledge = -2; // else the snooze list's index
        const struct {
            const char* name;
            int id, answer;
            bool removedMeanwhile;
            const char* dateAndTime; ///< null: the alert is gone
        } cases[] = {
            {"acknowledge one-off: gone", 1, acknowledge, false, nullptr},
            {"acknowledge monthly: next month", 2, acknowledge, false, "28/02/2026 09:00"},
            {"snooze 10 minutes", 2, 1, false, "12/03/2026 14:47"},
            {"snooze without a choice: now", 2, -1, false, "12/03/2026 14:37"},
            {"acknowledge, removed meanwhile", 3, acknowledge, true, nullptr},
            {"snooze, removed meanwhile", 3, 0, true, nullptr},
        };
        for (const auto& c : cases) {
            cleanup();
            init();
            QPointer<frmAlerte> p = show(c.id);
            // The list changes meanwhile: every position moves.
            QVERIFY(m_session->deleteAlert(9).ok());
            if (c.removedMeanwhile)
                QVERIFY(m_session->deleteAlert(c.id).ok());
            child<QComboBox>(p, "cmbReport")->setCurrentIndex(c.answer);
            child(p, c.answer == acknowledge ? "cmdClose" : "cmdReport")->click();
            QVERIFY2(m_fake->dialogs.shown.empty() && gone(p), c.name);
            QVERIFY2(m_session->Timer1().isActive(), c.name);
            QVERIFY2(bool(stored(c.id)) == bool(c.dateAndTime), c.name);
            if (c.dateAndTime)
                QCOMPARE(stored(c.id)->AlertDate + " " + stored(c.id)->AlertTime + " " +
                             stored(c.id)->Recurrence,
                         c.dateAndTime + std::string(" 4"));
        }
    }

    void aFailedWriteIsToldAndThePopupStaysToTryAgain() {
        namespace fs = std::filesystem;
        for (const char* answer : {"cmdReport", "cmdClose"}) {
            cleanup();
            init();
            const std::string before = file();
            fs::permissions(m_store->IniPath(), fs::perms::owner_read);
            QPointer<frmAlerte> p = show(1);
            child(p, answer)->click();
            QCOMPARE(m_fake->dialogs.texts(),
                     QStringList{"Impossible d'enregistrer l'alerte : le fichier est en lecture seule"});
            QCOMPARE(m_fake->dialogs.shown.front().icon, UserDialogs::Icon::Warning);
            QVERIFY(file() == before && !gone(p) && p->isVisible() && !m_session->Timer1().isActive());
            fs::permissions(m_store->IniPath(), fs::perms::owner_write, fs::perm_options::add);
            child(p, answer)->click();
            QVERIFY(file() != before && gone(p));
        }
    }

    void closedUnansweredOrInTestModeAPopupChangesNothing() {
        const std::string before = file();
        QPointer<frmAlerte> due = show(1);
        for (int id : {1, 2}) {
            for (const char* answer : {"img", "cmdReport", ""}) {
                QPointer<frmAlerte> p = show(id, true);
                QVERIFY(p->windowTitle().endsWith(QStringLiteral(" (mode Test)")) && p->isTestMode());
                QCOMPARE(child(p, "img")->toolTip(), QStringLiteral("Fermer"));
                QVERIFY(!child(p, "cmdReport")->isEnabled());
                *answer ? child(p, answer)->click() : void(p->close());
                p->cmdReport_Click(); // even when asked directly
                QVERIFY(gone(p));
                QVERIFY2(!m_session->Timer1().isActive(), "a test popup does not switch the tick on");
            }
        }
        due->close();
        QVERIFY(gone(due));
        QVERIFY(m_session->Timer1().isActive());
        QCOMPARE(file(), before);
    }

    void theActionOpensOnceBeforeThePopupShows() {
        for (bool testMode : {false, true}) {
            cleanup();
            init();
            int showing = -1;
            m_fake->launcher.onOpen = [&] {
                showing = 0;
                for (QWidget* w : QApplication::topLevelWidgets())
                    showing += qobject_cast<frmAlerte*>(w) && w->isVisible();
            };
            QVERIFY(show(2, testMode)->isVisible());
            QCOMPARE(showing, 0);
            show(1); // without an action
            QCOMPARE(m_fake->launcher.opened, std::vector<std::string>{"https://example.org/loyer"});
        }
    }

    void theEditorsTestPopupShowsItsValuesAndSoundOnly() {
        const std::string before = file();
        for (bool withTime : {true, false}) {
            const EditorPreview v{QColor(255, 255, 192),
                                  QColor(255, 128, 255),
                                  "20/04/2026",
                                  withTime,
                                  "08",
                                  "15",
                                  "Prendre le train",
                                  12,
                                  !withTime,
                                  "Carillon.wav",
                                  true};
            QPointer<frmAlerte> p = ShowEditorTestPopup(*m_session, m_fake->services, v);
            QVERIFY(QTest::qWaitForWindowActive(p));
            QCOMPARE(
                child<QLabel>(p, "lblMessage")->text(),
                QString(withTime ? "20/04/2026 08:15\n\nPrendre le train" : "20/04/2026\nPrendre le train"));
            QVERIFY(child<QLabel>(p, "lblDateMess")->text().isEmpty());
            QCOMPARE(p->palette().color(QPalette::Window), v.background);
            QCOMPARE(child<QLabel>(p, "lblMessage")->palette().color(QPalette::WindowText), v.text);
            QVERIFY(p->emoticonIndex() == 12 && p->isTestMode() && m_session->Timer1().isActive());
            QVERIFY(!child(p, "cmdReport")->isEnabled() && !child<QComboBox>(p, "cmbReport")->isEnabled());
            QCOMPARE(m_fake->sound.plays.size(), std::size_t{withTime ? 0u : 1u});
            p->img_Click();
            QVERIFY(gone(p) && !m_fake->sound.playing);
        }
        QVERIFY(m_fake->sound.plays[0].path == (soundFolder() + "Carillon.wav").toStdString() &&
                m_fake->sound.plays[0].loop);
        QVERIFY(m_fake->launcher.opened.empty());
        QCOMPARE(file(), before);
    }

    void theSoundStartsOnEachActivationAndStopsOnClose() {
        auto& plays = m_fake->sound.plays;
        frmAlerte* looped = show(2); // Defaut.wav, in a loop
        QVERIFY(QTest::qWaitForWindowActive(looped));
        QCOMPARE(plays.size(), std::size_t{1});
        QVERIFY(plays[0].path == looped->alert().soundPath && plays[0].loop);
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        looped->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(looped));
        QCOMPARE(plays.size(), std::size_t{2}); // from the beginning again

        frmAlerte* silent = show(3);
        QVERIFY(QTest::qWaitForWindowActive(silent));
        QCOMPARE(plays.size(), std::size_t{2});
        // Closing either popup silences the program.
        silent->close();
        QCOMPARE(m_fake->sound.stops, 1);
        looped->close();
        QCOMPARE(m_fake->sound.stops, 2);
    }
};

ZENTO_QTEST_MAIN(tst_AlertPopup)
#include "tst_AlertPopup.moc"
