#pragma once

#include "app/SettingsStore.h"

#include <QString>

namespace zento {

/// The settings on QSettings, organisation "Olvani", application "Zento": the registry key
/// HKEY_CURRENT_USER\Software\Olvani\Zento on Windows, an INI file under XDG_CONFIG_HOME
/// elsewhere. The key path's last level ("Settings") is the settings group.
class QtSettingsStore final : public SettingsStore {
public:
    std::string ReadRegistryValue(std::string_view keyPath, std::string_view name) override;
    bool CreateRegistryKey(std::string_view keyPath) override;
    bool WriteRegistryValue(std::string_view keyPath, std::string_view name, std::string_view value) override;

private:
    static QString groupOf(std::string_view keyPath);
};

} // namespace zento
