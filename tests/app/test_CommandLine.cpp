#include "app/CommandLine.h"
#include "service/AlertService.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace zento;
using Command = CommandLine::Command;

TEST(CommandLine, ParsesEachCommandOrSaysWhatIsWrong) {
    struct Case {
        std::vector<std::string> args;
        Command command;
        std::string error;
    };
    const Case cases[] = {
        {{}, Command::Run, ""},
        {{"--help"}, Command::Help, ""},
        {{"-h"}, Command::Help, ""},
        {{"--version"}, Command::Version, ""},
        {{"--list"}, Command::List, ""},
        {{"--show"}, Command::Show, ""},
        {{"--new-alert"}, Command::NewAlert, ""},
        {{"--delete", "40000"}, Command::Delete, ""},
        {{"--export", "-"}, Command::Export, ""},
        {{"--import", "--with-actions", "a.ics"}, Command::Import, ""},
        {{"--lister"}, Command::Invalid, "option inconnue : --lister"},
        {{"--list", "extra"}, Command::Invalid, "argument en trop : extra"},
        {{"--add", "x", "--date"}, Command::Invalid, "l'option --date attend une valeur"},
        {{"--add", "x", "--colour", "1,2"}, Command::Invalid, "option inconnue : --colour"},
        {{"--add", "x", "--loop=1"}, Command::Invalid, "l'option --loop ne prend pas de valeur"},
        {{"--add", "x", "--no-sound", "--sound", "a.wav"},
         Command::Invalid,
         "--sound et --no-sound s'excluent"},
        {{"--delete"}, Command::Invalid, "--delete attend le numéro (Id) d'une alerte"},
        {{"--delete", "0"}, Command::Invalid, "numéro d'alerte non valide : 0"},
        {{"--delete", "abc"}, Command::Invalid, "numéro d'alerte non valide : abc"},
        {{"--export"}, Command::Invalid, "--export attend un fichier (- pour la sortie standard)"},
        {{"--import", "a.ics", "b.ics"}, Command::Invalid, "--import attend un fichier"},
    };
    for (const Case& c : cases) {
        const auto cl = ParseCommandLine(c.args);
        EXPECT_EQ(cl.command, c.command) << testing::PrintToString(c.args);
        EXPECT_EQ(cl.error, c.error);
    }
    EXPECT_EQ(ParseCommandLine({"--delete", "40000"}).deleteId, 40000);
    const auto import = ParseCommandLine({"--import", "--with-actions", "a.ics"});
    EXPECT_EQ(import.file, "a.ics");
    EXPECT_TRUE(import.withActions);
}

TEST(CommandLine, EveryDocumentedOptionIsUnderstoodAndHelpedWithinEightyColumns) {
    const auto takesValue = [](std::string_view name) {
        const auto options = CommandLineOptions();
        return std::any_of(options.begin(), options.end(),
                           [&](const OptionDoc& o) { return o.name == name && !o.value.fr.empty(); });
    };
    const std::string help = UsageText();
    // An option with a value gets one ("1" stands for an Id, a date, a file name alike); an option
    // of a command comes after the command, whose own value comes last.
    for (const OptionDoc& o : CommandLineOptions()) {
        std::vector<std::string> args;
        if (!o.of.empty())
            args.emplace_back(o.of);
        args.emplace_back(o.name);
        for (std::string_view name : {o.name, o.of})
            if (takesValue(name))
                args.emplace_back(name == "--add" ? "message" : "1");
        const auto cl = ParseCommandLine(args);
        EXPECT_NE(cl.command, Command::Invalid) << o.name << ": " << cl.error;
        EXPECT_FALSE(o.description.fr.empty() || o.description.en.empty()) << o.name;
        const std::string head =
            std::string(o.name) + (o.value.fr.empty() ? "" : " ") + std::string(o.value.fr);
        EXPECT_NE(help.find(head), std::string::npos) << o.name;
    }
    std::size_t start = 0;
    for (std::size_t end; (end = help.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = help.substr(start, end - start);
        const auto characters =
            std::count_if(line.begin(), line.end(), [](unsigned char c) { return (c & 0xC0) != 0x80; });
        EXPECT_TRUE(!line.starts_with(' ') || characters <= 80) << line; // the option lines
    }
}

TEST(CommandLine, ListIsOneEscapedLinePerAlertInTableOrder) {
    Alerte a;
    a.Id = 7;
    a.Message = "ligne\tà\\part\r\n";
    a.AlertDate = "12/01/2027";
    Alerte b;
    b.Id = 2;
    b.Action = "mailto:x@y.fr";
    const std::string out = FormatAlertList(AlertTable({a, b}));
    const std::string header = out.substr(0, out.find('\n') + 1);
    EXPECT_EQ(FormatAlertList(AlertTable()), header) << "an empty table prints the header alone";
    EXPECT_EQ(out.substr(header.size()), "1\t7\tligne\\tà\\\\part\\r\\n\t12/01/2027\t\t\t\t\t\t\t\t\n"
                                         "2\t2\t\t\t\t\t\t\t\t\t\tmailto:x@y.fr\n");
    EXPECT_EQ(std::count(header.begin(), header.end(), '\t'), 11) << "a column per value";
}

TEST(CommandLine, RecurrenceByCodeOrFrenchNameInAnyCase) {
    for (const auto& [text, code] : std::map<std::string, int>{
             {"0", 0}, {"8", 8}, {"mensuel", 4}, {"1 SEMAINE SUR 2", 3}, {"Annuel", 8}})
        EXPECT_EQ(ParseRecurrenceOption(text), code) << text;
    for (const char* bad : {"9", "-1", "monthly", "", "1 mois"})
        EXPECT_EQ(ParseRecurrenceOption(bad), std::nullopt) << bad;
}

TEST(CommandLine, AddKeepsTheDefaultsOfANewAlertAndTheEditorsRulesDecide) {
    // A new alert with the defaults of new alerts.
    const Alerte fresh{0, "", "07/12/2026", "0", "5", "Defaut.wav", "12632319", "255", "", "0", "", ""};
    const auto added = [&](const std::function<void(AddOptions&)>& change) -> Result<Alerte> {
        AddOptions o;
        o.message = "Réunion";
        change(o);
        const auto a = BuildAddAlert(o, fresh);
        return a ? AlertService::validate(*a) : a;
    };
    Alerte expected = fresh;
    expected.Message = "Réunion";
    EXPECT_EQ(added([](AddOptions&) {}).value(), expected);

    const std::pair<std::function<void(AddOptions&)>, const char*> refusals[] = {
        {[](AddOptions& o) { o.message = "  "; }, "Indiquez un message"},
        {[](AddOptions& o) { o.date = "31/02/2027"; }, "Date non valide"},
        {[](AddOptions& o) { o.time = "25:00"; }, "Heure non valide : 25:00 (attendu HH:MM)"},
        {[](AddOptions& o) { o.recurrence = "souvent"; }, "Périodicité non valide : souvent (0 à 8, ou "},
        {[](AddOptions& o) { o.emoticon = "16"; }, "Emoticon non valide : 16 (0 à 15)"},
        {[](AddOptions& o) { o.colors = "255"; }, "Couleurs non valides : 255 (attendu FOND,POLICE"},
        {[](AddOptions& o) { o.colors = "255,rouge"; }, "Couleurs non valides : 255,rouge (attendu"},
    };
    for (const auto& [change, text] : refusals) {
        const auto a = added(change);
        ASSERT_FALSE(a.ok()) << text;
        EXPECT_EQ(ErrorText(a.error()).rfind(text, 0), 0u) << ErrorText(a.error());
    }
}
