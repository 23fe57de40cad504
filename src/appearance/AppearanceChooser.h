#pragma once

#include "appearance/NewAlertColors.h"

#include <QString>
#include <QWidget>

#include <array>
#include <optional>

class QAbstractButton;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;

namespace zento {

class UserDialogs;
struct Alerte;

/// The left column of the alert editor: the colour palette page, the emoticon page, the switch
/// between them, the preview of the chosen emoticon with its "Test" menu, and the commands that
/// set the defaults for new alerts.
///
/// The alert's colours live in the message box itself (its background and text colours) and
/// the chosen emoticon in `Tag()`; the editor reads them there when it stores an alert. The
/// placeholder box lying over the message box takes the same colours while it shows.
///
/// The controls are placed in the coordinates of the editor frame: put the chooser at (0, 0) of
/// that frame. It is `kWidthTwips` by `kHeightTwips` and paints no background of its own.
class AppearanceChooser final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 1920;
    static constexpr int kHeightTwips = 3600;

    /// txtMessage: the editor's message box (a QTextEdit); text1: the placeholder box lying over
    /// it (a QLineEdit). Either may be null (nothing is coloured then).
    AppearanceChooser(UserDialogs& dialogs, QWidget* txtMessage, QWidget* text1, QWidget* parent = nullptr);

    /// Choose-emoticon: Image1 shows that picture and Tag() becomes its index in decimal. An
    /// index without a picture (a hand-edited file) gives the push pin, emoticon 5.
    void img_Click(int index);

    /// The chosen emoticon as the editor stores it: "0".."15", or "" until one was chosen.
    QString Tag() const { return m_tag; }

    /// Shows the appearance of a new alert (colours and emoticon with the defaults of new
    /// alerts applied) in the message box and the placeholder, shown or not.
    void ApplyNewAlertDefaults(const Alerte& fresh);

    /// The palette cell whose menu was opened last (0 at start).
    int PaletteMenuCell() const { return m_paletteMenuCell; }

    /// True while the colour page shows, false on the emoticon page.
    bool colorPageShowing() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    /// "Voir le Popup (Test)" of the Test menu.
    void testPopupRequested();
    /// "Tester l'action" of the Test menu.
    void testActionRequested();
    /// The user chose default colours for new alerts; nullopt: random colours.
    void defaultColorsChosen(std::optional<zento::ColorPair> colors);
    /// The user chose the shown emoticon ("0".."15", or "" before any choice) as the default.
    void defaultEmoticonChosen(const QString& emoticon);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildOptions();
    void buildColorPage();
    void buildEmoticonPage();
    void buildPreview();
    void buildMenus();
    void buildTabOrder();

    // Handlers of the controls and menu entries.
    void lblColor_Click(int index);
    void openPaletteMenu(int index, const QPoint& globalPos);
    void cmdPerso_Click();
    void mnuFond_Click();
    void mnuPolice_Click();
    void optCouleurs_Click();
    void optLogos_Click();
    void openImageMenu(const QPoint& globalPos);
    void openTestMenu(const QPoint& globalPos);
    void mnuCouleursDefauts_Click();
    void mnuCouleurDefaut_Click();
    void mnuAlea_Click();
    void mnuDefaut_Click();
    void cmdEmoDefaut_Click();

    /// The placeholder mirrors the colours only while it shows over the message box.
    bool placeholderShowing() const;
    /// Where a menu opened without a mouse press appears: at the pointer when it is over the
    /// control, else just below the control (keyboard use).
    QPoint menuPosition(const QWidget* anchor) const;

    UserDialogs& m_dialogs;
    QWidget* m_txtMessage;
    QWidget* m_text1;

    QFrame* m_fraOptions = nullptr;
    QToolButton* m_optCouleurs = nullptr;
    QToolButton* m_optLogos = nullptr;
    QFrame* m_fraColors = nullptr;
    QFrame* m_fraImg = nullptr;
    std::array<QAbstractButton*, 16> m_lblColor{};
    std::array<QAbstractButton*, 16> m_img{};
    QAbstractButton* m_cmdPerso = nullptr;
    QAbstractButton* m_cmdEmoDefaut = nullptr;
    QAbstractButton* m_image1 = nullptr;
    QLabel* m_label1 = nullptr;

    QMenu* m_mnuCouleurs = nullptr;
    QMenu* m_mnuCouleursPerso = nullptr;
    QMenu* m_mnuImage = nullptr;
    QMenu* m_mnuTester = nullptr;

    QString m_tag;
    int m_paletteMenuCell = 0;
};

} // namespace zento
