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
#include <sys/stat.h>
#include <thread>
#include <unordered_set>

using namespace zento;
using zento::test::readFile;
using zento::test::TempDir;
using zento::test::writeFile;
namespace fs = std::filesystem;

namespace {

struct StoreFixture : ::testing::Test {
    TempDir dir;
    fs::path ini = dir / "Alertes.ini";
    AlertStore store{ini};

    AlertTable table() const { return store.LoadAllAlerts().value(); }
    std::vector<std::int32_t> ids() const {
        std::vector<std::int32_t> out;
        const AlertTable t = table();
        for (const auto& a : t.alerts())
            out.push_back(a.Id);
        return out;
    }
    std::vector<std::string> filesInDir() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir.path()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    Status put(const Alerte& a) {
        return store.edit([&](StoreEdit& e) {
            e.setAlert(a);
            return true;
        });
    }
    Status remove(std::int32_t id) {
        return store.edit([&](StoreEdit& e) { return e.removeAlert(id); });
    }
    Status setParam(ParamKey key, const std::string& value) {
        return store.edit([&](StoreEdit& e) {
            e.setParam(key, value);
            return true;
        });
    }
    std::int32_t freeId() {
        std::int32_t id = 0;
        (void)store.edit([&](StoreEdit& e) {
            id = e.freeId();
            return false;
        });
        return id;
    }
};

Alerte sampleAlert(std::int32_t id, std::string message = "Rendez-vous chez le dentiste") {
    Alerte a;
    a.Id = id;
    a.Message = std::move(message);
    a.AlertDate = "12/01/2027";
    a.Recurrence = "0";
    a.Emoticon = "5";
    a.Sound = "Defaut.wav";
    a.BackColor = "8438015";
    a.ForeColor = "0";
    a.AlertTime = "09:30";
    a.LoopSound = "0";
    a.Action = "";
    return a;
}

std::string section(std::int32_t id, const char* message) {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message +
           "\r\nInfo2=12/01/"
           "2027\r\nInfo3=0\r\nInfo4=5\r\nInfo5=\r\nInfo6=0\r\nInfo7=0\r\nInfo8=\r\nInfo9=0\r\nInfo10=\r\n";
}

/// Makes every later write of this process fail at the size limit, as a full disk would.
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lim = old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};

} // namespace

TEST_F(StoreFixture, MissingFileIsAnEmptyStore) {
    ASSERT_TRUE(store.LoadAllAlerts());
    EXPECT_EQ(table().AlertCount(), 0);
    EXPECT_EQ(freeId(), 1);
    EXPECT_EQ(store.ReadParam(ParamKey::Img), "");
    EXPECT_FALSE(store.exists()) << "looking is no reason to create it";
}

TEST_F(StoreFixture, TablePositionsFollowFileOrderAndOnlyAlertSectionsCount) {
    writeFile(ini, "[Param]\r\nNb=2\r\n" + section(2, "deux") + section(1, "un") +
                       "[alerte7]\r\nInfo1=minuscules\r\n[AlerteX]\r\nInfo1=x\r\n[Alerte03]\r\nInfo1=zéro\r\n"
                       "[Alerte0]\r\nInfo1=z\r\n[Alerte-4]\r\nInfo1=n\r\n[Alerte 5]\r\nInfo1=b\r\n"
                       "[Alerte99999999999]\r\nInfo1=big\r\n[Foreign]\r\nInfo1=f\r\n" +
                       section(2147483647, "max"));
    const AlertTable t = table();
    ASSERT_EQ(ids(), (std::vector<std::int32_t>{2, 1, 2147483647}));
    EXPECT_EQ(t.at(1).Message, "deux");
    EXPECT_EQ(t.positionOf(1), 2);
    EXPECT_EQ(t.positionOf(7), std::nullopt);
    EXPECT_TRUE(store.edit([](StoreEdit& e) {
        EXPECT_EQ(e.alertCount(), 3) << "the count written as Nb is what a load gives";
        return false;
    }));
}

TEST_F(StoreFixture, FieldsAreReadByKeyWithoutRegardToCaseFirstOneWinning) {
    writeFile(ini, "[Alerte1]\ninfo10=mailto:a@b.fr\nINFO1=Message\nInfo1=second\nInfo3=4\nInfo11=x\nInfo01=y\n"
                   "uid=abc@exemple\nUID=second\n");
    const Alerte a = table().at(1);
    EXPECT_EQ(a.Message, "Message");
    EXPECT_EQ(a.Recurrence, "4");
    EXPECT_EQ(a.Action, "mailto:a@b.fr");
    EXPECT_EQ(a.Uid, "abc@exemple");
    EXPECT_EQ(a.AlertDate, "") << "a missing key reads as empty";
}

TEST_F(StoreFixture, AnEditWithoutUidKeepsTheUidItHad) {
    Alerte a = sampleAlert(1);
    a.Uid = "evt-1@agenda";
    ASSERT_TRUE(put(a));
    a.Uid.clear();
    a.Message = "changé";
    ASSERT_TRUE(put(a));
    EXPECT_EQ(table().at(1).Uid, "evt-1@agenda");
    EXPECT_EQ(table().at(1).Message, "changé");
}

TEST_F(StoreFixture, ASectionTwiceIsOneAlertAndNothingIsLost) {
    writeFile(ini, section(3, "premier") + section(3, "second") + section(4, "autre"));
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(table().at(1).Message, "premier");
    ASSERT_TRUE(remove(3));
    EXPECT_EQ(table().at(1).Message, "second") << "the copy comes back instead of vanishing";
}

TEST_F(StoreFixture, FreeIdIsTheSmallestMissingOrEmptyOneAndItsSectionIsReused) {
    writeFile(ini, section(1, "un") + section(3, "trois") + "[Alerte4]\r\nInfo1=\r\nInfo2=01/01/2027\r\n" +
                       "[alerte2]\r\nInfo1=\r\n");
    // 2 is spelled in lower case: a write there would not be loaded, so it is not offered.
    EXPECT_EQ(freeId(), 4);
    ASSERT_TRUE(put(sampleAlert(4, "quatre")));
    EXPECT_EQ(table().at(3).Message, "quatre") << "the empty section is overwritten in place";
    EXPECT_EQ(freeId(), 5);

    writeFile(ini, section(1, "un") + section(3, "trois"));
    ASSERT_TRUE(put(sampleAlert(freeId())));
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 3, 2})) << "a new alert goes to the end of the file";
}

TEST_F(StoreFixture, AnAlertIsWrittenAsTenKeysInOrderAndRewrittenInPlace) {
    ASSERT_TRUE(put(sampleAlert(3)));
    EXPECT_EQ(readFile(ini),
              "[Alerte3]\r\nInfo1=Rendez-vous chez le dentiste\r\nInfo2=12/01/2027\r\nInfo3=0\r\n"
              "Info4=5\r\nInfo5=Defaut.wav\r\nInfo6=8438015\r\nInfo7=0\r\nInfo8=09:30\r\nInfo9=0\r\n"
              "Info10=\r\n");
    EXPECT_EQ(table().at(1), sampleAlert(3));

    writeFile(ini, section(1, "un") + section(2, "deux") + "[Param]\r\nNb=2\r\n");
    ASSERT_TRUE(put(sampleAlert(1, "un modifié")));
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(readFile(ini).find("[Alerte1]\r\nInfo1=un modifi\xE9\r\n"), 0u) << "written in Windows-1252";
    EXPECT_EQ(store.ReadParam(ParamKey::Nb), "2");
}

TEST_F(StoreFixture, NeitherLongValuesNorManySectionsAreCut) {
    std::string text;
    for (int id = 1; id <= 1500; ++id)
        text += section(id, "m");
    writeFile(ini, text);
    ASSERT_TRUE(put(sampleAlert(1, std::string(300, 'x') + "fin")));
    const AlertTable t = table();
    ASSERT_EQ(t.AlertCount(), 1500);
    EXPECT_EQ(t.at(1).Message, std::string(300, 'x') + "fin");
    EXPECT_EQ(freeId(), 1501);
}

TEST_F(StoreFixture, DeletesAnyThirtyTwoBitIdAndAMissingOneLeavesTheFileAlone) {
    const std::string text = "; hand made\n" + section(40000, "grand") + section(2147483647, "max") + section(5, "p");
    writeFile(ini, text);
    ASSERT_TRUE(remove(9));
    EXPECT_EQ(readFile(ini), text) << "not even rewritten with CR LF";
    EXPECT_FALSE(fs::exists(store.backupPath()));
    ASSERT_TRUE(remove(40000));
    ASSERT_TRUE(remove(2147483647));
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{5}));
}

TEST_F(StoreFixture, ParamKeysAreWrittenUnderTheirNamesEvenEmpty) {
    ASSERT_TRUE(setParam(ParamKey::Fond, "123"));
    ASSERT_TRUE(setParam(ParamKey::Fond, ""));
    ASSERT_TRUE(setParam(ParamKey::Police, "0"));
    ASSERT_TRUE(setParam(ParamKey::Img, "7"));
    ASSERT_TRUE(setParam(ParamKey::Nb, "2"));
    EXPECT_EQ(readFile(ini), "[Param]\r\nFond=\r\nPolice=0\r\nImg=7\r\nNb=2\r\n");
    EXPECT_EQ(store.ReadParam(ParamKey::Img), "7");
}

TEST_F(StoreFixture, AHandEditMadeMeanwhileIsKept) {
    ASSERT_TRUE(put(sampleAlert(1)));
    writeFile(ini, readFile(ini) + "; ajouté à la main\n" + section(8, "à la main"));
    ASSERT_TRUE(setParam(ParamKey::Nb, "2"));
    EXPECT_NE(readFile(ini).find("; ajout\xE9 \xE0 la main\r\n"), std::string::npos);
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 8}));
}

TEST_F(StoreFixture, EachSaveKeepsThePreviousFileAndOldTemporariesGo) {
    ASSERT_TRUE(put(sampleAlert(1)));
    EXPECT_FALSE(fs::exists(store.backupPath())) << "nothing to back up on the first save";
    const std::string first = readFile(ini);
    writeFile(dir / ".Alertes.ini.Ab12Cd", "half a file");
    writeFile(dir / ".Alertes.ini.Ef34Gh", "another process writing now");
    writeFile(dir / ".Alertes.ini.notmine", "not a temporary of ours");
    for (const char* old : {".Alertes.ini.Ab12Cd", ".Alertes.ini.notmine"})
        fs::last_write_time(dir / old, fs::file_time_type::clock::now() - std::chrono::hours(1));
    ASSERT_TRUE(put(sampleAlert(2)));
    EXPECT_EQ(readFile(store.backupPath()), first);
    EXPECT_EQ(filesInDir(), (std::vector<std::string>{".Alertes.ini.Ef34Gh", ".Alertes.ini.notmine",
                                                      "Alertes.ini", "Alertes.ini~"}));
}

TEST_F(StoreFixture, ASaveWaitsForAnotherProcessHoldingTheFolder) {
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
        EXPECT_EQ(ids(), (std::vector<std::int32_t>{1}));
    }
    other.join();
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(StoreFixture, AlertsAddedAtTheSameMomentAllKeepTheirOwnId) {
    // The program and `zento --add` may add at once: each must get an Id of its own, or the
    // second write would replace the first alert.
    constexpr int kWriters = 4, kEach = 5;
    std::vector<std::thread> writers;
    std::vector<std::vector<std::int32_t>> given(kWriters);
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            for (int i = 0; i < kEach; ++i) {
                Alerte a = sampleAlert(0, "Rappel " + std::to_string(w) + "." + std::to_string(i));
                EXPECT_TRUE(store.edit([&](StoreEdit& e) {
                    a.Id = e.freeId();
                    e.setAlert(a);
                    return true;
                }));
                given[w].push_back(a.Id);
            }
        });
    for (auto& t : writers)
        t.join();
    std::vector<std::int32_t> all;
    for (const auto& g : given)
        all.insert(all.end(), g.begin(), g.end());
    std::sort(all.begin(), all.end());
    std::vector<std::int32_t> stored = ids();
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, all);
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end()) << "an Id was given twice";
    EXPECT_EQ(all.size(), std::size_t{kWriters * kEach});
}

TEST_F(StoreFixture, SavingKeepsTheFilePermissions) {
    ASSERT_TRUE(put(sampleAlert(1)));
    fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(put(sampleAlert(2)));
    EXPECT_EQ(fs::status(ini).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST(StoreThroughLinks, SavesReplaceTheLinksTargetAndKeepTheLinks) {
    // A store kept elsewhere (a synced folder) and reached by a symbolic link: every save must
    // land in the link's final target, beside which the temporary is made, and leave each link
    // as it was. Paths are inside the test folder; a target starting with '/' is absolute.
    struct Link {
        const char* at;
        const char* to;
    };
    const struct {
        const char* name;
        std::vector<Link> links;
        const char* store;  ///< the file holding the alerts in the end
        const char* backup; ///< the file holding the backup in the end
    } cases[] = {
        {"same folder", {{"data/Alertes.ini", "vrai.ini"}}, "data/vrai.ini", "data/Alertes.ini~"},
        {"other folder",
         {{"data/Alertes.ini", "../sync/Alertes.ini"}},
         "sync/Alertes.ini",
         "data/Alertes.ini~"},
        {"absolute", {{"data/Alertes.ini", "/sync/Alertes.ini"}}, "sync/Alertes.ini", "data/Alertes.ini~"},
        {"chain",
         {{"data/Alertes.ini", "../sync/lien"}, {"sync/lien", "sub/vrai.ini"}},
         "sync/sub/vrai.ini",
         "data/Alertes.ini~"},
        {"linked backup", {{"data/Alertes.ini~", "../sync/copie.ini"}}, "data/Alertes.ini", "sync/copie.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        for (const char* folder : {"data", "sync", "sync/sub"})
            fs::create_directory(dir / folder);
        const auto place = [&](const char* p) { return p[0] == '/' ? dir / (p + 1) : fs::path(p); };
        for (const Link& l : c.links)
            fs::create_symlink(place(l.to), dir / l.at); // none of the targets exists yet
        AlertStore store(dir / "data/Alertes.ini");
        const auto put = [&](const Alerte& alert) {
            return store.edit([&](StoreEdit& e) {
                e.setAlert(alert);
                return true;
            });
        };
        ASSERT_TRUE(put(sampleAlert(1)));
        const std::string first = readFile(dir / c.store);
        // What a write killed half-way leaves beside the target; the next save clears it.
        const fs::path killed =
            (dir / c.store).parent_path() / ("." + fs::path(c.store).filename().string() + ".Ab12Cd");
        writeFile(killed, "moitié");
        fs::last_write_time(killed, fs::file_time_type::clock::now() - std::chrono::hours(1));
        std::error_code missing; // checked below
        fs::permissions(dir / c.store, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                        missing);
        ASSERT_TRUE(put(sampleAlert(2)));

        for (const Link& l : c.links) {
            EXPECT_TRUE(fs::is_symlink(dir / l.at) && fs::read_symlink(dir / l.at) == place(l.to))
                << l.at << " was replaced";
        }
        EXPECT_EQ(store.LoadAllAlerts()->AlertCount(), 2);
        EXPECT_EQ(readFile(dir / c.store), readFile(dir / "data/Alertes.ini"));
        EXPECT_EQ(readFile(dir / c.backup), first);
        EXPECT_EQ(fs::status(dir / c.store).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        for (const auto& e : fs::recursive_directory_iterator(dir.path()))
            EXPECT_NE(e.path().filename().string()[0], '.') << "temporary left: " << e.path();
    }
}

TEST_F(StoreFixture, AFailingWriteLeavesTheOldFileByteForByte) {
    std::string text;
    for (int id = 1; id <= 50; ++id)
        text += section(id, "message assez long pour remplir le fichier");
    writeFile(ini, text);
    {
        // The new file no longer fits under the limit: the write fails half way, as on a full disk.
        FileSizeLimit limit(text.size());
        const Status s = put(sampleAlert(99, std::string(500, 'y')));
        ASSERT_FALSE(s.ok());
        EXPECT_EQ(s.error(), (Error{ErrorCode::WriteFailed, "le fichier est trop grand"}));
    }
    EXPECT_EQ(readFile(ini), text);
    for (const auto& name : filesInDir())
        EXPECT_TRUE(name == "Alertes.ini" || name == "Alertes.ini~") << "left behind: " << name;

    AlertStore lost(dir / "gone" / "Alertes.ini");
    const Status s = lost.edit([](StoreEdit& e) {
        e.setParam(ParamKey::Nb, "1");
        return true;
    });
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error(), (Error{ErrorCode::WriteFailed, "le dossier n'existe pas"}));
}

TEST_F(StoreFixture, AStoreThatCannotBeReadOrIsReadOnlyIsNeverReplaced) {
    // A folder where the file should be: it exists but reading it fails.
    fs::create_directory(ini);
    writeFile(ini / "inside", "x");
    ASSERT_FALSE(store.LoadAllAlerts());
    EXPECT_EQ(store.LoadAllAlerts().error().code, ErrorCode::StoreUnreadable);
    for (const Status& s : {put(sampleAlert(1)), setParam(ParamKey::Nb, "0"), remove(1)})
        EXPECT_EQ(s.ok() ? ErrorCode::WriteFailed : s.error().code, ErrorCode::StoreUnreadable);
    EXPECT_EQ(readFile(ini / "inside"), "x");

    AlertStore readOnly(dir / "ro.ini");
    writeFile(dir / "ro.ini", section(1, "un"));
    fs::permissions(dir / "ro.ini", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const Status s = readOnly.edit([](StoreEdit& e) { return e.removeAlert(1); });
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().code, ErrorCode::StoreReadOnly);
    EXPECT_EQ(readFile(dir / "ro.ini"), section(1, "un"));
}

TEST_F(StoreFixture, Windows1252StoreStaysSoUntilACharacterDoesNotFit) {
    const std::string cp1252 = "[Alerte1]\r\nInfo1=R\xE9union \xE0 9h, caf\xE9 \x80 \x9C"
                               "uf\r\n";
    writeFile(ini, cp1252);
    EXPECT_EQ(table().at(1).Message, "Réunion à 9h, café € œuf");
    ASSERT_TRUE(setParam(ParamKey::Nb, "1"));
    EXPECT_EQ(readFile(ini), cp1252 + "[Param]\r\nNb=1\r\n");

    ASSERT_TRUE(store.edit([](StoreEdit& e) {
        e.setField(1, AlertField::Action, "https://exemple.fr/🎂");
        return true;
    }));
    EXPECT_EQ(readFile(ini).substr(0, 3), "\xEF\xBB\xBF");
    const Alerte a = table().at(1);
    EXPECT_EQ(a.Message, "Réunion à 9h, café € œuf");
    EXPECT_EQ(a.Action, "https://exemple.fr/🎂");
}

TEST_F(StoreFixture, BinaryJunkAroundValidAlertsIsSurvived) {
    std::mt19937 rng(7);
    std::string junk;
    for (int i = 0; i < 4000; ++i)
        junk += static_cast<char>(rng() & 0xFF);
    // Line breaks are rewritten CR LF; everything else must come back as it was.
    std::erase_if(junk, [](char c) { return c == '[' || c == '\r' || c == '\n'; });
    const std::string text = junk + "\r\n" + section(1, "valide") + junk + "\r\n" + section(2, "aussi");
    writeFile(ini, text);
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 2}));
    ASSERT_TRUE(store.edit([](StoreEdit& e) {
        e.setField(2, AlertField::AlertDate, "02/02/2027");
        return true;
    }));
    EXPECT_EQ(ids(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(table().at(2).AlertDate, "02/02/2027");
    EXPECT_NE(readFile(ini).find(junk.substr(0, 200)), std::string::npos) << "the junk is kept as it was";
}

TEST_F(StoreFixture, AFiftyMegabyteFileLoadsAndATruncatedOneKeepsWhatItHolds) {
    std::string text;
    text.reserve(52u << 20);
    text += section(1, "avant");
    const std::string filler = "; " + std::string(1022, 'z') + "\r\n";
    while (text.size() < (50u << 20))
        text += filler;
    text += section(2, "après");
    writeFile(ini, text);
    EXPECT_EQ(table().at(2).Message, "après");

    const std::string whole = section(1, "un") + section(2, "deux");
    writeFile(ini, whole.substr(0, whole.size() - 40));
    const AlertTable t = table();
    ASSERT_EQ(t.AlertCount(), 2);
    EXPECT_EQ(t.at(2).Message, "deux");
    EXPECT_EQ(t.at(2).Action, "");
}

namespace {

/// The table by its definition: each alert section's Id once, in file order, each field what a
/// lookup of the document gives.
std::vector<Alerte> tableByLookups(const IniDocument& doc) {
    std::vector<Alerte> out;
    std::unordered_set<std::int32_t> seen;
    for (const std::string& name : doc.sectionNames()) {
        const std::int32_t id = AlertStore::alertIdOfSection(name);
        if (id == 0 || !seen.insert(id).second)
            continue;
        Alerte a;
        a.Id = id;
        for (int k = 1; k <= Alerte::kFieldCount; ++k)
            a.field(k) = doc.value(Alerte::sectionOf(id), Alerte::keyOf(k)).value_or("");
        a.Uid = doc.value(Alerte::sectionOf(id), Alerte::kUidKey).value_or("");
        out.push_back(std::move(a));
    }
    return out;
}

} // namespace

TEST(StoreTextScans, ReadEveryTextAsTheParsedDocumentDoes) {
    // The load and the settings reads scan the text straight; what they find must be what the
    // store's lookups find in the same text, on files assembled from the shapes hand edits
    // leave behind.
    const char* const pieces[] = {"[Alerte1]",
                                  "[alerte1]",
                                  "[ALERTE2]",
                                  "[Alerte2]",
                                  " [ Alerte3 ] ",
                                  "[Alerte03]",
                                  "[Alerte]",
                                  "[Alerte2147483647]",
                                  "[Alerte2147483648]",
                                  "[Param]",
                                  "[Alerte4",
                                  "Info1=un",
                                  "INFO1 = deux ",
                                  "info2=\"  cité  \"",
                                  "Info10=action",
                                  "Info01=zéro",
                                  "Info11=trop",
                                  "Info3",
                                  "; Info4=note",
                                  "#Info5=note",
                                  "  Info6\t=\t255",
                                  "=vide",
                                  "Info7=a=b",
                                  "",
                                  " ",
                                  "\r",
                                  "texte libre",
                                  "[Alerte5]x",
                                  "Info8 =",
                                  "Info9=\"",
                                  "uid=x"};
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
        const IniDocument doc = IniDocument::parse(text);
        ASSERT_EQ(AlertStore::tableOfText(text).alerts(), tableByLookups(doc)) << "text:\n" << text;
        for (const char* section : {"Alerte1", " alerte2", "Param", "Alerte5", "Alerte4"})
            for (const char* key : {"Info1", "info2 ", "Info10", "Info5", "Info9", ""})
                ASSERT_EQ(IniDocument::valueIn(text, section, key), doc.value(section, key))
                    << section << "/" << key << " in:\n"
                    << text;
    }
}
