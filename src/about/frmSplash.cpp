#include "about/frmSplash.h"

#include "ui/Twips.h"
#include "ui/UserDialogs.h"
#include "media/ActionLauncher.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>

#include <algorithm>

namespace zento {
namespace {

// Client area of the window, in twips: the frame with a margin around it, the link below.
constexpr int kFormWidth = 5916;
constexpr int kFormHeight = 4080;
// Right edge of the version text inside the frame, as far from the frame's edge as the maker's
// name is from the left one.
constexpr int kVersionRight = 5616 - 312;
// The icon's design grid: drawn at this size (64 pixels at 96 DPI) its edges stay sharp.
constexpr int kLogoSide = 960;

QFont labelFont(const QStringList& families, QFont::StyleHint hint, int points) {
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(hint);
    f.setPointSize(points);
    f.setBold(true);
    return f;
}

QPixmap renderLogo(int side, qreal ratio) {
    QSvgRenderer svg(QStringLiteral(":/icons/zento.svg"));
    const int device = qRound(side * ratio);
    QPixmap pixmap(device, device);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p, QRectF(0, 0, device, device));
    p.end();
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

bool isModifierOnly(int key) {
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Meta || key == Qt::Key_Alt ||
           key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_NumLock ||
           key == Qt::Key_ScrollLock || key == Qt::Key_Super_L || key == Qt::Key_Super_R || key == 0 ||
           key == Qt::Key_unknown;
}

} // namespace

frmSplash::frmSplash(ActionLauncher& launcher, QWidget* parent)
    : QFrame(parent, Qt::Dialog | Qt::FramelessWindowHint), m_launcher(launcher) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The splash may be the only visible window of a program that lives in the notification area.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    // The window itself takes the keys, so that Enter closes it until the user tabs to the link.
    setFocusPolicy(Qt::StrongFocus);

    m_frame1 = new QFrame(this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_frame1->installEventFilter(this);

    m_lblCompanyProduct = new QLabel(QStringLiteral("Olvani"), m_frame1);
    m_lblCompanyProduct->setObjectName(QStringLiteral("lblCompanyProduct"));
    m_lblCompanyProduct->setFont(labelFont({QStringLiteral("Arial")}, QFont::SansSerif, 18));

    m_lblProductName = new QLabel(m_frame1);
    m_lblProductName->setObjectName(QStringLiteral("lblProductName"));
    // Caladea has Cambria's metrics; a plain serif face after that.
    m_lblProductName->setFont(
        labelFont({QStringLiteral("Cambria"), QStringLiteral("Caladea")}, QFont::Serif, 36));

    m_lblVersion = new QLabel(m_frame1);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setFont(labelFont({QStringLiteral("Arial")}, QFont::SansSerif, 12));
    m_lblVersion->setAlignment(Qt::AlignRight | Qt::AlignTop);

    m_label1 = new QLabel(QStringLiteral("Votre pense bête pour gérer vos rappels"), m_frame1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_imgLogo = new QLabel(m_frame1);
    m_imgLogo->setObjectName(QStringLiteral("imgLogo"));
    m_imgLogo->setAlignment(Qt::AlignCenter);
    m_imgLogo->setAccessibleName(QStringLiteral("Icône de Zento"));

    m_label6 = new QLabel(this);
    m_label6->setObjectName(QStringLiteral("Label6"));
    m_label6->setAlignment(Qt::AlignCenter);
    m_label6->setTextFormat(Qt::RichText);
    // The window handles the link itself, so that one Tab reaches it and Enter opens it: the
    // label's own link navigation needs a second Tab before Enter does anything.
    m_label6->setFocusPolicy(Qt::StrongFocus);
    m_label6->setCursor(Qt::PointingHandCursor);
    m_label6->setAccessibleName(QStringLiteral("Site d'Olvani"));
    m_label6->setAccessibleDescription(QStringLiteral("Lien : ouvre la page de Zento"));
    m_label6->setToolTip(QString::fromLatin1(ProductPageUrl));
    m_label6->installEventFilter(this);
    updateLinkText();

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(kSplashDurationMs);
    connect(m_timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);

    Form_Load();
    m_timer1->start();
}

QString frmSplash::versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(ZENTO_VERSION_MAJOR)
        .arg(ZENTO_VERSION_MINOR)
        .arg(ZENTO_VERSION_PATCH);
}

void frmSplash::Form_Load() {
    m_lblVersion->setText(versionText());
    m_lblProductName->setText(applicationTitle());
    setWindowTitle(applicationTitle());
    m_imgLogo->setPixmap(renderLogo(twips::px(kLogoSide), devicePixelRatioF()));
    layoutControls();
}

void frmSplash::layoutControls() {
    resize(twips::size(kFormWidth, kFormHeight));
    m_frame1->setGeometry(twips::rect(150, 60, 5616, 3672));

    m_lblCompanyProduct->move(twips::point(312, 348));
    m_lblCompanyProduct->adjustSize();

    // Labels grow to fit their text instead of cutting it: the fonts found here may be wider
    // than the ones the window was drawn with.
    const QRect name = twips::rect(2400, 660, 1692, 840);
    const QSize nameHint = m_lblProductName->sizeHint();
    m_lblProductName->setGeometry(name.x(), name.y(), std::max(name.width(), nameHint.width()),
                                  std::max(name.height(), nameHint.height()));

    // Right-aligned: the text keeps its right edge and grows to the left.
    const QSize versionHint = m_lblVersion->sizeHint();
    const int versionRight = twips::px(kVersionRight);
    const int versionLeft = std::min(twips::px(4380), versionRight - versionHint.width());
    m_lblVersion->setGeometry(versionLeft, twips::px(1440), versionRight - versionLeft, versionHint.height());

    const QRect tagline = twips::rect(2280, 1800, 3252, 372);
    m_label1->setGeometry(tagline.x(), tagline.y(), tagline.width(),
                          std::max(tagline.height(), m_label1->heightForWidth(tagline.width())));

    m_imgLogo->setGeometry(twips::rect(360, 1032, 1452, 1788));

    const QRect link = twips::rect(360, 3720, 5175, 255);
    // Only the address itself answers clicks: the label is as wide as its text, centred.
    const QSize linkHint = m_label6->sizeHint();
    const int linkWidth = std::min(link.width(), linkHint.width());
    m_label6->setGeometry(link.x() + (link.width() - linkWidth) / 2, link.y(), linkWidth,
                          std::max(link.height(), linkHint.height()));
    if (m_label6->geometry().bottom() >= height())
        resize(width(), m_label6->geometry().bottom() + twips::px(60));
}

void frmSplash::updateLinkText() {
    // The link is drawn in the selection colour of the desktop's palette; with the keyboard on
    // it, the other way round, as a selected link is. The label takes a link's colour from the
    // markup, not from its palette, hence the style.
    const QColor highlight = palette().color(QPalette::Highlight);
    const QString style = m_label6->hasFocus()
                              ? QStringLiteral("color: %1; background-color: %2")
                                    .arg(palette().color(QPalette::HighlightedText).name(), highlight.name())
                              : QStringLiteral("color: %1").arg(highlight.name());
    m_label6->setText(QStringLiteral("<a href=\"%1\" style=\"%2\">%3</a>")
                          .arg(QString::fromLatin1(ProductPageUrl).toHtmlEscaped(), style,
                               QString::fromLatin1(MakerWebAddress).toHtmlEscaped()));
}

void frmSplash::placeOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect r = frameGeometry();
    r.moveCenter(screen->availableGeometry().center());
    move(r.topLeft());
}

void frmSplash::showSplash() {
    if (!isVisible())
        placeOnScreen();
    takeKeys();
    show();
}

void frmSplash::takeKeys() {
    // Otherwise the window hands its focus to the link on activation, and Enter would open the
    // page instead of closing the window.
    if (!focusWidget())
        setFocus(Qt::OtherFocusReason);
}

void frmSplash::showAbout() {
    m_timer1->stop();
    setWindowTitle(QStringLiteral("A propos de %1").arg(applicationTitle()));
    if (!isVisible())
        placeOnScreen();
    takeKeys();
    show();
    raise();
    activateWindow();
}

bool frmSplash::closesByItself() const {
    return m_timer1->isActive();
}

frmSplash* frmSplash::openAbout(QPointer<frmSplash>& window, ActionLauncher& launcher) {
    // A window already closed (and waiting to be deleted) is not reused.
    if (!window || window->m_closed)
        window = new frmSplash(launcher);
    window->showAbout();
    return window;
}

void frmSplash::Timer1_Timer() {
    close();
}

void frmSplash::Label6_Click() {
    m_launcher.OpenAction(ProductPageUrl);
}

void frmSplash::keyPressEvent(QKeyEvent* event) {
    // A key that types nothing by itself (Shift, Alt on the way to Alt+Tab...) is not an answer.
    if (isModifierOnly(event->key())) {
        QFrame::keyPressEvent(event);
        return;
    }
    event->accept();
    close();
}

void frmSplash::closeEvent(QCloseEvent* event) {
    m_timer1->stop();
    m_closed = true;
    QFrame::closeEvent(event);
}

void frmSplash::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && m_label6)
        updateLinkText();
    QFrame::changeEvent(event);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    const auto type = event->type();
    const auto leftClickInside = [event](const QWidget* w) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton && w->rect().contains(mouse->position().toPoint());
    };
    // A click anywhere on the frame, its labels and picture included, dismisses the window.
    if (watched == m_frame1 && type == QEvent::MouseButtonRelease && leftClickInside(m_frame1)) {
        close();
        return true;
    }
    if (watched == m_label6) {
        if (type == QEvent::MouseButtonRelease && leftClickInside(m_label6)) {
            Label6_Click();
            return true;
        }
        if (type == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                Label6_Click();
                return true;
            }
        }
        if (type == QEvent::FocusIn || type == QEvent::FocusOut)
            updateLinkText();
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace zento
