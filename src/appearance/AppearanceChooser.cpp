#include "appearance/AppearanceChooser.h"

#include "appearance/EmoticonSet.h"
#include "appearance/Palette.h"
#include "appearance/QtColor.h"
#include "store/Alerte.h"
#include "ui/ErrorText.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolButton>
#include <qdrawutil.h>

#include <utility>

// The pictures live in the gui library, a static library: registering them from here keeps the
// linker from dropping them in every program that uses the chooser.
static void initZentoResources() {
    Q_INIT_RESOURCE(zento);
}

namespace zento {
namespace {

// Places in the editor frame, in twips. The palette and emoticon cells are placed within
// their page by the core tables.
constexpr int kColumnLeft = 120;
constexpr int kPageTop = 1464;
constexpr int kPageWidth = 1650;
constexpr int kPageHeight = 2100;
constexpr int kImage1Left = 300;
constexpr int kImage1Top = 300;
constexpr int kImage1Width = 540;
constexpr int kImage1Height = 495;
constexpr int kOptionsTop = 900;
constexpr int kOptionsHeight = 480;
// "Autres couleurs" and "Par défaut" sit at the same place on both pages, so the switch does not
// make them jump.
constexpr int kPageButtonTop = 1725;

QString hexName(ColorValue c) {
    return toQColor(c).name(QColor::HexRgb).toUpper();
}

/// An emoticon drawn at a size, keeping its proportions, sharp at the screen's pixel ratio.
QPixmap renderEmoticon(int index, QSize size, qreal dpr) {
    QPixmap pm(size * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    const auto emo = EmoticonAt(index);
    if (!emo || size.isEmpty())
        return pm;
    QSvgRenderer svg(fromView(emo->resourcePath));
    svg.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pm;
}

/// The classic dotted focus mark, in a colour that stands out on the control's face: the
/// style's own mark is too faint on a 22-pixel coloured cell.
void drawFocus(QPainter& p, const QRect& r, const QColor& color) {
    p.save();
    QPen pen(color, 1, Qt::DotLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    p.restore();
}

/// A palette cell: a bold "A" in the cell's text colour on its background, in a single-line
/// border.
class PaletteCellButton final : public QAbstractButton {
public:
    PaletteCellButton(const PaletteCell& cell, QWidget* parent) : QAbstractButton(parent), m_cell(cell) {
        QFont f = font();
        f.setBold(true);
        setFont(f);
        setText(QStringLiteral("A"));
        // Reached with Tab; a click leaves the focus where the user was typing.
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        const QColor bg = toQColor(m_cell.background);
        const QColor fg = toQColor(m_cell.text);
        p.fillRect(r, bg);
        p.setPen(QColor(Qt::black));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(fg);
        p.drawText(r, Qt::AlignCenter, text());
        if (hasFocus())
            drawFocus(p, r.adjusted(2, 2, -2, -2), fg);
    }

private:
    PaletteCell m_cell;
};

/// An emoticon of the set as a raised grey button; sunk while pressed.
class EmoticonButton final : public QAbstractButton {
public:
    EmoticonButton(int index, QWidget* parent) : QAbstractButton(parent), m_index(index) {
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        QPalette pal = palette();
        pal.setColor(QPalette::Button, QColor(0xC0, 0xC0, 0xC0));
        qDrawWinButton(&p, r, pal, isDown(), &pal.brush(QPalette::Button));
        // The picture fits inside the two-pixel bevel; it moves by a pixel when pressed, as a
        // button's face does.
        QRect inner = r.adjusted(2, 2, -2, -2);
        if (isDown())
            inner.translate(1, 1);
        const qreal dpr = devicePixelRatioF();
        if (m_picture.isNull() || m_picture.deviceIndependentSize().toSize() != inner.size() ||
            m_picture.devicePixelRatio() != dpr)
            m_picture = renderEmoticon(m_index, inner.size(), dpr);
        p.drawPixmap(inner.topLeft(), m_picture);
        if (hasFocus())
            drawFocus(p, r.adjusted(3, 3, -3, -3), QColor(Qt::black));
    }

private:
    int m_index;
    QPixmap m_picture;
};

/// Image1: the chosen emoticon, drawn from the button's icon (nothing while none is chosen).
class PreviewButton final : public QAbstractButton {
public:
    explicit PreviewButton(QWidget* parent) : QAbstractButton(parent) { setFocusPolicy(Qt::TabFocus); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect r = rect();
        if (!icon().isNull())
            icon().paint(&p, r.adjusted(1, 1, -1, -1));
        if (hasFocus())
            drawFocus(p, r, palette().color(QPalette::WindowText));
    }
};

bool isActivationKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

bool isMenuKey(const QKeyEvent* e) {
    return e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && (e->modifiers() & Qt::ShiftModifier));
}

} // namespace

AppearanceChooser::AppearanceChooser(UserDialogs& dialogs, QWidget* txtMessage, QWidget* text1, QWidget* parent)
    : QWidget(parent), m_dialogs(dialogs), m_txtMessage(txtMessage), m_text1(text1) {
    initZentoResources();
    setObjectName(QStringLiteral("AppearanceChooser"));
    resize(twips::size(kWidthTwips, kHeightTwips));
    buildPreview();
    buildOptions();
    buildColorPage();
    buildEmoticonPage();
    buildMenus();
    buildTabOrder();
}

QSize AppearanceChooser::sizeHint() const {
    return twips::size(kWidthTwips, kHeightTwips);
}

void AppearanceChooser::buildPreview() {
    auto* image1 = new PreviewButton(this);
    m_image1 = image1;
    image1->setObjectName(QStringLiteral("Image1"));
    image1->setGeometry(twips::rect(kImage1Left, kImage1Top, kImage1Width, kImage1Height));
    image1->setIconSize(image1->size());
    image1->setToolTip(QStringLiteral("Click pour voir le Popup (Test)"));
    image1->setAccessibleName(QStringLiteral("Aucun emoticon choisi"));
    image1->setAccessibleDescription(image1->toolTip());
    image1->installEventFilter(this);

    m_label1 = new QLabel(QStringLiteral("Test"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twips::rect(kImage1Left + kImage1Width + 180, kImage1Top + 120, 600, 255));
    m_label1->setToolTip(image1->toolTip());
    m_label1->installEventFilter(this);
}

void AppearanceChooser::buildOptions() {
    m_fraOptions = new QFrame(this);
    m_fraOptions->setObjectName(QStringLiteral("fraOptions"));
    m_fraOptions->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_fraOptions->setGeometry(twips::rect(kColumnLeft, kOptionsTop, kPageWidth, kOptionsHeight));

    auto makeOption = [this](const char* name, const QString& tip, int left) {
        auto* b = new QToolButton(m_fraOptions);
        b->setObjectName(QLatin1String(name));
        // Checked by hand rather than auto-exclusive, so that Tab reaches both buttons.
        b->setCheckable(true);
        b->setAutoRaise(false);
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setGeometry(twips::rect(left, 60, 675, 360));
        b->installEventFilter(this);
        return b;
    };
    m_optCouleurs = makeOption("optCouleurs", QStringLiteral("Choix de couleurs"), 90);
    QFont bold = m_optCouleurs->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.25);
    m_optCouleurs->setFont(bold);
    m_optCouleurs->setText(QStringLiteral("A"));
    m_optCouleurs->setChecked(true);

    m_optLogos = makeOption("optLogos", QStringLiteral("Choix d'Emoticons"), 885);
    const QSize pin = twips::size(360, 330); // the size of the pictures on the emoticon page
    m_optLogos->setIconSize(pin);
    m_optLogos->setIcon(QIcon(renderEmoticon(kDefaultEmoticon, pin, devicePixelRatioF())));

    connect(m_optCouleurs, &QAbstractButton::clicked, this, &AppearanceChooser::optCouleurs_Click);
    connect(m_optLogos, &QAbstractButton::clicked, this, &AppearanceChooser::optLogos_Click);
}

void AppearanceChooser::buildColorPage() {
    m_fraColors = new QFrame(this);
    m_fraColors->setObjectName(QStringLiteral("fraColors"));
    m_fraColors->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_fraColors->setGeometry(twips::rect(kColumnLeft, kPageTop, kPageWidth, kPageHeight));

    const QString tip = QStringLiteral("Click dans une des cases pour changer les couleurs");
    for (const PaletteCell& cell : kPalette) {
        auto* b = new PaletteCellButton(cell, m_fraColors);
        b->setObjectName(QStringLiteral("lblColor_%1").arg(cell.index));
        const TwipRect r = PaletteCellRect(cell.index);
        b->setGeometry(twips::rect(r.left, r.top, r.width, r.height));
        b->setToolTip(tip);
        b->setAccessibleName(
            QStringLiteral("Fond %1, texte %2").arg(hexName(cell.background), hexName(cell.text)));
        b->setAccessibleDescription(tip);
        b->installEventFilter(this);
        const int index = cell.index;
        connect(b, &QAbstractButton::clicked, this, [this, index] { lblColor_Click(index); });
        m_lblColor[static_cast<std::size_t>(index)] = b;
    }

    auto* perso = new QToolButton(m_fraColors);
    m_cmdPerso = perso;
    perso->setObjectName(QStringLiteral("cmdPerso"));
    perso->setText(QStringLiteral("Autres couleurs"));
    perso->setToolTip(QStringLiteral("Couleurs personnalisés"));
    perso->setFocusPolicy(Qt::TabFocus);
    perso->setGeometry(twips::rect(60, kPageButtonTop, 1530, 315));
    perso->installEventFilter(this);
    connect(perso, &QAbstractButton::clicked, this, &AppearanceChooser::cmdPerso_Click);
}

void AppearanceChooser::buildEmoticonPage() {
    m_fraImg = new QFrame(this);
    m_fraImg->setObjectName(QStringLiteral("fraImg"));
    m_fraImg->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_fraImg->setGeometry(twips::rect(kColumnLeft, kPageTop, kPageWidth, kPageHeight));

    const QString tip = QStringLiteral("Click sur une image pour la sélectionnée");
    for (const EmoticonInfo& emo : kEmoticons) {
        auto* b = new EmoticonButton(emo.index, m_fraImg);
        b->setObjectName(QStringLiteral("img_%1").arg(emo.index));
        const TwipRect r = EmoticonRect(emo.index);
        b->setGeometry(twips::rect(r.left, r.top, r.width, r.height));
        b->setToolTip(tip);
        b->setAccessibleName(fromView(emo.name));
        b->setAccessibleDescription(tip);
        b->installEventFilter(this);
        const int index = emo.index;
        connect(b, &QAbstractButton::clicked, this, [this, index] { img_Click(index); });
        m_img[static_cast<std::size_t>(index)] = b;
    }

    auto* def = new QToolButton(m_fraImg);
    m_cmdEmoDefaut = def;
    def->setObjectName(QStringLiteral("cmdEmoDefaut"));
    def->setText(QStringLiteral("Par défaut"));
    def->setToolTip(QStringLiteral("Définir l'Emoticon actuel par défaut pour les nouvelles alertes"));
    def->setFocusPolicy(Qt::TabFocus);
    def->setGeometry(twips::rect(60, kPageButtonTop, 1530, 315));
    def->installEventFilter(this);
    connect(def, &QAbstractButton::clicked, this, &AppearanceChooser::cmdEmoDefaut_Click);

    m_fraImg->hide();
}

void AppearanceChooser::buildMenus() {
    auto makeMenu = [this](const char* name, const QString& title) {
        auto* m = new QMenu(title, this);
        m->setObjectName(QString::fromUtf8(name));
        return m;
    };
    auto addEntry = [this](QMenu* menu, const char* name, const QString& text,
                           void (AppearanceChooser::*slot)()) {
        QAction* a = menu->addAction(text);
        a->setObjectName(QString::fromUtf8(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    m_mnuCouleurs = makeMenu("mnuCouleurs", QStringLiteral("Couleurs"));
    addEntry(m_mnuCouleurs, "mnuCouleursDéfauts",
             QStringLiteral("Définir par défaut pour les nouvelles alertes"),
             &AppearanceChooser::mnuCouleursDefauts_Click);

    m_mnuCouleursPerso = makeMenu("mnuCouleursPerso", QStringLiteral("Couleurs"));
    addEntry(m_mnuCouleursPerso, "mnuFond", QStringLiteral("Couleur de fond"),
             &AppearanceChooser::mnuFond_Click);
    addEntry(m_mnuCouleursPerso, "mnuPolice", QStringLiteral("Couleur de police"),
             &AppearanceChooser::mnuPolice_Click);
    m_mnuCouleursPerso->addSeparator()->setObjectName(QStringLiteral("mnuVide2"));
    addEntry(m_mnuCouleursPerso, "mnuCouleurDefaut",
             QStringLiteral("Définir couleurs actuelles par défaut pour les nouvelles alertes"),
             &AppearanceChooser::mnuCouleurDefaut_Click);
    addEntry(m_mnuCouleursPerso, "mnuAlea",
             QStringLiteral("Choisir aléatoirement pour les nouvelles alertes"),
             &AppearanceChooser::mnuAlea_Click);

    m_mnuImage = makeMenu("mnuImage", QStringLiteral("Image"));
    addEntry(m_mnuImage, "mnuDefaut",
             QStringLiteral("Définir l'Emoticon actuel par défaut pour les nouvelles alertes"),
             &AppearanceChooser::mnuDefaut_Click);

    m_mnuTester = makeMenu("mnuTester", QStringLiteral("Test"));
    QAction* test = m_mnuTester->addAction(QStringLiteral("Voir le Popup (Test)"));
    test->setObjectName(QStringLiteral("mnuTest"));
    connect(test, &QAction::triggered, this, &AppearanceChooser::testPopupRequested);
    QAction* action = m_mnuTester->addAction(QStringLiteral("Tester l'action"));
    action->setObjectName(QStringLiteral("mnuTestAction"));
    connect(action, &QAction::triggered, this, &AppearanceChooser::testActionRequested);
}

void AppearanceChooser::buildTabOrder() {
    // Tab runs as the eye reads: the preview, the page switch, then each page row by row.
    QList<QWidget*> chain{m_image1, m_optCouleurs, m_optLogos};
    for (int row = 1; row <= 4; ++row)
        for (int col = 1; col <= 4; ++col)
            if (const auto i = PaletteIndexAt(row, col))
                chain << m_lblColor[static_cast<std::size_t>(*i)];
    chain << m_cmdPerso;
    for (int row = 1; row <= 4; ++row)
        for (int col = 1; col <= 4; ++col)
            if (const auto i = EmoticonIndexAt(row, col))
                chain << m_img[static_cast<std::size_t>(*i)];
    chain << m_cmdEmoDefaut;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

bool AppearanceChooser::colorPageShowing() const {
    return m_fraColors->isVisibleTo(this);
}

bool AppearanceChooser::placeholderShowing() const {
    // Asked of the widget itself, not of the screen, so that it holds while the editor frame is
    // being prepared and not shown yet.
    return m_text1 && m_text1->isVisibleTo(m_text1->window());
}

QPoint AppearanceChooser::menuPosition(const QWidget* anchor) const {
    const QPoint pointer = QCursor::pos();
    if (anchor->rect().contains(anchor->mapFromGlobal(pointer)))
        return pointer;
    return anchor->mapToGlobal(QPoint(0, anchor->height()));
}

// --- Colour page -------------------------------------------------------------------------------

void AppearanceChooser::lblColor_Click(int index) {
    const auto cell = PaletteCellAt(index);
    if (!cell)
        return;
    const QColor bg = toQColor(cell->background);
    const QColor fg = toQColor(cell->text);
    setBoxColors(m_txtMessage, bg, fg);
    if (placeholderShowing())
        setBoxColors(m_text1, bg, fg);
}

void AppearanceChooser::openPaletteMenu(int index, const QPoint& globalPos) {
    // The menu's command acts on this cell, whatever the message box shows.
    m_paletteMenuCell = index;
    m_dialogs.popupMenu(m_mnuCouleurs, globalPos);
}

void AppearanceChooser::cmdPerso_Click() {
    m_dialogs.popupMenu(m_mnuCouleursPerso, menuPosition(m_cmdPerso));
}

void AppearanceChooser::mnuFond_Click() {
    const auto chosen = m_dialogs.chooseColor(this, boxBackground(m_txtMessage));
    if (!chosen || !chosen->isValid())
        return;
    setBoxBackground(m_txtMessage, *chosen);
    if (placeholderShowing())
        setBoxBackground(m_text1, *chosen);
}

void AppearanceChooser::mnuPolice_Click() {
    const auto chosen = m_dialogs.chooseColor(this, boxForeground(m_txtMessage));
    if (!chosen || !chosen->isValid())
        return;
    setBoxForeground(m_txtMessage, *chosen);
    if (placeholderShowing())
        setBoxForeground(m_text1, *chosen);
}

// --- Page switch --------------------------------------------------------------------------------

void AppearanceChooser::optCouleurs_Click() {
    m_optCouleurs->setChecked(true);
    m_optLogos->setChecked(false);
    m_fraColors->show();
    m_fraImg->hide();
}

void AppearanceChooser::optLogos_Click() {
    m_optLogos->setChecked(true);
    m_optCouleurs->setChecked(false);
    m_fraColors->hide();
    m_fraImg->show();
}

void AppearanceChooser::openImageMenu(const QPoint& globalPos) {
    m_dialogs.popupMenu(m_mnuImage, globalPos);
}

// --- Emoticons ----------------------------------------------------------------------------------

void AppearanceChooser::img_Click(int index) {
    const auto emo = EmoticonAt(index);
    const int chosen = emo ? index : kDefaultEmoticon;
    const QSize size = m_image1->size().shrunkBy(QMargins(1, 1, 1, 1));
    m_image1->setIcon(QIcon(renderEmoticon(chosen, size, devicePixelRatioF())));
    m_image1->setAccessibleName(QStringLiteral("Emoticon choisi : %1")
                                    .arg(fromView(kEmoticons[static_cast<std::size_t>(chosen)].name)));
    m_tag = QString::number(chosen);
}

void AppearanceChooser::openTestMenu(const QPoint& globalPos) {
    m_dialogs.popupMenu(m_mnuTester, globalPos);
}

// --- Defaults for new alerts ------------------------------------------------------------------

void AppearanceChooser::mnuCouleursDefauts_Click() {
    const auto cell = PaletteCellAt(m_paletteMenuCell);
    if (!cell)
        return;
    Q_EMIT defaultColorsChosen(ColorPair{cell->background, cell->text});
}

void AppearanceChooser::mnuCouleurDefaut_Click() {
    Q_EMIT defaultColorsChosen(
        ColorPair{toColorValue(boxBackground(m_txtMessage)), toColorValue(boxForeground(m_txtMessage))});
}

void AppearanceChooser::mnuAlea_Click() {
    Q_EMIT defaultColorsChosen(std::nullopt);
}

void AppearanceChooser::mnuDefaut_Click() {
    Q_EMIT defaultEmoticonChosen(m_tag);
}

void AppearanceChooser::cmdEmoDefaut_Click() {
    mnuDefaut_Click();
}

void AppearanceChooser::ApplyNewAlertDefaults(const Alerte& fresh) {
    img_Click(ParseEmoticonIndex(fresh.Emoticon).value_or(kDefaultEmoticon));
    const QColor bg = parseQColor(fresh.BackColor).value_or(boxBackground(m_txtMessage));
    const QColor fg = parseQColor(fresh.ForeColor).value_or(boxForeground(m_txtMessage));
    setBoxColors(m_txtMessage, bg, fg);
    setBoxColors(m_text1, bg, fg);
}

// --- Mouse and keyboard -------------------------------------------------------------------------

bool AppearanceChooser::eventFilter(QObject* watched, QEvent* event) {
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w)
        return QWidget::eventFilter(watched, event);

    int cell = -1;
    for (std::size_t i = 0; i < m_lblColor.size(); ++i)
        if (m_lblColor[i] == w)
            cell = static_cast<int>(i);

    // What a right press, or the keyboard's menu key, opens on this control (none: nothing).
    auto openContextMenu = [&](const QPoint& globalPos) {
        if (cell >= 0)
            openPaletteMenu(cell, globalPos);
        else if (w == m_optLogos)
            openImageMenu(globalPos); // the page stays as it is
        else if (w == m_image1 || w == m_label1)
            openTestMenu(globalPos);
        else
            return false;
        return true;
    };

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint global = me->globalPosition().toPoint();
        if (w == m_image1) { // any button
            openTestMenu(global);
            return true;
        }
        if (me->button() == Qt::RightButton && w != m_label1 && openContextMenu(global))
            return true;
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (w == m_label1 && me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint())) {
            openTestMenu(me->globalPosition().toPoint());
            return true;
        }
        break;
    }
    case QEvent::ContextMenu: {
        // A right press was handled above; this is the keyboard's menu key, or the event that
        // follows a right press, which must not reach the editor behind.
        auto* ce = static_cast<QContextMenuEvent*>(event);
        if (ce->reason() == QContextMenuEvent::Keyboard)
            openContextMenu(w->mapToGlobal(QPoint(0, w->height())));
        return true;
    }
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (isMenuKey(ke) && openContextMenu(w->mapToGlobal(QPoint(0, w->height()))))
            return true;
        if (w == m_image1 &&
            (isActivationKey(ke) || ke->key() == Qt::Key_Space || ke->key() == Qt::Key_Select)) {
            openTestMenu(w->mapToGlobal(QPoint(0, w->height())));
            return true;
        }
        if (isActivationKey(ke) && (ke->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                b->click();
                return true;
            }
        }
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace zento
