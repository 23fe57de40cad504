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
    struct Case {
        const char* what;
        std::string stored; // the folder the settings remember
        std::map<std::string, std::string> vars;
        std::string folder; // in the home folder; empty: start-up cannot go on
        bool canCreate = true;
    };
    const Case cases[] = {
        // A relative one is ignored, as the desktop conventions say; not even ~/.local/share exists.
        {"XDG_DATA_HOME relative", "", {{"XDG_DATA_HOME", "d"}, {"HOME", h}}, ".local/share/Zento"},
        {"a remembered folder, taken even when missing", h + "/gone/", {}, "gone"},
        {"settings that cannot be created", "", {{"XDG_DATA_HOME", h + "/data"}}, "data/Zento", false},
        {"a file in the way", "", {{"XDG_DATA_HOME", h + "/blocked"}}, ""},
        {"no home at all", "", {}, ""},
    };
    for (const Case& c : cases) {
        FakeSettings settings;
        settings.dataPath = c.stored;
        settings.canCreate = c.canCreate;
        const auto r = LocateData(settings, [&](const char* name) {
            return c.vars.contains(name) ? std::optional(c.vars.at(name)) : std::nullopt;
        });
        ASSERT_EQ(r.ok(), !c.folder.empty()) << c.what << ": " << r.error;
        if (!r.ok()) {
            EXPECT_EQ(settings.writes, 0) << c.what;
            continue;
        }
        const fs::path folder = home / c.folder;
        EXPECT_EQ(r.location.IniPath, folder / "Alertes.ini") << c.what;
        EXPECT_FALSE(fs::exists(r.location.IniPath)) << c.what << ": the store is made by its first save";
        // A remembered folder is taken as it is; the default one is made and remembered.
        const bool remembered = c.stored.empty() && c.canCreate;
        EXPECT_EQ(fs::is_directory(folder), c.stored.empty()) << c.what;
        EXPECT_EQ(settings.writes, remembered ? 1 : 0) << c.what;
        EXPECT_EQ(settings.dataPath, remembered ? folder.string() : c.stored) << c.what;
    }
}
