#include "app/CommandLine.h"

#include <algorithm>
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
        {{"--show"}, Command::Show},
        {{"--new-alert"}, Command::NewAlert},
        {{"--show", "--new-alert"}, Command::Invalid},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseCommandLine(c.args).command, c.command) << (c.args.empty() ? "" : c.args.front());
    EXPECT_EQ(ParseCommandLine({"--bogus"}).error, "option inconnue : --bogus");
}

TEST(CommandLine, EveryDocumentedOptionIsUnderstood) {
    for (const OptionDoc& o : CommandLineOptions()) {
        std::vector<std::string> args;
        if (!o.of.empty())
            args.emplace_back(o.of);
        args.emplace_back(o.name);
        if (!o.value.fr.empty() && !o.of.empty())
            args.emplace_back("1");
        if (o.name == "--delete")
            args.emplace_back("1");
        if (o.name == "--add" || o.of == "--add")
            args.emplace_back("message");
        const auto cl = ParseCommandLine(args);
        EXPECT_NE(cl.command, Command::Invalid) << o.name << ": " << cl.error;
        EXPECT_FALSE(o.description.fr.empty() || o.description.en.empty()) << o.name;
    }
}

TEST(CommandLine, HelpListsEveryOptionWithinEightyColumns) {
    const std::string help = UsageText();
    for (const OptionDoc& o : CommandLineOptions())
        EXPECT_NE(help.find(std::string(o.name) + (o.value.fr.empty() ? "" : " ") + std::string(o.value.fr)),
                  std::string::npos)
            << o.name;
    std::size_t start = 0;
    for (std::size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = help.substr(start, end - start);
        const auto characters =
            std::count_if(line.begin(), line.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; });
        if (line.starts_with(' ')) { // the option lines
            EXPECT_LE(characters, 80) << line;
        }
    }
}

TEST(CommandLine, VersionText) {
    EXPECT_EQ(VersionText(), "Zento 2.0.0");
}

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
    EXPECT_EQ(
        out,
        "Position\tId\tMessage\tAlertDate\tRecurrence\tEmoticon\tSound\tBackColor\tForeColor\tAlertTime\t"
        "LoopSound\tAction\n"
        "1\t7\tligne\\tà\\\\part\\r\\n\t12/01/2027\t\t\t\t\t\t\t\t\n"
        "2\t2\tRéunion\t\t\t\t\t\t\t\t\tmailto:x@y.fr\n");
    EXPECT_EQ(FormatAlertList(AlertTable()).find('\n'), out.find('\n')) << "an empty table prints the header";
}

TEST(CommandLine, AddTakesOptionsAnywhereAndTheRestAsTheMessage) {
    const auto cl =
        ParseCommandLine({"--add", "Appeler", "--date", "12/01/2027", "--time=09:30", "le", "garage",
                          "--loop", "--recurrence", "Mensuel", "--", "--pas une option"});
    ASSERT_EQ(cl.command, Command::Add);
    EXPECT_EQ(cl.add.message, "Appeler le garage --pas une option");
    EXPECT_EQ(cl.add.date, "12/01/2027");
    EXPECT_EQ(cl.add.time, "09:30");
    EXPECT_EQ(cl.add.recurrence, "Mensuel");
    EXPECT_TRUE(cl.add.loop);
    EXPECT_FALSE(cl.add.noSound);
}

TEST(CommandLine, AddAndDeleteRefuseMalformedOptions) {
    struct Case {
        std::vector<std::string> args;
        const char* error;
    };
    const Case cases[] = {
        {{"--add", "x", "--date"}, "l'option --date attend une valeur"},
        {{"--add", "x", "--colour", "1,2"}, "option inconnue : --colour"},
        {{"--add", "x", "--loop=1"}, "l'option --loop ne prend pas de valeur"},
        {{"--add", "x", "--no-sound", "--sound", "a.wav"}, "--sound et --no-sound s'excluent"},
        {{"--delete"}, "--delete attend le numéro (Id) d'une alerte"},
        {{"--delete", "0"}, "numéro d'alerte non valide : 0"},
        {{"--delete", "abc"}, "numéro d'alerte non valide : abc"},
        {{"--delete", "3", "4"}, "--delete attend le numéro (Id) d'une alerte"},
    };
    for (const auto& c : cases) {
        const auto cl = ParseCommandLine(c.args);
        EXPECT_EQ(cl.command, Command::Invalid) << c.error;
        EXPECT_EQ(cl.error, c.error);
    }
    const auto del = ParseCommandLine({"--delete", "40000"});
    EXPECT_EQ(del.command, Command::Delete);
    EXPECT_EQ(del.deleteId, 40000);
}

TEST(CommandLine, RecurrenceByCodeOrFrenchName) {
    EXPECT_EQ(ParseRecurrenceOption("0"), 0);
    EXPECT_EQ(ParseRecurrenceOption("8"), 8);
    EXPECT_EQ(ParseRecurrenceOption("mensuel"), 4);
    EXPECT_EQ(ParseRecurrenceOption("1 SEMAINE SUR 2"), 3);
    EXPECT_EQ(ParseRecurrenceOption("Annuel"), 8);
    for (const char* bad : {"9", "-1", "monthly", "", "1 mois"})
        EXPECT_EQ(ParseRecurrenceOption(bad), std::nullopt) << bad;
}

TEST(CommandLine, AddBuildsTheAlertWithTheDefaultsOfANewAlert) {
    const Date today{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{7}};
    AddOptions o;
    o.message = "Réunion";
    AddRequest r = BuildAddRequest(o, today, "12632319", "255", 5);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.alert.AlertDate, "07/12/2026");
    EXPECT_EQ(r.alert.AlertTime, "");
    EXPECT_EQ(r.alert.Recurrence, "0");
    EXPECT_EQ(r.alert.Emoticon, "5");
    EXPECT_EQ(r.alert.Sound, "Defaut.wav");
    EXPECT_EQ(r.alert.BackColor, "12632319");
    EXPECT_EQ(r.alert.ForeColor, "255");
    EXPECT_EQ(r.alert.LoopSound, "0");

    o.date = "1/2/2027";
    o.time = "9:05";
    o.recurrence = "Hebdomadaire";
    o.noSound = true;
    o.loop = true;
    o.emoticon = "12";
    o.colors = "&H0080FFFF&,0";
    o.action = "mailto:moi@exemple.fr";
    r = BuildAddRequest(o, today, "1", "2", 5);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(r.alert.AlertDate, "01/02/2027");
    EXPECT_EQ(r.alert.AlertTime, "09:05");
    EXPECT_EQ(r.alert.Recurrence, "2");
    EXPECT_EQ(r.alert.Sound, "");
    EXPECT_EQ(r.alert.LoopSound, "1");
    EXPECT_EQ(r.alert.Emoticon, "12");
    EXPECT_EQ(r.alert.BackColor, "8454143");
    EXPECT_EQ(r.alert.ForeColor, "0");
    EXPECT_EQ(r.alert.Action, "mailto:moi@exemple.fr");
}

TEST(CommandLine, AddRefusesWhatTheEditorWouldRefuse) {
    const Date today{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{7}};
    const auto refusal = [&](auto change) {
        AddOptions o;
        o.message = "x";
        change(o);
        return BuildAddRequest(o, today, "0", "0", 5).error;
    };
    EXPECT_EQ(refusal([](AddOptions& o) { o.message = "  "; }), "Indiquez un message");
    EXPECT_EQ(refusal([](AddOptions& o) { o.date = "31/02/2027"; }), "Date non valide");
    EXPECT_EQ(refusal([](AddOptions& o) { o.date = "01/01/1800"; }), "Date non valide");
    EXPECT_EQ(refusal([](AddOptions& o) { o.time = "25:00"; }).rfind("Heure non valide", 0), 0u);
    EXPECT_EQ(refusal([](AddOptions& o) { o.recurrence = "souvent"; }).rfind("Périodicité non valide", 0),
              0u);
    EXPECT_EQ(refusal([](AddOptions& o) { o.emoticon = "16"; }).rfind("Emoticon non valide", 0), 0u);
    EXPECT_EQ(refusal([](AddOptions& o) { o.colors = "255"; }).rfind("Couleurs non valides", 0), 0u);
    EXPECT_EQ(refusal([](AddOptions& o) { o.colors = "255,rouge"; }).rfind("Couleurs non valides", 0), 0u);
}
