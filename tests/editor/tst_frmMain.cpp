#include "appearance/AppearanceChooser.h"
#include "calendar/ucMiniCal.h"
#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "editor/MessageTextBox.h"
#include "editor/frmMain.h"
#include "popup/frmAlerte.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleFactory>

#include <filesystem>
#include <memory>

using namespace zento;
using namespace std::chrono;
using zento::test::FakeServices;
using zento::test::readFile;
using zento::test::TempDir;
using zento::test::writeFile;

namespace {

std::string section(std::int32_t id, const std::string& message, const std::string& date,
                    const std::string& time = "", const std::string& back = "16777215",
                    const std::string& fore = "0", const std::string& sound = "") {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message + "\r\nInfo2=" + date +
           "\r\nInfo3=0\r\nInfo4=5\r\n" + "Info5=" + sound + "\r\nInfo6=" + back + "\r\nInfo7=" + fore +
           "\r\nInfo8=" + time + "\r\nInfo9=0\r\nInfo10=\r\n";
}

/// The real main window on a private store, with fake services; today is 7 December 2026, 10:00.
struct Window {
    TempDir dir;
    std::filesystem::path ini = dir / "Alertes.ini";
    AlertStore store{ini};
    FakeServices fakes;
    std::unique_ptr<frmMain> main;

    explicit Window(const std::string& content = {}, std::string defaultEmoticon = "") {
        if (!content.empty())
            writeFile(ini, content);
        fakes.clock.set(Date{year{2026}, month{12}, day{7}}, hours{10});
        main = std::make_unique<frmMain>(store, fakes.services, std::move(defaultEmoticon));
        main->LoadAllAlerts();
        main->ListeAlertes();
        main->show();
    }
    ~Window() {
        // Popups left open by a test go before the window they refer to.
        main.reset();
    }

    template <typename T>
    T* find(const char* name) const {
        T* w = main->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void click(const char* name) { find<QAbstractButton>(name)->click(); }
    AlarmGrid* grid() const { return main->grid(); }
    AlertEditor* editor() const { return main->editor(); }
    MessageTextBox* message() const { return find<MessageTextBox>("txtMessage"); }
    QString cell(int row, int col) const { return grid()->gridModel().index(row, col).data().toString(); }
    int rows() const { return grid()->gridModel().rowCount(); }
    /// Picks the grid row showing that message, as a click on it would.
    void pick(const QString& msg) {
        for (int r = 0; r < rows(); ++r)
            if (cell(r, AlarmGridModel::ColMessage) == msg) {
                grid()->selectRow(r);
                return;
            }
        qFatal("no row %s", qPrintable(msg));
    }
    QStringList shown() const { return fakes.dialogs.texts(); }
    AlertTable table() const { return store.LoadAllAlerts(); }
};

} // namespace

class tst_frmMain final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

    void controlsCarryTheirNamesAndCaptions() {
        Window w;
        QCOMPARE(w.main->windowTitle(), QStringLiteral("Zento"));
        const struct {
            const char* name;
            const char* caption;
            const char* tip;
        } buttons[] = {
            {"cmdNew", "Nouveau", "Ajouter une alerte"},
            {"cmdModify", "Modifier", "Changer l'alerte sélectionnée "},
            {"cmdTest", "Tester", "Voir le Popup"},
            {"cmdDelete", "Supprimer", "Supprime l'alerte sélectionnée"},
            {"cmdMasque_0", "Masquer", "Mettre Zento en mode veillle"},
            {"cmdQuit_0", "Quitter", "Quitter Zento"},
        };
        for (const auto& b : buttons) {
            auto* button = w.find<QPushButton>(b.name);
            QCOMPARE(button->text(), QString::fromUtf8(b.caption));
            QCOMPARE(button->toolTip(), QString::fromUtf8(b.tip));
        }
        QStringList entries;
        for (QAction* a : w.main->fileMenu()->actions())
            if (a->isVisible())
                entries << (a->isSeparator() ? QStringLiteral("-") : a->text());
        QCOMPARE(entries, (QStringList{"Nouveau", "Modifier", "Supprimer", "-", "Masquer", "Quitter"}));
        QCOMPARE(w.editor()->title(), QStringLiteral("Options d'alerte"));
        QVERIFY(!w.editor()->isVisible());
        // The hour list has no 00; the minute list steps by quarters.
        auto* hours = w.find<QComboBox>("cmbH");
        QCOMPARE(hours->count(), 23);
        QCOMPARE(hours->itemText(0), QStringLiteral("01"));
        QCOMPARE(w.find<QComboBox>("cmbM")->count(), 4);
        QCOMPARE(w.find<QComboBox>("cmbPeriodique")->itemText(3), QStringLiteral("1 semaine sur 2"));
        QVERIFY(w.find<QComboBox>("cmbWave")->findText(QStringLiteral("Defaut.wav")) >= 0);
    }

    void everyPictureButtonHasANameAndATip() {
        // Screen readers and test tools find a control by its visible name: a button that shows
        // only a picture or a colour must carry one.
        Window w(section(1, "un", "06/12/2026"));
        w.click("cmdNew");
        w.main->Timer1_Timer();
        QList<QWidget*> windows{w.main.get()};
        for (const auto& p : w.main->openPopups())
            windows << p.data();
        QStringList missing;
        for (QWidget* window : windows) {
            for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
                if (!b->text().trimmed().isEmpty() && b->text() != QStringLiteral("A"))
                    continue;
                // Qt's own helpers (the menu bar's overflow arrow, a table's corner) are not ours.
                if (b->objectName().startsWith(QStringLiteral("qt_")) || !b->isVisibleTo(window))
                    continue;
                if (b->accessibleName().isEmpty() || b->toolTip().isEmpty())
                    missing << QStringLiteral("%1 (%2 in %3)")
                                   .arg(b->objectName(), QString::fromLatin1(b->metaObject()->className()),
                                        b->parentWidget() ? b->parentWidget()->objectName() : QString());
            }
            for (QLabel* l : window->findChildren<QLabel*>())
                if (l->objectName().startsWith(QStringLiteral("lblColor_")) &&
                    (l->accessibleName().isEmpty() || l->toolTip().isEmpty()))
                    missing << l->objectName();
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
    }

    void newAlertOpensWithTheNewAlertValues() {
        Window w;
        w.click("cmdNew");
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Adding);
        QCOMPARE(w.editor()->dateBox()->ChoixDate(), (Date{year{2026}, month{12}, day{7}}));
        QVERIFY(w.message()->message().isEmpty());
        auto* placeholder = w.find<QLineEdit>("Text1");
        QVERIFY(placeholder->isVisible());
        QCOMPARE(placeholder->text(), QStringLiteral("Tapez votre message ici"));
        QCOMPARE(w.find<QComboBox>("cmbPeriodique")->currentText(), QStringLiteral("Unique"));
        QVERIFY(w.find<QRadioButton>("optAlert_1")->isChecked());
        QCOMPARE(w.find<QComboBox>("cmbWave")->currentText(), QStringLiteral("Defaut.wav"));
        QVERIFY(!w.find<QCheckBox>("chkReveil")->isChecked());
        QVERIFY(!w.find<QCheckBox>("chkHeure")->isChecked());
        QVERIFY(!w.find<QComboBox>("cmbH")->isEnabled());
        QCOMPARE(w.find<QPushButton>("cmdAdd")->text(), QStringLiteral("Ajouter"));
        for (const char* name : {"cmdNew", "cmdModify", "cmdDelete"})
            QVERIFY(!w.find<QPushButton>(name)->isEnabled());
        QCOMPARE(w.editor()->chooser()->Tag(), QStringLiteral("5"));

        // Clicking the placeholder hands over to the message box, empty and focused.
        QTest::mouseClick(placeholder, Qt::LeftButton);
        QVERIFY(!placeholder->isVisible());
        QTRY_VERIFY(w.message()->hasFocus() || !QApplication::focusWidget());

        w.click("cmdUndoNew_0");
        QVERIFY(!w.editor()->isVisible());
        QVERIFY(w.find<QPushButton>("cmdNew")->isEnabled());
        QVERIFY2(!std::filesystem::exists(w.ini), "nothing stored");
    }

    void addingWritesTheTenKeysInOrderIntoTheFreeSection() {
        Window w(section(1, "un", "01/03/2027") + section(3, "trois", "02/03/2027"));
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("Réunion"));
        w.find<QCheckBox>("chkHeure")->click();
        w.find<QComboBox>("cmbH")->setCurrentText(QStringLiteral("08"));
        w.find<QComboBox>("cmbM")->setCurrentText(QStringLiteral("15"));
        w.find<QComboBox>("cmbPeriodique")->setCurrentIndex(4);
        w.click("cmdAdd");
        QVERIFY(w.shown().isEmpty());
        QVERIFY(!w.editor()->isVisible());
        const std::string text = readFile(w.ini);
        const auto at = text.find("[Alerte2]\r\n");
        QVERIFY(at != std::string::npos);
        QVERIFY2(at > text.find("[Alerte3]"), "a new section goes to the end");
        std::string::size_type pos = at;
        for (int k = 1; k <= 10; ++k) {
            const auto next = text.find("Info" + std::to_string(k) + "=", pos);
            QVERIFY2(next != std::string::npos, "keys Info1..Info10 in order");
            pos = next;
        }
        const AlertTable t = w.table();
        const Alerte& a = t.at(*t.positionOf(2));
        QCOMPARE(a.Message, std::string("Réunion"));
        QCOMPARE(a.AlertDate, std::string("07/12/2026"));
        QCOMPARE(a.AlertTime, std::string("08:15"));
        QCOMPARE(a.Recurrence, std::string("4"));
        QCOMPARE(a.Sound, std::string("Defaut.wav"));
        QCOMPARE(a.Emoticon, std::string("5"));
        QCOMPARE(a.LoopSound, std::string("0"));
        QCOMPARE(w.store.ReadIniValue("Param", "Nb"), std::string("3"));
        QCOMPARE(w.rows(), 3);
    }

    void popupWithoutSoundAndAllDayAlert() {
        Window w;
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("Sans son"));
        w.find<QCheckBox>("chkReveil")->click();
        w.find<QRadioButton>("optAlert_0")->click();
        QVERIFY(!w.find<QComboBox>("cmbWave")->isVisible());
        QVERIFY(!w.find<QCheckBox>("chkReveil")->isVisible());
        w.click("cmdAdd");
        const Alerte a = w.table().at(1);
        QCOMPARE(a.Sound, std::string());
        QCOMPARE(a.AlertTime, std::string());
        // the hidden loop box keeps what was ticked before
        QCOMPARE(a.LoopSound, std::string("1"));
    }

    void refusalsLeaveTheEditorOpenAndWriteNothing() {
        Window w(section(1, "un", "01/03/2027"));
        const std::string before = readFile(w.ini);
        w.click("cmdNew");
        w.click("cmdAdd");
        QCOMPARE(w.shown(), QStringList{"Indiquez un message"});
        QCOMPARE(w.fakes.dialogs.shown.back().icon, UserDialogs::Icon::None);
        QVERIFY(w.editor()->isVisible());
        w.click("cmdUndoNew_1");

        w.pick(QStringLiteral("un"));
        w.click("cmdModify");
        w.message()->setMessage(QString());
        w.click("cmdAdd");
        QCOMPARE(w.shown().back(), QStringLiteral("Indiquez le message"));
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(readFile(w.ini), before);
    }

    void modifyingKeepsTheSectionAndIdAndRewritesEveryKey() {
        Window w(section(1, "un", "01/03/2027", "14:30", "255", "16777215", "Defaut.wav") +
                 section(2, "deux", "02/03/2027") + "[Param]\r\nNb=2\r\n");
        w.click("cmdModify");
        QCOMPARE(w.shown(), QStringList{"Selectionnez la ligne à modifier"});
        QCOMPARE(w.fakes.dialogs.shown.back().icon, UserDialogs::Icon::Information);

        w.pick(QStringLiteral("un"));
        w.click("cmdModify");
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Modifying);
        QCOMPARE(w.find<QPushButton>("cmdAdd")->text(), QStringLiteral("Enregistrer les modifications"));
        QVERIFY(w.find<QCheckBox>("chkHeure")->isChecked());
        QCOMPARE(w.find<QComboBox>("cmbH")->currentText(), QStringLiteral("14"));
        QCOMPARE(w.find<QComboBox>("cmbM")->currentText(), QStringLiteral("30"));
        QVERIFY(!w.find<QLineEdit>("Text1")->isVisible());
        QCOMPARE(w.editor()->dateBox()->ChoixDate(), (Date{year{2027}, month{3}, day{1}}));
        w.message()->setMessage(QStringLiteral("un modifié"));
        w.click("cmdAdd");
        QVERIFY(w.shown().size() == 1);
        const AlertTable t = w.table();
        QCOMPARE(t.AlertCount(), 2);
        // same section, same place
        QCOMPARE(t.AlertId(1), 1);
        QCOMPARE(t.at(1).Message, std::string("un modifié"));
        QCOMPARE(t.at(1).AlertTime, std::string("14:30"));
        QCOMPARE(t.at(1).BackColor, std::string("255"));
        QCOMPARE(t.at(1).ForeColor, std::string("16777215"));
        QCOMPARE(w.store.ReadIniValue("Param", "Nb"), std::string("2"));
    }

    void storedTimesTheListsDoNotOfferAreKept() {
        // Minute 05 (after a snooze) and hour 00 are not in the lists; saving must not change them.
        Window w(section(1, "snoozé", "01/03/2027", "09:05") + section(2, "minuit", "02/03/2027", "00:30"));
        for (const auto& [msg, time] : {std::pair{"snoozé", "09:05"}, std::pair{"minuit", "00:30"}}) {
            w.pick(QString::fromUtf8(msg));
            w.click("cmdModify");
            w.click("cmdAdd");
            const AlertTable t = w.table();
            QCOMPARE(t.at(*t.positionOf(msg == std::string("snoozé") ? 1 : 2)).AlertTime, std::string(time));
        }
        // The extra entries are gone again for the next alert.
        w.click("cmdNew");
        QCOMPARE(w.find<QComboBox>("cmbM")->count(), 4);
        QCOMPARE(w.find<QComboBox>("cmbH")->count(), 23);
    }

    void deleteAsksThenRemovesTheSection() {
        Window w(section(1, "Réunion", "01/03/2027") + section(2, "deux", "02/03/2027") +
                 "[Param]\r\nNb=2\r\n");
        w.click("cmdDelete");
        QCOMPARE(w.shown(), QStringList{"Selectionnez la ligne à supprimer"});
        w.pick(QStringLiteral("Réunion"));
        const std::string before = readFile(w.ini);
        w.fakes.dialogs.answers = {false};
        w.click("cmdDelete");
        QCOMPARE(w.shown().back(), QStringLiteral("Supprimer Réunion ?"));
        QCOMPARE(w.fakes.dialogs.shown.back().icon, UserDialogs::Icon::None);
        QVERIFY(w.fakes.dialogs.shown.back().question);
        QCOMPARE(readFile(w.ini), before);

        w.fakes.dialogs.answers = {true};
        w.click("cmdDelete");
        QCOMPARE(w.table().AlertCount(), 1);
        QCOMPARE(w.table().AlertId(1), 2);
        QCOMPARE(w.rows(), 1);
        QCOMPARE(w.store.ReadIniValue("Param", "Nb"), std::string("1"));

        // Right after the refill no row is current, although SelectedAlertId remembers one.
        QVERIFY(w.grid()->SelectedAlertId() != 0);
        w.fakes.dialogs.clear();
        w.click("cmdDelete");
        QCOMPARE(w.shown(), QStringList{"Selectionnez la ligne à supprimer"});
    }

    void gridListsByDayInTheAlertsColours() {
        Window w(section(1, "soir", "05/03/2024", "18:00", "255", "16777215", "Defaut.wav") +
                 section(2, "premier", "1/3/2024", "", "8454143&", "0") +
                 section(3, "matin", "05/03/2024", "08:00", "&H0080FFFF&", "0") +
                 section(4, "pas une date", "bientôt", "", "rouge", "0") + section(5, "avant", "28/02/2024"));
        QCOMPARE(w.rows(), 5);
        QStringList order;
        for (int r = 0; r < w.rows(); ++r)
            order << w.cell(r, AlarmGridModel::ColMessage);
        QCOMPARE(order, (QStringList{"avant", "premier", "soir", "matin", "pas une date"}));
        QCOMPARE(w.cell(1, AlarmGridModel::ColDate), QStringLiteral("01/03/2024"));
        QCOMPARE(w.cell(4, AlarmGridModel::ColDate), QStringLiteral("bientôt"));
        QCOMPARE(w.cell(2, AlarmGridModel::ColSound), QStringLiteral("Defaut"));
        QCOMPARE(w.cell(1, AlarmGridModel::ColSound), QString());
        const auto colour = [&](int r, int c, int role) {
            return w.grid()->gridModel().index(r, c).data(role).value<QColor>();
        };
        for (int c = AlarmGridModel::ColId; c <= AlarmGridModel::ColSound; ++c) {
            QCOMPARE(colour(2, c, Qt::BackgroundRole), QColor(255, 0, 0));
            QCOMPARE(colour(2, c, Qt::ForegroundRole), QColor(255, 255, 255));
        }
        QCOMPARE(colour(1, 1, Qt::BackgroundRole), QColor(0xFF, 0xFF, 0x80));
        QCOMPARE(colour(3, 1, Qt::BackgroundRole), QColor(0xFF, 0xFF, 0x80));
        QVERIFY2(!w.grid()->gridModel().index(4, 1).data(Qt::BackgroundRole).isValid(), "default colours");
        QVERIFY(w.grid()->isColumnHidden(AlarmGridModel::ColId));
        QVERIFY(w.grid()->isColumnHidden(AlarmGridModel::ColPosition));
        QCOMPARE(w.grid()->gridModel().headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QStringLiteral("Date"));
    }

    void aRecordThatDoesNotConvertStillOpens() {
        Window w("[Alerte7]\r\nInfo1=abîmé\r\nInfo2=32/13/"
                 "2026\r\nInfo3=42\r\nInfo4=x\r\nInfo5=ab\r\nInfo6=rouge\r\n"
                 "Info7=&Hzz\r\nInfo8=99:99\r\nInfo9=7\r\n");
        const std::string before = readFile(w.ini);
        QCOMPARE(w.rows(), 1);
        QCOMPARE(w.cell(0, AlarmGridModel::ColSound), QStringLiteral("ab"));
        w.pick(QStringLiteral("abîmé"));
        w.click("cmdModify");
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(w.editor()->dateBox()->ChoixDate(), (Date{year{2026}, month{12}, day{7}}));
        QCOMPARE(w.find<QComboBox>("cmbPeriodique")->currentText(), QStringLiteral("Unique"));
        QVERIFY(!w.find<QCheckBox>("chkHeure")->isChecked());
        w.click("cmdUndoNew_0");
        // the file changes only when the user saves
        QCOMPARE(readFile(w.ini), before);
    }

    void saveGoesToTheAlertOpenedEvenAfterARefill() {
        Window w(section(1, "un", "01/03/2027") + section(2, "deux", "02/03/2027"));
        w.pick(QStringLiteral("deux"));
        w.click("cmdModify");
        // A popup closing meanwhile refills the grid: no row is current any more.
        w.main->ListeAlertes();
        w.message()->setMessage(QStringLiteral("deux modifié"));
        w.click("cmdAdd");
        QVERIFY(w.shown().isEmpty());
        const AlertTable t = w.table();
        QCOMPARE(t.at(*t.positionOf(2)).Message, std::string("deux modifié"));
        QCOMPARE(t.at(*t.positionOf(1)).Message, std::string("un"));
    }

    void anEditOfAnAlertRemovedMeanwhileIsStoredAsANewOne() {
        Window w(section(1, "un", "01/03/2027") + section(2, "deux", "02/03/2027"));
        w.pick(QStringLiteral("deux"));
        w.click("cmdModify");
        QVERIFY(w.store.DeleteAlertSection(2)); // acknowledged in a popup, say
        w.message()->setMessage(QStringLiteral("deux, gardé"));
        w.click("cmdAdd");
        const AlertTable t = w.table();
        QCOMPARE(t.AlertCount(), 2);
        QCOMPARE(t.at(2).Message, std::string("deux, gardé"));
        QCOMPARE(w.store.ReadIniValue("Param", "Nb"), std::string("2"));
    }

    void aFailedWriteIsToldAndTheEditKept() {
        Window w(section(1, "un", "01/03/2027"));
        std::filesystem::permissions(w.ini, std::filesystem::perms::owner_read);
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("perdu ?"));
        w.click("cmdAdd");
        QCOMPARE(w.shown(),
                 QStringList{"Impossible d'enregistrer l'alerte : le fichier est en lecture seule"});
        QCOMPARE(w.fakes.dialogs.shown.back().icon, UserDialogs::Icon::Warning);
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(w.message()->message(), QStringLiteral("perdu ?"));
        w.click("cmdUndoNew_0");

        w.pick(QStringLiteral("un"));
        w.fakes.dialogs.answers = {true};
        w.click("cmdDelete");
        QCOMPARE(w.shown().back(),
                 QStringLiteral("Impossible d'enregistrer l'alerte : le fichier est en lecture seule"));
        QCOMPARE(w.table().AlertCount(), 1);
    }

    void messageBoxTakesSixtyTypedCharactersButKeepsALongerStoredOne() {
        Window w(section(1, std::string(80, 'm'), "01/03/2027"));
        w.click("cmdNew");
        w.message()->setFocus();
        QTest::keyClicks(w.message(), QString(70, QLatin1Char('a')));
        QCOMPARE(w.message()->message().size(), 60);
        QTest::keyClick(w.message(), Qt::Key_Return);
        // no line break in a message
        QCOMPARE(w.message()->message().size(), 60);
        w.click("cmdUndoNew_0");

        w.pick(QString(80, QLatin1Char('m')));
        w.click("cmdModify");
        QCOMPARE(w.message()->message().size(), 80);
        w.click("cmdAdd");
        QCOMPARE(w.table().at(1).Message, std::string(80, 'm'));
    }

    void gridContextMenuAndDoubleClick() {
        Window w(section(1, "un", "01/03/2027"));
        QTest::mousePress(w.grid()->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        QVERIFY2(w.fakes.dialogs.menusShown.isEmpty(), "no row chosen yet: no menu");
        w.pick(QStringLiteral("un"));
        w.fakes.dialogs.menuChoices = {QStringLiteral("Voir le Popup (Test)")};
        const QRect row = w.grid()->visualRect(w.grid()->gridModel().index(0, 1));
        QTest::mousePress(w.grid()->viewport(), Qt::RightButton, {}, row.center());
        QCOMPARE(w.fakes.dialogs.menuEntriesShown.back(),
                 (QStringList{"Nouveau", "Modifier", "Supprimer", "Voir le Popup (Test)"}));
        // the test popup of the stored alert
        QCOMPARE(w.main->openPopupCount(), 1);
        // Back in the menu bar, the test entry hides again.
        QStringList bar;
        for (QAction* a : w.main->fileMenu()->actions())
            if (a->isVisible() && !a->isSeparator())
                bar << a->text();
        QCOMPARE(bar, (QStringList{"Nouveau", "Modifier", "Supprimer", "Masquer", "Quitter"}));

        QTest::mouseDClick(w.grid()->viewport(), Qt::LeftButton, {}, row.center());
        QVERIFY(w.editor()->isVisible());
        QCOMPARE(w.editor()->mode(), AlertEditor::Mode::Modifying);
    }

    void testCommandNeedsARowAndChangesNothing() {
        Window w(section(1, "un", "01/03/2027"));
        const std::string before = readFile(w.ini);
        w.click("cmdTest");
        QCOMPARE(w.shown(), QStringList{"Selectionnez la ligne à tester"});
        w.pick(QStringLiteral("un"));
        w.click("cmdTest");
        QCOMPARE(w.main->openPopupCount(), 1);
        w.main->openPopups().front()->img_Click();
        QTRY_COMPARE(w.main->openPopupCount(), 0);
        QCOMPARE(readFile(w.ini), before);
    }

    void tickShowsTheFirstDueAlertThenWaits() {
        Window w(section(1, "plus tard", "07/12/2026", "11:00") +
                 section(2, "à 9h30", "07/12/2026", "09:30") + section(3, "aussi dû", "06/12/2026"));
        w.fakes.clock.set(Date{year{2026}, month{12}, day{7}}, hours{9} + minutes{29} + seconds{58});
        w.main->Timer1_Timer();
        // the all-day alert of yesterday is due
        QCOMPARE(w.main->openPopupCount(), 1);
        QCOMPARE(*w.main->openPopups().front()->alertId(), 3);
        QVERIFY2(!w.main->Timer1().isActive(), "one popup at a time");

        // Acknowledged (one-off: deleted), the next due alert comes at the next tick, not before.
        w.main->openPopups().front()->img_Click();
        QTRY_COMPARE(w.main->openPopupCount(), 0);
        QVERIFY(w.main->Timer1().isActive());
        w.main->Timer1_Timer();
        // 09:30 is not due at 09:29:58
        QCOMPARE(w.main->openPopupCount(), 0);
        w.fakes.clock.advance(seconds{2});
        w.main->Timer1_Timer();
        QCOMPARE(w.main->openPopupCount(), 1);
        QCOMPARE(*w.main->openPopups().front()->alertId(), 2);
    }

    void aSleepOrAClockJumpMissesNothing() {
        // The tick compares wall-clock moments: whatever passed while the computer slept, or
        // while the clock jumped, is due at the next tick, one alert after the other.
        Window w(section(1, "11h", "07/12/2026", "11:00") + section(2, "9h30", "07/12/2026", "09:30"));
        w.fakes.clock.set(Date{year{2026}, month{12}, day{7}}, hours{9});
        w.main->Timer1_Timer();
        QCOMPARE(w.main->openPopupCount(), 0);
        w.fakes.clock.set(Date{year{2026}, month{12}, day{7}}, hours{12} + minutes{7});
        w.main->Timer1_Timer();
        QCOMPARE(w.main->openPopupCount(), 1);
        QCOMPARE(*w.main->openPopups().front()->alertId(), 1);
        w.main->openPopups().front()->img_Click();
        QTRY_COMPARE(w.main->openPopupCount(), 0);
        w.main->Timer1_Timer();
        QCOMPARE(*w.main->openPopups().front()->alertId(), 2);
        w.main->openPopups().front()->img_Click();
        QTRY_COMPARE(w.main->openPopupCount(), 0);

        // Set back before an alert's moment, the clock does not bring it early.
        QVERIFY(w.store.WriteAlert([] {
            Alerte a;
            a.Id = 5;
            a.Message = "demain";
            a.AlertDate = "08/12/2026";
            return a;
        }()));
        w.main->LoadAllAlerts();
        w.fakes.clock.set(Date{year{2026}, month{12}, day{6}}, hours{23});
        w.main->Timer1_Timer();
        QCOMPARE(w.main->openPopupCount(), 0);
        QVERIFY(w.main->Timer1().isActive());
    }

    void theFileChooserFillsTheActionBox() {
        Window w;
        w.click("cmdNew");
        w.fakes.dialogs.files = {QStringLiteral("/home/moi/Mes documents/note.txt")};
        w.click("cmdPath");
        QCOMPARE(w.fakes.dialogs.fileDialogTitles, QStringList{"Selectionner le fichier à ouvrir"});
        QCOMPARE(w.find<QLineEdit>("txtAction")->text(), QStringLiteral("/home/moi/Mes documents/note.txt"));
        w.click("cmdPath"); // cancelled
        QCOMPARE(w.find<QLineEdit>("txtAction")->text(), QStringLiteral("/home/moi/Mes documents/note.txt"));
        w.main->mnuTestAction_Click();
        QCOMPARE(w.fakes.launcher.opened, std::vector<std::string>{"/home/moi/Mes documents/note.txt"});
    }

    void aReloadWhileAPopupIsOpenDoesNotShowItTwice() {
        Window w(section(1, "dû", "06/12/2026") + section(2, "dû aussi", "06/12/2026"));
        w.main->Timer1_Timer();
        QCOMPARE(w.main->openPopupCount(), 1);
        // An add in the editor reloads and switches the timer on again.
        w.click("cmdNew");
        w.message()->setMessage(QStringLiteral("nouvelle"));
        w.fakes.clock.advance(hours{1});
        w.editor()->dateBox()->ChangeJour(Date{year{2027}, month{1}, day{1}});
        w.click("cmdAdd");
        QVERIFY(w.main->Timer1().isActive());
        w.main->Timer1_Timer();
        QCOMPARE(w.main->openPopupCount(), 2);
        // the next due alert, not alert 1 again
        QCOMPARE(*w.main->openPopups().back()->alertId(), 2);
    }
};

ZENTO_QTEST_MAIN(tst_frmMain)
#include "tst_frmMain.moc"
