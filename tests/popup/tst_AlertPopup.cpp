#include "appearance/EmoticonSet.h"
#include "media/SoundFolder.h"
#include "support/ProgramFixture.h"
#include "support/QtTestMain.h"
#include "support/WindowChecks.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

using namespace zento;
using namespace std::chrono;
using test::section;

namespace {

/// A one-off alert (1), a monthly one with an action and a sound in a loop (2), a yearly one all
/// day (3), and one whose values do not convert (4), after another (9).
const std::string kStore =
    section(9, "en tête|01/01/2030|0") + section(1, "Appeler le dentiste|12/03/2026|0|0||255|0|14:30|0") +
    section(2, "Loyer|31/01/2026|4|9|Defaut.wav|16777215&|8388608|09:00|1|https://ex.org") +
    section(3, "Anniversaire de Marie|29/02/2028|8|13||255|0||0") +
    section(4, "Fiche abimee|01/01/2026|tous|vingt||bleu|&Hzz|10:00");

struct Popups : test::Program {
    int showingAtOpen = -1; ///< popups shown when an action last opened
    Popups() : Program(kStore, false) {
        fakes.clock.set(Date{year{2026}, March, day{12}}, hours{14} + minutes{37} + seconds{50});
        fakes.launcher.onOpen = [this] {
            showingAtOpen = 0;
            for (QWidget* t : QApplication::topLevelWidgets())
                showingAtOpen += qobject_cast<frmAlerte*>(t) && t->isVisible();
        };
    }
    frmAlerte* show(int id, bool testMode = false) {
        return ShowAlertPopup(*session, fakes.services, *storedAlert(id), testMode);
    }
    std::string file() const { return test::readFile(ini); }
};

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

private Q_SLOTS:
    void showsTheAlertAndKeepsWhatItsAnswersNeed() {
        Popups w;
        const QPalette own = QApplication::palette("QLabel"); // the record's colours do not convert
        for (const auto& [id, dateLine, back, text, emoticon, periodic] : {
                 std::tuple{1, "12/03/2026 14:30", QColor(Qt::red), QColor(Qt::black), 0, false},
                 std::tuple{2, "31/01/2026 09:00", QColor(Qt::white), QColor(0, 0, 128), 9, true},
                 std::tuple{3, "29/02/2028 ", QColor(Qt::red), QColor(Qt::black), 13, true},
                 std::tuple{4, "01/01/2026 10:00", own.color(QPalette::Window),
                            own.color(QPalette::WindowText), kDefaultEmoticon, false},
             }) {
            QPointer<frmAlerte> p = w.show(id);
            QVERIFY2(p->isVisible() && !w.session->Timer1().isActive(), "the tick waits for the answer");
            QCOMPARE(child<QLabel>(p, "lblDateMess")->text(), QString::fromLatin1(dateLine));
            auto* message = child<QLabel>(p, "lblMessage");
            QCOMPARE(message->text(), QString::fromStdString(w.storedAlert(id)->Message));
            QCOMPARE(p->palette().color(QPalette::Window), back);
            QCOMPARE(message->palette().color(QPalette::WindowText), text);
            QCOMPARE(p->emoticonIndex(), emoticon);
            QCOMPARE(child(p, "img")->toolTip(),
                     QString(periodic ? "Alerte périodique, cliquez pour valider la prochaine"
                                      : "Cliquez pour effacer l'alerte"));
            QVERIFY(!child(p, "cmdModify")->isEnabled() &&
                    child<QComboBox>(p, "cmbReport")->currentIndex() == -1);
            QCOMPARE(test::windowFaults(p).join(", "), QString());
            delete p;
        }
    }

    void waitsForAnAnswerThatNoStrayKeyGives() {
        Popups w;
        Alerte a = *w.storedAlert(1);
        a.Message = "<b>pas du gras</b>" + QStringLiteral(" une ligne de plus").repeated(30).toStdString();
        frmAlerte* p = ShowAlertPopup(*w.session, w.fakes.services, a, false);
        const Qt::WindowFlags f = p->windowFlags();
        QVERIFY(f.testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(f & Qt::WindowType_Mask, Qt::Tool); // no taskbar button
        QVERIFY(
            !(f & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(p->minimumSize(), p->maximumSize());
        // The user's text is shown as it is, and scrolls rather than being cut off.
        QCOMPARE(child<QLabel>(p, "lblMessage")->text(), QString::fromStdString(a.Message));
        QTRY_VERIFY(child<QScrollArea>(p, "fraMessage")->verticalScrollBar()->maximum() > 0);
        QVERIFY(QTest::qWaitForWindowActive(p));
        QTest::keyClick(p, Qt::Key_Escape);
        QVERIFY(p->isVisible());
        child(p, "img")->setFocus();
        QTest::keyClick(child(p, "img"), Qt::Key_Return);
        QVERIFY(!p->isVisible() && !w.storedAlert(1));
    }

    void answersChangeTheAlertOfThePopupAndCloseItOnceWritten() {
        namespace fs = std::filesystem;
        constexpr int acknowledge = -2; // else the snooze list's index
        for (const auto& [id, answer, removed, when] : {
                 std::tuple{1, acknowledge, false, ""},                 // one-off: gone
                 std::tuple{2, acknowledge, false, "28/02/2026 09:00"}, // monthly: next month
                 std::tuple{2, 1, false, "12/03/2026 14:47"},           // 10 minutes
                 std::tuple{2, -1, false, "12/03/2026 14:37"},          // no choice: now
                 std::tuple{3, acknowledge, true, ""},
                 std::tuple{3, 0, true, ""},
             }) {
            Popups w;
            QPointer<frmAlerte> p = w.show(id);
            // The list changes meanwhile: every position moves.
            QVERIFY(w.session->deleteAlert(9).ok());
            if (removed)
                QVERIFY(w.session->deleteAlert(id).ok());
            child<QComboBox>(p, "cmbReport")->setCurrentIndex(answer);
            QPushButton* const button = child(p, answer == acknowledge ? "cmdClose" : "cmdReport");
            // On a read-only store a failed write is told and the popup stays to try again; an
            // alert removed meanwhile needs no write.
            const std::string before = w.file();
            fs::permissions(w.ini, fs::perms::owner_read);
            button->click();
            if (!removed) {
                QCOMPARE(w.shown(), QStringList{test::kReadOnly});
                QCOMPARE(w.fakes.dialogs.shown.front().icon, UserDialogs::Icon::Warning);
                QVERIFY(w.file() == before && !gone(p) && p->isVisible() && !w.session->Timer1().isActive());
                fs::permissions(w.ini, fs::perms::owner_write, fs::perm_options::add);
                button->click();
            }
            QVERIFY(w.shown().size() == !removed && gone(p) && w.session->Timer1().isActive());
            const Alerte* a = w.storedAlert(id);
            QCOMPARE(a ? a->AlertDate + " " + a->AlertTime + " " + a->Recurrence : "gone",
                     *when ? when + std::string(" 4") : "gone");
        }
    }

    void closedUnansweredOrInTestModeAPopupChangesNothing() {
        Popups w;
        const std::string before = w.file();
        QPointer<frmAlerte> due = w.show(1);
        for (const char* answer : {"img", "cmdReport", ""}) {
            QPointer<frmAlerte> p = w.show(2, true);
            QCOMPARE(w.showingAtOpen, 1); // the action opened before this popup showed
            QVERIFY(p->windowTitle().endsWith(QStringLiteral(" (mode Test)")) && p->isTestMode());
            QCOMPARE(child(p, "img")->toolTip(), QStringLiteral("Fermer"));
            QVERIFY(!child(p, "cmdReport")->isEnabled());
            *answer ? child(p, answer)->click() : void(p->close());
            p->cmdReport_Click(); // even when asked directly
            QVERIFY(gone(p));
            QVERIFY2(!w.session->Timer1().isActive(), "a test popup does not switch the tick on");
        }
        due->close();
        QVERIFY(gone(due) && w.session->Timer1().isActive());
        QCOMPARE(w.fakes.launcher.opened, std::vector<std::string>(3, "https://ex.org"));
        QCOMPARE(w.file(), before);
    }

    void theEditorsTestPopupShowsItsValuesAndSoundOnly() {
        Popups w;
        auto& plays = w.fakes.sound.plays;
        for (bool withTime : {true, false}) {
            const QColor back(255, 255, 192), text(255, 128, 255);
            const EditorPreview v{back, text,      "20/04/2026",   withTime, "08", "15", "Prendre le train",
                                  12,   !withTime, "Carillon.wav", true};
            QPointer<frmAlerte> p = ShowEditorTestPopup(*w.session, w.fakes.services, v);
            QVERIFY(QTest::qWaitForWindowActive(p));
            QCOMPARE(
                child<QLabel>(p, "lblMessage")->text(),
                QString(withTime ? "20/04/2026 08:15\n\nPrendre le train" : "20/04/2026\nPrendre le train"));
            QVERIFY(child<QLabel>(p, "lblDateMess")->text().isEmpty());
            QCOMPARE(p->palette().color(QPalette::Window), back);
            QCOMPARE(child<QLabel>(p, "lblMessage")->palette().color(QPalette::WindowText), text);
            QVERIFY(p->emoticonIndex() == 12 && p->isTestMode() && w.session->Timer1().isActive());
            QVERIFY(!child(p, "cmdReport")->isEnabled() && !child<QComboBox>(p, "cmbReport")->isEnabled());
            QCOMPARE(plays.size(), std::size_t{withTime ? 0u : 1u}); // the sound of "Popup + son" only
            p->img_Click();
            QVERIFY(gone(p) && !w.fakes.sound.playing);
        }
        QVERIFY(plays[0].path == (soundFolder() + "Carillon.wav").toStdString() && plays[0].loop);
    }

    void theSoundStartsOnEachActivationAndStopsOnClose() {
        Popups w;
        auto& plays = w.fakes.sound.plays;
        frmAlerte* looped = w.show(2); // Defaut.wav, in a loop
        QVERIFY(QTest::qWaitForWindowActive(looped));
        QCOMPARE(plays.size(), std::size_t{1});
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        looped->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(looped));
        QCOMPARE(plays.size(), std::size_t{2}); // from the beginning again
        frmAlerte* silent = w.show(3);
        QVERIFY(QTest::qWaitForWindowActive(silent));
        QCOMPARE(plays.size(), std::size_t{2});
        QCOMPARE(w.fakes.launcher.opened.size(), std::size_t{1}); // the second has no action
        // Closing a popup silences the program, even one with no sound of its own.
        silent->close();
        QCOMPARE(w.fakes.sound.stops, 1);
    }
};

ZENTO_QTEST_MAIN(tst_AlertPopup)
#include "tst_AlertPopup.moc"
