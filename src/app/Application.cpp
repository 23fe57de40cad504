#include "app/Application.h"

#include "about/frmSplash.h"
#include "app/DataLocation.h"
#include "app/QtSettingsStore.h"
#include "app/Services.h"
#include "app/SingleInstance.h"
#include "app/Translations.h"
#include "app/TrayShell.h"
#include "app/UserDialogs.h"
#include "appearance/EmoticonSet.h"
#include "appearance/NewAlertColors.h"
#include "appearance/RandomSource.h"
#include "editor/frmMain.h"
#include "media/QtActionLauncher.h"
#include "media/QtSoundOutput.h"
#include "media/SoundFolder.h"
#include "schedule/Clock.h"
#include "store/AlertStore.h"

#include <QApplication>
#include <QFileInfo>
#include <QPointer>
#include <QStyleFactory>
#include <QSystemTrayIcon>

#include <iostream>

namespace zento {
namespace {

/// Steps 2 to 4 of start-up, for every command: the data folder from the settings, created on
/// the first start. Prints why it cannot go on.
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
    StoreStatus status;
    const AlertTable table = AlertStore(where->IniPath).LoadAllAlerts(&status);
    if (!status.ok()) {
        std::cerr << "Impossible de lire les alertes : " << status.error << '\n';
        return 1;
    }
    std::cout << FormatAlertList(table);
    std::cout.flush();
    return std::cout.good() ? 0 : 1;
}

int runAddCommand(const AddOptions& options) {
    const auto where = locateData();
    if (!where)
        return 1;
    AlertStore store(where->IniPath);
    // The defaults of a new alert, as the editor applies them.
    StdRandomSource random;
    const ColorPair colors = NewAlertColors(store.ReadIniValue(AlertStore::kParam, "Fond"),
                                            store.ReadIniValue(AlertStore::kParam, "Police"), random);
    const int emoticon = NewAlertEmoticon(store.ReadIniValue(AlertStore::kParam, "Img"));
    const AddRequest request =
        BuildAddRequest(options, DayOf(SystemClock().now()), FormatColorValue(colors.background),
                        FormatColorValue(colors.text), emoticon);
    if (!request.ok()) {
        std::cerr << request.error << '\n';
        return 1;
    }
    Alerte alert = request.alert;
    if (!alert.Sound.empty() && !QFileInfo(soundFolder() + QString::fromStdString(alert.Sound)).isFile()) {
        std::cerr << "Son introuvable : " << alert.Sound << " (les sons sont dans "
                  << soundFolder().toStdString() << ")\n";
        return 1;
    }
    if (const StoreStatus s = store.WriteNewAlert(alert); !s) {
        std::cerr << "Impossible d'enregistrer l'alerte : " << s.error << '\n';
        return 1;
    }
    store.WriteIniValue(AlertStore::kParam, "Nb", std::to_string(store.LoadAllAlerts().AlertCount()));
    std::cout << alert.Id << '\n';
    tellRunningCopyToReload();
    return 0;
}

int runDeleteCommand(std::int32_t id) {
    const auto where = locateData();
    if (!where)
        return 1;
    AlertStore store(where->IniPath);
    if (!store.LoadAllAlerts().positionOf(id)) {
        std::cerr << "Aucune alerte n'a le numéro " << id << '\n';
        return 1;
    }
    if (const StoreStatus s = store.DeleteAlertSection(id); !s) {
        std::cerr << "Impossible de supprimer l'alerte : " << s.error << '\n';
        return 1;
    }
    store.WriteIniValue(AlertStore::kParam, "Nb", std::to_string(store.LoadAllAlerts().AlertCount()));
    tellRunningCopyToReload();
    return 0;
}

int runApplication(int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zento"));
    QApplication::setOrganizationName(QStringLiteral("Olvani"));
    QApplication::setApplicationVersion(QStringLiteral(ZENTO_VERSION));
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
    // 1. One copy per user: a second one brings the first forward, says so and ends; it never
    // waits for long, and carries on as the first when the running copy ended meanwhile.
    SingleInstance instance;
    if (!instance.tryBecomePrimary()) {
        switch (instance.activateRunningCopy()) {
        case SingleInstance::SecondStart::Answered:
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

    // 2-4. The data folder.
    QtSettingsStore settings;
    const DataLocationResult where = LocateData(settings, systemEnvironment());
    if (!where.ok()) {
        std::cerr << where.error << '\n';
        dialogs.message(nullptr, QString::fromStdString(where.error), UserDialogs::Icon::Critical);
        return 1;
    }
    AlertStore store(where.location.IniPath);

    // 5. The default emoticon of new alerts, read once.
    const std::string defaultEmoticon = store.ReadIniValue(AlertStore::kParam, "Img");

    SystemClock clock;
    StdRandomSource random;
    QtSoundOutput sound;
    QtActionLauncher launcher;
    Services services{clock, random, dialogs, sound, launcher};

    // 6. The splash, not waited for.
    QPointer<frmSplash> splash = new frmSplash(launcher);
    splash->showSplash();

    // 7. The table, the main window (its lists, the grid) and the notification icon.
    frmMain window(store, services, defaultEmoticon);
    window.LoadAllAlerts();
    window.ListeAlertes();
    TrayShell shell(window, services, QSystemTrayIcon::isSystemTrayAvailable());
    shell.start(store.exists());

    QObject::connect(&shell, &TrayShell::quitNow, &app, [] { QCoreApplication::exit(0); });
    QObject::connect(&window, &frmMain::aboutRequested, &window,
                     [&splash, &launcher] { frmSplash::openAbout(splash, launcher); });
    QObject::connect(&instance, &SingleInstance::activateRequested, &shell, &TrayShell::activateRequested);
    QObject::connect(&instance, &SingleInstance::reloadRequested, &window, &frmMain::storeChangedOutside);
    return QApplication::exec();
}

} // namespace zento
