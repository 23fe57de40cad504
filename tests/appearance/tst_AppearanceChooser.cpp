#include "appearance/AppearanceChooser.h"
#include "appearance/Palette.h"
#include "appearance/QtColor.h"
#include "service/AlertService.h"
#include "support/FakeServices.h"
#include "support/QtTestMain.h"
#include "support/WindowChecks.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QSvgRenderer>
#include <QTextEdit>

#include <filesystem>
#include <memory>
#include <set>

using namespace zento;
using namespace std::chrono;

namespace {

const QColor kMessageBack(0xFF, 0xC0, 0x80);
const QColor kMessageText(Qt::black);
const QColor kHintBack(0xFF, 0xFF, 0xC0);
const QColor kHintText(0x40, 0x40, 0x40);
const QColor kChosen(0x12, 0x34, 0x56);
const QString kCellDefault = QStringLiteral("Définir par défaut pour les nouvelles alertes");
const QString kCurrentDefault =
    QStringLiteral("Définir couleurs actuelles par défaut pour les nouvelles alertes");
const QString kRandomDefault = QStringLiteral("Choisir aléatoirement pour les nouvelles alertes");
const QString kEmoticonDefault =
    QStringLiteral("Définir l'Emoticon actuel par défaut pour les nouvelles alertes");

/// The colours of palette cell `index`, as the user sees them.
std::pair<QColor, QColor> cellColors(int index) {
    const PaletteCell& c = kPalette[static_cast<std::size_t>(index)];
    return {toQColor(c.background), toQColor(c.text)};
}

/// An emoticon as its resource draws it at that size.
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

} // namespace

class tst_AppearanceChooser : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> m_dir;
    std::unique_ptr<AlertStore> m_store;
    std::unique_ptr<AlertService> m_service;
    test::FakeDialogs m_dialogs;
    test::FakeRandom m_random;
    std::unique_ptr<QWidget> m_host;
    QTextEdit* m_message = nullptr;
    QLineEdit* m_hint = nullptr;
    AppearanceChooser* m_chooser = nullptr;

    /// The chooser in a window of its own, with the message box and its placeholder beside it.
    void build(const std::filesystem::path& iniPath) {
        m_host.reset();
        m_dialogs = test::FakeDialogs{};
        m_store = std::make_unique<AlertStore>(iniPath);
        m_service = std::make_unique<AlertService>(*m_store);
        m_host = std::make_unique<QWidget>();
        m_message = new QTextEdit(m_host.get());
        m_hint = new QLineEdit(QStringLiteral("Tapez votre message ici"), m_host.get());
        setBoxColors(m_message, kMessageBack, kMessageText);
        setBoxColors(m_hint, kHintBack, kHintText);
        m_chooser = new AppearanceChooser(m_dialogs, m_message, m_hint, m_host.get());
        // The editor stores what the chooser chooses; here the service stores it alone.
        connect(m_chooser, &AppearanceChooser::defaultColorsChosen, m_host.get(),
                [this](std::optional<ColorPair> colors) { QVERIFY(m_service->setDefaultColors(colors)); });
        connect(m_chooser, &AppearanceChooser::defaultEmoticonChosen, m_host.get(),
                [this](const QString& e) { QVERIFY(m_service->setDefaultEmoticon(e.toStdString())); });
        const int left = m_chooser->sizeHint().width() + 10;
        m_message->setGeometry(left, 80, 280, 95);
        m_hint->setGeometry(left + 40, 84, 200, 22);
        m_host->resize(left + 300, m_chooser->sizeHint().height());
        m_host->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
    }
    QAbstractButton* button(const QString& name) const {
        auto* b = m_chooser->findChild<QAbstractButton*>(name);
        if (!b)
            qFatal("no button %s", qPrintable(name));
        return b;
    }
    QAbstractButton* cell(int i) const { return button(QStringLiteral("lblColor_%1").arg(i)); }
    QAbstractButton* emoticon(int i) const { return button(QStringLiteral("img_%1").arg(i)); }
    QAbstractButton* button(const char* name) const { return button(QString::fromLatin1(name)); }
    void click(const char* name) const { button(name)->click(); }
    void expectBoxes(const QColor& msgBack, const QColor& msgText, const QColor& hintBack,
                     const QColor& hintText) {
        QCOMPARE(boxBackground(m_message), msgBack);
        QCOMPARE(boxForeground(m_message), msgText);
        QCOMPARE(boxBackground(m_hint), hintBack);
        QCOMPARE(boxForeground(m_hint), hintText);
    }
    /// The colours the next new alert gets.
    std::pair<QColor, QColor> newAlertColors() {
        const Alerte a = m_service->newAlert(Date{year{2026}, month{12}, day{7}}, "", m_random);
        return {*parseQColor(a.BackColor), *parseQColor(a.ForeColor)};
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
    void init() {
        m_dir = std::make_unique<test::TempDir>();
        m_random.values.clear();
        build(*m_dir / "Alertes.ini");
    }
    void cleanup() {
        m_host.reset();
        m_dir.reset();
    }

    void bothPagesHoldTogetherWithSixteenDistinctCells() {
        QCOMPARE(m_chooser->size(), m_chooser->sizeHint());
        QCOMPARE(m_chooser->Tag(), QString());
        for (bool colors : {true, false}) {
            if (!colors)
                click("optLogos");
            QCOMPARE(m_chooser->colorPageShowing(), colors);
            const QStringList faults = test::windowFaults(m_chooser);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
            std::set<QString> names;
            std::set<QByteArray> pictures;
            for (int i = 0; i < kPaletteSize; ++i) {
                QAbstractButton* b = colors ? cell(i) : emoticon(i);
                QVERIFY(b->isVisible());
                names.insert(b->accessibleName());
                const QImage picture = b->grab().toImage();
                pictures.insert(
                    QByteArray(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes()));
            }
            QCOMPARE(names.size(), std::size_t{16});
            QCOMPARE(pictures.size(), std::size_t{16});
        }
    }

    void aPaletteCellColoursTheMessageAndThePlaceholderWhileItShows() {
        for (const auto& [index, hintShowing] : {std::pair{13, false}, std::pair{1, true}}) {
            m_hint->setVisible(hintShowing);
            QTest::mouseClick(cell(index), Qt::LeftButton);
            const auto [back, text] = cellColors(index);
            expectBoxes(back, text, hintShowing ? back : kHintBack, hintShowing ? text : kHintText);
            // The boxes really paint with them under Fusion.
            QCOMPARE(m_message->viewport()->grab().toImage().pixelColor(5, 40), back);
            if (hintShowing)
                QCOMPARE(m_hint->grab().toImage().pixelColor(m_hint->width() / 2, m_hint->height() - 4),
                         back);
        }
        QVERIFY(m_dialogs.menusShown.isEmpty());
        QVERIFY(!m_store->exists()); // choosing stores nothing
    }

    void otherColoursComeFromTheColourDialog() {
        // Background or text colour, confirmed or cancelled, with the placeholder showing or not.
        for (const auto& [background, confirm, hintShowing] :
             {std::tuple{true, true, true}, {true, true, false}, {false, true, true}, {false, false, true}}) {
            build(std::filesystem::path(m_store->IniPath()));
            m_hint->setVisible(hintShowing);
            m_dialogs.menuChoices = {background ? QStringLiteral("Couleur de fond")
                                                : QStringLiteral("Couleur de police")};
            if (confirm)
                m_dialogs.colors = {kChosen};
            click("cmdPerso");
            QCOMPARE(m_dialogs.colorDialogInitials,
                     std::vector<QColor>{background ? kMessageBack : kMessageText});
            const bool back = confirm && background, text = confirm && !background;
            expectBoxes(back ? kChosen : kMessageBack, text ? kChosen : kMessageText,
                        back && hintShowing ? kChosen : kHintBack, text && hintShowing ? kChosen : kHintText);
        }
        QVERIFY(!m_store->exists());
    }

    void theMenusWriteTheDefaultsOfNewAlerts() {
        // A palette cell's menu, by a right press or the keyboard's menu key, takes that cell.
        QTest::mouseClick(cell(2), Qt::LeftButton);
        m_dialogs.menuChoices = {kCellDefault,    kCellDefault,   QStringLiteral("Couleur de fond"),
                                 kCurrentDefault, kRandomDefault, kEmoticonDefault};
        QTest::mousePress(cell(9), Qt::RightButton);
        QCOMPARE(newAlertColors(), cellColors(9));
        QCOMPARE(boxBackground(m_message), cellColors(2).first); // the right press did not recolour
        QTest::keyClick(cell(13), Qt::Key_Menu);
        QCOMPARE(newAlertColors(), cellColors(13));
        // "Autres couleurs": the colours shown, or a draw for each new alert.
        m_dialogs.colors = {kChosen};
        click("cmdPerso");
        click("cmdPerso");
        QCOMPARE(newAlertColors(), std::make_pair(kChosen, cellColors(2).second));
        click("cmdPerso");
        m_random.values = {0.0, 0.99};
        QVERIFY2(newAlertColors() != newAlertColors(), "each new alert draws its colours");
        // The emoticon shown: its page's button, or a right press on the page switch, which
        // leaves the page as it is.
        m_chooser->img_Click(12);
        click("optLogos");
        click("cmdEmoDefaut");
        QCOMPARE(m_service->defaultEmoticon(), std::string("12"));
        click("optCouleurs");
        m_chooser->img_Click(3);
        QTest::mousePress(button("optLogos"), Qt::RightButton);
        QVERIFY(m_chooser->colorPageShowing());
        QCOMPARE(m_service->defaultEmoticon(), std::string("3"));
        QVERIFY(m_dialogs.shown.empty());
    }

    void theEmoticonPageShowsTheChosenPicture() {
        QTest::mouseClick(cell(4), Qt::LeftButton);
        click("optLogos");
        QVERIFY(button("optLogos")->isChecked() && !button("optCouleurs")->isChecked());
        QTest::mouseClick(emoticon(12), Qt::LeftButton);
        QCOMPARE(m_chooser->Tag(), QStringLiteral("12"));
        const QIcon shown = button("Image1")->icon();
        const QSize size = shown.availableSizes().value(0);
        QCOMPARE(shown.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 emoticonImage(12, size));
        // Back to the colours: neither the colours nor the emoticon moved.
        click("optCouleurs");
        QVERIFY(m_chooser->colorPageShowing());
        QCOMPARE(m_chooser->Tag(), QStringLiteral("12"));
        QCOMPARE(boxBackground(m_message), cellColors(4).first);
        // An index without a picture (a hand-edited file) gives the push pin.
        for (const auto& [index, tag] : {std::pair{15, "15"}, std::pair{16, "5"}, std::pair{-1, "5"}}) {
            m_chooser->img_Click(index);
            QCOMPARE(m_chooser->Tag(), QString::fromLatin1(tag));
        }
    }

    void theTestMenuOpensFromThePreviewAndItsLabel() {
        QSignalSpy popup(m_chooser, &AppearanceChooser::testPopupRequested);
        QSignalSpy action(m_chooser, &AppearanceChooser::testActionRequested);
        m_dialogs.menuChoices = {QStringLiteral("Voir le Popup (Test)"), QStringLiteral("Tester l'action")};
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::mousePress(button("Image1"), b);
        QTest::mouseClick(m_chooser->findChild<QLabel*>(QStringLiteral("Label1")), Qt::LeftButton);
        QCOMPARE(m_dialogs.menusShown, QStringList(4, QStringLiteral("Test")));
        QCOMPARE(popup.count(), 1);
        QCOMPARE(action.count(), 1);
    }

    void theKeyboardReachesAndUsesEveryControlOfThePage() {
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        button("Image1")->setFocus();
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
        QTest::keyClick(button("Image1"), Qt::Key_Space);
        QTest::keyClick(button("Image1"), Qt::Key_Return);
        QCOMPARE(m_dialogs.menusShown, QStringList(2, QStringLiteral("Test")));
    }

    void aNewAlertShowsItsColoursInBothBoxesAndItsEmoticon() {
        // The new alert's colours and emoticon, and what shows.
        for (const auto& [back, text, emoticon, shownBack, shownText, tag] : {
                 std::tuple{"rouge", "&Hzz", "seize", kMessageBack, kMessageText, "5"}, // the boxes stay
                 std::tuple{"255", "8388608", "12", QColor(Qt::red), QColor(0, 0, 128), "12"},
             }) {
            m_chooser->img_Click(1);
            m_hint->hide();
            Alerte fresh;
            fresh.BackColor = back;
            fresh.ForeColor = text;
            fresh.Emoticon = emoticon;
            m_chooser->ApplyNewAlertDefaults(fresh);
            expectBoxes(shownBack, shownText, shownBack, shownText);
            QCOMPARE(m_chooser->Tag(), QString::fromLatin1(tag));
        }
    }
};

ZENTO_QTEST_MAIN(tst_AppearanceChooser)
#include "tst_AppearanceChooser.moc"
