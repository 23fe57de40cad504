#include "appearance/Palette.h"
#include "service/AlertService.h"
#include "support/CoreFakes.h"
#include "support/TestEnvironment.h"

#include <functional>
#include <gtest/gtest.h>

using namespace zento;
using namespace zento::test;
using namespace std::chrono;

namespace {

Alerte alert(std::string message) {
    return {0, message, "12/01/2027", "0", "5", "Defaut.wav", "8438015", "0", "09:30", "0", "", ""};
}

struct ServiceFixture : ::testing::Test {
    TempDir dir;
    std::filesystem::path ini = dir / "Alertes.ini";
    AlertStore store{ini};
    AlertService service{store};
};

DueAlert due(std::int32_t id, int recurrence = 0, std::optional<Date> date = {}) {
    return {id, recurrence, date, "", false};
}

} // namespace

TEST(AlertValidation, RefusesWhatCannotBeStoredAndStoresTheRestInItsStoredForm) {
    using enum AlertField;
    using enum ErrorCode;
    // The field, its value, then the refusal and its detail, or no refusal and the value as stored.
    const std::tuple<AlertField, const char*, std::optional<ErrorCode>, std::string> cases[] = {
        {Message, " \t ", EmptyMessage, ""},
        {AlertDate, "01/01/1800", InvalidDate, "01/01/1800"}, // the date picker's "no date"
        {AlertDate, "31/02/2027", InvalidDate, "31/02/2027"},
        {AlertTime, "24:00", InvalidTime, "24:00"},
        {Recurrence, "9", InvalidRecurrence, "9"},
        {Recurrence, "Mensuel", InvalidRecurrence, "Mensuel"},
        {Emoticon, "16", InvalidEmoticon, "16"},
        {ForeColor, "16777216", InvalidColors, "8438015,16777216"},
        {AlertDate, " 3/4/2027", {}, "03/04/2027"},
        {AlertTime, "7:05", {}, "07:05"},
        {AlertTime, "  ", {}, ""}, // all day
        {BackColor, "&H0080FFFF&", {}, "8454143"},
        {Recurrence, "04", {}, "4"},
        {Emoticon, "", {}, ""}, // none chosen
    };
    for (const auto& [field, value, refusal, detail] : cases) {
        SCOPED_TRACE(Alerte::keyOf(static_cast<int>(field)) + "=" + value);
        Alerte a = alert("Réunion");
        a.field(field) = value;
        const Result<Alerte> r = AlertService::validate(a);
        if (refusal) {
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(r.error(), (Error{*refusal, detail}));
            EXPECT_TRUE(AlertService::isRefusal(r.error()));
        } else {
            ASSERT_TRUE(r.ok()) << static_cast<int>(r.error().code);
            a.field(field) = detail;
            EXPECT_EQ(*r, a);
        }
    }
}

TEST_F(ServiceFixture, EveryActionIsOneSaveWithTheFileBeforeItAsBackupAndNoneOnWhatIsGone) {
    // Alert 3 was snoozed into February since its popup showed on 31 January.
    const std::string kept = "UID=evt@agenda\r\nNote=\xE0 garder\r\n";
    const std::string before = "; tenu \xE0 la main\r\n[Param]\r\nNb=3\r\nImg=2\r\n" + alertSection(1, "un") +
                               alertSection(3, "trois", "15/02/2027", "4") + kept + alertSection(4, "quatre");
    using S = AlertService;
    // Each action, then what the file holds after it, "!" before what it lacks; none: no save.
    const std::pair<std::function<bool(S&)>, std::vector<std::string>> cases[] = {
        {[](S& s) { return s.update(9, alert("revenu")).value().added; },
         {"[Alerte2]\r\nInfo1=revenu\r\n", "Nb=4\r\n"}},
        {[](S& s) { return !s.update(1, alert("un modifi\xC3\xA9")).value().added; },
         {"[Alerte1]\r\nInfo1=un modifi\xE9\r\n", "Nb=3\r\n"}},
        {[](S& s) { return s.remove(4).ok(); }, {"![Alerte4]", "Nb=2\r\n"}},
        {[](S& s) { return s.snooze(1, AtTime(2027y / 1 / 10, 8h), 0).value(); },
         {"Info2=10/01/2027\r\n", "Info8=08:05\r\n"}},
        // Nb counts adds and deletes only.
        {[](S& s) { return s.acknowledge(due(1)).ok(); }, {"![Alerte1]", "Nb=3\r\n"}},
        {[](S& s) { return s.acknowledge(due(3, 4, 2027y / 1 / 31)).ok(); },
         {alertSection(3, "trois", "28/02/2027", "4")}},
        {[](S& s) { return s.setDefaultColors(std::nullopt).ok(); }, {"Fond=\r\nPolice=\r\n"}},
        {[](S& s) {
             return s.addAll({alert("a"), alert("b"), alert("c")}).value() == std::vector{2, 5, 6};
         },
         {"[Alerte2]", "[Alerte5]", "[Alerte6]", "Nb=6\r\n"}},
        // What is gone meanwhile is neither recreated nor rewritten.
        {[](S& s) { return s.acknowledge(due(7)).ok(); }, {}},
        {[](S& s) { return s.acknowledge(due(7, 2, 2027y / 1 / 1)).ok(); }, {}},
        // A periodic alert acknowledged without its date is left as it is.
        {[](S& s) { return s.acknowledge(due(3, 4)).ok(); }, {}},
        {[](S& s) { return !s.snooze(7, AtTime(2027y / 1 / 1, 8h), 0).value(); }, {}},
        {[](S& s) { return s.remove(7).error().code == ErrorCode::NotFound; }, {}},
        {[](S& s) {
             return !s.addAll({alert("a"), alert("")}).ok();
         },
         {}},
    };
    for (std::size_t row = 0; row < std::size(cases); ++row) {
        SCOPED_TRACE(row);
        const auto& [act, parts] = cases[row];
        writeFile(ini, before);
        std::filesystem::remove(store.backupPath());
        ASSERT_TRUE(act(service));
        const std::string after = readFile(ini);
        if (parts.empty()) {
            EXPECT_TRUE(after == before && !std::filesystem::exists(store.backupPath()));
            continue;
        }
        EXPECT_EQ(readFile(store.backupPath()), before);
        EXPECT_EQ(after.rfind("; tenu \xE0 la main\r\n", 0), 0u) << "what the program does not know stays";
        EXPECT_NE(after.find(kept), std::string::npos);
        for (const std::string& part : parts) {
            const bool lacks = part.starts_with('!');
            EXPECT_EQ(after.find(part.substr(lacks ? 1 : 0)) == std::string::npos, lacks) << part;
        }
    }
}

TEST_F(ServiceFixture, ANewAlertTakesTheStoredColoursAndOneDrawForTheOthers) {
    writeFile(ini, "[Param]\r\nFond=&H0080FFFF&\r\nPolice=\r\n");
    FakeRandom random;
    random.values = {3.5 / 8};
    const Alerte expected{0,    "",           "15/06/2027", "0",
                          "12", "Defaut.wav", "8454143",    std::to_string(kPalette[3].text),
                          "",   "0",          "",           ""};
    EXPECT_EQ(service.newAlert(2027y / 6 / 15, "12", random), expected);
    EXPECT_TRUE(random.values.empty()) << "one draw";
}
