#pragma once

#include <string>
#include <string_view>

namespace zento {

/// The per-user settings that remember where the data folder is. Only three operations are
/// relied on: read a text value (empty when missing or unreadable), create the key path, and
/// write a text value.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    /// The text value, or empty when the key or the value is missing or unreadable.
    virtual std::string ReadRegistryValue(std::string_view keyPath, std::string_view name) = 0;
    /// Creates every missing level of the key path; false when it cannot.
    virtual bool CreateRegistryKey(std::string_view keyPath) = 0;
    /// Stores a text value under an existing key path; false when it could not be stored.
    virtual bool WriteRegistryValue(std::string_view keyPath, std::string_view name,
                                    std::string_view value) = 0;
};

/// The key path and value name of the data folder.
inline constexpr std::string_view kSettingsKeyPath = "Software\\Olvani\\Zento\\Settings";
inline constexpr std::string_view kDataPathValue = "DataPath";

} // namespace zento
