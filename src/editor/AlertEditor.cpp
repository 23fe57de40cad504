#include "editor/AlertEditor.h"

#include "appearance/AppearanceChooser.h"
#include "appearance/QtColor.h"
#include "calendar/ucMiniCal.h"
#include "editor/MessageTextBox.h"
#include "editor/WrappingButton.h"
#include "media/SoundFolder.h"
#include "media/SoundPreview.h"
#include "schedule/Clock.h"
#include "session/Session.h"
#include "store/DateText.h"
#include "ui/ErrorText.h"
#include "ui/Services.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QToolButton>

namespace zento {
namespace {

const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kLightYellow(0xFF, 0xFF, 0x80);
const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kMessageBack(0xFF, 0xC0, 0x80);
const QColor kPlaceholderBack(0xFF, 0xFF, 0xC0);
const QColor kPlaceholderText(0x40, 0x40, 0x40);
const QString kPlaceholder = QStringLiteral("Tapez votre message ici");
const QString kAjouter = QStringLiteral("Ajouter");
const QString kEnregistrer = QStringLiteral("Enregistrer les modifications");

/// Entries added to a list for one edit only, so that a stored value the list does not offer
/// (minute "05" after a snooze, hour "00", a sound removed from the folder) is shown and kept.
constexpr int kExtraEntryRole = Qt::UserRole + 1;

template <typename W>
W* place(W* w, const char* name, int left, int top, int width, int height) {
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(twips::rect(left, top, width, height));
    return w;
}

void paintBlue(QWidget* w) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, kBlue);
    p.setColor(QPalette::ButtonText, kBlue);
    w->setPalette(p);
}

/// The placeholder box: it only shows its hint; a click hands over to the message box and no
/// key can type into it.
class PlaceholderFilter final : public QObject {
public:
    PlaceholderFilter(AlertEditor* editor, QObject* parent) : QObject(parent), m_editor(editor) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            m_editor->hidePlaceholder();
            return true;
        case QEvent::KeyPress:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
        }
    }

private:
    AlertEditor* m_editor;
};

} // namespace

AlertEditor::AlertEditor(Session& session, Services& services, QWidget* parent)
    : QGroupBox(tr("Options d'alerte"), parent), m_session(session), m_services(services) {
    setObjectName(QStringLiteral("fraEdit"));
    setGeometry(twips::rect(120, 120, 8055, 4692));
    // The panel lies over the list and hides it; only its caption is blue, not its contents.
    setAutoFillBackground(true);
    buildControls();
    hide();
}

void AlertEditor::buildControls() {
    auto* lblDate = place(new QLabel(tr("Date"), this), "lblDescription_1", 2160, 240, 1095, 255);
    auto* lblPeriod = place(new QLabel(tr("Périodicité"), this), "lblDescription_2", 5040, 270, 1575, 255);
    auto* lblMessage = place(new QLabel(tr("Message"), this), "lblDescription_0", 2040, 915, 1455, 255);
    for (QLabel* l : {lblDate, lblPeriod, lblMessage})
        paintBlue(l);

    m_chkHeure = place(new QCheckBox(tr("Heure"), this), "chkHeure", 3495, 240, 1200, 252);
    paintBlue(m_chkHeure);
    m_fraHeure = place(new QFrame(this), "fraHeure", 3480, 510, 1280, 372);
    m_fraHeure->setFrameShape(QFrame::NoFrame);
    m_cmbH = place(new QComboBox(this), "cmbH", 3480, 480, 700, 360);
    m_cmbM = place(new QComboBox(this), "cmbM", 4140, 480, 700, 360);
    m_cmbH->setAccessibleName(tr("Heure"));
    m_cmbM->setAccessibleName(tr("Minute"));
    m_cmbPeriodique = place(new QComboBox(this), "cmbPeriodique", 5040, 510, 1572, 315);
    lblPeriod->setBuddy(m_cmbPeriodique);

    m_txtMessage = place(new MessageTextBox(this), "txtMessage", 2040, 1200, 4290, 1425);
    m_txtMessage->setAccessibleName(tr("Message"));
    lblMessage->setBuddy(m_txtMessage);
    setBoxColors(m_txtMessage, kMessageBack, palette().color(QPalette::Text));
    m_Text1 = place(new QLineEdit(kPlaceholder, this), "Text1", 2640, 1260, 3135, 340);
    m_Text1->setFocusPolicy(Qt::NoFocus);
    m_Text1->setAlignment(Qt::AlignCenter);
    m_Text1->setFrame(false);
    m_Text1->setReadOnly(true);
    m_Text1->setCursor(Qt::IBeamCursor);
    setBoxColors(m_Text1, kPlaceholderBack, kPlaceholderText);
    m_Text1->installEventFilter(new PlaceholderFilter(this, m_Text1));
    connect(m_txtMessage, &MessageTextBox::clicked, this, &AlertEditor::hidePlaceholder);
    connect(m_txtMessage, &MessageTextBox::focused, this, [this] { m_Text1->hide(); });
    connect(m_txtMessage, &MessageTextBox::typing, this, [this] { m_Text1->hide(); });
    connect(m_txtMessage, &MessageTextBox::enterPressed, this, &AlertEditor::addClicked);

    m_optPopupSon = place(new QRadioButton(tr("Popup + son"), this), "optAlert_1", 2040, 2760, 1695, 252);
    m_optPopup = place(new QRadioButton(tr("Popup"), this), "optAlert_0", 2040, 3120, 1575, 252);
    auto* group = new QButtonGroup(this);
    group->addButton(m_optPopup, 0);
    group->addButton(m_optPopupSon, 1);
    connect(group, &QButtonGroup::idClicked, this, [this](int) { optAlert_Click(); });
    m_cmbWave = place(new QComboBox(this), "cmbWave", 3840, 2760, 2175, 360);
    m_cmbWave->setAccessibleName(tr("Son"));
    m_chkReveil = place(new QCheckBox(tr("Répéter en boucle"), this), "chkReveil", 3840, 3120, 2175, 375);
    m_chkReveil->setToolTip(tr("Répete le son en boucle"));

    // The preview button: four pictures at one place, one of each pair showing.
    // Play and stop side by side, each with its greyed twin at the same place.
    const struct {
        QToolButton** button;
        const char* name;
        const char* icon;
        const char* tip;
        int left;
    } previews[] = {
        {&m_imgPlay, "imgPlay", ":/icons/play.svg", "Écouter le son", 6045},
        {&m_imgStop, "imgStop", ":/icons/stop.svg", "Arrêter le son", 6315},
        {&m_imgPlaygris, "imgPlaygris", ":/icons/play_grey.svg", "Écouter le son", 6045},
        {&m_imgStopGris, "imgStopGris", ":/icons/stop_grey.svg", "Arrêter le son", 6315},
    };
    for (const auto& p : previews) {
        auto* b = place(new QToolButton(this), p.name, p.left, 2805, 270, 270);
        b->setIcon(QIcon(QString::fromLatin1(p.icon)));
        b->setIconSize(twips::size(240, 240));
        b->setAutoRaise(true);
        b->setToolTip(tr(p.tip));
        b->setAccessibleName(tr(p.tip));
        *p.button = b;
    }
    m_imgPlaygris->setEnabled(false);
    m_imgStopGris->setEnabled(false);
    m_preview = new SoundPreview(m_services.sound, m_imgPlay, m_imgStop, m_imgPlaygris, m_imgStopGris, this);
    m_preview->imgPlayStop(true);
    connect(m_imgPlay, &QToolButton::clicked, this, [this] {
        m_preview->imgPlay_Click(soundFolder() + m_cmbWave->currentText(),
                                 [this] { return m_chkReveil->isChecked(); });
    });
    connect(m_imgStop, &QToolButton::clicked, m_preview, &SoundPreview::imgStop_Click);
    // Whatever unticks the loop box (the user, a new alert, "Popup + son" chosen again) stops
    // the preview: a looping sound would otherwise go on with nothing showing it.
    connect(m_chkReveil, &QCheckBox::toggled, m_preview, &SoundPreview::chkReveil_Click);

    auto* lblAction = place(new QLabel(tr("Autre action (fichier, url, mailto, ... à faire)"), this),
                            "Label2", 2040, 3915, 4095, 255);
    m_txtAction = place(new QLineEdit(this), "txtAction", 2040, 4200, 3975, 360);
    lblAction->setBuddy(m_txtAction);
    m_cmdPath = place(new QPushButton(QStringLiteral("..."), this), "cmdPath", 6000, 4200, 495, 360);
    m_cmdPath->setToolTip(tr("Selectionner le fichier à ouvrir"));
    m_cmdPath->setAccessibleName(tr("Selectionner le fichier à ouvrir"));
    m_cmdPath->setAutoDefault(true);
    connect(m_cmdPath, &QPushButton::clicked, this, &AlertEditor::cmdPath_Click);

    m_cmdAdd = place(new WrappingButton(kAjouter, this), "cmdAdd", 6600, 1320, 1335, 372);
    m_cmdAdd->setAutoDefault(true);
    connect(m_cmdAdd, &QPushButton::clicked, this, &AlertEditor::addClicked);
    auto* cmdUndo = place(new QPushButton(tr("Annuler"), this), "cmdUndoNew_0", 6600, 1800, 1335, 372);
    cmdUndo->setAutoDefault(true);
    connect(cmdUndo, &QPushButton::clicked, this, &AlertEditor::undoClicked);
    auto* cmdBack = place(new QToolButton(this), "cmdUndoNew_1", 7560, 120, 250, 250);
    cmdBack->setIcon(QIcon(QStringLiteral(":/icons/back.svg")));
    cmdBack->setIconSize(twips::size(210, 210));
    cmdBack->setToolTip(tr("Retour liste d'alertes"));
    cmdBack->setAccessibleName(tr("Retour liste d'alertes"));
    connect(cmdBack, &QToolButton::clicked, this, &AlertEditor::undoClicked);
    auto* cmdMasque = place(new QPushButton(tr("Masquer"), this), "cmdMasque_1", 6600, 3420, 1335, 372);
    cmdMasque->setToolTip(tr("Mettre Zento en mode veillle"));
    cmdMasque->setAutoDefault(true);
    connect(cmdMasque, &QPushButton::clicked, this, &AlertEditor::hideClicked);
    auto* cmdQuit = place(new QPushButton(tr("Quitter"), this), "cmdQuit_1", 6600, 3885, 1335, 372);
    cmdQuit->setToolTip(tr("Quitter Zento"));
    cmdQuit->setAutoDefault(true);
    connect(cmdQuit, &QPushButton::clicked, this, &AlertEditor::quitClicked);

    m_chooser = new AppearanceChooser(m_services.dialogs, m_txtMessage, m_Text1, this);
    // The defaults of new alerts are stored at once; a failure is said, nothing else changes.
    const auto stored = [this](const Status& s) {
        if (!s)
            reportFailure(m_services.dialogs, this, tr("Impossible d'enregistrer les réglages"), s.error());
    };
    connect(m_chooser, &AppearanceChooser::defaultColorsChosen, this,
            [this, stored](std::optional<ColorPair> colors) { stored(m_session.service().setDefaultColors(colors)); });
    connect(m_chooser, &AppearanceChooser::defaultEmoticonChosen, this, [this, stored](const QString& emoticon) {
        stored(m_session.service().setDefaultEmoticon(emoticon.toStdString()));
    });
    m_chooser->move(0, 0);
    connect(m_chooser, &AppearanceChooser::testPopupRequested, this, &AlertEditor::testPopupRequested);
    connect(m_chooser, &AppearanceChooser::testActionRequested, this, &AlertEditor::testActionRequested);

    m_ucDate = new ucMiniCal(m_services.clock, this);
    m_ucDate->setObjectName(QStringLiteral("ucDate"));
    m_ucDate->move(twips::point(2040, 510));
    lblDate->setBuddy(m_ucDate);

    connect(m_chkHeure, &QCheckBox::clicked, this, &AlertEditor::chkHeure_Click);
    chkHeure_Click();

    // Keyboard order follows the reading order of the panel.
    QWidget::setTabOrder(m_ucDate, m_chkHeure);
    QWidget::setTabOrder(m_chkHeure, m_cmbH);
    QWidget::setTabOrder(m_cmbH, m_cmbM);
    QWidget::setTabOrder(m_cmbM, m_cmbPeriodique);
    QWidget::setTabOrder(m_cmbPeriodique, m_txtMessage);
    QWidget::setTabOrder(m_txtMessage, m_optPopupSon);
    QWidget::setTabOrder(m_optPopupSon, m_optPopup);
    QWidget::setTabOrder(m_optPopup, m_cmbWave);
    QWidget::setTabOrder(m_cmbWave, m_imgPlay);
    QWidget::setTabOrder(m_imgPlay, m_imgStop);
    QWidget::setTabOrder(m_imgStop, m_chkReveil);
    QWidget::setTabOrder(m_chkReveil, m_txtAction);
    QWidget::setTabOrder(m_txtAction, m_cmdPath);
    QWidget::setTabOrder(m_cmdPath, m_cmdAdd);
    QWidget::setTabOrder(m_cmdAdd, cmdUndo);
}

void AlertEditor::paintEvent(QPaintEvent*) {
    // The caption alone is blue: a blue palette would spread to every control of the panel.
    QStylePainter p(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.textColor = kBlue;
    option.palette.setColor(QPalette::WindowText, kBlue);
    p.drawComplexControl(QStyle::CC_GroupBox, option);
}

void AlertEditor::fillLists(const QStringList& waveFiles) {
    m_cmbPeriodique->clear();
    for (const auto name : kRecurrenceNames)
        m_cmbPeriodique->addItem(fromView(name));
    m_cmbPeriodique->setCurrentIndex(0);

    m_waveFiles = waveFiles;
    m_cmbWave->clear();
    m_cmbWave->addItems(waveFiles);

    // 01 to 23: there is no 00 in the hour list.
    m_cmbH->clear();
    for (int h = 1; h <= 23; ++h)
        m_cmbH->addItem(QStringLiteral("%1").arg(h, 2, 10, QLatin1Char('0')));
    m_cmbM->clear();
    m_cmbM->addItems(
        {QStringLiteral("00"), QStringLiteral("15"), QStringLiteral("30"), QStringLiteral("45")});
    m_cmbH->setCurrentIndex(0);
    m_cmbM->setCurrentIndex(0);
    m_chkHeure->setChecked(false);
    chkHeure_Click();
}

void AlertEditor::resetExtraListEntries() {
    for (QComboBox* list : {m_cmbH, m_cmbM, m_cmbWave}) {
        const QString current = list->currentText();
        bool removed = false;
        for (int i = list->count() - 1; i >= 0; --i) {
            if (list->itemData(i, kExtraEntryRole).toBool()) {
                list->removeItem(i);
                removed = true;
            }
        }
        if (removed && list != m_cmbWave)
            selectText(list, current, false);
    }
}

void AlertEditor::selectText(QComboBox* list, const QString& text, bool addWhenMissing) {
    const int found = list->findText(text, Qt::MatchExactly);
    if (found >= 0) {
        list->setCurrentIndex(found);
        return;
    }
    if (!addWhenMissing)
        return;
    // Keep the list in order: the entry goes before the first one that sorts after it.
    int at = 0;
    while (at < list->count() && list->itemText(at) < text)
        ++at;
    list->insertItem(at, text);
    list->setItemData(at, true, kExtraEntryRole);
    list->setCurrentIndex(at);
}

void AlertEditor::selectWave(const QString& name, bool addWhenMissing) {
    selectText(m_cmbWave, name, addWhenMissing);
}

void AlertEditor::openNew(const Alerte& fresh) {
    stopPreview();
    resetExtraListEntries();
    m_ucDate->ChangeJour(ParseDate(fresh.AlertDate).value_or(DayOf(m_services.clock.now())));
    m_txtMessage->setMessage(QString());
    m_Text1->setText(kPlaceholder);
    m_Text1->show();
    m_Text1->raise();
    m_chkHeure->setChecked(false);
    m_chkReveil->setChecked(false);
    m_cmbPeriodique->setCurrentIndex(0);
    m_optPopupSon->setChecked(true);
    optAlert_Click();
    m_txtAction->clear();
    selectWave(QString::fromStdString(fresh.Sound), false);
    m_chooser->ApplyNewAlertDefaults(fresh);
    // The time lists keep the hour and minute last shown.
    chkHeure_Click();
    m_cmdAdd->setText(kAjouter);
    m_cmdAdd->setGeometry(twips::rect(6600, 1320, 1335, 372));
    m_mode = Mode::Adding;
    show();
    raise();
    // Keyboard users land in the message box; the hint stays until they type or click.
    m_txtMessage->setFocus(Qt::OtherFocusReason);
}

void AlertEditor::openExisting(const Alerte& a) {
    stopPreview();
    resetExtraListEntries();
    const Date today = DayOf(m_services.clock.now());
    m_ucDate->ChangeJour(ParseDate(a.AlertDate).value_or(today));
    m_txtMessage->setMessage(QString::fromStdString(a.Message));
    const auto recurrence = ParseInt32(a.Recurrence);
    m_cmbPeriodique->setCurrentIndex(recurrence && *recurrence >= 0 && *recurrence <= 8 ? *recurrence : 0);
    if (ParseInt32(a.Emoticon))
        m_chooser->img_Click(*ParseInt32(a.Emoticon));
    if (a.Sound.empty()) {
        m_optPopup->setChecked(true);
        optAlert_Click();
    } else {
        m_optPopupSon->setChecked(true);
        optAlert_Click();
        selectWave(QString::fromStdString(a.Sound), true);
        const auto loop = ParseInt32(a.LoopSound);
        m_chkReveil->setChecked(loop.value_or(0) == 1);
    }
    const auto back = parseQColor(a.BackColor);
    const auto fore = parseQColor(a.ForeColor);
    setBoxColors(m_txtMessage, back.value_or(kMessageBack), fore.value_or(palette().color(QPalette::Text)));
    if (a.AlertTime.empty() || !ParseTime(a.AlertTime)) {
        m_chkHeure->setChecked(false);
    } else {
        const QString t = QString::fromStdString(std::string(TrimBlanks(a.AlertTime)));
        const QStringList parts = t.split(QLatin1Char(':'));
        selectText(m_cmbH, parts.value(0).rightJustified(2, QLatin1Char('0')), true);
        selectText(m_cmbM, parts.value(1), true);
        m_chkHeure->setChecked(true);
    }
    chkHeure_Click();
    m_txtAction->setText(QString::fromStdString(a.Action));
    m_Text1->hide();
    m_cmdAdd->setText(kEnregistrer);
    m_cmdAdd->setGeometry(twips::rect(6600, 960, 1335, 650));
    m_mode = Mode::Modifying;
    show();
    raise();
    m_txtMessage->setFocus(Qt::OtherFocusReason);
}

void AlertEditor::stopPreview() {
    // Only the preview's own sound: the output may be playing a popup's.
    if (m_preview->isPreviewing())
        m_preview->imgStop_Click();
}

void AlertEditor::hideEvent(QHideEvent* event) {
    // Closed, or its window hidden or minimised: nothing would be left to stop the preview with.
    stopPreview();
    QGroupBox::hideEvent(event);
}

void AlertEditor::closeEditor() {
    stopPreview();
    m_ucDate->Ferme();
    m_mode = Mode::List;
    hide();
}

void AlertEditor::chkHeure_Click() {
    const bool on = m_chkHeure->isChecked();
    m_fraHeure->setEnabled(on);
    for (QComboBox* list : {m_cmbH, m_cmbM}) {
        list->setEnabled(on);
        list->setStyleSheet(QStringLiteral("QComboBox { background-color: %1; color: %2; }")
                                .arg((on ? QColor(Qt::black) : kSilver).name(), kLightYellow.name()));
    }
}

void AlertEditor::optAlert_Click() {
    const bool withSound = m_optPopupSon->isChecked();
    m_cmbWave->setVisible(withSound);
    m_chkReveil->setVisible(withSound);
    if (withSound) {
        stopPreview();
        m_preview->imgPlayStop(true);
        m_chkReveil->setChecked(false);
        selectWave(fromView(kDefaultSound), false);
    } else {
        // A preview still playing goes with its controls.
        stopPreview();
        for (QToolButton* b : {m_imgPlay, m_imgStop, m_imgPlaygris, m_imgStopGris})
            b->hide();
        m_cmbWave->setCurrentIndex(-1);
    }
}

void AlertEditor::cmdPath_Click() {
    if (const auto path =
            m_services.dialogs.chooseFileToOpen(window(), tr("Selectionner le fichier à ouvrir")))
        m_txtAction->setText(*path);
}

void AlertEditor::hidePlaceholder() {
    m_Text1->hide();
    m_txtMessage->setFocus(Qt::MouseFocusReason);
}

Alerte AlertEditor::readAlert() const {
    Alerte a;
    a.Message = m_txtMessage->message().toStdString();
    a.AlertDate = FormatDate(m_ucDate->ChoixDate());
    a.Recurrence = std::to_string(std::max(0, m_cmbPeriodique->currentIndex()));
    a.Emoticon = m_chooser->Tag().toStdString();
    a.Sound = m_optPopupSon->isChecked() ? m_cmbWave->currentText().toStdString() : std::string();
    a.BackColor = FormatColorValue(toColorValue(boxBackground(m_txtMessage)));
    a.ForeColor = FormatColorValue(toColorValue(boxForeground(m_txtMessage)));
    a.AlertTime = m_chkHeure->isChecked()
                      ? (m_cmbH->currentText() + QLatin1Char(':') + m_cmbM->currentText()).toStdString()
                      : std::string();
    a.LoopSound.assign(1, m_chkReveil->isChecked() ? '1' : '0');
    a.Action = m_txtAction->text().toStdString();
    return a;
}

bool AlertEditor::hasTime() const {
    return m_chkHeure->isChecked();
}
QString AlertEditor::hourText() const {
    return m_cmbH->currentText();
}
QString AlertEditor::minuteText() const {
    return m_cmbM->currentText();
}
bool AlertEditor::soundSelected() const {
    return m_optPopupSon->isChecked();
}
QString AlertEditor::soundName() const {
    return m_cmbWave->currentText();
}
bool AlertEditor::loopChecked() const {
    return m_chkReveil->isChecked();
}
QString AlertEditor::actionText() const {
    return m_txtAction->text();
}

} // namespace zento
