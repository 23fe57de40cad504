#include "app/CommandLine.h"
#include "service/AlertService.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>

using namespace zento;
using Command = CommandLine::Command;

TEST(CommandLine, ParsesEachCommandOrRefusesWithAReason) {
    const std::pair<std::vector<std::string>, Command> cases[] = {
        {{"-h"}, Command::Help},
        {{"--delete", "40000"}, Command::Delete},
        {{"--list", "extra"}, Command::Invalid},
        {{"--add", "x", "--date"}, Command::Invalid},
        {{"--add", "x", "--loop=1"}, Command::Invalid},
        {{"--add", "x", "--no-sound", "--sound", "a.wav"}, Command::Invalid},
        {{"--delete", "0"}, Command::Invalid},
        {{"--delete", "abc"}, Command::Invalid},
        {{"--export"}, Command::Invalid},
        {{"--import", "a.ics", "b.ics"}, Command::Invalid},
    };
    for (const auto& [args, command] : cases) {
        const auto cl = ParseCommandLine(args);
        EXPECT_EQ(cl.command, command) << testing::PrintToString(args);
        EXPECT_EQ(cl.error.empty(), command != Command::Invalid) << cl.error;
    }
    EXPECT_EQ(ParseCommandLine({"--delete", "40000"}).deleteId, 40000);
}

TEST(CommandLine, HelpFitsInEightyColumns) {
    std::istringstream help(UsageText());
    for (std::string line; std::getline(help, line);) {
        const auto width = std::ranges::count_if(line, [](char c) { return (c & 0xC0) != 0x80; });
        EXPECT_TRUE(!line.starts_with(' ') || width <= 80) << line; // the option lines
    }
}

TEST(CommandLine, ListEscapesWhatWouldBreakItsLinesAndColumns) {
    Alerte a;
    a.Id = 7;
    a.Message = "ligne\tà\\part\r\n";
    const std::string out = FormatAlertList(AlertTable({a}));
    EXPECT_NE(out.find("\n1\t7\tligne\\tà\\\\part\\r\\n\t"), std::string::npos) << out;
}

TEST(CommandLine, AddTakesRecurrenceNamesAndRefusesWhatTheEditorWould) {
    for (const auto& [text, code] : {std::pair{"8", 8}, {"mensuel", 4}, {"1 SEMAINE SUR 2", 3}})
        EXPECT_EQ(ParseRecurrenceOption(text), code) << text;
    for (const char* bad : {"9", "-1", "monthly", ""})
        EXPECT_EQ(ParseRecurrenceOption(bad), std::nullopt) << bad;

    const Alerte fresh{0, "", "07/12/2026", "0", "5", "Defaut.wav", "12632319", "255", "", "0", "", ""};
    AddOptions options;
    options.message = "Réunion";
    Alerte expected = fresh;
    expected.Message = "Réunion";
    EXPECT_EQ(BuildAddAlert(options, fresh).value(), expected) << "the defaults of a new alert";
    // A recurrence that is no name reaches the check as typed; colours must be a pair.
    for (const auto& [option, value] :
         {std::pair{&AddOptions::recurrence, "souvent"}, {&AddOptions::colors, "255"}}) {
        AddOptions o = options;
        o.*option = value;
        const auto a = BuildAddAlert(o, fresh);
        EXPECT_FALSE(a && AlertService::validate(*a)) << value;
    }
}
