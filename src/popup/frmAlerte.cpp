#include "popup/frmAlerte.h"

#include "app/Services.h"
#include "app/Twips.h"
#include "app/UserDialogs.h"
#include "appearance/QtColor.h"
#include "media/ActionLauncher.h"
#include "media/SoundOutput.h"
#include "popup/PopupHost.h"
#include "schedule/Clock.h"
#include "schedule/Recurrence.h"
#include "schedule/Snooze.h"

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

frmAlerte::frmAlerte(PopupHost& host, Services& services)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_host(host), m_services(services) {
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
    m_img->setIcon(
        QIcon(QString::fromUtf8(e.resourcePath.data(), static_cast<qsizetype>(e.resourcePath.size()))));
}

void frmAlerte::setEmoticonTip(const QString& tip) {
    m_img->setToolTip(tip);
    m_img->setAccessibleName(tip);
}

void frmAlerte::setTestMode() {
    m_alertId.reset();
    m_lblId.clear();
    m_lblINI.clear();
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
    if (event->type() == QEvent::WindowActivate && !m_closed && !m_lblSon.isEmpty())
        m_services.sound.PlaySoundFile(m_lblSon.toStdString(), m_lblRepet == QLatin1String("1"));
    return QWidget::event(event);
}

void frmAlerte::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    m_services.sound.StopSound();
    // Closed without an answer: the tick went off for this popup and nothing else would switch
    // it on again, so every later alert would wait.
    if (!m_answered && !isTestMode())
        m_host.enableTimer();
    m_host.popupClosed(this);
}

void frmAlerte::answered() {
    m_answered = true;
    close();
}

void frmAlerte::img_Click() {
    if (m_answered || m_closed)
        return;
    if (!isTestMode()) {
        const std::int32_t id = *m_alertId;
        StoreStatus status;
        if (!m_lblP.isEmpty()) {
            const auto date = ParseDate(m_lblD.toStdString());
            const auto code = ParseInt32(m_lblP.toStdString());
            // Only a hand-edited store gets here without both; it is then left as it is.
            if (date && code)
                status = m_host.store().UpdateExistingAlert(
                    id, {{Alerte::keyOf(2), FormatDate(NextOccurrence(*date, *code))}});
        } else {
            status = m_host.store().DeleteAlertSection(id);
        }
        if (!status) {
            reportFailure(m_services.dialogs, this, tr("Impossible d'enregistrer l'alerte"), status.error);
            return;
        }
    }
    m_host.LoadAllAlerts();
    answered();
}

void frmAlerte::cmdClose_Click() {
    img_Click();
}

void frmAlerte::cmdReport_Click() {
    if (m_answered || m_closed)
        return;
    if (isTestMode()) {
        // Its button is disabled; a test popup never changes the alert.
        answered();
        return;
    }
    const std::int32_t id = *m_alertId;
    const SnoozeMoment moment = SnoozeMomentFor(m_services.clock.now(), m_cmbReport->currentIndex());
    bool found = false;
    const StoreStatus status = m_host.store().UpdateExistingAlert(
        id, {{Alerte::keyOf(2), moment.AlertDate}, {Alerte::keyOf(8), moment.AlertTime}}, &found);
    if (!status) {
        reportFailure(m_services.dialogs, this, tr("Impossible d'enregistrer l'alerte"), status.error);
        return;
    }
    // An alert deleted meanwhile stays deleted: nothing to update in the table either.
    if (found)
        m_host.snoozed(id, moment.AlertDate, moment.AlertTime);
    m_host.enableTimer();
    answered();
}

frmAlerte* ShowAlertPopup(PopupHost& host, Services& services, std::int32_t position, bool testMode) {
    const AlertTable& table = host.table();
    if (!table.isValidPosition(position)) {
        qWarning("Zento : pas d'alerte à la position %d", static_cast<int>(position));
        return nullptr;
    }
    const Alerte alert = table.at(position); // a copy: the table may be rebuilt while we work

    auto* popup = new frmAlerte(host, services);
    popup->setColors(parseQColor(alert.BackColor), parseQColor(alert.ForeColor));
    popup->m_lblDateMess->setText(QString::fromStdString(alert.AlertDate + " " + alert.AlertTime));
    popup->m_lblMessage->setText(QString::fromStdString(alert.Message));
    popup->setEmoticon(ParseEmoticonIndex(alert.Emoticon).value_or(kDefaultEmoticon));
    if (IsPeriodic(alert.Recurrence)) {
        popup->m_lblP = QString::fromStdString(alert.Recurrence);
        popup->m_lblD = QString::fromStdString(alert.AlertDate);
        popup->setEmoticonTip(frmAlerte::tr("Alerte périodique, cliquez pour valider la prochaine"));
    } else {
        popup->setEmoticonTip(frmAlerte::tr("Cliquez pour effacer l'alerte"));
    }
    popup->m_lblSon = host.waveFolder() + QString::fromStdString(alert.Sound);
    popup->m_cmdReport->setEnabled(true);
    if (testMode) {
        popup->setTestMode();
    } else {
        popup->m_alertId = alert.Id;
        popup->m_lblId = QString::number(position);
        popup->m_lblINI = QString::number(alert.Id);
    }
    popup->m_lblRepet = QString::fromStdString(alert.LoopSound);

    if (!alert.Action.empty())
        services.launcher.OpenAction(alert.Action);

    popup->showPopup();
    if (!testMode)
        host.popupOpened(popup);
    return popup;
}

frmAlerte* ShowEditorTestPopup(PopupHost& host, Services& services, const EditorPreview& values) {
    auto* popup = new frmAlerte(host, services);
    const auto colour = [](const QColor& c) { return c.isValid() ? std::optional<QColor>(c) : std::nullopt; };
    popup->setColors(colour(values.background), colour(values.text));
    const QString head = values.hasTime ? values.dateText + QLatin1Char(' ') + values.hour +
                                              QLatin1Char(':') + values.minute + QStringLiteral("\n\n")
                                        : values.dateText + QLatin1Char('\n');
    popup->m_lblMessage->setText(head + values.message);
    popup->m_lblDateMess->clear();
    popup->setEmoticon(values.emoticon);
    popup->m_lblRepet = values.loop ? QStringLiteral("1") : QStringLiteral("0");
    if (values.withSound)
        popup->m_lblSon = host.waveFolder() + values.soundName;
    popup->setTestMode();
    popup->m_cmbReport->setEnabled(false);
    popup->showPopup();
    return popup;
}

} // namespace zento
