#include "popup/frmAlerte.h"

#include "ui/Services.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"
#include "appearance/QtColor.h"
#include "media/ActionLauncher.h"
#include "media/SoundFolder.h"
#include "media/SoundOutput.h"
#include "schedule/Snooze.h"
#include "session/Session.h"
#include "ui/ErrorText.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QtDebug>

// The pictures live in the gui library; a static library's resources are registered on demand.
static void initPopupResources() {
    Q_INIT_RESOURCE(zento);
}

namespace zento {
namespace {

/// The fonts of the popup's layout; the family is rarely installed outside Windows, where the
/// desktop's sans-serif takes its place at the same size.
QFont layoutFont(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    return f;
}

template <class W>
W* place(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QLatin1String(name));
    w->setGeometry(twips::rect(left, top, width, height));
    return w;
}

QPushButton* button(QWidget* parent, const QString& text, const char* name, int left, int top, int width,
                    int height) {
    auto* b = place(new QPushButton(text, parent), name, left, top, width, height);
    // Enter answers like Space on the button that has the focus (outside a dialog Qt needs this).
    b->setAutoDefault(true);
    return b;
}

void setRole(QWidget* w, QPalette::ColorRole role, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(role, color); // every colour group: the same look active or not
    w->setPalette(p);
}

} // namespace

frmAlerte::frmAlerte(Session& session, Services& services)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_session(session), m_services(services) {
    initPopupResources();
    setObjectName(QStringLiteral("frmAlerte"));
    setAttribute(Qt::WA_DeleteOnClose);
    // A popup going away must never end the program that lives in the notification area.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("Zento - Alerte"));
    setFixedSize(twips::size(4905, 3660));
    setFont(layoutFont(8.25));
    setAutoFillBackground(true);

    m_lblDateMess = place(new QLabel(this), "lblDateMess", 240, 0, 4290, 315);
    m_lblDateMess->setFont(layoutFont(9.75));
    m_lblDateMess->setTextFormat(Qt::PlainText);

    m_img = place(new QPushButton(this), "img", 2160, 340, 390, 390);
    m_img->setFlat(true);
    m_img->setAutoDefault(true);
    m_img->setIconSize(twips::size(330, 330));
    m_img->setCursor(Qt::PointingHandCursor);
    m_img->installEventFilter(this);
    setEmoticonTip(tr("Cliquez pour effacer l'alerte"));

    // The message scrolls when it is longer than its box instead of being cut off.
    m_fraMessage = place(new QScrollArea(this), "fraMessage", 240, 840, 4290, 1455);
    m_fraMessage->setFrameShape(QFrame::NoFrame);
    m_fraMessage->setWidgetResizable(true);
    m_fraMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_fraMessage->setFocusPolicy(Qt::NoFocus);
    m_lblMessage = new QLabel(tr("Message"));
    m_lblMessage->setObjectName(QStringLiteral("lblMessage"));
    m_lblMessage->setFont(layoutFont(12));
    m_lblMessage->setTextFormat(Qt::PlainText); // the user's text, never markup
    m_lblMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_lblMessage->setWordWrap(true);
    m_lblMessage->setAutoFillBackground(true);
    m_lblMessage->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_fraMessage->setWidget(m_lblMessage);

    m_cmdClose = button(this, tr("Fermer"), "cmdClose", 240, 2520, 1335, 375);
    m_cmdModify = button(this, tr("Modifier"), "cmdModify", 3240, 2520, 1335, 375);
    m_cmdModify->setEnabled(false);

    auto* label1 = place(new QLabel(tr("Reporter de"), this), "Label1", 380, 3150, 1215, 255);
    m_cmbReport = place(new QComboBox(this), "cmbReport", 1620, 3120, 760, 315);
    for (std::string_view choice : kSnoozeChoices)
        m_cmbReport->addItem(QString::fromLatin1(choice.data(), static_cast<qsizetype>(choice.size())));
    m_cmbReport->setCurrentIndex(-1);
    m_cmbReport->setAccessibleName(tr("Reporter de (minutes)"));
    label1->setBuddy(m_cmbReport);
    place(new QLabel(tr("minutes"), this), "Label2", 2520, 3150, 1215, 255);
    m_cmdReport = button(this, tr("Reporter"), "cmdReport", 3240, 3120, 1335, 372);
    m_cmdReport->setEnabled(false);

    connect(m_img, &QPushButton::clicked, this, &frmAlerte::img_Click);
    connect(m_cmdClose, &QPushButton::clicked, this, &frmAlerte::cmdClose_Click);
    connect(m_cmdReport, &QPushButton::clicked, this, &frmAlerte::cmdReport_Click);
}

frmAlerte::~frmAlerte() = default;

void frmAlerte::setColors(const std::optional<QColor>& background, const std::optional<QColor>& text) {
    if (background) {
        setRole(this, QPalette::Window, *background);
        setRole(m_lblMessage, QPalette::Window, *background);
    }
    if (text)
        setRole(m_lblMessage, QPalette::WindowText, *text);
}

void frmAlerte::setEmoticon(int index) {
    const auto info = EmoticonAt(index);
    m_emoticon = info ? index : kDefaultEmoticon;
    const auto& e = info ? *info : *EmoticonAt(kDefaultEmoticon);
    m_img->setIcon(QIcon(fromView(e.resourcePath)));
}

void frmAlerte::setEmoticonTip(const QString& tip) {
    m_img->setToolTip(tip);
    m_img->setAccessibleName(tip);
}

void frmAlerte::setTestMode() {
    m_testMode = true;
    m_alert.id = 0;
    m_cmdReport->setEnabled(false);
    setWindowTitle(windowTitle() + tr(" (mode Test)"));
    setEmoticonTip(tr("Fermer"));
}

void frmAlerte::showPopup() {
    // Keystrokes meant for another window must not answer the alert: the focus starts on the
    // snooze list, where a stray key only changes the choice.
    if (m_cmbReport->isEnabled())
        m_cmbReport->setFocus();
    else
        m_img->setFocus();
    // A new top-level window already comes up above the others; it also takes the activation.
    show();
    activateWindow();
}

bool frmAlerte::eventFilter(QObject* watched, QEvent* event) {
    // A flat button shows no focus: the emoticon stands out as a button while it has the focus.
    if (watched == m_img && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        m_img->setFlat(event->type() == QEvent::FocusOut);
    return QWidget::eventFilter(watched, event);
}

bool frmAlerte::event(QEvent* event) {
    // Each time the popup becomes the active window its sound starts again from the beginning.
    if (event->type() == QEvent::WindowActivate && !m_closed && !m_alert.soundPath.empty())
        m_services.sound.PlaySoundFile(m_alert.soundPath, m_alert.loop);
    return QWidget::event(event);
}

void frmAlerte::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    m_services.sound.StopSound();
}

void frmAlerte::answered() {
    m_answered = true;
    close();
}

bool frmAlerte::succeeded(const Status& status) {
    if (!status)
        reportFailure(m_services.dialogs, this, tr("Impossible d'enregistrer l'alerte"), status.error());
    return status.ok();
}

void frmAlerte::img_Click() {
    if (m_answered || m_closed)
        return;
    if (m_testMode)
        m_session.LoadAllAlerts();
    else if (!succeeded(m_session.acknowledge(m_alert)))
        return;
    answered();
}

void frmAlerte::cmdClose_Click() {
    img_Click();
}

void frmAlerte::cmdReport_Click() {
    if (m_answered || m_closed)
        return;
    // A test popup never changes the alert (its button is disabled anyway).
    if (!m_testMode && !succeeded(m_session.snooze(m_alert.id, m_cmbReport->currentIndex())))
        return;
    answered();
}

frmAlerte* ShowAlertPopup(Session& session, Services& services, const Alerte& alert, bool testMode) {
    auto* popup = new frmAlerte(session, services);
    popup->setColors(parseQColor(alert.BackColor), parseQColor(alert.ForeColor));
    popup->m_lblDateMess->setText(QString::fromStdString(alert.AlertDate + " " + alert.AlertTime));
    popup->m_lblMessage->setText(QString::fromStdString(alert.Message));
    popup->setEmoticon(ParseEmoticonIndex(alert.Emoticon).value_or(kDefaultEmoticon));
    popup->m_alert = DueAlert::of(alert);
    if (!alert.Sound.empty())
        popup->m_alert.soundPath = (soundFolder() + QString::fromStdString(alert.Sound)).toStdString();
    popup->setEmoticonTip(popup->m_alert.recurrence > 0
                              ? frmAlerte::tr("Alerte périodique, cliquez pour valider la prochaine")
                              : frmAlerte::tr("Cliquez pour effacer l'alerte"));
    popup->m_cmdReport->setEnabled(true);
    if (testMode)
        popup->setTestMode();

    if (!alert.Action.empty())
        services.launcher.OpenAction(alert.Action);

    popup->showPopup();
    session.trackPopup(popup, popup->alertId());
    return popup;
}

frmAlerte* ShowEditorTestPopup(Session& session, Services& services, const EditorPreview& values) {
    auto* popup = new frmAlerte(session, services);
    const auto colour = [](const QColor& c) { return c.isValid() ? std::optional<QColor>(c) : std::nullopt; };
    popup->setColors(colour(values.background), colour(values.text));
    const QString head = values.hasTime ? values.dateText + QLatin1Char(' ') + values.hour +
                                              QLatin1Char(':') + values.minute + QStringLiteral("\n\n")
                                        : values.dateText + QLatin1Char('\n');
    popup->m_lblMessage->setText(head + values.message);
    popup->m_lblDateMess->clear();
    popup->setEmoticon(values.emoticon);
    popup->m_alert.loop = values.loop;
    if (values.withSound)
        popup->m_alert.soundPath = (soundFolder() + values.soundName).toStdString();
    popup->setTestMode();
    popup->m_cmbReport->setEnabled(false);
    popup->showPopup();
    session.trackPopup(popup, std::nullopt);
    return popup;
}

} // namespace zento
