#pragma once

#include "app/SettingsStore.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace zento {

/// Reads one environment variable; nullopt when unset.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

/// The process's own environment.
EnvironmentLookup systemEnvironment();

/// Where the data lives: the folder and the store file in it.
struct DataLocation {
    std::filesystem::path DataPath;
    std::filesystem::path IniPath; ///< DataPath / "Alertes.ini"
};

/// What `LocateData` found, or why it could not go on.
struct DataLocationResult {
    DataLocation location;
    std::string error; ///< empty on success; the message to show and exit on otherwise
    bool ok() const { return error.empty(); }
};

/// The default data folder: %AppData%\Zento on Windows; elsewhere $XDG_DATA_HOME/Zento, or
/// ~/.local/share/Zento when XDG_DATA_HOME is unset or not absolute. Nullopt when neither
/// variable gives a folder.
std::optional<std::filesystem::path> DefaultDataFolder(const EnvironmentLookup& env);

/// Where the data lives: the folder from the settings; when none is stored, create the
/// default folder (with its missing parents) and remember it. A stored folder is used as it
/// is, even when it no longer exists. When the default folder cannot be created nothing is
/// written and `error` reads "Impossible de créer le dossier de données" with the path and why.
DataLocationResult LocateData(SettingsStore& settings, const EnvironmentLookup& env);

} // namespace zento
