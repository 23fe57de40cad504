#include "store/IniDocument.h"

#include <gtest/gtest.h>
#include <iterator>
#include <random>

using zento::IniDocument;

TEST(IniDocument, ReadsValuesWithoutRegardToCaseAndBlanks) {
    const auto doc = IniDocument::parse("[Alerte3]\r\n  info1 =  Rendez-vous  \r\nINFO2=12/01/2027\r\n"
                                        "[ Param ]\nImg=\"5\"\n");
    EXPECT_EQ(doc.value("ALERTE3", "Info1"), "Rendez-vous");
    EXPECT_EQ(doc.value("alerte3", "info2"), "12/01/2027");
    EXPECT_EQ(doc.value("param", "IMG"), "5") << "one enclosing pair of quotes is removed";
    EXPECT_EQ(doc.value("Param", "Nb"), std::nullopt);
    EXPECT_EQ(doc.value("Alerte4", "Info1"), std::nullopt);
}

TEST(IniDocument, ValueParsingRules) {
    struct Case {
        const char* raw;
        const char* value;
    };
    const Case cases[] = {
        {"plain", "plain"},     {"  padded\t", "padded"}, {"\"quoted\"", "quoted"}, {"\"\"", ""},
        {"\"", "\""},           {"\"half", "\"half"},     {"a=b", "a=b"},           {"", ""},
        {"\"\"x\"\"", "\"x\""}, {"\" keep \"", " keep "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniDocument::unquoteValue(c.raw), c.value) << c.raw;
}

TEST(IniDocument, WhatIsWrittenIsReadBack) {
    // Blanks at the ends and enclosing quotes would be eaten by the reader; line breaks would
    // break the file: the writer protects all of them.
    const char* values[] = {"",   "texte",     " devant", "derrière ",  "\"entre guillemets\"",
                            "\"", "a \"b\" c", "[Param]", "clé=valeur", "; pas un commentaire"};
    for (const char* v : values) {
        IniDocument doc;
        doc.setValue("S", "K", v);
        EXPECT_EQ(IniDocument::parse(doc.serialize()).value("S", "K"), v) << v;
    }
}

TEST(IniDocument, LineBreaksInAValueCannotInjectEntries) {
    IniDocument doc;
    doc.setValue("Alerte1", "Info1", "ligne 1\r\nligne 2\n[Param]\rImg=3");
    const auto back = IniDocument::parse(doc.serialize());
    EXPECT_EQ(back.value("Alerte1", "Info1"), "ligne 1 ligne 2 [Param] Img=3");
    EXPECT_FALSE(back.hasSection("Param"));
    EXPECT_EQ(back.sectionNames().size(), 1u);
}

TEST(IniDocument, ReplacedEntryKeepsItsPlaceNewOnesGoToTheEnd) {
    auto doc = IniDocument::parse("[A]\nk1=1\nk2=2\n\n[B]\nx=1\n");
    doc.setValue("a", "K1", "un");  // replaced in place, key spelling kept
    doc.setValue("A", "k3", "3");   // after the last entry of A, before the blank line
    doc.setValue("C", "y", "neuf"); // new section at the end
    EXPECT_EQ(doc.serialize(), "[A]\r\nk1=un\r\nk2=2\r\nk3=3\r\n\r\n[B]\r\nx=1\r\n[C]\r\ny=neuf\r\n");
}

TEST(IniDocument, RemovingASectionTakesAllItsLinesAndOnlyThose) {
    auto doc = IniDocument::parse("; tête\n[Alerte1]\nInfo1=a\n; note\n[Alerte2]\nInfo1=b\n[Param]\nNb=2\n");
    EXPECT_TRUE(doc.removeSection("ALERTE1"));
    EXPECT_EQ(doc.serialize(), "; tête\r\n[Alerte2]\r\nInfo1=b\r\n[Param]\r\nNb=2\r\n");
    EXPECT_FALSE(doc.removeSection("Alerte1"));
    EXPECT_TRUE(doc.removeSection("Param"));
    EXPECT_EQ(doc.serialize(), "; tête\r\n[Alerte2]\r\nInfo1=b\r\n");
}

TEST(IniDocument, LinesItDoesNotUnderstandAreKeptAsTheyStand) {
    const std::string text =
        "garbage before any section\r\n[Alerte1]\r\n; a comment\r\n# another\r\n"
        "stray words\r\n  indented=value  \r\n=no key\r\n[unclosed\r\n[Foreign]\r\nx=y\r\n";
    auto doc = IniDocument::parse(text);
    EXPECT_EQ(doc.serialize(), text);
    doc.setValue("Alerte1", "Info2", "01/01/2027");
    const std::string after = doc.serialize();
    EXPECT_NE(after.find("stray words\r\n"), std::string::npos);
    EXPECT_NE(after.find("[unclosed\r\n"), std::string::npos);
    EXPECT_NE(after.find("  indented=value  \r\n"), std::string::npos);
    EXPECT_NE(after.find("[Foreign]\r\nx=y\r\n"), std::string::npos);
    EXPECT_EQ(doc.value("Alerte1", "stray words"), std::nullopt) << "a line without '=' is no entry";
}

TEST(IniDocument, LfAloneAndMissingFinalBreakAreAccepted) {
    const auto doc = IniDocument::parse("[S]\nk=v\r\nlast=end");
    EXPECT_EQ(doc.value("S", "k"), "v");
    EXPECT_EQ(doc.value("S", "last"), "end");
    EXPECT_EQ(doc.serialize(), "[S]\r\nk=v\r\nlast=end\r\n");
}

TEST(IniDocument, DuplicatesTheFirstOneCounts) {
    auto doc = IniDocument::parse("[S]\nk=first\nk=second\n[s]\nk=other section\nj=only here\n");
    EXPECT_EQ(doc.value("S", "k"), "first");
    EXPECT_EQ(doc.value("S", "j"), std::nullopt) << "reads use the first section of a name";
    doc.setValue("S", "K", "new");
    EXPECT_EQ(doc.serialize(), "[S]\r\nk=new\r\nk=second\r\n[s]\r\nk=other section\r\nj=only here\r\n");
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"S", "s"}));
    // Removing the first uncovers the second instead of losing it.
    doc.removeSection("S");
    EXPECT_EQ(doc.value("S", "j"), "only here");
}

TEST(IniDocument, SectionNamesInFileOrder) {
    const auto doc = IniDocument::parse("[Param]\n[Alerte2]\n[Alerte1]\n[]\n[alerte9]\n");
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::string>{"Param", "Alerte2", "Alerte1", "", "alerte9"}));
    EXPECT_EQ(doc.sectionSpelling("ALERTE9"), "alerte9");
}

TEST(IniDocument, EntriesOfASection) {
    const auto doc = IniDocument::parse("[A]\nx=1\n; c\ny = \"2\"\n[B]\nz=3\n");
    const auto e = doc.entries("a");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0], (std::pair<std::string, std::string>{"x", "1"}));
    EXPECT_EQ(e[1], (std::pair<std::string, std::string>{"y", "2"}));
    EXPECT_TRUE(doc.entries("missing").empty());
}

TEST(IniDocument, EditsLookUpAsTheSameTextParsedAfresh) {
    // Many edits in a row, on names that clash by case, repeat and come back after removal:
    // what the edited document answers must be what its own text answers once parsed again.
    std::mt19937 rng(20261207);
    const char* const sections[] = {"Alerte1", "alerte1", "Alerte2", "Param", "Autre", "Alerte10"};
    const char* const keys[] = {"Info1", "info1", "Info2", "Nb", "Fond"};
    IniDocument doc = IniDocument::parse("; commentaire\r\n[Alerte2]\r\nInfo1=a\r\n\r\n[Param]\r\nNb=1\r\n");
    for (int step = 0; step < 400; ++step) {
        const char* section = sections[rng() % std::size(sections)];
        if (rng() % 5 == 0)
            doc.removeSection(section);
        else
            doc.setValue(section, keys[rng() % std::size(keys)], "v" + std::to_string(step));
        const IniDocument fresh = IniDocument::parse(doc.serialize());
        ASSERT_EQ(doc.sectionNames(), fresh.sectionNames()) << "step " << step;
        for (const char* s : sections) {
            ASSERT_EQ(doc.sectionSpelling(s), fresh.sectionSpelling(s)) << "step " << step << " " << s;
            for (const char* k : keys)
                ASSERT_EQ(doc.value(s, k), fresh.value(s, k)) << "step " << step << " " << s << " " << k;
        }
    }
}
