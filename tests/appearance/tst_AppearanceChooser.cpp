#include "ui/Twips.h"
#include "appearance/AppearanceChooser.h"
#include "appearance/Palette.h"
#include "appearance/QtColor.h"
#include "appearance/RandomSource.h"
#include "store/AlertStore.h"
#include "support/FakeDialogs.h"
#include "support/QtTestMain.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QSvgRenderer>
#include <QTextEdit>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

using namespace zento;

namespace {

/// Replays the given numbers, then those of a seeded generator when one is set (else 0).
class ScriptedRandom final : public RandomSource {
public:
    std::deque<double> values;
    std::optional<StdRandomSource> then;
    int draws = 0;

    double NextUniform() override {
        ++draws;
        if (!values.empty()) {
            const double v = values.front();
            values.pop_front();
            return v;
        }
        return then ? then->NextUniform() : 0.0;
    }
};

QColor hex(const char* name) {
    return QColor(QString::fromLatin1(name));
}

/// The colours of palette cell `index`, as the user sees them.
std::pair<QColor, QColor> cellColors(int index) {
    const PaletteCell& c = kPalette[static_cast<std::size_t>(index)];
    return {toQColor(c.background), toQColor(c.text)};
}

/// An emoticon as the resource draws it at that size.
QImage emoticonImage(int index, QSize size) {
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QSvgRenderer svg(QStringLiteral(":/emoticons/emo_%1.svg").arg(index, 2, 10, QLatin1Char('0')));
    svg.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return img;
}

const QColor kMessageBack = hex("#FFC080");
const QColor kMessageText = hex("#000000");
const QColor kHintBack = hex("#FFFFC0");
const QColor kHintText = hex("#404040");

} // namespace

class tst_AppearanceChooser : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<AlertStore> m_store;
    test::FakeDialogs m_dialogs;
    ScriptedRandom m_random;
    std::unique_ptr<QWidget> m_host;
    QTextEdit* m_message = nullptr;
    QLineEdit* m_hint = nullptr;
    AppearanceChooser* m_chooser = nullptr;

    void build(const std::filesystem::path& iniPath) {
        m_host.reset();
        m_store = std::make_unique<AlertStore>(iniPath);
        m_host = std::make_unique<QWidget>();
        m_host->resize(twips::size(8055, 4692));
        m_message = new QTextEdit(m_host.get());
        m_message->setObjectName(QStringLiteral("txtMessage"));
        m_message->setGeometry(twips::rect(2040, 1200, 4290, 1425));
        m_hint = new QLineEdit(QStringLiteral("Tapez votre message ici"), m_host.get());
        m_hint->setObjectName(QStringLiteral("Text1"));
        m_hint->setGeometry(twips::rect(2640, 1260, 3135, 340));
        setBoxColors(m_message, kMessageBack, kMessageText);
        setBoxColors(m_hint, kHintBack, kHintText);
        m_chooser = new AppearanceChooser(*m_store, m_dialogs, m_random, m_message, m_hint, m_host.get());
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    }
    std::string iniText() const { return test::readFile(m_store->IniPath()); }
    QAbstractButton* button(const QString& name) const {
        auto* b = m_chooser->findChild<QAbstractButton*>(name);
        if (!b)
            qFatal("no button %s", qPrintable(name));
        return b;
    }
    QAbstractButton* cell(int i) const { return button(QStringLiteral("lblColor_%1").arg(i)); }
    QAbstractButton* emoticon(int i) const { return button(QStringLiteral("img_%1").arg(i)); }
    QString param(const char* key) const {
        return QString::fromStdString(m_store->ReadIniValue("Param", key, "<absent>"));
    }
    void expectBoxes(const QColor& msgBack, const QColor& msgText, const QColor& hintBack,
                     const QColor& hintText) {
        QCOMPARE(boxBackground(m_message), msgBack);
        QCOMPARE(boxForeground(m_message), msgText);
        QCOMPARE(boxBackground(m_hint), hintBack);
        QCOMPARE(boxForeground(m_hint), hintText);
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        m_dialogs = test::FakeDialogs{};
        m_random.values.clear();
        m_random.then.reset();
        m_random.draws = 0;
        build(*m_dir / "Alertes.ini");
    }
    void cleanup() {
        m_host.reset();
        m_store.reset();
        m_dir.reset();
    }

    void layoutAndNames() {
        QCOMPARE(m_chooser->size(),
                 twips::size(AppearanceChooser::kWidthTwips, AppearanceChooser::kHeightTwips));
        auto* colors = m_chooser->findChild<QFrame*>(QStringLiteral("fraColors"));
        auto* images = m_chooser->findChild<QFrame*>(QStringLiteral("fraImg"));
        QVERIFY(colors && images);
        QCOMPARE(colors->geometry(), images->geometry());
        QCOMPARE(colors->geometry().top(), twips::px(1464));
        QCOMPARE(colors->size(), twips::size(1650, 2100));
        // Everything stays left of the date box.
        for (QWidget* w : m_chooser->findChildren<QWidget*>())
            if (w->parentWidget() == m_chooser)
                QVERIFY2(w->geometry().right() < twips::px(2040), qPrintable(w->objectName()));
        // Rows 3 and 4 of the palette and row 2 of the emoticons run right to left.
        QCOMPARE(cell(9)->geometry(), twips::rect(840, 1320, 330, 330));
        QCOMPARE(cell(15)->geometry(), twips::rect(120, 960, 330, 330));
        QCOMPARE(emoticon(5)->geometry(), twips::rect(840, 540, 360, 330));
        QCOMPARE(emoticon(12)->geometry(), twips::rect(120, 1260, 360, 330));
        QCOMPARE(cell(1)->accessibleName(), QStringLiteral("Fond #FFC0C0, texte #FF0000"));
        QCOMPARE(cell(1)->toolTip(), QStringLiteral("Click dans une des cases pour changer les couleurs"));
        QCOMPARE(emoticon(12)->accessibleName(), QStringLiteral("Horloge"));
        QCOMPARE(emoticon(12)->toolTip(), QStringLiteral("Click sur une image pour la sélectionnée"));
        QVERIFY(colors->isVisible());
        QVERIFY(!images->isVisible());
        QVERIFY(button(QStringLiteral("optCouleurs"))->isChecked());
        QCOMPARE(m_chooser->Tag(), QString());
    }

    void paletteClick_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("hintShowing");
        QTest::newRow("cell 1, placeholder showing") << 1 << true;
        QTest::newRow("cell 1, placeholder hidden") << 1 << false;
        QTest::newRow("cell 13, placeholder showing") << 13 << true;
        QTest::newRow("cell 8, placeholder hidden") << 8 << false;
    }
    void paletteClick() {
        QFETCH(int, index);
        QFETCH(bool, hintShowing);
        m_hint->setVisible(hintShowing);
        QTest::mouseClick(cell(index), Qt::LeftButton);
        const auto [back, text] = cellColors(index);
        if (hintShowing)
            expectBoxes(back, text, back, text);
        else
            expectBoxes(back, text, kHintBack, kHintText);
        // The box really paints with them under Fusion.
        QCOMPARE(m_message->viewport()->grab().toImage().pixelColor(5, 40), back);
        QVERIFY(m_dialogs.menusShown.isEmpty());
    }

    void paletteMenuUsesRecordedCell() {
        QTest::mouseClick(cell(2), Qt::LeftButton);
        m_dialogs.menuChoices = {QStringLiteral("Définir par défaut pour les nouvelles alertes")};
        QTest::mousePress(cell(9), Qt::RightButton);
        QCOMPARE(m_dialogs.menusShown, QStringList{QStringLiteral("Couleurs")});
        QCOMPARE(m_chooser->PaletteMenuCell(), 9);
        QCOMPARE(param("Fond"), QStringLiteral("16744576"));
        QCOMPARE(param("Police"), QStringLiteral("16384"));
        const auto [back, text] = cellColors(2); // the right press did not recolour
        QCOMPARE(boxBackground(m_message), back);
        QCOMPARE(boxForeground(m_message), text);

        // The keyboard's menu key records its cell the same way.
        m_dialogs.menuChoices = {QStringLiteral("Définir par défaut pour les nouvelles alertes")};
        QTest::keyClick(cell(13), Qt::Key_Menu);
        QCOMPARE(m_chooser->PaletteMenuCell(), 13);
        QCOMPARE(param("Fond"), QStringLiteral("8438015"));
        QCOMPARE(param("Police"), QStringLiteral("4210752"));
        QVERIFY(m_dialogs.shown.empty());
    }

    void colorDialog_data() {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<bool>("hintShowing");
        QTest::newRow("fond, confirmed") << QStringLiteral("Couleur de fond") << true << true;
        QTest::newRow("fond, confirmed, no placeholder")
            << QStringLiteral("Couleur de fond") << true << false;
        QTest::newRow("fond, cancelled") << QStringLiteral("Couleur de fond") << false << true;
        QTest::newRow("police, confirmed") << QStringLiteral("Couleur de police") << true << true;
        QTest::newRow("police, confirmed, no placeholder")
            << QStringLiteral("Couleur de police") << true << false;
        QTest::newRow("police, cancelled") << QStringLiteral("Couleur de police") << false << true;
    }
    void colorDialog() {
        QFETCH(QString, entry);
        QFETCH(bool, confirm);
        QFETCH(bool, hintShowing);
        m_hint->setVisible(hintShowing);
        const QColor chosen = hex("#123456");
        m_dialogs.menuChoices = {entry};
        if (confirm)
            m_dialogs.colors = {chosen};
        QTest::mouseClick(button(QStringLiteral("cmdPerso")), Qt::LeftButton);
        QCOMPARE(m_dialogs.menusShown, QStringList{QStringLiteral("Couleurs")});
        QCOMPARE(
            m_dialogs.menuEntriesShown.value(0),
            (QStringList{QStringLiteral("Couleur de fond"), QStringLiteral("Couleur de police"),
                         QStringLiteral("Définir couleurs actuelles par défaut pour les nouvelles alertes"),
                         QStringLiteral("Choisir aléatoirement pour les nouvelles alertes")}));
        const bool fond = entry == QStringLiteral("Couleur de fond");
        QCOMPARE(m_dialogs.colorDialogInitials.size(), std::size_t{1});
        QCOMPARE(m_dialogs.colorDialogInitials[0], fond ? kMessageBack : kMessageText);
        const bool changes = confirm;
        const bool hintChanges = confirm && hintShowing;
        expectBoxes(changes && fond ? chosen : kMessageBack, changes && !fond ? chosen : kMessageText,
                    hintChanges && fond ? chosen : kHintBack, hintChanges && !fond ? chosen : kHintText);
        QVERIFY(!m_store->exists()); // choosing a colour stores nothing
    }

    void currentColorsAndRandomAsDefaults() {
        m_dialogs.menuChoices = {
            QStringLiteral("Couleur de fond"),
            QStringLiteral("Définir couleurs actuelles par défaut pour les nouvelles alertes")};
        m_dialogs.colors = {hex("#123456")};
        QTest::mouseClick(button(QStringLiteral("cmdPerso")), Qt::LeftButton);
        QTest::mouseClick(button(QStringLiteral("cmdPerso")), Qt::LeftButton);
        QCOMPARE(param("Fond"), QStringLiteral("5649426")); // 0x00563412
        QCOMPARE(param("Police"), QStringLiteral("0"));

        m_dialogs.menuChoices = {QStringLiteral("Choisir aléatoirement pour les nouvelles alertes")};
        QTest::mouseClick(button(QStringLiteral("cmdPerso")), Qt::LeftButton);
        QCOMPARE(param("Fond"), QString()); // written, empty
        QCOMPARE(param("Police"), QString());
        m_random.values = {0.15}; // cell 1
        m_chooser->ApplyNewAlertDefaults("5");
        const auto [back, text] = cellColors(1);
        expectBoxes(back, text, back, text);
    }

    void emoticonPage() {
        QTest::mouseClick(cell(4), Qt::LeftButton);
        QTest::mouseClick(button(QStringLiteral("optLogos")), Qt::LeftButton);
        QVERIFY(m_chooser->findChild<QFrame*>(QStringLiteral("fraImg"))->isVisible());
        QVERIFY(!m_chooser->findChild<QFrame*>(QStringLiteral("fraColors"))->isVisible());
        QVERIFY(button(QStringLiteral("optLogos"))->isChecked());
        QVERIFY(!button(QStringLiteral("optCouleurs"))->isChecked());
        QTest::mouseClick(emoticon(12), Qt::LeftButton);
        QCOMPARE(m_chooser->Tag(), QStringLiteral("12"));
        const QIcon shown = button(QStringLiteral("Image1"))->icon();
        QVERIFY(!shown.availableSizes().isEmpty());
        const QSize size = shown.availableSizes().first();
        const QImage picture =
            shown.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(picture, emoticonImage(12, size));
        QVERIFY(picture != emoticonImage(5, size));

        QTest::mouseClick(button(QStringLiteral("cmdEmoDefaut")), Qt::LeftButton);
        QCOMPARE(param("Img"), QStringLiteral("12"));

        // Back to the colours: neither the colours nor the emoticon moved.
        QTest::mouseClick(button(QStringLiteral("optCouleurs")), Qt::LeftButton);
        QVERIFY(m_chooser->colorPageShowing());
        QCOMPARE(m_chooser->Tag(), QStringLiteral("12"));
        const auto [back, text] = cellColors(4);
        QCOMPARE(boxBackground(m_message), back);
        QCOMPARE(boxForeground(m_message), text);
    }

    void rightPressOnEmoticonSwitch() {
        m_chooser->img_Click(3);
        m_dialogs.menuChoices = {
            QStringLiteral("Définir l'Emoticon actuel par défaut pour les nouvelles alertes")};
        QTest::mousePress(button(QStringLiteral("optLogos")), Qt::RightButton);
        QCOMPARE(m_dialogs.menusShown, QStringList{QStringLiteral("Image")});
        QVERIFY(m_chooser->colorPageShowing());
        QVERIFY(button(QStringLiteral("optCouleurs"))->isChecked());
        QCOMPARE(param("Img"), QStringLiteral("3"));
    }

    void outOfRangeEmoticon_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("tag");
        QTest::newRow("0") << 0 << QStringLiteral("0");
        QTest::newRow("15") << 15 << QStringLiteral("15");
        QTest::newRow("16") << 16 << QStringLiteral("5");
        QTest::newRow("-1") << -1 << QStringLiteral("5");
        QTest::newRow("32767") << 32767 << QStringLiteral("5");
    }
    void outOfRangeEmoticon() {
        QFETCH(int, index);
        QFETCH(QString, tag);
        m_chooser->img_Click(index);
        QCOMPARE(m_chooser->Tag(), tag);
    }

    void testMenu() {
        QSignalSpy popup(m_chooser, &AppearanceChooser::testPopupRequested);
        QSignalSpy action(m_chooser, &AppearanceChooser::testActionRequested);
        m_dialogs.menuChoices = {QStringLiteral("Voir le Popup (Test)"), QStringLiteral("Tester l'action")};
        QTest::mousePress(button(QStringLiteral("Image1")), Qt::LeftButton);
        QTest::mousePress(button(QStringLiteral("Image1")), Qt::RightButton);
        QTest::mousePress(button(QStringLiteral("Image1")), Qt::MiddleButton);
        QTest::mouseClick(m_chooser->findChild<QLabel*>(QStringLiteral("Label1")), Qt::LeftButton);
        QCOMPARE(m_dialogs.menusShown, QStringList(4, QStringLiteral("Test")));
        QCOMPARE(m_dialogs.menuEntriesShown.value(0),
                 (QStringList{QStringLiteral("Voir le Popup (Test)"), QStringLiteral("Tester l'action")}));
        QCOMPARE(popup.count(), 1);
        QCOMPARE(action.count(), 1);
    }

    void keyboard() {
        // Tab reaches every control of the page that shows, and only those.
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        button(QStringLiteral("Image1"))->setFocus();
        std::set<QString> reached;
        for (QWidget* w = QApplication::focusWidget(); w && m_chooser->isAncestorOf(w) && reached.size() < 60;
             w = QApplication::focusWidget()) {
            reached.insert(w->objectName());
            QTest::keyClick(w, Qt::Key_Tab);
        }
        for (int i = 0; i < kPaletteSize; ++i)
            QVERIFY(reached.count(QStringLiteral("lblColor_%1").arg(i)));
        for (const char* name : {"Image1", "optCouleurs", "optLogos", "cmdPerso"})
            QVERIFY2(reached.count(QLatin1String(name)), name);
        QVERIFY(!reached.count(QStringLiteral("img_0")));

        QTest::keyClick(cell(6), Qt::Key_Space);
        QCOMPARE(boxBackground(m_message), cellColors(6).first);
        QTest::keyClick(cell(5), Qt::Key_Return);
        QCOMPARE(boxBackground(m_message), cellColors(5).first);
        QTest::keyClick(emoticon(9), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(m_chooser->Tag(), QStringLiteral("9"));
        QTest::keyClick(button(QStringLiteral("Image1")), Qt::Key_Space);
        QTest::keyClick(button(QStringLiteral("Image1")), Qt::Key_Return);
        QCOMPARE(m_dialogs.menusShown, QStringList(2, QStringLiteral("Test")));
    }

    void newAlertRandomColorsComeFromOneTopCell() {
        m_random.then.emplace(20260107);
        std::set<int> seen;
        for (int i = 0; i < 400; ++i) {
            m_chooser->ApplyNewAlertDefaults("");
            const QColor back = boxBackground(m_message);
            const QColor text = boxForeground(m_message);
            QCOMPARE(boxBackground(m_hint), back);
            QCOMPARE(boxForeground(m_hint), text);
            int found = -1;
            for (int c = 0; c < kPaletteSize; ++c)
                if (cellColors(c) == std::pair{back, text})
                    found = c;
            QVERIFY2(found >= 0 && found < kRandomPaletteCells, qPrintable(back.name() + " " + text.name()));
            seen.insert(found);
        }
        QCOMPARE(m_random.draws, 400); // one draw per new alert
        QCOMPARE(seen.size(), std::size_t{kRandomPaletteCells});
    }

    void newAlertStoredColors_data() {
        QTest::addColumn<QByteArray>("fond");
        QTest::addColumn<QByteArray>("police");
        QTest::addColumn<QColor>("back");
        QTest::addColumn<QColor>("text");
        // The draw is 0.6: cell 4, #C0FFC0 with #C00000 text.
        QTest::newRow("decimal Fond")
            << QByteArray("8454143") << QByteArray() << hex("#FFFF80") << hex("#C00000");
        QTest::newRow("hex Fond") << QByteArray("&H0080FFFF&") << QByteArray() << hex("#FFFF80")
                                  << hex("#C00000");
        QTest::newRow("Police only") << QByteArray() << QByteArray("16384") << hex("#C0FFC0")
                                     << hex("#004000");
        QTest::newRow("both") << QByteArray("8454143") << QByteArray("255") << hex("#FFFF80")
                              << hex("#FF0000");
        QTest::newRow("unconvertible")
            << QByteArray("abc") << QByteArray("&Hzz") << hex("#C0FFC0") << hex("#C00000");
        QTest::newRow("too large") << QByteArray("16777216") << QByteArray("-1") << hex("#C0FFC0")
                                   << hex("#C00000");
    }
    void newAlertStoredColors() {
        QFETCH(QByteArray, fond);
        QFETCH(QByteArray, police);
        QFETCH(QColor, back);
        QFETCH(QColor, text);
        test::writeFile(m_store->IniPath(), "[Param]\r\nNb=0\r\nFond=" + fond.toStdString() +
                                                "\r\nPolice=" + police.toStdString() + "\r\nImg=3\r\n");
        m_random.values = {0.6};
        m_chooser->ApplyNewAlertDefaults("12");
        expectBoxes(back, text, back, text);
        QCOMPARE(m_random.draws, 1);
        QCOMPARE(m_chooser->Tag(), QStringLiteral("12")); // the Img of start-up, not of the file

        // Read again at the next new alert.
        test::writeFile(m_store->IniPath(), "[Param]\r\nFond=255\r\nPolice=0\r\n");
        m_chooser->ApplyNewAlertDefaults("12");
        expectBoxes(hex("#FF0000"), hex("#000000"), hex("#FF0000"), hex("#000000"));
    }

    void newAlertEmoticon_data() {
        QTest::addColumn<QString>("defaultEmoticon");
        QTest::addColumn<QString>("tag");
        QTest::newRow("12") << QStringLiteral("12") << QStringLiteral("12");
        QTest::newRow("0") << QStringLiteral("0") << QStringLiteral("0");
        QTest::newRow("missing") << QString() << QStringLiteral("5");
        QTest::newRow("abc") << QStringLiteral("abc") << QStringLiteral("5");
        QTest::newRow("16") << QStringLiteral("16") << QStringLiteral("5");
        QTest::newRow("-1") << QStringLiteral("-1") << QStringLiteral("5");
    }
    void newAlertEmoticon() {
        QFETCH(QString, defaultEmoticon);
        QFETCH(QString, tag);
        m_chooser->img_Click(1);
        m_chooser->ApplyNewAlertDefaults(defaultEmoticon.toStdString());
        QCOMPARE(m_chooser->Tag(), tag);
    }

    void failedWrite_data() {
        QTest::addColumn<bool>("iniIsFolder");
        QTest::newRow("Alertes.ini is a folder") << true;
        QTest::newRow("data folder missing") << false;
    }
    void failedWrite() {
        QFETCH(bool, iniIsFolder);
        const std::filesystem::path ini =
            iniIsFolder ? *m_dir / "Alertes.ini" : *m_dir / "absent" / "Alertes.ini";
        build(ini);
        if (iniIsFolder)
            std::filesystem::create_directory(ini);
        QTest::mouseClick(cell(3), Qt::LeftButton);
        m_chooser->img_Click(7);
        m_dialogs.menuChoices = {
            QStringLiteral("Définir par défaut pour les nouvelles alertes"),
            QStringLiteral("Définir couleurs actuelles par défaut pour les nouvelles alertes"),
            QStringLiteral("Choisir aléatoirement pour les nouvelles alertes")};
        QTest::mousePress(cell(9), Qt::RightButton);
        QTest::mouseClick(button(QStringLiteral("cmdPerso")), Qt::LeftButton);
        QTest::mouseClick(button(QStringLiteral("cmdPerso")), Qt::LeftButton);
        QTest::mouseClick(button(QStringLiteral("optLogos")), Qt::LeftButton);
        QTest::mouseClick(button(QStringLiteral("cmdEmoDefaut")), Qt::LeftButton);

        QCOMPARE(m_dialogs.shown.size(), std::size_t{4});
        for (const auto& s : m_dialogs.shown) {
            QVERIFY2(s.text.startsWith(QStringLiteral("Impossible d'enregistrer les réglages : ")),
                     qPrintable(s.text));
            QVERIFY(s.text.size() > 42); // with the reason
            QCOMPARE(s.icon, UserDialogs::Icon::Warning);
        }
        const auto [back, text] = cellColors(3);
        expectBoxes(back, text, back, text);
        QCOMPARE(m_chooser->Tag(), QStringLiteral("7"));
        QCOMPARE(std::filesystem::is_directory(ini), iniIsFolder);
        QVERIFY(iniIsFolder || !std::filesystem::exists(ini.parent_path()));
    }

    void boxHelpersPaint() {
        QWidget host;
        auto* label = new QLabel(&host);
        auto* line = new QLineEdit(&host);
        auto* text = new QTextEdit(&host);
        label->setGeometry(0, 0, 60, 30);
        line->setGeometry(0, 40, 60, 30);
        text->setGeometry(0, 80, 60, 60);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        for (QWidget* w :
             {static_cast<QWidget*>(label), static_cast<QWidget*>(line), static_cast<QWidget*>(text)}) {
            setBoxColors(w, hex("#8080FF"), hex("#004000"));
            setBoxForeground(w, hex("#FF00FF"));
            QCOMPARE(boxBackground(w), hex("#8080FF"));
            QCOMPARE(boxForeground(w), hex("#FF00FF"));
            setBoxBackground(w, hex("#80FF80"));
            QCOMPARE(boxForeground(w), hex("#FF00FF"));
            QWidget* painted = w == text ? text->viewport() : w;
            QCOMPARE(painted->grab().toImage().pixelColor(painted->width() / 2, painted->height() - 6),
                     hex("#80FF80"));
        }
    }
};

ZENTO_QTEST_MAIN(tst_AppearanceChooser)
#include "tst_AppearanceChooser.moc"
