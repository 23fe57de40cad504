#include "appearance/AppearanceChooser.h"
#include "appearance/Palette.h"
#include "appearance/QtColor.h"
#include "store/Alerte.h"
#include "support/FakeDialogs.h"
#include "support/QtTestMain.h"
#include "support/WindowChecks.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleFactory>
#include <QTextEdit>

#include <memory>
#include <optional>
#include <set>

using namespace zento;

namespace {
const QColor kMessageBack(0xFF, 0xC0, 0x80), kMessageText(Qt::black);
const QColor kHintBack(0xFF, 0xFF, 0xC0), kHintText(0x40, 0x40, 0x40), kChosen(0x12, 0x34, 0x56);

ColorPair cellColors(int cell) {
    const PaletteCell& c = kPalette[static_cast<std::size_t>(cell)];
    return {c.background, c.text};
}
QByteArray bytes(const QImage& image) {
    return QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
}
} // namespace

class tst_AppearanceChooser : public QObject {
    Q_OBJECT

    test::FakeDialogs m_dialogs;
    std::unique_ptr<QWidget> m_host;
    QTextEdit* m_message = nullptr;
    QLineEdit* m_hint = nullptr;
    AppearanceChooser* m_chooser = nullptr;
    std::vector<std::optional<ColorPair>> m_colorDefaults; ///< what the chooser asked to store
    QStringList m_emoticonDefaults;

    auto* button(const QString& name) const { return m_chooser->findChild<QAbstractButton*>(name); }
    void click(const char* name) const { button(QLatin1String(name))->click(); }
    QImage preview() const { return button(QStringLiteral("Image1"))->grab().toImage(); }
    QList<QColor> boxes() const {
        return {boxBackground(m_message), boxForeground(m_message), boxBackground(m_hint),
                boxForeground(m_hint)};
    }

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }
    void init() {
        m_dialogs = test::FakeDialogs{};
        m_colorDefaults.clear();
        m_emoticonDefaults.clear();
        m_host = std::make_unique<QWidget>();
        m_message = new QTextEdit(m_host.get());
        m_hint = new QLineEdit(QStringLiteral("Tapez votre message ici"), m_host.get());
        setBoxColors(m_message, kMessageBack, kMessageText);
        setBoxColors(m_hint, kHintBack, kHintText);
        m_chooser = new AppearanceChooser(m_dialogs, m_message, m_hint, m_host.get());
        connect(m_chooser, &AppearanceChooser::defaultColorsChosen, m_host.get(),
                [this](std::optional<ColorPair> c) { m_colorDefaults.push_back(c); });
        connect(m_chooser, &AppearanceChooser::defaultEmoticonChosen, m_host.get(),
                [this](const QString& e) { m_emoticonDefaults << e; });
        m_message->setGeometry(m_chooser->width(), 80, 280, 95);
        m_hint->setGeometry(m_chooser->width() + 40, 84, 200, 22);
        m_host->resize(m_chooser->width() + 300, m_chooser->height());
        m_host->show();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
    }
    void cleanup() { m_host.reset(); }

    void eachPageHoldsTogetherAndTabsThroughSixteenDistinctCellsAsTheEyeReads() {
        QCOMPARE(m_chooser->size(), m_chooser->sizeHint());
        QTest::keyClick(button(QStringLiteral("lblColor_5")), Qt::Key_Return);
        for (const char* page : {"optCouleurs", "optLogos"}) {
            click(page);
            QCOMPARE(test::windowFaults(m_chooser).join(", "), QString());
            // From the preview, Tab runs through the page's cells row by row; Space on an
            // emoticon chooses it.
            button(QStringLiteral("Image1"))->setFocus();
            QStringList reached;
            std::set<QString> names;
            std::set<QByteArray> pictures, previews;
            std::pair last(-1, -1);
            for (QWidget* w = QApplication::focusWidget();
                 w && m_chooser->isAncestorOf(w) && reached.size() < 60; w = QApplication::focusWidget()) {
                reached << w->objectName();
                if (w->objectName().contains(QLatin1Char('_'))) {
                    QVERIFY2(std::pair(w->y(), w->x()) > last, qPrintable(reached.last()));
                    last = {w->y(), w->x()};
                    names.insert(w->accessibleName());
                    pictures.insert(bytes(w->grab().toImage()));
                    if (!m_chooser->colorPageShowing()) {
                        QTest::keyClick(w, Qt::Key_Space);
                        QCOMPARE(m_chooser->Tag(), w->objectName().section(QLatin1Char('_'), 1));
                        previews.insert(bytes(preview()));
                    }
                }
                QTest::keyClick(w, Qt::Key_Tab);
            }
            const bool colorPage = m_chooser->colorPageShowing();
            QVERIFY(reached.contains(colorPage ? "cmdPerso" : "cmdEmoDefaut"));
            QCOMPARE(names.size(), std::size_t{16});
            QCOMPARE(pictures.size(), std::size_t{16});
            QCOMPARE(previews.size(), colorPage ? std::size_t{0} : std::size_t{16});
        }
        QTest::keyClick(button(QStringLiteral("img_9")), Qt::Key_Enter, Qt::KeypadModifier);
        click("optCouleurs");
        QVERIFY(m_chooser->colorPageShowing() && !button(QStringLiteral("optLogos"))->isChecked());
        QCOMPARE(m_chooser->Tag(), QStringLiteral("9"));
        QCOMPARE(boxBackground(m_message), toQColor(cellColors(5).background));
    }

    void aCellOrTheColourDialogColoursTheMessageAndThePlaceholderWhileItShows() {
        // A palette cell, or "Autres couleurs" and an entry with what the dialog gives (nothing:
        // cancelled); the placeholder showing or not; the message's colours then.
        const auto cell = [](int i) {
            return std::pair(toQColor(cellColors(i).background), toQColor(cellColors(i).text));
        };
        const std::tuple<int, const char*, std::optional<QColor>, bool, std::pair<QColor, QColor>> cases[] = {
            {13, "", {}, false, cell(13)},
            {1, "", {}, true, cell(1)},
            {-1, "Couleur de fond", kChosen, true, {kChosen, kMessageText}},
            {-1, "Couleur de fond", kChosen, false, {kChosen, kMessageText}},
            {-1, "Couleur de police", kChosen, true, {kMessageBack, kChosen}},
            {-1, "Couleur de police", {}, true, {kMessageBack, kMessageText}},
        };
        for (const auto& [index, entry, given, hint, shown] : cases) {
            setBoxColors(m_message, kMessageBack, kMessageText);
            setBoxColors(m_hint, kHintBack, kHintText);
            m_hint->setVisible(hint);
            m_dialogs.menuChoices = {QString::fromUtf8(entry)};
            m_dialogs.colors = {given};
            if (index >= 0)
                QTest::mouseClick(button(QStringLiteral("lblColor_%1").arg(index)), Qt::LeftButton);
            else
                click("cmdPerso");
            const auto [back, text] = shown;
            const bool hintBack = hint && back != kMessageBack, hintText = hint && text != kMessageText;
            QCOMPARE(boxes(),
                     (QList<QColor>{back, text, hintBack ? back : kHintBack, hintText ? text : kHintText}));
            // The box really paints with them under Fusion.
            QCOMPARE(m_message->viewport()->grab().toImage().pixelColor(5, 40), back);
        }
        QCOMPARE(m_dialogs.colorDialogInitials,
                 (std::vector<QColor>{kMessageBack, kMessageBack, kMessageText, kMessageText}));
        QVERIFY(m_colorDefaults.empty());
    }

    void theMenusChooseTheDefaultsOfNewAlerts() {
        // A cell's menu (right press, menu key) takes that cell, not the colours shown; "Autres
        // couleurs" takes those shown, or a draw; the emoticon shown is taken by its page's button
        // or by a right press on the page switch, which leaves the page as it is.
        click("lblColor_2");
        const QString cell = "Définir par défaut pour les nouvelles alertes";
        m_dialogs.menuChoices = {cell,
                                 cell,
                                 "Couleur de fond",
                                 "Définir couleurs actuelles par défaut pour les nouvelles alertes",
                                 "Choisir aléatoirement pour les nouvelles alertes",
                                 "Définir l'Emoticon actuel par défaut pour les nouvelles alertes"};
        m_dialogs.colors = {kChosen};
        QTest::mousePress(button(QStringLiteral("lblColor_9")), Qt::RightButton);
        QTest::keyClick(button(QStringLiteral("lblColor_13")), Qt::Key_Menu);
        for (int i = 0; i < 3; ++i)
            click("cmdPerso");
        m_chooser->img_Click(12);
        click("optLogos");
        click("cmdEmoDefaut");
        click("optCouleurs");
        m_chooser->img_Click(3);
        QTest::mousePress(button(QStringLiteral("optLogos")), Qt::RightButton);
        QVERIFY(m_chooser->colorPageShowing());
        QCOMPARE(m_colorDefaults, (std::vector<std::optional<ColorPair>>{
                                      cellColors(9), cellColors(13),
                                      ColorPair{toColorValue(kChosen), kPalette[2].text}, std::nullopt}));
        QCOMPARE(m_emoticonDefaults, (QStringList{"12", "3"}));
    }

    void theTestMenuOpensFromThePreviewByAnyButtonOrKeyAndFromItsLabel() {
        QSignalSpy popup(m_chooser, &AppearanceChooser::testPopupRequested);
        QSignalSpy action(m_chooser, &AppearanceChooser::testActionRequested);
        m_dialogs.menuChoices = {QStringLiteral("Voir le Popup (Test)"), QStringLiteral("Tester l'action")};
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::mousePress(button(QStringLiteral("Image1")), b);
        QTest::mouseClick(m_chooser->findChild<QWidget*>(QStringLiteral("Label1")), Qt::LeftButton);
        for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return})
            QTest::keyClick(button(QStringLiteral("Image1")), key);
        QCOMPARE(m_dialogs.menusShown, QStringList(6, QStringLiteral("Test")));
        QCOMPARE(popup.count(), 1);
        QCOMPARE(action.count(), 1);
    }

    void aNewAlertShowsItsColoursInBothBoxesAndItsEmoticonOrKeepsWhatItCannotRead() {
        // What a hand-edited file might give: the push pin, and the boxes as they are.
        m_chooser->img_Click(5);
        const QImage pin = preview();
        m_hint->hide();
        for (const auto& [back, text, emoticon, tag] :
             {std::tuple{"255", "8388608", "12", "12"}, std::tuple{"rouge", "&Hzz", "seize", "5"}}) {
            Alerte fresh;
            std::tie(fresh.BackColor, fresh.ForeColor, fresh.Emoticon) = std::tuple(back, text, emoticon);
            m_chooser->ApplyNewAlertDefaults(fresh);
            QCOMPARE(boxes(), (QList<QColor>{Qt::red, QColor(0, 0, 128), Qt::red, QColor(0, 0, 128)}));
            QCOMPARE(m_chooser->Tag(), QString::fromLatin1(tag));
        }
        QCOMPARE(preview(), pin);
        for (int index : {16, -1}) {
            m_chooser->img_Click(index);
            QCOMPARE(m_chooser->Tag(), QStringLiteral("5"));
        }
    }
};

ZENTO_QTEST_MAIN(tst_AppearanceChooser)
#include "tst_AppearanceChooser.moc"
