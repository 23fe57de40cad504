#include "app/DataLocation.h"

#include "store/FileIo.h"

#include <cstdlib>
#include <system_error>

namespace zento {
namespace fs = std::filesystem;

EnvironmentLookup systemEnvironment() {
    return [](const char* name) -> std::optional<std::string> {
        if (const char* v = std::getenv(name))
            return std::string(v);
        return std::nullopt;
    };
}

std::optional<fs::path> DefaultDataFolder(const EnvironmentLookup& env) {
#ifdef _WIN32
    // An empty AppData gives "\Zento" at the root of the current drive, as it always did.
    return fs::path(env("AppData").value_or(std::string())) / "Zento";
#else
    if (const auto xdg = env("XDG_DATA_HOME"); xdg && !xdg->empty() && fs::path(*xdg).is_absolute())
        return fs::path(*xdg) / "Zento";
    if (const auto home = env("HOME"); home && !home->empty())
        return fs::path(*home) / ".local" / "share" / "Zento";
    return std::nullopt;
#endif
}

DataLocationResult LocateData(SettingsStore& settings, const EnvironmentLookup& env) {
    DataLocationResult r;
    std::string dataPath = settings.ReadRegistryValue(kSettingsKeyPath, kDataPathValue);
    if (dataPath.empty()) {
        const auto folder = DefaultDataFolder(env);
        if (!folder) {
            r.error = "Impossible de créer le dossier de données : aucun dossier personnel n'est défini "
                      "(HOME et XDG_DATA_HOME sont vides)";
            return r;
        }
        std::error_code ec;
        if (!fs::is_directory(*folder, ec)) {
            fs::create_directories(*folder, ec);
            if (ec || !fs::is_directory(*folder)) {
                r.error = "Impossible de créer le dossier de données " + folder->string() + " : " +
                          (ec ? describeErrno(ec.value()) : std::string("un fichier porte déjà ce nom"));
                return r;
            }
        }
        dataPath = folder->string();
        // Failing to remember the folder is not fatal: it is computed again at the next start.
        if (settings.CreateRegistryKey(kSettingsKeyPath))
            settings.WriteRegistryValue(kSettingsKeyPath, kDataPathValue, dataPath);
    }
    r.location.DataPath = fs::path(dataPath);
    r.location.IniPath = r.location.DataPath / "Alertes.ini";
    return r;
}

} // namespace zento
