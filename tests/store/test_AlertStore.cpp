#include "store/AlertStore.h"
#include "store/FileIo.h"
#include "support/TestEnvironment.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/resource.h>
#include <thread>
#include <unordered_set>

using namespace zento;
using namespace zento::test;
namespace fs = std::filesystem;

namespace {

Alerte sampleAlert(std::int32_t id, std::string message = "Rendez-vous chez le dentiste") {
    return AlertStore::tableOfText(alertSection(id, message)).at(1);
}

Status put(AlertStore& store, const Alerte& a) {
    return store.edit([&](StoreEdit& e) { return e.setAlert(a), true; });
}

struct StoreFixture : ::testing::Test {
    TempDir dir;
    fs::path ini = dir / "Alertes.ini";
    AlertStore store{ini};

    AlertTable table() const { return store.LoadAllAlerts().value(); }
    Status put(const Alerte& a) { return ::put(store, a); }
    std::int32_t freeId() {
        std::int32_t id = 0;
        (void)store.edit([&](StoreEdit& e) { return id = e.freeId(), false; });
        return id;
    }
};

} // namespace

TEST(AlertSections, OnlyAlerteWithAPlainPositiveThirtyTwoBitNumberNamesAnAlert) {
    EXPECT_EQ(AlertStore::alertIdOfSection("Alerte1"), 1);
    EXPECT_EQ(AlertStore::alertIdOfSection("Alerte2147483647"), 2147483647);
    for (const char* name :
         {"alerte7", "Alerte7x", "Alerte03", "Alerte-4", "Alerte", "Alerte2147483648", "Param"})
        EXPECT_EQ(AlertStore::alertIdOfSection(name), 0) << name;
}

TEST_F(StoreFixture, FreeIdIsTheSmallestMissingOrEmptyOneAndItsSectionIsReused) {
    writeFile(ini, alertSection(1, "un") + alertSection(3, "trois") +
                       "[Alerte4]\r\nInfo1=\r\nInfo2=01/01/2027\r\n[alerte2]\r\nInfo1=\r\n");
    // 2 is spelled in lower case: a write there would not be loaded, so it is not offered.
    EXPECT_EQ(freeId(), 4);
    ASSERT_TRUE(put(sampleAlert(4, "quatre")));
    EXPECT_EQ(table().at(3).Message, "quatre") << "the empty section is overwritten in place";
    EXPECT_EQ(freeId(), 5);
}

TEST_F(StoreFixture, SavesRewriteInPlaceAndKeepTheRestOfTheFileAndItsEncoding) {
    ASSERT_TRUE(put(sampleAlert(3)));
    EXPECT_EQ(readFile(ini), alertSection(3, "Rendez-vous chez le dentiste")) << "ten keys, in order";
    EXPECT_EQ(table().at(1), sampleAlert(3));

    // Made by hand meanwhile, in Windows-1252, with bytes no text holds.
    const std::string note = "; fait \xE0 la main\r\n";
    const std::string tail = "[Param]\r\nNb=2\r\n" + std::string("\x01\x81\xFF\0 binaire\r\n", 14);
    writeFile(ini, alertSection(1, "un") + note + alertSection(2147483647, "max") + tail);
    ASSERT_TRUE(put(sampleAlert(1, "un modifié")));
    ASSERT_TRUE(store.edit([](StoreEdit& e) { return e.removeAlert(2147483647); }));
    EXPECT_EQ(readFile(ini), alertSection(1, "un modifi\xE9") + note + tail);
    EXPECT_EQ(table().at(1).Message, "un modifié");
}

TEST_F(StoreFixture, ASaveWaitsForAnotherProcessHoldingTheFolderThenReadsWhatItWrote) {
    ASSERT_TRUE(put(sampleAlert(1)));
    std::atomic<bool> saved{false};
    std::thread other;
    {
        // A lock taken through its own descriptor stands for the other process.
        const FolderLock held(dir.path());
        other = std::thread([&] {
            EXPECT_TRUE(put(sampleAlert(2)));
            saved = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_FALSE(saved.load()) << "the save went ahead while the folder was held";
        writeFile(ini, readFile(ini) + alertSection(3, "trois"));
    }
    other.join();
    EXPECT_EQ(table().AlertCount(), 3);
    EXPECT_EQ(table().at(3).Id, 2) << "written after the other process's alert 3, not over it";
}

TEST(StoreThroughLinks, SavesReplaceTheFinalTargetKeepItsPermissionsAndBackUpThePreviousFile) {
    // A store reached by links (a synced folder). Each row: the links (where each is, what it names;
    // a name starting with '/' is inside the test folder), the files holding the alerts and the backup.
    using Links = std::vector<std::pair<const char*, const char*>>;
    const std::tuple<const char*, Links, const char*, const char*> cases[] = {
        {"no link", {}, "data/Alertes.ini", "data/Alertes.ini~"},
        {"absolute", {{"data/Alertes.ini", "/sync/Alertes.ini"}}, "sync/Alertes.ini", "data/Alertes.ini~"},
        {"chain",
         {{"data/Alertes.ini", "../sync/lien"}, {"sync/lien", "sub/vrai.ini"}},
         "sync/sub/vrai.ini",
         "data/Alertes.ini~"},
        {"linked backup", {{"data/Alertes.ini~", "../sync/copie.ini"}}, "data/Alertes.ini", "sync/copie.ini"},
    };
    const fs::perms kPerms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    for (const auto& [name, links, target, backup] : cases) {
        SCOPED_TRACE(name);
        TempDir dir;
        for (const char* folder : {"data", "sync", "sync/sub"})
            fs::create_directory(dir / folder);
        const auto place = [&](const char* p) { return p[0] == '/' ? dir / (p + 1) : fs::path(p); };
        for (const auto& [at, to] : links)
            fs::create_symlink(place(to), dir / at); // none of the targets exists yet
        AlertStore store(dir / "data/Alertes.ini");
        ASSERT_TRUE(put(store, sampleAlert(1)));
        EXPECT_FALSE(fs::exists(store.backupPath())) << "nothing to back up on the first save";
        const std::string first = readFile(dir / target);
        fs::permissions(dir / target, kPerms);
        // Beside the target: a temporary killed an hour ago goes; a current one and a foreign one stay.
        const std::string stem = (dir / target).replace_filename("." + fs::path(target).filename().string());
        const fs::path killed = stem + ".Ab12Cd", now = stem + ".Ef34Gh", notOurs = stem + ".notmine";
        for (const fs::path& p : {killed, now, notOurs})
            writeFile(p, "moitié");
        for (const fs::path& p : {killed, notOurs})
            fs::last_write_time(p, fs::file_time_type::clock::now() - std::chrono::hours(1));
        ASSERT_TRUE(put(store, sampleAlert(2)));

        for (const auto& [at, to] : links)
            EXPECT_TRUE(fs::is_symlink(dir / at) && fs::read_symlink(dir / at) == place(to)) << at;
        EXPECT_EQ(store.LoadAllAlerts()->AlertCount(), 2);
        EXPECT_EQ(readFile(dir / target), readFile(dir / "data/Alertes.ini"));
        EXPECT_EQ(readFile(dir / backup), first);
        EXPECT_EQ(fs::status(dir / target).permissions(), kPerms);
        EXPECT_FALSE(fs::exists(killed));
        EXPECT_TRUE(fs::exists(now) && fs::exists(notOurs));
        int hidden = 0;
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            hidden += e.path().filename().string()[0] == '.';
        EXPECT_EQ(hidden, 2);
    }
}

TEST_F(StoreFixture, ManySectionsAreAllReadAndAFailingWriteLeavesThemByteForByte) {
    std::string text;
    for (int id = 1; id <= 1500; ++id)
        text += alertSection(id, "message assez long pour remplir le fichier");
    writeFile(ini, text);
    EXPECT_EQ(table().AlertCount(), 1500);
    EXPECT_EQ(freeId(), 1501);
    // The new file no longer fits under the limit: the write fails half way, as on a full disk.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const rlimit limit{text.size(), old.rlim_max};
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limit);
    const Status s = put(sampleAlert(99, std::string(500, 'y')));
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error(), (Error{ErrorCode::WriteFailed, "le fichier est trop grand"}));
    EXPECT_EQ(readFile(ini), text);
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(e.path() == ini || e.path() == store.backupPath()) << e.path();
    AlertStore lost(dir / "gone" / "Alertes.ini");
    EXPECT_FALSE(::put(lost, sampleAlert(1))) << "a vanished folder is not made again";
}

TEST_F(StoreFixture, AStoreThatCannotBeReadIsNeverReplaced) {
    // A folder where the file should be: it exists but reading it fails.
    fs::create_directory(ini);
    writeFile(ini / "inside", "x");
    ASSERT_FALSE(store.LoadAllAlerts());
    EXPECT_EQ(store.LoadAllAlerts().error().code, ErrorCode::StoreUnreadable);
    for (const Status& s : {put(sampleAlert(1)), store.edit([](StoreEdit& e) { return e.removeAlert(1); })})
        EXPECT_EQ(s.ok() ? ErrorCode::WriteFailed : s.error().code, ErrorCode::StoreUnreadable);
    EXPECT_EQ(readFile(ini / "inside"), "x");
}

TEST(StoreTextScans, ReadEveryTextAsTheParsedDocumentDoes) {
    // The load and the settings reads scan the text straight; what they find must be what the store's
    // lookups find in the same text, on files assembled from the shapes hand edits leave behind.
    const char* const pieces[] = {
        // section headers
        "[Alerte1]", "[alerte1]", "[ALERTE2]", "[Alerte2]", " [ Alerte3 ] ", "[Alerte03]", "[Alerte]",
        "[Alerte2147483647]", "[Alerte2147483648]", "[Param]", "[Alerte4", "[Alerte5]x",
        // entries
        "Info1=un", "INFO1 = deux ", "info2=\"  cité  \"", "Info10=action", "Info01=zéro", "Info11=trop",
        "  Info6\t=\t255", "Info7=a=b", "Info8 =", "Info9=\"", "uid=x", "=vide",
        // neither
        "Info3", "; Info4=note", "#Info5=note", "", " ", "\r", "texte libre"};
    std::mt19937 rng(7122026);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int lines = static_cast<int>(rng() % 24);
        for (int i = 0; i < lines; ++i) {
            text += pieces[rng() % std::size(pieces)];
            const unsigned end = rng() % 3;
            text += end == 0 ? "\r\n" : end == 1 ? "\n" : "\r\r\n";
        }
        if (rng() % 4 == 0 && !text.empty())
            text.resize(rng() % text.size()); // a file cut anywhere
        IniDocument doc = IniDocument::parse(text);
        // The table by its definition: each alert section's Id once, in file order, each field
        // what a lookup of the document gives.
        std::vector<Alerte> expected;
        std::unordered_set<std::int32_t> seen;
        for (const std::string& name : doc.sectionNames()) {
            const std::int32_t id = AlertStore::alertIdOfSection(name);
            if (id == 0 || !seen.insert(id).second)
                continue;
            Alerte& a = expected.emplace_back();
            a.Id = id;
            for (int k = 1; k <= Alerte::kFieldCount; ++k)
                a.field(k) = doc.value(Alerte::sectionOf(id), Alerte::keyOf(k)).value_or("");
            a.Uid = doc.value(Alerte::sectionOf(id), Alerte::kUidKey).value_or("");
        }
        const AlertTable table = AlertStore::tableOfText(text);
        ASSERT_EQ(table.alerts(), expected) << "text:\n" << text;
        ASSERT_EQ(StoreEdit(doc).alertCount(), table.AlertCount()) << "the Nb a save writes, in:\n" << text;
        for (const char* section : {"Alerte1", " alerte2", "Param", "Alerte5", "Alerte4"})
            for (const char* key : {"Info1", "info2 ", "Info10", "Info5", "Info9", ""})
                ASSERT_EQ(IniDocument::valueIn(text, section, key), doc.value(section, key))
                    << section << "/" << key << " in:\n"
                    << text;
    }
}
