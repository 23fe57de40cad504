#include "app/DataLocation.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <map>

using namespace zento;
using zento::test::TempDir;
namespace fs = std::filesystem;

namespace {

/// Settings kept in memory, counting what start-up does with them.
class FakeSettings final : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    bool canCreate = true;
    int creates = 0;
    int writes = 0;

    std::string ReadRegistryValue(std::string_view keyPath, std::string_view name) override {
        const auto it = values.find(std::string(keyPath) + "|" + std::string(name));
        return it == values.end() ? std::string() : it->second;
    }
    bool CreateRegistryKey(std::string_view keyPath) override {
        EXPECT_EQ(keyPath, "Software\\Olvani\\Zento\\Settings");
        ++creates;
        return canCreate;
    }
    bool WriteRegistryValue(std::string_view keyPath, std::string_view name,
                            std::string_view value) override {
        ++writes;
        values[std::string(keyPath) + "|" + std::string(name)] = std::string(value);
        return true;
    }
    std::string dataPath() { return ReadRegistryValue(kSettingsKeyPath, kDataPathValue); }
};

EnvironmentLookup env(std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> std::optional<std::string> {
        const auto it = vars.find(name);
        if (it == vars.end())
            return std::nullopt;
        return it->second;
    };
}

} // namespace

TEST(DataLocation, DefaultFolderFollowsTheDesktopConventions) {
    EXPECT_EQ(DefaultDataFolder(env({{"XDG_DATA_HOME", "/d"}, {"HOME", "/h"}})), fs::path("/d/Zento"));
    EXPECT_EQ(DefaultDataFolder(env({{"HOME", "/h"}})), fs::path("/h/.local/share/Zento"));
    EXPECT_EQ(DefaultDataFolder(env({{"XDG_DATA_HOME", ""}, {"HOME", "/h"}})),
              fs::path("/h/.local/share/Zento"));
    EXPECT_EQ(DefaultDataFolder(env({{"XDG_DATA_HOME", "relative"}, {"HOME", "/h"}})),
              fs::path("/h/.local/share/Zento"))
        << "a relative XDG_DATA_HOME is ignored, as the desktop conventions say";
    EXPECT_EQ(DefaultDataFolder(env({})), std::nullopt);
}

TEST(DataLocation, FirstStartCreatesTheFolderWithItsParentsAndRemembersIt) {
    TempDir home;
    FakeSettings settings;
    // A fresh account: not even ~/.local/share exists.
    const auto r = LocateData(settings, env({{"HOME", home.path().string()}}));
    ASSERT_TRUE(r.ok()) << r.error;
    const fs::path expected = home / ".local/share/Zento";
    EXPECT_TRUE(fs::is_directory(expected));
    EXPECT_EQ(r.location.DataPath, expected);
    EXPECT_EQ(r.location.IniPath, expected / "Alertes.ini");
    EXPECT_FALSE(fs::exists(r.location.IniPath)) << "the store is created by the first write only";
    EXPECT_EQ(settings.dataPath(), expected.string());
}

TEST(DataLocation, SecondStartTakesTheStoredFolderAndWritesNothing) {
    TempDir home;
    FakeSettings settings;
    settings.values["Software\\Olvani\\Zento\\Settings|DataPath"] = "/nulle/part";
    const auto r = LocateData(settings, env({{"HOME", home.path().string()}}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.location.DataPath, fs::path("/nulle/part")) << "used as it is, even when missing";
    EXPECT_EQ(r.location.IniPath, fs::path("/nulle/part/Alertes.ini"));
    EXPECT_EQ(settings.creates + settings.writes, 0);
    EXPECT_FALSE(fs::exists("/nulle/part"));
}

TEST(DataLocation, SettingsThatCannotBeCreatedAreNotFatal) {
    TempDir home;
    FakeSettings settings;
    settings.canCreate = false;
    const auto r = LocateData(settings, env({{"XDG_DATA_HOME", (home / "data").string()}}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.location.DataPath, home / "data" / "Zento");
    EXPECT_EQ(settings.writes, 0);
}

TEST(DataLocation, AFolderThatCannotBeCreatedStopsStartUpWithAClearMessage) {
    TempDir home;
    test::writeFile(home / "blocked", "a file where a folder should go");
    FakeSettings settings;
    const auto r = LocateData(settings, env({{"XDG_DATA_HOME", (home / "blocked").string()}}));
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(
        r.error.rfind("Impossible de créer le dossier de données " + (home / "blocked/Zento").string(), 0),
        0u)
        << r.error;
    EXPECT_EQ(settings.creates + settings.writes, 0) << "nothing is written";

    const auto none = LocateData(settings, env({}));
    EXPECT_FALSE(none.ok());
}

TEST(DataLocation, AStoredPathEndingInASeparatorStillNamesTheFileInside) {
    FakeSettings settings;
    settings.values["Software\\Olvani\\Zento\\Settings|DataPath"] = "/data/zento/";
    EXPECT_EQ(LocateData(settings, env({})).location.IniPath, fs::path("/data/zento/Alertes.ini"));
}
