#include "app/CommandLine.h"
#include "service/AlertService.h"

#include <functional>

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
    const auto takesValue = [](std::string_view name) {
        for (const OptionDoc& o : CommandLineOptions())
            if (o.name == name)
                return !o.value.fr.empty();
        return false;
    };
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

TEST(CommandLine, AddPutsItsOptionsOverANewAlertAndTheEditorsRulesDecide) {
    Alerte fresh;
    fresh.AlertDate = "07/12/2026";
    fresh.Recurrence = "0";
    fresh.Emoticon = "5";
    fresh.Sound = "Defaut.wav";
    fresh.BackColor = "12632319";
    fresh.ForeColor = "255";
    fresh.LoopSound = "0";
    const auto added = [&](const std::function<void(AddOptions&)>& change) -> Result<Alerte> {
        AddOptions o;
        o.message = "Réunion";
        change(o);
        const auto a = BuildAddAlert(o, fresh);
        return a ? AlertService::validate(*a) : a;
    };

    const auto plain = added([](AddOptions&) {});
    ASSERT_TRUE(plain.ok());
    Alerte expected = fresh;
    expected.Message = "Réunion";
    EXPECT_EQ(*plain, expected) << "the defaults of a new alert stay";

    const auto full = added([](AddOptions& o) {
        o.date = "1/2/2027";
        o.time = "9:05";
        o.recurrence = "Hebdomadaire";
        o.noSound = true;
        o.loop = true;
        o.emoticon = "12";
        o.colors = "&H0080FFFF&,0";
        o.action = "mailto:moi@exemple.fr";
    });
    ASSERT_TRUE(full.ok());
    EXPECT_EQ(full->AlertDate, "01/02/2027");
    EXPECT_EQ(full->AlertTime, "09:05");
    EXPECT_EQ(full->Recurrence, "2");
    EXPECT_EQ(full->Sound, "");
    EXPECT_EQ(full->LoopSound, "1");
    EXPECT_EQ(full->Emoticon, "12");
    EXPECT_EQ(full->BackColor, "8454143");
    EXPECT_EQ(full->ForeColor, "0");
    EXPECT_EQ(full->Action, "mailto:moi@exemple.fr");

    struct Refusal {
        std::function<void(AddOptions&)> change;
        const char* text;
    };
    const Refusal refusals[] = {
        {[](AddOptions& o) { o.message = "  "; }, "Indiquez un message"},
        {[](AddOptions& o) { o.date = "31/02/2027"; }, "Date non valide"},
        {[](AddOptions& o) { o.date = "01/01/1800"; }, "Date non valide"},
        {[](AddOptions& o) { o.time = "25:00"; }, "Heure non valide : 25:00 (attendu HH:MM)"},
        {[](AddOptions& o) { o.recurrence = "souvent"; }, "Périodicité non valide : souvent (0 à 8, ou "},
        {[](AddOptions& o) { o.emoticon = "16"; }, "Emoticon non valide : 16 (0 à 15)"},
        {[](AddOptions& o) { o.colors = "255"; }, "Couleurs non valides : 255 (attendu FOND,POLICE"},
        {[](AddOptions& o) { o.colors = "255,rouge"; }, "Couleurs non valides : 255,rouge (attendu"},
    };
    for (const Refusal& r : refusals) {
        const auto a = added(r.change);
        ASSERT_FALSE(a.ok()) << r.text;
        EXPECT_EQ(ErrorText(a.error()).rfind(r.text, 0), 0u) << ErrorText(a.error());
    }
}
