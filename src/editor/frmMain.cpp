#include "editor/frmMain.h"

#include "appearance/QtColor.h"
#include "editor/AlarmGrid.h"
#include "editor/AlertEditor.h"
#include "exchange/CalendarExport.h"
#include "exchange/CalendarImport.h"
#include "media/ActionLauncher.h"
#include "media/SoundFolder.h"
#include "popup/frmAlerte.h"
#include "session/Session.h"
#include "store/FileIo.h"
#include "ui/ErrorText.h"
#include "ui/Services.h"
#include "ui/Twips.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <algorithm>

namespace zento {
namespace {

/// The hourglass while the store is written.
class WaitCursor final {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

constexpr int kFrameWidth = 8055;
constexpr int kFrameHeight = 4692;
constexpr int kMargin = 120;

} // namespace

frmMain::frmMain(Session& session, Services& services, QWidget* parent)
    : QMainWindow(parent), m_session(session), m_services(services) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(applicationTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/zento.svg")));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("frmMainClient"));
    setCentralWidget(central);
    buildListPanel();
    m_editor = new AlertEditor(m_session, m_services, central);
    buildMenus();

    connect(m_editor, &AlertEditor::addClicked, this, &frmMain::cmdAdd_Click);
    connect(m_editor, &AlertEditor::undoClicked, this, &frmMain::cmdUndoNew_Click);
    connect(m_editor, &AlertEditor::hideClicked, this, &frmMain::hideRequested);
    connect(m_editor, &AlertEditor::quitClicked, this, &frmMain::quitRequested);
    connect(m_editor, &AlertEditor::testPopupRequested, this, &frmMain::mnuTest_Click);
    connect(m_editor, &AlertEditor::testActionRequested, this, &frmMain::mnuTestAction_Click);

    // What the window shows is refilled at every reload, while it shows (showing refills it).
    connect(&m_session, &Session::tableChanged, this, [this] {
        if (isVisible() && !isMinimized())
            ListeAlertes();
    });
    connect(&m_session, &Session::loadFailed, this, [this](const Error& e) {
        reportFailure(m_services.dialogs, this, tr("Impossible de lire les alertes"), e);
    });

    // The window's height is that of the panels; only the width may change.
    const int clientHeight = twips::px(kMargin + kFrameHeight + kMargin);
    central->setMinimumSize(twips::px(kMargin + kFrameWidth + kMargin), clientHeight);
    central->setMaximumHeight(clientHeight);
    m_editor->fillLists(listWaveFiles(soundFolder()));
}

frmMain::~frmMain() = default;

void frmMain::buildListPanel() {
    m_frame1 = new QFrame(centralWidget());
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameShape(QFrame::StyledPanel);
    m_frame1->setGeometry(twips::rect(kMargin, kMargin, 8052, kFrameHeight));

    m_grid = new AlarmGrid(m_frame1);
    m_grid->setGeometry(twips::rect(120, 240, 6372, 4332));
    connect(m_grid, &AlarmGrid::modifyRequested, this, &frmMain::cmdModify_Click);
    connect(m_grid, &AlarmGrid::contextMenuRequested, this, &frmMain::showGridMenu);

    QFont arial(QStringLiteral("Arial"));
    arial.setStyleHint(QFont::SansSerif);
    const auto button = [&](const char* name, const QString& caption, int top, const QString& tip) {
        auto* b = new QPushButton(caption, m_frame1);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(twips::rect(6600, top, 1335, 372));
        b->setToolTip(tip);
        b->setFont(arial);
        // Outside a dialog Qt presses a focused button on Enter only when asked to.
        b->setAutoDefault(true);
        return b;
    };
    m_cmdNew = button("cmdNew", tr("Nouveau"), 480, tr("Ajouter une alerte"));
    m_cmdModify = button("cmdModify", tr("Modifier"), 960, tr("Changer l'alerte sélectionnée "));
    m_cmdTest = button("cmdTest", tr("Tester"), 1440, tr("Voir le Popup"));
    m_cmdDelete = button("cmdDelete", tr("Supprimer"), 1920, tr("Supprime l'alerte sélectionnée"));
    m_cmdMasque = button("cmdMasque_0", tr("Masquer"), 3420, tr("Mettre Zento en mode veillle"));
    m_cmdQuit = button("cmdQuit_0", tr("Quitter"), 3885, tr("Quitter Zento"));
    connect(m_cmdNew, &QPushButton::clicked, this, &frmMain::cmdNew_Click);
    connect(m_cmdModify, &QPushButton::clicked, this, &frmMain::cmdModify_Click);
    connect(m_cmdTest, &QPushButton::clicked, this, &frmMain::cmdTest_Click);
    connect(m_cmdDelete, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
    connect(m_cmdMasque, &QPushButton::clicked, this, &frmMain::hideRequested);
    connect(m_cmdQuit, &QPushButton::clicked, this, &frmMain::quitRequested);
}

void frmMain::buildMenus() {
    m_mnuFile = menuBar()->addMenu(tr("&Fichier"));
    m_mnuFile->setObjectName(QStringLiteral("mnuFile"));
    const auto entry = [this](const char* name, const QString& text) {
        QAction* a = m_mnuFile->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    m_mnuNew = entry("mnuNew", tr("Nouveau"));
    m_mnuModify = entry("mnuModify", tr("Modifier"));
    m_mnuDelete = entry("mnuDelete", tr("Supprimer"));
    m_mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuVide"));
    m_mnuTestPoPup = entry("mnuTestPoPup", tr("Voir le Popup (Test)"));
    m_mnuImport = entry("mnuImport", tr("Importer des alertes…"));
    m_mnuExport = entry("mnuExport", tr("Exporter les alertes…"));
    m_mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuVide2"));
    m_mnuTestPoPup->setVisible(false);
    m_mnuMasque = entry("mnuMasque", tr("Masquer"));
    m_mnuQuitter = entry("mnuQuitter", tr("Quitter"));
    connect(m_mnuNew, &QAction::triggered, this, &frmMain::cmdNew_Click);
    connect(m_mnuModify, &QAction::triggered, this, &frmMain::cmdModify_Click);
    connect(m_mnuDelete, &QAction::triggered, this, &frmMain::cmdDelete_Click);
    connect(m_mnuTestPoPup, &QAction::triggered, this, &frmMain::mnuTestPoPup_Click);
    connect(m_mnuImport, &QAction::triggered, this, &frmMain::mnuImport_Click);
    connect(m_mnuExport, &QAction::triggered, this, &frmMain::mnuExport_Click);
    connect(m_mnuMasque, &QAction::triggered, this, &frmMain::hideRequested);
    connect(m_mnuQuitter, &QAction::triggered, this, &frmMain::quitRequested);

    QMenu* mnuPropos = menuBar()->addMenu(tr("&A propos"));
    mnuPropos->setObjectName(QStringLiteral("mnuPropos"));
    QAction* mnuAPropos = mnuPropos->addAction(tr("de Zento"));
    mnuAPropos->setObjectName(QStringLiteral("mnuAPropos"));
    connect(mnuAPropos, &QAction::triggered, this, &frmMain::aboutRequested);
}

void frmMain::ListeAlertes() {
    m_grid->ListeAlertes(m_session.table());
}

void frmMain::setListCommandsEnabled(bool enabled) {
    for (QPushButton* b : {m_cmdNew, m_cmdModify, m_cmdDelete})
        b->setEnabled(enabled);
    for (QAction* a : {m_mnuNew, m_mnuModify, m_mnuDelete})
        a->setEnabled(enabled);
    // The list under the editor takes no input while the editor is open: neither Tab nor a
    // click (where a wide window shows it beside the editor) may reach the grid, whose Enter
    // would open another alert over what was typed.
    m_frame1->setVisible(enabled);
}

std::optional<Alerte> frmMain::currentRowAlert() const {
    if (m_grid->SelectedAlertId() == 0)
        return std::nullopt;
    const auto id = m_grid->currentRowId();
    if (!id)
        return std::nullopt;
    // The grid row names its alert by Id; the table may have been reloaded since the fill.
    const auto position = m_session.table().positionOf(*id);
    if (!position)
        return std::nullopt;
    return m_session.table().at(*position);
}

void frmMain::cmdNew_Click() {
    if (m_editor->mode() != AlertEditor::Mode::List)
        return; // an edit in progress is never thrown away
    m_editingId = 0;
    m_editor->openNew(m_session.newAlert());
    setListCommandsEnabled(false);
}

void frmMain::cmdModify_Click() {
    if (m_editor->mode() != AlertEditor::Mode::List)
        return; // an edit in progress is never thrown away
    const auto alert = currentRowAlert();
    if (!alert) {
        m_services.dialogs.message(this, tr("Selectionnez la ligne à modifier"),
                                   UserDialogs::Icon::Information);
        return;
    }
    m_editingId = alert->Id;
    m_editor->openExisting(*alert);
    setListCommandsEnabled(false);
}

void frmMain::cmdUndoNew_Click() {
    const bool focusInEditor = m_editor->isAncestorOf(QApplication::focusWidget());
    m_editor->closeEditor();
    setListCommandsEnabled(true);
    // The keyboard comes back to the list the editor covered.
    if (focusInEditor)
        m_grid->setFocus(Qt::OtherFocusReason);
}

void frmMain::cmdAdd_Click() {
    WaitCursor hourglass;
    if (m_editor->mode() == AlertEditor::Mode::Modifying)
        SaveAlert();
    else
        AddAlert();
}

void frmMain::refused(const Error& error) {
    if (AlertService::isRefusal(error))
        m_services.dialogs.message(this, errorText(error, m_editor->mode() == AlertEditor::Mode::Modifying),
                                   UserDialogs::Icon::None);
    else
        reportFailure(m_services.dialogs, this, tr("Impossible d'enregistrer l'alerte"), error);
}

void frmMain::AddAlert() {
    if (const auto added = m_session.addAlert(m_editor->readAlert()); !added) {
        refused(added.error());
        return;
    }
    cmdUndoNew_Click();
}

void frmMain::SaveAlert() {
    // The alert opened for modification is found by its Id, whatever the grid shows now; one
    // removed meanwhile (acknowledged in a popup, deleted by hand) is stored as a new alert.
    if (const auto saved = m_session.saveAlert(m_editingId, m_editor->readAlert()); !saved) {
        refused(saved.error());
        return;
    }
    cmdUndoNew_Click();
}

void frmMain::cmdDelete_Click() {
    const auto id = m_grid->currentRowId();
    if (m_grid->SelectedAlertId() == 0 || !id) {
        m_services.dialogs.message(this, tr("Selectionnez la ligne à supprimer"),
                                   UserDialogs::Icon::Information);
        return;
    }
    const QString message = m_grid->currentRowMessage();
    if (!m_services.dialogs.ask(this, tr("Supprimer ") + message + tr(" ?"), UserDialogs::Icon::None))
        return;
    WaitCursor hourglass;
    if (const Status s = m_session.deleteAlert(*id); !s)
        reportFailure(m_services.dialogs, this, tr("Impossible d'enregistrer l'alerte"), s.error());
}

void frmMain::showGridMenu(const QPoint& globalPos) {
    if (m_grid->SelectedAlertId() < 1)
        return;
    // The menu of a row: what acts on one alert, and its test.
    const auto rowMenu = [this](bool on) {
        m_mnuTestPoPup->setVisible(on);
        for (QAction* a : {m_mnuImport, m_mnuExport, m_mnuMasque, m_mnuQuitter})
            a->setVisible(!on);
    };
    rowMenu(true);
    m_services.dialogs.popupMenu(m_mnuFile, globalPos);
    rowMenu(false);
}

void frmMain::cmdTest_Click() {
    mnuTestPoPup_Click();
}

void frmMain::mnuTestPoPup_Click() {
    if (m_grid->SelectedAlertId() == 0) {
        m_services.dialogs.message(this, tr("Selectionnez la ligne à tester"),
                                   UserDialogs::Icon::Information);
        return;
    }
    if (const auto alert = currentRowAlert())
        ShowAlertPopup(m_session, m_services, *alert, true);
}

void frmMain::mnuTest_Click() {
    EditorPreview preview;
    const Alerte a = m_editor->readAlert();
    preview.background = parseQColor(a.BackColor).value_or(QColor());
    preview.text = parseQColor(a.ForeColor).value_or(QColor());
    preview.dateText = QString::fromStdString(a.AlertDate);
    preview.hasTime = m_editor->hasTime();
    preview.hour = m_editor->hourText();
    preview.minute = m_editor->minuteText();
    preview.message = QString::fromStdString(a.Message);
    preview.emoticon = ParseInt32(a.Emoticon).value_or(5);
    preview.withSound = m_editor->soundSelected();
    preview.soundName = m_editor->soundName();
    preview.loop = m_editor->loopChecked();
    ShowEditorTestPopup(m_session, m_services, preview);
}

void frmMain::mnuTestAction_Click() {
    m_services.launcher.OpenAction(m_editor->actionText().toStdString());
}

namespace {

const char* const kCalendarFilter = QT_TRANSLATE_NOOP("zento::frmMain", "Calendriers iCalendar (*.ics)");

/// "« message » (date)" of an alert, for the lists of the export's report.
QString describe(const Alerte& a) {
    return QStringLiteral("« %1 » (%2)")
        .arg(QString::fromStdString(a.Message), QString::fromStdString(a.AlertDate));
}

} // namespace

void frmMain::mnuExport_Click() {
    const auto path = m_services.dialogs.chooseFileToSave(this, tr("Exporter les alertes"),
                                                          QStringLiteral("Zento.ics"), tr(kCalendarFilter));
    if (!path)
        return;
    WaitCursor hourglass;
    const auto calendar = m_session.service().exportCalendar(
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()));
    if (!calendar) {
        reportFailure(m_services.dialogs, this, tr("Impossible de lire les alertes"), calendar.error());
        return;
    }
    if (const Status written = WriteCalendarFile(path->toStdString(), calendar->text); !written) {
        reportFailure(m_services.dialogs, this, tr("Impossible d'écrire le calendrier"), written.error());
        return;
    }
    const auto exported = m_session.table().AlertCount() - static_cast<int>(calendar->leftOut.size());
    QString report = tr("%1 alertes exportées").arg(exported);
    // What iCalendar cannot say exactly, or at all, is said here.
    for (const Alerte& a : calendar->approximate)
        report += QLatin1Char('\n') + describe(a) +
                  tr(" : le %1 ou, les mois plus courts, leur dernier jour")
                      .arg(QString::fromStdString(a.AlertDate.substr(0, 2)));
    for (const Alerte& a : calendar->leftOut)
        report += QLatin1Char('\n') + describe(a) + tr(" : non exportée (date, heure ou message non valide)");
    m_services.dialogs.message(this, report, UserDialogs::Icon::Information);
}

void frmMain::mnuImport_Click() {
    const auto path =
        m_services.dialogs.chooseFileToOpen(this, tr("Importer des alertes"), tr(kCalendarFilter));
    if (!path)
        return;
    const FileRead read = readWholeFile(path->toStdString());
    if (read.status != FileRead::Status::Ok) {
        reportFailure(m_services.dialogs, this, tr("Impossible de lire le calendrier"),
                      Error{ErrorCode::WriteFailed, read.status == FileRead::Status::Missing
                                                        ? tr("le fichier n'existe pas").toStdString()
                                                        : read.error});
        return;
    }
    WaitCursor hourglass;
    auto plan = m_session.planImport(read.bytes, false);
    if (plan && !plan->withheldActions.empty()) {
        // An action opens things on this computer by itself: the user decides, seeing them all.
        QString question = tr("Ce calendrier demande d'ouvrir, quand ses alertes arrivent :");
        for (const WithheldAction& w : plan->withheldActions)
            question += QStringLiteral("\n• %1 : %2")
                            .arg(QString::fromStdString(w.summary), QString::fromStdString(w.action));
        question += QStringLiteral("\n\n") + tr("Importer aussi ces actions ?");
        if (m_services.dialogs.ask(this, question, UserDialogs::Icon::Warning, false))
            plan = m_session.planImport(read.bytes, true);
    }
    if (!plan) {
        reportFailure(m_services.dialogs, this, tr("Impossible d'importer le calendrier"), plan.error());
        return;
    }
    if (!plan->alerts.empty()) {
        if (const auto added = m_session.importAlerts(plan->alerts); !added) {
            reportFailure(m_services.dialogs, this, tr("Impossible d'importer le calendrier"), added.error());
            return;
        }
    }
    QString report = tr("%1 alertes importées").arg(plan->alerts.size());
    for (const std::string& line : ImportReportLines(*plan))
        report += QLatin1Char('\n') + QString::fromStdString(line);
    m_services.dialogs.message(this, report, UserDialogs::Icon::Information);
}

void frmMain::closeEvent(QCloseEvent* event) {
    // The shell decides: end the program, or keep it alive for the popups still open.
    event->ignore();
    Q_EMIT closeRequested();
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        Q_EMIT minimized();
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // The list panel follows the window's width; its buttons stay at its right edge.
    if (!m_frame1)
        return;
    const int width = std::max(twips::px(8052), centralWidget()->width() - 2 * twips::px(kMargin));
    m_frame1->resize(width, m_frame1->height());
    const int extra = width - twips::px(8052);
    m_grid->resize(twips::px(6372) + extra, m_grid->height());
    for (QPushButton* b : {m_cmdNew, m_cmdModify, m_cmdTest, m_cmdDelete, m_cmdMasque, m_cmdQuit})
        b->move(twips::px(6600) + extra, b->y());
}

} // namespace zento
