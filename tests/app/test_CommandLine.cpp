#include "app/CommandLine.h"

#include <gtest/gtest.h>

using namespace zento;
using Command = CommandLine::Command;

TEST(CommandLine, RecognisesItsOptions) {
    struct Case {
        std::vector<std::string> args;
        Command command;
    };
    const Case cases[] = {
        {{}, Command::Run},
        {{"--help"}, Command::Help},
        {{"-h"}, Command::Help},
        {{"--version"}, Command::Version},
        {{"--list"}, Command::List},
        {{"--lister"}, Command::Invalid},
        {{"list"}, Command::Invalid},
        {{"--list", "extra"}, Command::Invalid},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCommandLine(c.args).command, c.command) << (c.args.empty() ? "" : c.args.front());
    EXPECT_EQ(ParseCommandLine({"--bogus"}).error, "option inconnue : --bogus");
}

TEST(CommandLine, VersionText) { EXPECT_EQ(VersionText(), "Zento 2.0.0"); }

TEST(CommandLine, ListIsOneEscapedLinePerAlertInTableOrder) {
    Alerte a;
    a.Id = 7;
    a.Message = "ligne\tà\\part\r\n";
    a.AlertDate = "12/01/2027";
    Alerte b;
    b.Id = 2;
    b.Message = "Réunion";
    b.Action = "mailto:x@y.fr";
    const std::string out = FormatAlertList(AlertTable({a, b}));
    EXPECT_EQ(out, "Position\tId\tMessage\tAlertDate\tRecurrence\tEmoticon\tSound\tBackColor\tForeColor\tAlertTime\t"
                   "LoopSound\tAction\n"
                   "1\t7\tligne\\tà\\\\part\\r\\n\t12/01/2027\t\t\t\t\t\t\t\t\n"
                   "2\t2\tRéunion\t\t\t\t\t\t\t\t\tmailto:x@y.fr\n");
    EXPECT_EQ(FormatAlertList(AlertTable()).find('\n'), out.find('\n')) << "an empty table prints the header";
}
