#include "app/DataLocation.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <map>

using namespace zento;
namespace fs = std::filesystem;

namespace {

/// Settings kept in memory: the data folder's value, and how often something was written.
struct FakeSettings final : SettingsStore {
    std::string dataPath;
    bool canCreate = true;
    int writes = 0;

    std::string ReadRegistryValue(std::string_view key, std::string_view name) override {
        return key == kSettingsKeyPath && name == kDataPathValue ? dataPath : std::string();
    }
    bool CreateRegistryKey(std::string_view) override { return canCreate; }
    bool WriteRegistryValue(std::string_view key, std::string_view name, std::string_view value) override {
        ++writes;
        if (key == kSettingsKeyPath && name == kDataPathValue)
            dataPath = value;
        return true;
    }
};

} // namespace

TEST(DataLocation, TheRememberedFolderOrTheDesktopsDefaultMadeAndRemembered) {
    test::TempDir home;
    const std::string h = home.path().string();
    test::writeFile(home / "blocked", "a file where a folder should go");
    // The folder the settings remember, the environment, whether settings can be created, and the
    // folder found in the home folder (empty: start-up cannot go on).
    const std::tuple<const char*, std::string, std::map<std::string, std::string>, bool, std::string>
        cases[] = {
            // A relative one is ignored, as the desktop conventions say; not even ~/.local/share exists.
            {"XDG_DATA_HOME relative", "", {{"XDG_DATA_HOME", "d"}, {"HOME", h}}, true, ".local/share/Zento"},
            {"a remembered folder, taken even when missing", h + "/gone/", {}, true, "gone"},
            {"settings that cannot be created", "", {{"XDG_DATA_HOME", h + "/data"}}, false, "data/Zento"},
            {"a file in the way", "", {{"XDG_DATA_HOME", h + "/blocked"}}, true, ""},
            {"no home at all", "", {}, true, ""},
        };
    for (const auto& [what, stored, vars, canCreate, found] : cases) {
        FakeSettings settings;
        settings.dataPath = stored;
        settings.canCreate = canCreate;
        const auto r = LocateData(settings, [&](const char* name) {
            return vars.contains(name) ? std::optional(vars.at(name)) : std::nullopt;
        });
        ASSERT_EQ(r.ok(), !found.empty()) << what << ": " << r.error;
        if (!r.ok()) {
            EXPECT_EQ(settings.writes, 0) << what;
            continue;
        }
        const fs::path folder = home / found;
        EXPECT_EQ(r.location.IniPath, folder / "Alertes.ini") << what;
        EXPECT_FALSE(fs::exists(r.location.IniPath)) << what << ": the store is made by its first save";
        const bool remembered = stored.empty() && canCreate;
        EXPECT_EQ(fs::is_directory(folder), stored.empty()) << what;
        EXPECT_EQ(settings.writes, remembered ? 1 : 0) << what;
        EXPECT_EQ(settings.dataPath, remembered ? folder.string() : stored) << what;
    }
}
