#include "store/TextEncoding.h"

#include <gtest/gtest.h>

using namespace zento;

TEST(TextEncoding, Windows1252FilesReadAsTheirFrenchLetters) {
    // "é è à ç € œ" as a French Windows system writes them.
    const std::string bytes = "\xE9 \xE8 \xE0 \xE7 \x80 \x9C";
    const DecodedText d = decodeStoreBytes(bytes);
    EXPECT_EQ(d.encoding, StoreEncoding::Windows1252);
    EXPECT_EQ(d.utf8, "é è à ç € œ");
}

TEST(TextEncoding, Utf8IsRecognisedWithAndWithoutBom) {
    EXPECT_EQ(decodeStoreBytes("R\xC3\xA9union").encoding, StoreEncoding::Utf8);
    EXPECT_EQ(decodeStoreBytes("R\xC3\xA9union").utf8, "Réunion");
    const DecodedText bom = decodeStoreBytes("\xEF\xBB\xBF"
                                             "caf\xC3\xA9");
    EXPECT_EQ(bom.encoding, StoreEncoding::Utf8WithBom);
    EXPECT_EQ(bom.utf8, "café");
}

TEST(TextEncoding, MalformedUtf8FallsBackToWindows1252) {
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"lone continuation byte", "a\x80z"},    {"truncated sequence at the end", "caf\xC3"},
        {"overlong slash", "\xC0\xAF"},          {"surrogate", "\xED\xA0\x80"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(isValidUtf8(c.bytes)) << c.what;
        EXPECT_EQ(decodeStoreBytes(c.bytes).encoding, StoreEncoding::Windows1252) << c.what;
    }
}

TEST(TextEncoding, EveryByteSurvivesARoundTrip) {
    // Binary junk in a hand-damaged file must be written back exactly as it was.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const DecodedText d = decodeStoreBytes(all);
    ASSERT_EQ(d.encoding, StoreEncoding::Windows1252);
    EXPECT_EQ(encodeStoreText(d.utf8), all);
}

TEST(TextEncoding, WritesWindows1252WhenEverythingFitsAndUtf8Otherwise) {
    EXPECT_EQ(encodeStoreText("Noël à 9h €"), "No\xEBl \xE0 9h \x80");
    EXPECT_TRUE(fitsWindows1252("œuvre"));
    // A character outside the code page makes the whole file UTF-8 with a BOM: nothing is lost.
    EXPECT_FALSE(fitsWindows1252("Anniversaire 🎂"));
    EXPECT_EQ(encodeStoreText("é 🎂"), "\xEF\xBB\xBF"
                                      "é 🎂");
    EXPECT_EQ(decodeStoreBytes(encodeStoreText("é 🎂")).utf8, "é 🎂");
    EXPECT_EQ(encodeStoreText("Ω"), "\xEF\xBB\xBFΩ");
}

TEST(TextEncoding, TextWhoseWindows1252BytesLookLikeUtf8ReadsBackUnchanged) {
    // Found by fuzzing: a file read as Windows-1252 holding "Ã©" was written back as the bytes
    // C3 A9, which the next load read as UTF-8 "é". Such text is saved as UTF-8 instead.
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"mojibake of é", "Rendez-vous Ã© 9h"},
        {"degree sign", "Il fait 20Â°"},
        {"mark at the start", "ï»¿début"},
        {"mark alone", "ï»¿"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeStoreBytes(encodeStoreText(c.text)).utf8, c.text) << c.what;
        EXPECT_EQ(encodeStoreText(c.text).substr(0, 3), "\xEF\xBB\xBF") << c.what;
    }
    // The same letters next to one that is not UTF-8 once encoded still go out as Windows-1252.
    EXPECT_EQ(encodeStoreText("Ã© à"), "\xC3\xA9 \xE0");
    EXPECT_EQ(decodeStoreBytes("\xC3\xA9 \xE0").utf8, "Ã© à");
}
