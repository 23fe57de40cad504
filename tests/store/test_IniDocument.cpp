#include "store/IniDocument.h"

#include <gtest/gtest.h>

using zento::IniDocument;

TEST(IniDocument, LooksUpNamesWithoutRegardToCaseAndBlanksTheFirstOfDuplicatesWinning) {
    const auto doc = IniDocument::parse("[Alerte3]\r\n  info1 =  Rendez-vous  \r\nINFO2=12/01/2027\r\n"
                                        "Info1=second\n;Info8=note\n#Info9=note\n[alerte3]\nInfo3=cachée\n"
                                        "[ Param ]\nImg=\"5\"\nlast=sans fin de ligne");
    // Info3 is in the second section of the name, which is never read.
    const std::tuple<const char*, const char*, std::optional<std::string>> cases[] = {
        {"ALERTE3", "Info1", "Rendez-vous"},    {"alerte3", " info2", "12/01/2027"},
        {"Alerte3", "Info3", std::nullopt},     {"Alerte3", ";Info8", std::nullopt},
        {"Alerte3", "#Info9", std::nullopt},    {"param", "IMG", "5"},
        {"Param", "last", "sans fin de ligne"}, {"Param", "Nb", std::nullopt},
        {"Alerte4", "Info1", std::nullopt}};
    for (const auto& [section, key, value] : cases)
        EXPECT_EQ(doc.value(section, key), value) << section << "/" << key;
}

TEST(IniDocument, WhatIsWrittenIsReadBackAndNeverBreaksTheLine) {
    // Blanks at the ends and enclosing quotes would be eaten by the reader; line breaks would
    // start lines of their own, even sections: the writer protects all of them.
    const auto readBack = [](const std::string& written) {
        IniDocument doc;
        doc.setValue("S", "K", written);
        const auto back = IniDocument::parse(doc.serialize());
        EXPECT_EQ(back.sectionNames().size(), 1u) << written;
        return back.value("S", "K");
    };
    for (const char* same : {"", " devant", "derrière ", "\"entre guillemets\"", "\"", "\"moitié",
                             "a \"b\" c", "clé=valeur ; pas un commentaire"})
        EXPECT_EQ(readBack(same), same);
    EXPECT_EQ(readBack("ligne 1\r\nligne 2\n[Param]\rImg=3"), "ligne 1 ligne 2 [Param] Img=3");
}

TEST(IniDocument, EditsChangeOnlyTheirOwnLines) {
    auto doc = IniDocument::parse("avant toute section\n[A]\nk1=1\n; note\nmots perdus\n"
                                  "  indented = value  \n=sans clé\n[non fermée\n\n[B]\nx=1\n[Foreign]\nx=y");
    doc.setValue("a", "K1", "un");  // replaced in place, key spelling kept
    doc.setValue("A", "k3", "3");   // after the last line of A, before the blank line
    doc.setValue("C", "y", "neuf"); // a new section at the end
    EXPECT_TRUE(doc.removeSection("b"));
    EXPECT_FALSE(doc.removeSection("B"));
    EXPECT_EQ(doc.serialize(),
              "avant toute section\r\n[A]\r\nk1=un\r\n; note\r\nmots perdus\r\n  indented = value  \r\n"
              "=sans clé\r\n[non fermée\r\nk3=3\r\n\r\n[Foreign]\r\nx=y\r\n[C]\r\ny=neuf\r\n");
    EXPECT_EQ(doc.value("A", "mots perdus"), std::nullopt) << "a line without '=' is no entry";
}
