#include "app/DataLocation.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <map>

using namespace zento;
using zento::test::TempDir;
namespace fs = std::filesystem;

namespace {

/// Settings kept in memory: the data folder's value, and how often it was written.
class FakeSettings final : public SettingsStore {
public:
    std::string dataPath;
    bool canCreate = true;
    int writes = 0;

    static bool isDataPath(std::string_view key, std::string_view name) {
        return key == kSettingsKeyPath && name == kDataPathValue;
    }
    std::string ReadRegistryValue(std::string_view key, std::string_view name) override {
        return isDataPath(key, name) ? dataPath : std::string();
    }
    bool CreateRegistryKey(std::string_view) override { return canCreate; }
    bool WriteRegistryValue(std::string_view key, std::string_view name, std::string_view value) override {
        ++writes;
        if (isDataPath(key, name))
            dataPath = value;
        return true;
    }
};

EnvironmentLookup env(std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> std::optional<std::string> {
        const auto it = vars.find(name);
        return it == vars.end() ? std::nullopt : std::optional(it->second);
    };
}

} // namespace

TEST(DataLocation, TheRememberedFolderOrTheDesktopsDefaultMadeAndRemembered) {
    TempDir home;
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
        {"a first start (not even ~/.local/share exists)", "", {{"HOME", h}}, ".local/share/Zento"},
        {"XDG_DATA_HOME", "", {{"XDG_DATA_HOME", h + "/d"}, {"HOME", h}}, "d/Zento"},
        // Empty or relative, it is ignored, as the desktop conventions say.
        {"XDG_DATA_HOME empty", "", {{"XDG_DATA_HOME", ""}, {"HOME", h}}, ".local/share/Zento"},
        {"XDG_DATA_HOME relative", "", {{"XDG_DATA_HOME", "d"}, {"HOME", h}}, ".local/share/Zento"},
        {"a remembered folder, taken even when missing", h + "/gone", {{"HOME", h}}, "gone"},
        {"a remembered folder ending in a separator", h + "/gone/", {}, "gone"},
        {"settings that cannot be created", "", {{"XDG_DATA_HOME", h + "/data"}}, "data/Zento", false},
        {"a file in the way", "", {{"XDG_DATA_HOME", h + "/blocked"}}, ""},
        {"no home at all", "", {}, ""},
    };
    for (const Case& c : cases) {
        FakeSettings settings;
        settings.dataPath = c.stored;
        settings.canCreate = c.canCreate;
        const auto r = LocateData(settings, env(c.vars));
        ASSERT_EQ(r.ok(), !c.folder.empty()) << c.what << ": " << r.error;
        if (!r.ok()) {
            EXPECT_EQ(r.error.rfind("Impossible de créer le dossier de données", 0), 0u) << r.error;
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
    // The error names the folder.
    FakeSettings settings;
    EXPECT_NE(LocateData(settings, env({{"XDG_DATA_HOME", h + "/blocked"}})).error.find(h + "/blocked/Zento"),
              std::string::npos);
}
