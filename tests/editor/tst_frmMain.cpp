#include "appearance/AppearanceChooser.h"
#include "calendar/ucMiniCal.h"
#include "media/SoundPreview.h"
#include "support/ProgramFixture.h"
#include "support/QtTestMain.h"
#include "support/WindowChecks.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QToolButton>

using namespace zento;
using namespace zento::test;
namespace fs = std::filesystem;

namespace {

const std::string kOne = section(1, "un|01/03/2027");
/// "premier" rings in a loop, "second" once.
const std::string kTwo = section(1, "premier|01/12/2026|0|5|Carillon.wav|16777215|0||1") +
                         section(2, "second|02/12/2026|0|5|Reveil.wav|16777215|0||0");

void openToModify(Program& w, const char* message) {
    w.pick(QString::fromUtf8(message));
    w.click("cmdModify");
}

} // namespace

class tst_frmMain final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    void aNewAlertOpensOnTheSessionsValuesWithNothingLeftOver() {
        Program w(section(1, "un|01/03/2027|4|3|Carillon.wav|8454143|255|09:05|1|/x") +
                  "[Param]\r\nImg=12\r\n");
        const int minutes = w.find<QComboBox>("cmbM")->count(),
                  sounds = w.find<QComboBox>("cmbWave")->count();
        QVERIFY(w.session->service().setDefaultEmoticon("7").ok()); // taken at the next start
        openToModify(w, "un");
        w.click("cmdUndoNew_0");
        w.click("cmdNew");
        QCOMPARE(fields(w.editor()->readAlert()), fields(w.session->newAlert()));
        QCOMPARE(w.session->newAlert().Emoticon, std::string("12"));
        // The entries added for the stored alert's minute and sound are gone; there is no hour 00.
        QCOMPARE(w.find<QComboBox>("cmbM")->count(), minutes);
        QCOMPARE(w.find<QComboBox>("cmbWave")->count(), sounds);
        QCOMPARE(w.find<QComboBox>("cmbH")->findText(QStringLiteral("00")), -1);
        // The placeholder shows until a click; the message box takes 60 typed characters.
        auto* placeholder = w.find<QLineEdit>("Text1");
        QVERIFY(placeholder->isVisible());
        QTest::mouseClick(placeholder, Qt::LeftButton);
        QVERIFY(!placeholder->isVisible());
        QTest::keyClicks(w.message(), QString(70, QLatin1Char('a')));
        QCOMPARE(w.message()->message(), QString(60, QLatin1Char('a')));
        w.click("cmdUndoNew_1");
        QVERIFY(!w.editor()->isVisible() && w.find("cmdNew")->isEnabled());
    }

    void refusalsAndFailuresKeepTheEditorOpenWithWhatWasTyped() {
        for (const auto& [message, noDate, readOnly, told] : {
                 std::tuple{"", false, false, QStringList{"Indiquez un message", "Indiquez le message"}},
                 std::tuple{"x", true, false, QStringList(2, "Date non valide")},
                 std::tuple{"perdu ?", false, true, QStringList(2, kReadOnly)},
             }) {
            for (const bool modifying : {false, true}) {
                Program w(kOne);
                w.pick(QStringLiteral("un"));
                w.click(modifying ? "cmdModify" : "cmdNew");
                const AlertEditor::Mode mode = w.editor()->mode();
                w.message()->setMessage(QString::fromUtf8(message));
                if (noDate)
                    w.editor()->dateBox()->ChangeJour(kNoDate);
                if (readOnly)
                    fs::permissions(w.ini, fs::perms::owner_read);
                const std::string before = readFile(w.ini);
                w.click("cmdAdd");
                QCOMPARE(w.shown(), QStringList{told[modifying]});
                QCOMPARE(w.fakes.dialogs.shown.back().icon,
                         readOnly ? UserDialogs::Icon::Warning : UserDialogs::Icon::None);
                QVERIFY(w.editor()->isVisible() && w.editor()->mode() == mode);
                QCOMPARE(w.message()->message(), QString::fromUtf8(message));
                QCOMPARE(readFile(w.ini), before);
            }
        }
    }

    void savingKeepsWhatWasNotChangedUnderTheIdOpened() {
        const std::pair<std::string, bool> rows[] = {
            {"deux|02/03/2027|8|13|Defaut.wav|255|0|14:30|1|/x", false},
            {"sans son|02/03/2027|2|0||0|16777215||0|", false},
            // Values the lists do not offer (minute 05, hour 00, a sound no longer in the
            // folder), and a message longer than can be typed.
            {"minute 05|02/03/2027|0|5|Parti.wav|0|0|00:05|0|", false},
            {std::string(80, 'm') + "|02/03/2027|0|5||0|0||0|", false},
            {"deux|02/03/2027|0|5||0|0||0|", true}, // no row is current any more
        };
        for (const auto& [stored, refilled] : rows) {
            Program w(kOne + section(2, stored));
            QString expected = QString::fromStdString(stored);
            const QString message = expected.section(QLatin1Char('|'), 0, 0);
            w.pick(message);
            w.click("cmdModify");
            QVERIFY(w.editor()->mode() == AlertEditor::Mode::Modifying &&
                    !w.find<QLineEdit>("Text1")->isVisible());
            if (refilled)
                w.session->LoadAllAlerts();
            if (message.size() <= MessageTextBox::kMaxTypedLength) {
                w.message()->setMessage(QStringLiteral("changé"));
                expected.replace(0, message.size(), QStringLiteral("changé"));
            }
            w.click("cmdAdd");
            QVERIFY(w.shown().isEmpty() && !w.editor()->isVisible());
            QCOMPARE(fields(*w.storedAlert(2)), expected);
            QCOMPARE(w.storedAlert(1)->Message, std::string("un"));
        }
    }

    void aRecordThatDoesNotConvertOpensAsTodayOneOffAllDay() {
        Program w(section(7, "abîmé|32/13/2026|42|x|ab|rouge|&Hzz|99:99|7"));
        openToModify(w, "abîmé");
        const Alerte a = w.editor()->readAlert();
        QCOMPARE(a.AlertDate + "|" + a.Recurrence + "|" + a.AlertTime, std::string("07/12/2026|0|"));
    }

    void deleteAsksAndNoLeavesEverything() {
        Program w(section(1, "Réunion|01/03/2027") + section(2, "deux|02/03/2027"));
        w.pick(QStringLiteral("Réunion"));
        const std::string before = readFile(w.ini);
        w.click("cmdDelete");
        QCOMPARE(w.shown(), QStringList{"Supprimer Réunion ?"});
        QVERIFY(w.fakes.dialogs.shown.back().question);
        QCOMPARE(readFile(w.ini), before);
        w.fakes.dialogs.answers = {true, true};
        w.click("cmdDelete");
        QCOMPARE(w.messages(), QStringList{"deux"});
        w.pick(QStringLiteral("deux"));
        fs::permissions(w.ini, fs::perms::owner_read);
        w.click("cmdDelete");
        QCOMPARE(w.shown().back(), kReadOnly);
        QCOMPARE(w.messages(), QStringList{"deux"});
    }

    void commandsOnARowAskForOne() {
        Program w(kOne);
        // No row picked yet, then the grid refilled after one was: testing that does nothing.
        for (const bool refilled : {false, true}) {
            if (refilled) {
                w.pick(QStringLiteral("un"));
                w.session->LoadAllAlerts();
            }
            for (const char* command : {"cmdModify", "cmdDelete", "cmdTest"})
                w.click(command);
            QVERIFY(!w.editor()->isVisible() && w.session->openPopupCount() == 0 && w.messages().size() == 1);
        }
        const QString ask = "Selectionnez la ligne à ";
        QCOMPARE(w.shown(), (QStringList{ask + "modifier", ask + "supprimer", ask + "tester",
                                         ask + "modifier", ask + "supprimer"}));
        for (const auto& told : w.fakes.dialogs.shown)
            QCOMPARE(told.icon, UserDialogs::Icon::Information);
    }

    void theDefaultsChosenInTheEditorAreStoredOrTheFailureTold() {
        Program w(kOne);
        w.click("cmdNew");
        auto* chooser = w.editor()->chooser();
        Q_EMIT chooser->defaultColorsChosen(ColorPair{255, 0});
        Q_EMIT chooser->defaultEmoticonChosen(QStringLiteral("12"));
        QVERIFY(w.shown().isEmpty());
        QCOMPARE(w.session->service().newAlert({}, "", w.fakes.random).BackColor, std::string("255"));
        QCOMPARE(w.session->service().defaultEmoticon(), std::string("12"));
        fs::permissions(w.ini, fs::perms::owner_read);
        Q_EMIT chooser->defaultColorsChosen(std::nullopt);
        Q_EMIT chooser->defaultEmoticonChosen(QStringLiteral("3"));
        QCOMPARE(w.shown(),
                 QStringList(2, "Impossible d'enregistrer les réglages : le fichier est en lecture seule"));
        QVERIFY(w.editor()->isVisible());
    }

    void aStoreThatCannotBeReadIsToldAndListsNothing() {
        Program w(kOne);
        fs::remove(w.ini);
        fs::create_directory(w.ini);
        w.session->LoadAllAlerts();
        QVERIFY(w.shown().size() == 1 && w.shown()[0].startsWith("Impossible de lire les alertes : "));
        QVERIFY(w.messages().isEmpty());
    }

    void theGridListsByDayInTheAlertsColours() {
        Program w(section(1, "soir|05/03/2024|0|5|Defaut.wav|255|0|18:00") +
                  section(2, "premier|1/3/2024|0|5||16777215") +
                  section(3, "matin|05/03/2024|0|5||&H0080FFFF&|0|08:00") +
                  section(4, "pas une date|bientôt") + section(5, "avant|28/02/2024|0|5||rouge"));
        QCOMPARE(w.messages(), (QStringList{"avant", "premier", "soir", "matin", "pas une date"}));
        // What each visible column shows, on the alert's background.
        const auto row = [&](int r) {
            QStringList out;
            for (int c = 0; c < AlarmGridModel::ColumnCount; ++c) {
                const QModelIndex cell = w.main->grid()->gridModel().index(r, c);
                const QVariant back = cell.data(Qt::BackgroundRole);
                if (!w.main->grid()->isColumnHidden(c))
                    out << cell.data().toString() + ' ' +
                               (back.isValid() ? back.value<QColor>().name() : "-");
            }
            return out.join(QLatin1Char('|'));
        };
        QCOMPARE(row(0), QStringLiteral("28/02/2024 -| -|avant -| -")); // a colour that does not convert
        QCOMPARE(row(1).section(QLatin1Char('|'), 0, 0), QStringLiteral("01/03/2024 #ffffff"));
        QCOMPARE(row(2), QStringLiteral("05/03/2024 #ff0000|18:00 #ff0000|soir #ff0000|Defaut #ff0000"));
        QCOMPARE(row(3).section(QLatin1Char('|'), 0, 0), QStringLiteral("05/03/2024 #ffff80"));
    }

    void theTestCommandsShowPopupsThatWaitForNothing() {
        Program w(section(1, "un|01/03/2027|0|5||255|0||0|https://example.org"));
        QWidget* rows = w.main->grid()->viewport();
        QTest::mousePress(rows, Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY2(w.fakes.dialogs.menusShown.isEmpty(), "no row chosen yet: no menu");
        w.pick("un");
        // The row's menu offers its test, and not what acts on the program.
        const QString test = "Voir le Popup (Test)";
        w.fakes.dialogs.menuChoices = {test, "Quitter"};
        QSignalSpy quit(w.main.get(), &frmMain::quitRequested);
        const QPoint row = w.main->grid()->visualRect(w.main->grid()->gridModel().index(0, 1)).center();
        QTest::mousePress(rows, Qt::RightButton, {}, row);
        QTest::mousePress(rows, Qt::RightButton, {}, row);
        QVERIFY(w.session->openPopupCount() == 1 && quit.isEmpty());
        QCOMPARE(w.fakes.launcher.opened, std::vector<std::string>{"https://example.org"});
        for (QAction* a : w.main->fileMenu()->actions())
            QVERIFY2(!(a->isVisible() && a->text() == test), "the menu bar offers no test");
        w.click("cmdNew");
        w.message()->setMessage("pas encore enregistrée");
        w.main->mnuTest_Click(); // the editor's values, unsaved
        QVERIFY(w.session->openPopupCount() == 2 && w.session->Timer1().isActive());
        QStringList shown;
        for (QWidget* popup : QApplication::topLevelWidgets())
            if (qobject_cast<frmAlerte*>(popup))
                shown << popup->findChild<QLabel*>("lblMessage")->text();
        QVERIFY(shown.contains("07/12/2026\npas encore enregistrée"));
        w.fakes.dialogs.files = {"/home/moi/note.txt", ""};
        w.click("cmdPath");
        w.click("cmdPath"); // cancelled: the box keeps the file
        w.main->mnuTestAction_Click();
        QCOMPARE(w.fakes.launcher.opened.back(), std::string("/home/moi/note.txt"));
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Adding);
    }

    void theListUnderTheOpenEditorTakesNoInput() {
        Program w(kTwo);
        QVERIFY(QTest::qWaitForWindowActive(w.main.get()));
        openToModify(w, "premier");
        for (const char* command : {"mnuNew", "mnuModify", "mnuDelete"})
            QVERIFY2(!w.main->findChild<QAction*>(QLatin1String(command))->isEnabled(), command);
        QTest::keyClicks(w.message(), QStringLiteral(" modifie"));
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
            for (int i = 0; i < 40; ++i) {
                QTest::keyClick(QApplication::focusWidget(), key);
                QVERIFY2(w.editor()->isAncestorOf(QApplication::focusWidget()),
                         qPrintable(QApplication::focusWidget()->objectName()));
            }
        }
        // Keys that reach the grid anyway (Down to the other alert, Enter) open nothing.
        QTest::keyClick(w.main->grid(), Qt::Key_Down);
        QTest::keyClick(w.main->grid(), Qt::Key_Return);
        QCOMPARE(w.message()->message(), QStringLiteral("premier modifie"));
        w.click("cmdAdd");
        // Once the editor is closed the grid takes the keyboard again.
        w.pick(QStringLiteral("second"));
        QTest::keyClick(w.main->grid(), Qt::Key_Return);
        QCOMPARE(w.message()->message(), QStringLiteral("second"));
    }

    void enterInTheMessageBoxSavesAndNeverBreaksTheLine() {
        for (const auto& [modifying, key, modifiers, saves] : {
                 std::tuple{false, Qt::Key_Return, Qt::KeyboardModifiers{}, true},
                 std::tuple{true, Qt::Key_Enter, Qt::KeyboardModifiers{Qt::KeypadModifier}, true},
                 std::tuple{true, Qt::Key_Return, Qt::KeyboardModifiers{Qt::ShiftModifier}, false},
             }) {
            Program w(kTwo);
            modifying ? openToModify(w, "premier") : w.click("cmdNew");
            QTest::keyClicks(w.message(), QStringLiteral("texte"));
            const QString typed = w.message()->message();
            QTest::keyClick(w.message(), key, modifiers);
            QCOMPARE(w.message()->message(), typed);
            QCOMPARE(w.editor()->isVisible(), !saves);
            QCOMPARE(w.messages().contains(typed), saves);
        }
    }

    void leavingTheEditorStopsItsLoopingPreviewOnly() {
        // The loop box, "Popup + son" again, "Popup", Annuler, or the window minimised.
        for (const char* leave : {"chkReveil", "optAlert_1", "optAlert_0", "cmdUndoNew_0", "minimised"}) {
            Program w(kTwo);
            openToModify(w, "premier");
            w.click("imgPlay");
            QVERIFY(w.fakes.sound.playing && w.fakes.sound.plays.back().loop);
            leave == QLatin1String("minimised") ? w.main->showMinimized() : w.click(leave);
            const auto* preview = w.editor()->preview();
            QVERIFY2(!w.fakes.sound.playing && !preview->isPreviewing() && !preview->isPlayingLook(), leave);
            QVERIFY2(w.editor()->imgStop()->isHidden(), leave);
        }
        // A sound the editor did not start, a popup's, goes on.
        Program w(kTwo);
        openToModify(w, "premier");
        w.fakes.sound.PlaySoundFile("popup.wav", true);
        w.click("optAlert_1");
        w.click("cmdUndoNew_0");
        QVERIFY(w.fakes.sound.playing);
    }

    void theWindowHoldsTogetherInEveryMode() {
        Program w(section(1, "un|06/12/2026|0|5|Defaut.wav|255|0|09:00"));
        // The editor lies over the list, the placeholder over the message box; the time lists
        // make one joined pair in their frame.
        const QSet<QString> onPurpose{"Frame1+fraEdit", "Text1+txtMessage", "fraHeure+cmbH", "fraHeure+cmbM",
                                      "cmbH+cmbM"};
        const auto faults = [&] { return test::windowFaults(w.main.get(), onPurpose).join(", "); };
        QCOMPARE(faults(), QString());
        w.click("cmdNew");
        QCOMPARE(faults(), QString());
        w.click("cmdUndoNew_0");
        openToModify(w, "un");
        QCOMPARE(faults(), QString());
        w.click("cmdUndoNew_0");
        w.main->resize(w.main->width() + 300, w.main->height());
        QCOMPARE(faults(), QString());
    }

    void theCalendarCommandsCarryAlertsTheirActionsOnlyWhenAllowed() {
        Program from(section(1, "Loyer|31/01/2030|4|9|Defaut.wav|255|0|08:15|1|https://exemple.fr/rdv"));
        from.fakes.dialogs.files = {from.path("out.ics")};
        from.main->findChild<QAction*>("mnuExport")->trigger();
        QVERIFY(from.shown().value(0).startsWith(QStringLiteral("1 alertes exportées\n« Loyer »")));
        for (const bool accept : {false, true}) {
            Program w;
            test::writeFile(w.dir / "broken.ics", "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\n");
            w.fakes.dialogs.files = {from.path("out.ics"), w.path("broken.ics"), w.path("absent.ics")};
            w.fakes.dialogs.answers = {accept};
            for (int i = 0; i < 3; ++i)
                w.main->findChild<QAction*>("mnuImport")->trigger();
            QCOMPARE(w.shown().size(), 4);
            const auto& question = w.fakes.dialogs.shown.front();
            QVERIFY(question.question && !question.yesByDefault &&
                    question.text.contains(QStringLiteral("https://exemple.fr/rdv")));
            QVERIFY(w.shown()[1].startsWith(QStringLiteral("1 alertes importées")));
            QVERIFY(w.shown()[2].startsWith(QStringLiteral("Impossible d'importer le calendrier : ")));
            QVERIFY(w.shown()[3].startsWith(QStringLiteral("Impossible de lire le calendrier : ")));
            QCOMPARE(w.session->table().AlertCount(), 1);
            QCOMPARE(w.storedAlert(1)->Action, accept ? from.storedAlert(1)->Action : std::string());
        }
    }
};

ZENTO_QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
