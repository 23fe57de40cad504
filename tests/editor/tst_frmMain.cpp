#include "appearance/AppearanceChooser.h"
#include "appearance/Palette.h"
#include "calendar/ucMiniCal.h"
#include "store/ColorValue.h"
#include "support/ProgramFixture.h"
#include "support/QtTestMain.h"
#include "support/WindowChecks.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyleFactory>

using namespace zento;
using namespace std::chrono;
using zento::test::Program;
using zento::test::readFile;

namespace {

/// A stored alert: its message, date and time, background colour, sound, then Info9 onwards.
std::string section(int id, const std::string& message, const std::string& date, const std::string& time = "",
                    const std::string& back = "16777215", const std::string& sound = "",
                    const std::string& rest = "0\r\nInfo10=") {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message + "\r\nInfo2=" + date +
           "\r\nInfo3=0\r\nInfo4=5\r\nInfo5=" + sound + "\r\nInfo6=" + back + "\r\nInfo7=0\r\nInfo8=" + time +
           "\r\nInfo9=" + rest + "\r\n";
}

/// The ten fields of an alert, Info1 to Info10, joined by "|".
QString fields(const Alerte& a) {
    QStringList out;
    for (int k = 1; k <= Alerte::kFieldCount; ++k)
        out << QString::fromStdString(a.field(k));
    return out.join(QLatin1Char('|'));
}

const QString kReadOnly =
    QStringLiteral("Impossible d'enregistrer l'alerte : le fichier est en lecture seule");

} // namespace

class tst_frmMain final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    void aNewAlertOpensWithTheSessionsValuesAndNothingLeftOver() {
        Program w("[Alerte1]\r\nInfo1=un\r\nInfo2=01/03/2027\r\nInfo3=4\r\nInfo4=3\r\nInfo5=Carillon.wav\r\n"
                  "Info6=8454143\r\nInfo7=255\r\nInfo8=09:05\r\nInfo9=1\r\nInfo10=https://x\r\n"
                  "[Param]\r\nImg=12\r\nFond=255\r\n");
        const int minutes = w.find<QComboBox>("cmbM")->count(),
                  sounds = w.find<QComboBox>("cmbWave")->count();
        // A new default emoticon takes effect at the next start.
        QVERIFY(w.session->service().setDefaultEmoticon("7").ok());
        w.pick(QStringLiteral("un"));
        w.click("cmdModify");
        w.click("cmdUndoNew_0");
        w.click("cmdNew");
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Adding);
        QCOMPARE(fields(w.editor()->readAlert()), fields(w.session->newAlert()));
        QCOMPARE(w.session->newAlert().Emoticon, std::string("12"));
        // The entries added for the stored alert's minute and sound are gone.
        QCOMPARE(w.find<QComboBox>("cmbM")->count(), minutes);
        QCOMPARE(w.find<QComboBox>("cmbWave")->count(), sounds);
        QVERIFY(!w.find("cmdNew")->isEnabled() && !w.find("cmdModify")->isEnabled() &&
                !w.find("cmdDelete")->isEnabled());
        // The lists offer the recurrences in code order, and no hour 00.
        for (int i = 0; i < int(kRecurrenceNames.size()); ++i)
            QCOMPARE(w.find<QComboBox>("cmbPeriodique")->itemText(i).toStdString(),
                     kRecurrenceNames[std::size_t(i)]);
        QCOMPARE(w.find<QComboBox>("cmbH")->findText(QStringLiteral("00")), -1);
        // The placeholder shows until a click hands over to the message box, which takes 60
        // typed characters on one line.
        auto* placeholder = w.find<QLineEdit>("Text1");
        QVERIFY(placeholder->isVisible());
        QTest::mouseClick(placeholder, Qt::LeftButton);
        QVERIFY(!placeholder->isVisible());
        QTRY_VERIFY(w.message()->hasFocus() || !QApplication::focusWidget());
        QTest::keyClicks(w.message(), QString(70, QLatin1Char('a')));
        QTest::keyClick(w.message(), Qt::Key_Return);
        QCOMPARE(w.message()->message(), QString(60, QLatin1Char('a')));

        const std::string before = readFile(w.ini);
        w.click("cmdUndoNew_1");
        QVERIFY(!w.editor()->isVisible() && w.find("cmdNew")->isEnabled());
        QCOMPARE(readFile(w.ini), before);
    }

    void addingStoresWhatTheEditorShows() {
        Program w(section(1, "un", "01/03/2027"));
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("Réunion"));
        w.click("chkHeure");
        w.find<QComboBox>("cmbH")->setCurrentText(QStringLiteral("08"));
        w.find<QComboBox>("cmbM")->setCurrentText(QStringLiteral("15"));
        w.find<QComboBox>("cmbPeriodique")->setCurrentIndex(4);
        w.editor()->dateBox()->ChangeJour(Date{year{2027}, month{1}, day{15}});
        w.editor()->chooser()->img_Click(12);
        w.editor()->chooser()->findChild<QAbstractButton*>(QStringLiteral("lblColor_1"))->click();
        w.find<QLineEdit>("txtAction")->setText(QStringLiteral("mailto:moi@example.org"));
        w.click("cmdAdd");
        QVERIFY(w.shown().isEmpty() && !w.editor()->isVisible());
        QCOMPARE(w.messages(), (QStringList{"Réunion", "un"}));
        QCOMPARE(fields(w.stored(2)),
                 QStringLiteral("Réunion|15/01/2027|4|12|Defaut.wav|%1|%2|08:15|0|mailto:moi@example.org")
                     .arg(QString::fromStdString(FormatColorValue(kPalette[1].background)),
                          QString::fromStdString(FormatColorValue(kPalette[1].text))));
        // "Popup" stores no sound; the hidden loop box keeps what was ticked before.
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("sans son"));
        w.click("chkReveil");
        w.click("optAlert_0");
        w.click("cmdAdd");
        QCOMPARE(w.stored(3).Sound + "|" + w.stored(3).LoopSound + "|" + w.stored(3).AlertTime,
                 std::string("|1|"));
    }

    void refusalsAndFailuresKeepTheEditorOpenWithWhatWasTyped() {
        using I = UserDialogs::Icon;
        // Modifying?, the message, no date?, a read-only file?, what the user is told.
        for (const auto& [modifying, message, noDate, readOnly, told, icon] : {
                 std::tuple{false, "", false, false, QStringLiteral("Indiquez un message"), I::None},
                 std::tuple{true, "", false, false, QStringLiteral("Indiquez le message"), I::None},
                 std::tuple{false, "x", true, false, QStringLiteral("Date non valide"), I::None},
                 std::tuple{true, "x", true, false, QStringLiteral("Date non valide"), I::None},
                 std::tuple{false, "perdu ?", false, true, kReadOnly, I::Warning},
                 std::tuple{true, "perdu ?", false, true, kReadOnly, I::Warning},
             }) {
            Program w(section(1, "un", "01/03/2027"));
            w.pick(QStringLiteral("un"));
            w.click(modifying ? "cmdModify" : "cmdNew");
            const AlertEditor::Mode mode = w.editor()->mode();
            w.message()->setMessage(QString::fromUtf8(message));
            if (noDate)
                w.editor()->dateBox()->ChangeJour(kNoDate);
            if (readOnly)
                std::filesystem::permissions(w.ini, std::filesystem::perms::owner_read);
            const std::string before = readFile(w.ini);
            w.click("cmdAdd");
            QCOMPARE(w.shown(), QStringList{told});
            QCOMPARE(w.fakes.dialogs.shown.back().icon, icon);
            QVERIFY(w.editor()->isVisible() && w.editor()->mode() == mode);
            QCOMPARE(w.message()->message(), QString::fromUtf8(message));
            QCOMPARE(readFile(w.ini), before);
        }
    }

    void savingKeepsWhatWasNotChangedUnderTheIdOpened() {
        enum Meanwhile { Nothing, Refilled, Removed };
        // The alert opened (Id 2), and what happens to the list while it is open.
        for (const auto& [stored, meanwhile] : {
                 std::pair{section(2, "deux", "02/03/2027", "14:30", "255", "Defaut.wav", "1\r\nInfo10=/x"),
                           Nothing},
                 std::pair{section(2, "minute 05", "02/03/2027", "09:05"),
                           Nothing},                                                // not offered by the list
                 std::pair{section(2, "heure 00", "02/03/2027", "00:30"), Nothing}, // nor this hour
                 std::pair{section(2, "son parti", "02/03/2027", "", "0", "Parti.wav"), Nothing},
                 std::pair{section(2, std::string(80, 'm'), "02/03/2027"),
                           Nothing},                                    // longer than can be typed
                 std::pair{section(2, "deux", "02/03/2027"), Refilled}, // no row is current any more
                 std::pair{section(2, "deux", "02/03/2027"), Removed},  // acknowledged in its popup, say
             }) {
            Program w(section(1, "un", "01/03/2027") + stored);
            Alerte expected = w.stored(2);
            w.pick(QString::fromStdString(expected.Message));
            w.click("cmdModify");
            QVERIFY(w.editor()->mode() == AlertEditor::Mode::Modifying &&
                    !w.find<QLineEdit>("Text1")->isVisible());
            if (meanwhile == Refilled)
                w.session->LoadAllAlerts();
            if (meanwhile == Removed)
                QVERIFY(w.session->deleteAlert(2).ok());
            if (expected.Message.size() <= MessageTextBox::kMaxTypedLength) {
                w.message()->setMessage(QStringLiteral("changé"));
                expected.Message = "changé";
            }
            w.click("cmdAdd");
            QVERIFY(w.shown().isEmpty() && !w.editor()->isVisible());
            // The edit of an alert removed meanwhile is stored as a new one, here under the same Id.
            QVERIFY(w.session->table().positionOf(2));
            QCOMPARE(fields(w.stored(2)), fields(expected));
            QCOMPARE(w.stored(1).Message, std::string("un"));
        }
    }

    void aRecordThatDoesNotConvertOpensAsTodayOneOffAllDay() {
        Program w("[Alerte7]\r\nInfo1=abîmé\r\nInfo2=32/13/2026\r\nInfo3=42\r\nInfo4=x\r\nInfo5=ab\r\n"
                  "Info6=rouge\r\nInfo7=&Hzz\r\nInfo8=99:99\r\nInfo9=7\r\n");
        w.pick(QStringLiteral("abîmé"));
        w.click("cmdModify");
        const Alerte shown = w.editor()->readAlert();
        QCOMPARE(shown.AlertDate + "|" + shown.Recurrence + "|" + shown.AlertTime,
                 std::string("07/12/2026|0|"));
    }

    void deleteAsksAndNoLeavesEverything() {
        Program w(section(1, "Réunion", "01/03/2027") + section(2, "deux", "02/03/2027"));
        w.pick(QStringLiteral("Réunion"));
        const std::string before = readFile(w.ini);
        w.click("cmdDelete");
        QCOMPARE(w.shown(), QStringList{"Supprimer Réunion ?"});
        QVERIFY(w.fakes.dialogs.shown.back().question &&
                w.fakes.dialogs.shown.back().icon == UserDialogs::Icon::None);
        QCOMPARE(readFile(w.ini), before);
        QCOMPARE(int(w.messages().size()), 2);
        w.fakes.dialogs.answers = {true, true};
        w.click("cmdDelete");
        QCOMPARE(w.messages(), QStringList{"deux"});
        w.pick(QStringLiteral("deux"));
        std::filesystem::permissions(w.ini, std::filesystem::perms::owner_read);
        w.click("cmdDelete");
        QCOMPARE(w.shown().back(), kReadOnly);
        QCOMPARE(w.messages(), QStringList{"deux"});
    }

    void commandsOnARowAskForOne() {
        // The command, whether the grid was refilled after the row was picked, what is said.
        for (const auto& [command, refilled, told] : {
                 std::tuple{"cmdModify", false, "Selectionnez la ligne à modifier"},
                 std::tuple{"cmdDelete", false, "Selectionnez la ligne à supprimer"},
                 std::tuple{"cmdTest", false, "Selectionnez la ligne à tester"},
                 std::tuple{"cmdModify", true, "Selectionnez la ligne à modifier"},
                 std::tuple{"cmdDelete", true, "Selectionnez la ligne à supprimer"},
                 std::tuple{"cmdTest", true, ""}, // nothing happens
             }) {
            Program w(section(1, "un", "01/03/2027"));
            if (refilled) {
                w.pick(QStringLiteral("un"));
                w.session->LoadAllAlerts();
            }
            w.click(command);
            QCOMPARE(w.shown(), *told ? QStringList{QString::fromUtf8(told)} : QStringList());
            QVERIFY(!*told || w.fakes.dialogs.shown.back().icon == UserDialogs::Icon::Information);
            QVERIFY(!w.editor()->isVisible() && w.session->openPopupCount() == 0 && w.messages().size() == 1);
        }
    }

    void theDefaultsChosenInTheEditorAreStoredOrTheFailureTold() {
        Program w(section(1, "un", "01/03/2027"));
        w.click("cmdNew");
        auto* chooser = w.editor()->chooser();
        Q_EMIT chooser->defaultColorsChosen(ColorPair{255, 0});
        Q_EMIT chooser->defaultEmoticonChosen(QStringLiteral("12"));
        QVERIFY(w.fakes.dialogs.shown.empty());
        QCOMPARE(w.session->service().newAlert({}, "", w.fakes.random).BackColor, std::string("255"));
        QCOMPARE(w.session->service().defaultEmoticon(), std::string("12"));
        std::filesystem::permissions(w.ini, std::filesystem::perms::owner_read);
        Q_EMIT chooser->defaultColorsChosen(std::nullopt);
        Q_EMIT chooser->defaultEmoticonChosen(QStringLiteral("3"));
        QCOMPARE(
            w.fakes.dialogs.texts(),
            QStringList(2, QStringLiteral(
                               "Impossible d'enregistrer les réglages : le fichier est en lecture seule")));
        QVERIFY(w.editor()->isVisible());
    }

    void aStoreThatCannotBeReadIsToldOnceAndListsNothing() {
        Program w(section(1, "un", "01/03/2027"));
        std::filesystem::remove(w.ini);
        std::filesystem::create_directory(w.ini);
        w.session->LoadAllAlerts();
        w.session->LoadAllAlerts();
        QCOMPARE(w.shown().size(), 1);
        QVERIFY2(w.shown()[0].startsWith(
                     QStringLiteral("Impossible de lire les alertes : le fichier Alertes.ini existe "
                                    "mais ne peut pas être lu (")),
                 qPrintable(w.shown()[0]));
        QCOMPARE(w.fakes.dialogs.shown[0].icon, UserDialogs::Icon::Warning);
        QVERIFY(w.messages().isEmpty());
    }

    void gridListsByDayInTheAlertsColoursAndFollowsReloads() {
        Program w(section(1, "soir", "05/03/2024", "18:00", "255", "Defaut.wav") +
                  section(2, "premier", "1/3/2024") +
                  section(3, "matin", "05/03/2024", "08:00", "&H0080FFFF&") +
                  section(4, "pas une date", "bientôt") + section(5, "avant", "28/02/2024", "", "rouge"));
        // By day; within a day, in file order.
        QCOMPARE(w.messages(), (QStringList{"avant", "premier", "soir", "matin", "pas une date"}));
        // What each visible column shows, on the alert's background.
        const auto row = [&](int r) {
            QStringList out;
            for (int c = 0; c < AlarmGridModel::ColumnCount; ++c) {
                const QModelIndex cell = w.main->grid()->gridModel().index(r, c);
                const QVariant back = cell.data(Qt::BackgroundRole);
                if (!w.main->grid()->isColumnHidden(c))
                    out << cell.data().toString() + QLatin1Char(' ') +
                               (back.isValid() ? back.value<QColor>().name() : QStringLiteral("-"));
            }
            return out.join(QLatin1Char('|'));
        };
        QCOMPARE(row(0), QStringLiteral("28/02/2024 -| -|avant -| -")); // colours that do not convert
        QCOMPARE(row(1), QStringLiteral("01/03/2024 #ffffff| #ffffff|premier #ffffff| #ffffff"));
        QCOMPARE(row(2), QStringLiteral("05/03/2024 #ff0000|18:00 #ff0000|soir #ff0000|Defaut #ff0000"));
        QCOMPARE(row(3).section(QLatin1Char('|'), 0, 0), QStringLiteral("05/03/2024 #ffff80"));
        QCOMPARE(row(4).section(QLatin1Char('|'), 0, 0), QStringLiteral("bientôt #ffffff"));
        // Changed by another process and reloaded: shown at once.
        test::writeFile(w.ini, readFile(w.ini) + section(6, "entre-temps", "04/03/2024"));
        w.session->LoadAllAlerts();
        QCOMPARE(w.messages().indexOf(QStringLiteral("entre-temps")), 2);
    }

    void gridMenuOffersTheTestPopupAndDoubleClickModifies() {
        Program w(section(1, "un", "01/03/2027"));
        QWidget* rows = w.main->grid()->viewport();
        QTest::mousePress(rows, Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY2(w.fakes.dialogs.menusShown.isEmpty(), "no row chosen yet: no menu");
        w.pick(QStringLiteral("un"));
        const QString test = QStringLiteral("Voir le Popup (Test)");
        w.fakes.dialogs.menuChoices = {test};
        const QPoint row = w.main->grid()->visualRect(w.main->grid()->gridModel().index(0, 1)).center();
        QTest::mousePress(rows, Qt::RightButton, {}, row);
        QCOMPARE(w.session->openPopupCount(), 1);
        QVERIFY(!w.fakes.dialogs.menuEntriesShown.value(0).contains(QStringLiteral("Quitter")));
        for (QAction* a : w.main->fileMenu()->actions())
            QVERIFY2(!(a->isVisible() && a->text() == test), "the menu bar offers no test");
        QTest::mouseDClick(rows, Qt::LeftButton, {}, row);
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Modifying);
    }

    void testCommandsShowPopupsThatWaitForNothing() {
        Program w(section(1, "un", "01/03/2027", "", "255", "", "0\r\nInfo10=https://example.org"));
        w.pick(QStringLiteral("un"));
        w.click("cmdTest");
        QCOMPARE(w.fakes.launcher.opened, std::vector<std::string>{"https://example.org"});
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("pas encore enregistrée"));
        w.main->mnuTest_Click(); // the editor's values, unsaved
        QCOMPARE(w.session->openPopupCount(), 2);
        QVERIFY(w.session->Timer1().isActive());
        QStringList shown;
        for (QWidget* popup : QApplication::topLevelWidgets())
            if (qobject_cast<frmAlerte*>(popup))
                shown << popup->findChild<QLabel*>(QStringLiteral("lblMessage"))->text();
        QVERIFY(shown.contains(QStringLiteral("07/12/2026\npas encore enregistrée")));
        w.fakes.dialogs.files = {QStringLiteral("/home/moi/note.txt"), std::nullopt};
        w.click("cmdPath");
        w.click("cmdPath"); // cancelled: the box keeps the file
        w.main->mnuTestAction_Click();
        QCOMPARE(w.fakes.launcher.opened.back(), std::string("/home/moi/note.txt"));
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Adding);
    }

    void tickShowsTheFirstDueAlertThenWaitsForItsAnswer() {
        Program w(section(1, "plus tard", "07/12/2026", "11:00") +
                  section(2, "à 9h30", "07/12/2026", "09:30") + section(3, "aussi dû", "06/12/2026"));
        w.fakes.clock.set(Date{year{2026}, month{12}, day{7}}, hours{9} + minutes{29} + seconds{58});
        w.session->Timer1_Timer();
        QCOMPARE(int(w.due.size()), 1);
        QCOMPARE(*w.due[0]->alertId(), 3);
        QVERIFY2(!w.session->Timer1().isActive(), "one popup at a time");
        // An add reloads the table meanwhile: the alert whose popup is open does not come again.
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("nouvelle"));
        w.editor()->dateBox()->ChangeJour(Date{year{2027}, month{1}, day{1}});
        w.click("cmdAdd");
        w.session->Timer1_Timer();
        QCOMPARE(int(w.due.size()), 1);

        w.due[0]->img_Click();
        QTRY_COMPARE(w.session->openPopupCount(), 0);
        QVERIFY(w.session->Timer1().isActive());
        QCOMPARE(w.messages(), (QStringList{"plus tard", "à 9h30", "nouvelle"})); // refilled while shown
        w.session->Timer1_Timer();
        QCOMPARE(int(w.due.size()), 1); // 09:30 is not due at 09:29:58
        w.fakes.clock.advance(seconds{2});
        w.session->Timer1_Timer();
        QCOMPARE(int(w.due.size()), 2);
        QCOMPARE(*w.due[1]->alertId(), 2);
    }

    void theWindowHoldsTogetherInEveryMode() {
        Program w(section(1, "un", "06/12/2026", "09:00", "255", "Defaut.wav"));
        // The editor lies over the list, the placeholder over the message box; the time lists
        // make one joined pair in their frame.
        const QSet<QString> onPurpose{"Frame1+fraEdit", "Text1+txtMessage", "fraHeure+cmbH", "fraHeure+cmbM",
                                      "cmbH+cmbM"};
        QStringList faults = test::windowFaults(w.main.get(), onPurpose);
        w.click("cmdNew");
        faults << test::windowFaults(w.main.get(), onPurpose);
        w.click("cmdUndoNew_0");
        w.pick(QStringLiteral("un"));
        w.click("cmdModify");
        faults << test::windowFaults(w.main.get(), onPurpose);
        w.click("cmdUndoNew_0");
        w.main->resize(w.main->width() + 300, w.main->height());
        faults << test::windowFaults(w.main.get(), onPurpose);
        w.session->Timer1_Timer();
        faults << test::windowFaults(w.due.value(0));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
    }
};

ZENTO_QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
