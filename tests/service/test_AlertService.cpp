#include "service/AlertService.h"

#include "appearance/Palette.h"
#include "support/CoreFakes.h"
#include "support/TestEnvironment.h"

#include <functional>
#include <gtest/gtest.h>

using namespace zento;
using zento::test::readFile;
using zento::test::TempDir;
using zento::test::writeFile;
namespace fs = std::filesystem;

namespace {

Alerte alert(std::string message, std::string date = "12/01/2027", std::string recurrence = "0") {
    Alerte a;
    a.Message = std::move(message);
    a.AlertDate = std::move(date);
    a.Recurrence = std::move(recurrence);
    a.Emoticon = "5";
    a.Sound = "Defaut.wav";
    a.BackColor = "8438015";
    a.ForeColor = "0";
    a.AlertTime = "09:30";
    a.LoopSound = "0";
    return a;
}

std::string section(std::int32_t id, const std::string& message, const std::string& date = "12/01/2027",
                    const std::string& recurrence = "0") {
    return "[Alerte" + std::to_string(id) + "]\r\nInfo1=" + message + "\r\nInfo2=" + date +
           "\r\nInfo3=" + recurrence +
           "\r\nInfo4=5\r\nInfo5=\r\nInfo6=0\r\nInfo7=0\r\nInfo8=08:00\r\nInfo9=0\r\nInfo10=\r\n";
}

struct ServiceFixture : ::testing::Test {
    TempDir dir;
    fs::path ini = dir / "Alertes.ini";
    AlertStore store{ini};
    AlertService service{store};

    AlertTable table() const { return store.LoadAllAlerts().value(); }
    std::vector<std::int32_t> ids() const {
        std::vector<std::int32_t> out;
        const AlertTable t = table();
        for (const auto& a : t.alerts())
            out.push_back(a.Id);
        return out;
    }
};

Date day(int y, unsigned m, unsigned d) {
    return Date{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

DueAlert due(std::int32_t id, int recurrence = 0, std::optional<Date> date = std::nullopt) {
    DueAlert d;
    d.id = id;
    d.recurrence = recurrence;
    d.date = date;
    return d;
}

} // namespace

TEST(AlertValidation, RefusesWhatCannotBeStoredAndStoresTheRestInItsStoredForm) {
    struct Case {
        const char* what;
        std::function<void(Alerte&)> change;
        std::optional<Error> refusal;
        std::function<void(const Alerte&)> check;
    };
    const Case cases[] = {
        {"no message", [](Alerte& a) { a.Message.clear(); }, Error{ErrorCode::EmptyMessage, ""}, {}},
        {"a message of blanks", [](Alerte& a) { a.Message = " \t "; }, Error{ErrorCode::EmptyMessage, ""}, {}},
        {"the date picker's no-date", [](Alerte& a) { a.AlertDate = "01/01/1800"; },
         Error{ErrorCode::InvalidDate, "01/01/1800"}, {}},
        {"a date that is no day", [](Alerte& a) { a.AlertDate = "31/02/2027"; },
         Error{ErrorCode::InvalidDate, "31/02/2027"}, {}},
        {"a time out of the day", [](Alerte& a) { a.AlertTime = "24:00"; },
         Error{ErrorCode::InvalidTime, "24:00"}, {}},
        {"recurrence 9", [](Alerte& a) { a.Recurrence = "9"; }, Error{ErrorCode::InvalidRecurrence, "9"}, {}},
        {"a recurrence name", [](Alerte& a) { a.Recurrence = "Mensuel"; },
         Error{ErrorCode::InvalidRecurrence, "Mensuel"}, {}},
        {"emoticon 16", [](Alerte& a) { a.Emoticon = "16"; }, Error{ErrorCode::InvalidEmoticon, "16"}, {}},
        {"a colour of 25 bits", [](Alerte& a) { a.ForeColor = "16777216"; },
         Error{ErrorCode::InvalidColors, "8438015,16777216"}, {}},
        {"short date, short time, hex colour, padded code",
         [](Alerte& a) {
             a.AlertDate = " 3/4/2027";
             a.AlertTime = "7:05";
             a.BackColor = "&H0080FFFF&";
             a.Recurrence = "04";
         },
         std::nullopt,
         [](const Alerte& a) {
             EXPECT_EQ(a.AlertDate, "03/04/2027");
             EXPECT_EQ(a.AlertTime, "07:05");
             EXPECT_EQ(a.BackColor, "8454143");
             EXPECT_EQ(a.Recurrence, "4");
         }},
        {"all day, no emoticon chosen, no sound",
         [](Alerte& a) {
             a.AlertTime = "  ";
             a.Emoticon.clear();
             a.Sound.clear();
         },
         std::nullopt,
         [](const Alerte& a) {
             EXPECT_EQ(a.AlertTime, "");
             EXPECT_EQ(a.Emoticon, "");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Alerte a = alert("Réunion");
        c.change(a);
        const Result<Alerte> r = AlertService::validate(a);
        if (c.refusal) {
            ASSERT_FALSE(r.ok());
            EXPECT_EQ(r.error(), *c.refusal);
            EXPECT_TRUE(AlertService::isRefusal(r.error()));
        } else {
            ASSERT_TRUE(r.ok()) << static_cast<int>(r.error().code);
            c.check(*r);
        }
    }
}

TEST_F(ServiceFixture, EveryActionIsOneSaveWithTheFileBeforeItAsBackup) {
    const std::string before = "; tenu à la main\r\n[Param]\r\nNb=3\r\nImg=2\r\n" + section(1, "un") +
                               section(3, "trois", "31/01/2027", "4") + section(4, "quatre");
    struct Case {
        const char* what;
        std::function<bool(AlertService&)> act;
        std::function<void(const AlertTable&, const std::string& text)> check;
    };
    const Case cases[] = {
        {"add", [](AlertService& s) { return s.add(alert("deux")).ok(); },
         [](const AlertTable& t, const std::string& text) {
             EXPECT_EQ(t.at(4).Id, 2) << "the smallest free Id";
             EXPECT_NE(text.find("Nb=4\r\n"), std::string::npos) << "and Nb in the same save";
         }},
        {"update", [](AlertService& s) { return s.update(3, alert("trois bis")).ok(); },
         [](const AlertTable& t, const std::string& text) {
             EXPECT_EQ(t.at(2).Message, "trois bis");
             EXPECT_NE(text.find("Nb=3\r\n"), std::string::npos);
         }},
        {"update of a removed alert",
         [](AlertService& s) {
             const auto r = s.update(9, alert("revenu"));
             return r.ok() && r->added && r->id == 2;
         },
         [](const AlertTable& t, const std::string& text) {
             EXPECT_EQ(t.AlertCount(), 4);
             EXPECT_NE(text.find("Nb=4\r\n"), std::string::npos);
         }},
        {"remove", [](AlertService& s) { return s.remove(4).ok(); },
         [](const AlertTable& t, const std::string& text) {
             EXPECT_EQ(t.AlertCount(), 2);
             EXPECT_NE(text.find("Nb=2\r\n"), std::string::npos);
         }},
        {"acknowledge a one-off", [](AlertService& s) { return s.acknowledge(due(1)).ok(); },
         [](const AlertTable& t, const std::string& text) {
             EXPECT_EQ(t.AlertCount(), 2);
             EXPECT_NE(text.find("Nb=3\r\n"), std::string::npos) << "Nb counts adds and deletes only";
         }},
        {"acknowledge a monthly alert on the 31st",
         [](AlertService& s) { return s.acknowledge(due(3, 4, day(2027, 1, 31))).ok(); },
         [](const AlertTable& t, const std::string&) { EXPECT_EQ(t.at(2).AlertDate, "28/02/2027"); }},
        {"snooze",
         [](AlertService& s) {
             const auto r = s.snooze(4, AtTime(day(2027, 3, 1), std::chrono::hours(23) + std::chrono::minutes(50)),
                                     3);
             return r.ok() && *r;
         },
         [](const AlertTable& t, const std::string&) {
             EXPECT_EQ(t.at(3).AlertDate, "02/03/2027") << "past midnight is tomorrow";
             EXPECT_EQ(t.at(3).AlertTime, "00:20");
         }},
        {"default colours", [](AlertService& s) { return s.setDefaultColors(ColorPair{255, 0}).ok(); },
         [](const AlertTable&, const std::string& text) {
             EXPECT_NE(text.find("Fond=255\r\nPolice=0\r\n"), std::string::npos);
         }},
        {"random colours", [](AlertService& s) { return s.setDefaultColors(std::nullopt).ok(); },
         [](const AlertTable&, const std::string& text) {
             EXPECT_NE(text.find("Fond=\r\nPolice=\r\n"), std::string::npos);
         }},
        {"default emoticon", [](AlertService& s) { return s.setDefaultEmoticon("11").ok(); },
         [](const AlertTable&, const std::string& text) { EXPECT_NE(text.find("Img=11\r\n"), std::string::npos); }},
        {"add several", [](AlertService& s) {
             const auto r = s.addAll({alert("a"), alert("b"), alert("c")});
             return r.ok() && *r == std::vector<std::int32_t>{2, 5, 6};
         },
         [](const AlertTable& t, const std::string& text) {
             EXPECT_EQ(t.AlertCount(), 6);
             EXPECT_NE(text.find("Nb=6\r\n"), std::string::npos);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(ini, before);
        fs::remove(store.backupPath());
        ASSERT_TRUE(c.act(service));
        EXPECT_EQ(readFile(store.backupPath()), before);
        const std::string after = readFile(ini);
        EXPECT_NE(after, before);
        EXPECT_EQ(after.rfind("; tenu \xE0 la main\r\n", 0), 0u) << "what the program does not know stays";
        c.check(table(), after);
    }
}

TEST_F(ServiceFixture, WhatIsGoneMeanwhileIsNeitherRecreatedNorRewritten) {
    const std::string text = section(1, "un") + section(2, "deux", "05/05/2027", "8");
    struct Case {
        const char* what;
        std::function<bool(AlertService&)> act; ///< true when the outcome is the expected one
    };
    const Case cases[] = {
        {"acknowledge a one-off removed meanwhile", [](AlertService& s) { return s.acknowledge(due(7)).ok(); }},
        {"acknowledge a periodic alert removed meanwhile",
         [](AlertService& s) { return s.acknowledge(due(7, 2, day(2027, 1, 1))).ok(); }},
        {"acknowledge a periodic alert without a date",
         [](AlertService& s) { return s.acknowledge(due(2, 8)).ok(); }},
        {"snooze an alert removed meanwhile",
         [](AlertService& s) {
             const auto r = s.snooze(7, AtTime(day(2027, 1, 1), std::chrono::hours(8)), 0);
             return r.ok() && !*r;
         }},
        {"remove an alert removed meanwhile",
         [](AlertService& s) {
             const Status r = s.remove(7);
             return !r && r.error().code == ErrorCode::NotFound;
         }},
        {"a refused add", [](AlertService& s) { return !s.add(alert("")).ok(); }},
        {"an import with one refused alert", [](AlertService& s) { return !s.addAll({alert("a"), alert("")}).ok(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(ini, text);
        EXPECT_TRUE(c.act(service));
        EXPECT_EQ(readFile(ini), text);
        EXPECT_FALSE(fs::exists(store.backupPath()));
    }
}

TEST_F(ServiceFixture, AnUpdateKeepsTheIdAndTheKeysItDoesNotKnow) {
    writeFile(ini, section(5, "cinq") + "UID=evt@agenda\r\nNote=à garder\r\n");
    const auto saved = service.update(5, alert("cinq modifié"));
    ASSERT_TRUE(saved.ok());
    EXPECT_EQ(saved->id, 5);
    EXPECT_FALSE(saved->added);
    EXPECT_EQ(table().at(1).Uid, "evt@agenda");
    EXPECT_NE(readFile(ini).find("Note=\xE0 garder"), std::string::npos);
}

TEST_F(ServiceFixture, AcknowledgingStepsFromTheDayThePopupShowedNotFromTheStoredOne) {
    // The alert was snoozed into tomorrow meanwhile; the popup still steps from its own day.
    writeFile(ini, section(1, "hebdo", "10/03/2027", "2"));
    ASSERT_TRUE(service.acknowledge(due(1, 2, day(2027, 3, 1))));
    EXPECT_EQ(table().at(1).AlertDate, "08/03/2027");
    EXPECT_EQ(table().at(1).AlertTime, "08:00") << "only the date moves";
}

TEST_F(ServiceFixture, ANewAlertTakesTheStoredDefaultsOrOneRandomCellForBoth) {
    test::FakeRandom random;
    struct Case {
        const char* param;
        double draw;
        std::string emoticonAtStart;
        ColorPair expected;
        const char* emoticon;
    };
    const PaletteCell& cell3 = kPalette[3];
    const Case cases[] = {
        {"", 3.5 / 8, "", {cell3.background, cell3.text}, "5"},
        {"Fond=255\r\n", 3.5 / 8, "12", {255, cell3.text}, "12"},
        {"Fond=&H0080FFFF&\r\nPolice=16711680\r\n", 0.0, "16", {8454143, 16711680}, "5"},
        {"Fond=rouge\r\nPolice=\r\n", 0.999, "x", {kPalette[7].background, kPalette[7].text}, "5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.param);
        writeFile(ini, std::string("[Param]\r\n") + c.param);
        random.values = {c.draw};
        const Alerte a = service.newAlert(day(2027, 6, 15), c.emoticonAtStart, random);
        EXPECT_EQ(a.AlertDate, "15/06/2027");
        EXPECT_EQ(a.BackColor, std::to_string(c.expected.background));
        EXPECT_EQ(a.ForeColor, std::to_string(c.expected.text));
        EXPECT_EQ(a.Emoticon, c.emoticon);
        EXPECT_EQ(a.Sound, "Defaut.wav");
        EXPECT_EQ(a.Recurrence, "0");
        EXPECT_EQ(a.AlertTime, "");
        EXPECT_TRUE(random.values.empty()) << "one draw, whatever is stored";
        EXPECT_FALSE(AlertService::validate(a).ok()) << "no message yet";
    }
}
