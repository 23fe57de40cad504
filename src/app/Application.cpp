#include "app/Application.h"

#include "about/frmSplash.h"
#include "app/DataLocation.h"
#include "app/QtSettingsStore.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "app/TrayShell.h"
#include "appearance/RandomSource.h"
#include "editor/frmMain.h"
#include "media/QtActionLauncher.h"
#include "media/QtSoundOutput.h"
#include "media/SoundFolder.h"
#include "popup/frmAlerte.h"
#include "schedule/Clock.h"
#include "service/AlertService.h"
#include "session/Session.h"
#include "store/AlertStore.h"
#include "store/FileIo.h"
#include "ui/ErrorText.h"
#include "ui/Services.h"
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QStyleFactory>
#include <QSystemTrayIcon>

#include <iostream>

namespace zento {
namespace {

/// The data folder from the settings, created on the first start, for every command. Prints
/// why it cannot go on.
std::optional<DataLocation> locateData() {
    QtSettingsStore settings;
    const DataLocationResult where = LocateData(settings, systemEnvironment());
    if (!where.ok()) {
        std::cerr << where.error << '\n';
        return std::nullopt;
    }
    return where.location;
}

/// A running copy reloads the store at once after a command changed it.
void tellRunningCopyToReload() {
    const QString runtime = SingleInstance::defaultRuntimeFolder();
    // No socket, no running copy: nothing to wait for.
    if (QFileInfo::exists(SingleInstance::socketPath(runtime)))
        SingleInstance::sendToRunningCopy(runtime, SingleInstance::Message::Reload);
}

/// Prints a failure of a command under its headline; the status of the command.
int failed(const char* headline, const Error& error) {
    std::cerr << headline << ErrorText(error) << '\n';
    return 1;
}

/// The desktop's actions: the window as "Gérer les alertes" shows it, and for a new alert the
/// editor opened as "Nouveau" opens it.
void answerWindowRequest(CommandLine::Command request, TrayShell& shell, frmMain& window) {
    if (request != CommandLine::Command::Show && request != CommandLine::Command::NewAlert)
        return;
    shell.mnuAffiche_Click();
    if (request == CommandLine::Command::NewAlert)
        window.cmdNew_Click();
}

/// What a second start says when the running copy holds the lock but does not answer.
QString notAnsweringText(qint64 pid) {
    if (pid <= 0)
        return QObject::tr("Zento ne répond pas.\n\nLa copie déjà lancée est peut-être occupée ou bloquée. "
                           "Attendez un instant puis relancez Zento. Si elle ne répond toujours pas, "
                           "arrêtez-la depuis le moniteur système.");
    return QObject::tr("Zento ne répond pas.\n\nLa copie déjà lancée (processus %1) est peut-être occupée "
                       "ou bloquée. Attendez un instant puis relancez Zento. Si elle ne répond toujours "
                       "pas, arrêtez-la, par exemple avec la commande «\u00a0kill %1\u00a0».")
        .arg(pid);
}

} // namespace

int runListCommand() {
    const auto where = locateData();
    if (!where)
        return 1;
    const auto table = AlertStore(where->IniPath).LoadAllAlerts();
    if (!table)
        return failed("Impossible de lire les alertes : ", table.error());
    std::cout << FormatAlertList(*table);
    std::cout.flush();
    return std::cout.good() ? 0 : 1;
}

int runAddCommand(const AddOptions& options) {
    const auto where = locateData();
    if (!where)
        return 1;
    AlertStore store(where->IniPath);
    AlertService service(store);
    // The defaults of a new alert, as the editor applies them.
    StdRandomSource random;
    const auto alert = BuildAddAlert(
        options, service.newAlert(DayOf(SystemClock().now()), service.defaultEmoticon(), random));
    if (!alert)
        return failed("", alert.error());
    if (!alert->Sound.empty() && !QFileInfo(soundFolder() + QString::fromStdString(alert->Sound)).isFile())
        return failed("", Error{ErrorCode::SoundNotFound,
                                alert->Sound + " (les sons sont dans " + soundFolder().toStdString() + ")"});
    const auto id = service.add(*alert);
    if (!id)
        return failed(AlertService::isRefusal(id.error()) ? "" : "Impossible d'enregistrer l'alerte : ",
                      id.error());
    std::cout << *id << '\n';
    tellRunningCopyToReload();
    return 0;
}

int runDeleteCommand(std::int32_t id) {
    const auto where = locateData();
    if (!where)
        return 1;
    AlertStore store(where->IniPath);
    const Status removed = AlertService(store).remove(id);
    if (!removed)
        return failed(removed.error().code == ErrorCode::NotFound ? ""
                                                                  : "Impossible de supprimer l'alerte : ",
                      removed.error());
    tellRunningCopyToReload();
    return 0;
}

int runExportCommand(const std::string& file) {
    const auto where = locateData();
    if (!where)
        return 1;
    AlertStore store(where->IniPath);
    const auto calendar = AlertService(store).exportCalendar(
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now()));
    if (!calendar)
        return failed("Impossible de lire les alertes : ", calendar.error());
    // iCalendar cannot say everything: what was changed or left out goes to the error output.
    for (const Alerte& a : calendar->approximate)
        std::cerr << "Alerte " << a.Id << " (« " << a.Message
                  << " ») : exportée avec la règle la plus proche ("
                  << "le " << a.AlertDate.substr(0, 2) << " ou le dernier jour des mois plus courts)\n";
    for (const Alerte& a : calendar->leftOut)
        std::cerr << "Alerte " << a.Id << " (« " << a.Message << " ») : non exportée (date, heure ou message "
                  << "non valide)\n";
    if (file == "-") {
        std::cout << calendar->text;
        std::cout.flush();
        return std::cout.good() ? 0 : 1;
    }
    if (const Status written = WriteCalendarFile(file, calendar->text); !written)
        return failed("Impossible d'écrire le calendrier : ", written.error());
    return 0;
}

int runImportCommand(const std::string& file, bool withActions) {
    const auto where = locateData();
    if (!where)
        return 1;
    const FileRead read = readWholeFile(file);
    if (read.status != FileRead::Status::Ok)
        return failed("Impossible de lire le calendrier : ",
                      Error{ErrorCode::WriteFailed, read.status == FileRead::Status::Missing
                                                        ? "le fichier n'existe pas"
                                                        : read.error});
    AlertStore store(where->IniPath);
    AlertService service(store);
    StdRandomSource random;
    const auto plan =
        service.planImport(read.bytes, SystemClock().now(), withActions, service.defaultEmoticon(), random);
    if (!plan)
        return failed("Impossible d'importer le calendrier : ", plan.error());
    if (!plan->alerts.empty()) {
        if (const auto added = service.addAll(plan->alerts); !added)
            return failed("Impossible d'importer le calendrier : ", added.error());
        tellRunningCopyToReload();
    }
    std::cout << plan->alerts.size() << " alertes importées\n";
    for (const std::string& line : ImportReportLines(*plan))
        std::cout << line << '\n';
    if (!plan->withheldActions.empty())
        std::cout << "Les actions n'ont pas été importées (option --with-actions).\n";
    return 0;
}

int runApplication(int& argc, char** argv, CommandLine::Command request) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zento"));
    QApplication::setOrganizationName(QStringLiteral("Olvani"));
    QApplication::setApplicationVersion(QStringLiteral(ZENTO_VERSION));
    // Ties the windows to the desktop entry (its icon and name in task bars, Wayland's app id).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.olvani.Zento"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zento.svg")));
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    installFrenchTranslations(app);

    // What is left once Qt took its own options must be nothing.
    const QStringList rest = QApplication::arguments().mid(1);
    if (!rest.isEmpty()) {
        std::cerr << "zento : option inconnue : " << rest.front().toStdString() << "\n\n" << UsageText();
        return 2;
    }

    QtUserDialogs dialogs;
    // One copy per user: a second one brings the first forward (or does the desktop action
    // asked), says so and ends; it never waits for long, and carries on as the first when the
    // running copy ended meanwhile.
    SingleInstance instance;
    if (!instance.tryBecomePrimary()) {
        const bool action = request != CommandLine::Command::Run;
        const auto m = !action                                     ? SingleInstance::Message::Activate
                       : request == CommandLine::Command::NewAlert ? SingleInstance::Message::NewAlert
                                                                   : SingleInstance::Message::Show;
        switch (instance.activateRunningCopy(m)) {
        case SingleInstance::SecondStart::Answered:
            // A desktop action needs no message box: the window comes.
            if (!action)
                dialogs.message(nullptr, QObject::tr("Zento est déjà en mode veille"),
                                UserDialogs::Icon::Information);
            return 0;
        case SingleInstance::SecondStart::NoAnswer:
            dialogs.message(nullptr, notAnsweringText(instance.runningCopyProcessId()),
                            UserDialogs::Icon::Warning);
            return 1;
        case SingleInstance::SecondStart::TookOver:
            break;
        }
    }

    // The data folder, from the settings.
    QtSettingsStore settings;
    const DataLocationResult where = LocateData(settings, systemEnvironment());
    if (!where.ok()) {
        std::cerr << where.error << '\n';
        dialogs.message(nullptr, QString::fromStdString(where.error), UserDialogs::Icon::Critical);
        return 1;
    }
    AlertStore store(where.location.IniPath);

    SystemClock clock;
    StdRandomSource random;
    QtSoundOutput sound;
    QtActionLauncher launcher;
    Services services{clock, random, dialogs, sound, launcher};
    // The session reads the default emoticon of new alerts now, once.
    Session session(store, clock, random);

    // The splash, not waited for.
    QPointer<frmSplash> splash = new frmSplash(launcher);
    splash->showSplash();

    // The table, the main window (its lists, the grid) and the notification icon.
    frmMain window(session, services);
    QObject::connect(&session, &Session::alertDue, &window,
                     [&](const Alerte& alert) { ShowAlertPopup(session, services, alert, false); });
    session.LoadAllAlerts();
    window.ListeAlertes();
    // Asked again while there is no icon: the panel may start after the program.
    TrayShell shell(window, session, services, [] { return QSystemTrayIcon::isSystemTrayAvailable(); });
    shell.start(store.exists());

    QObject::connect(&shell, &TrayShell::quitNow, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&window, &frmMain::aboutRequested, &window,
                     [&splash, &launcher] { frmSplash::openAbout(splash, launcher); });
    QObject::connect(&instance, &SingleInstance::activateRequested, &shell, &TrayShell::activateRequested);
    // Another process changed the store (zento --add, --delete): reload it at once.
    QObject::connect(&instance, &SingleInstance::reloadRequested, &session, &Session::LoadAllAlerts);
    QObject::connect(&instance, &SingleInstance::showRequested, &window,
                     [&] { answerWindowRequest(CommandLine::Command::Show, shell, window); });
    QObject::connect(&instance, &SingleInstance::newAlertRequested, &window,
                     [&] { answerWindowRequest(CommandLine::Command::NewAlert, shell, window); });
    answerWindowRequest(request, shell, window);
    const int status = QApplication::exec();
    // Popups still open when the program ends go before the session they refer to.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmAlerte*>(w))
            delete w;
    return status;
}

} // namespace zento
