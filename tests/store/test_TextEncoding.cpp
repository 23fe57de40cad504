#include "store/TextEncoding.h"

#include <gtest/gtest.h>

using namespace zento;

TEST(TextEncoding, ReadsUtf8WithOrWithoutMarkAndAnythingElseAsWindows1252ByteForByte) {
    std::string everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += static_cast<char>(b);
    // The text read, or nullptr where it is checked by writing it back.
    const std::tuple<const char*, std::string, StoreEncoding, const char*> cases[] = {
        {"Windows-1252 letters", "\xE9 \xE8 \xE0 \xE7 \x80 \x9C", StoreEncoding::Windows1252, "é è à ç € œ"},
        {"UTF-8", "R\xC3\xA9union", StoreEncoding::Utf8, "Réunion"},
        {"UTF-8 with its mark", "\xEF\xBB\xBFR\xC3\xA9union", StoreEncoding::Utf8WithBom, "Réunion"},
        {"lone continuation byte", "a\x80z", StoreEncoding::Windows1252, "a€z"},
        {"sequence cut at the end", "caf\xC3", StoreEncoding::Windows1252, nullptr},
        {"overlong slash", "\xC0\xAF", StoreEncoding::Windows1252, nullptr},
        {"surrogate", "\xED\xA0\x80", StoreEncoding::Windows1252, nullptr},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", StoreEncoding::Windows1252, nullptr},
        {"every byte, as binary junk in a damaged file", everyByte, StoreEncoding::Windows1252, nullptr}};
    for (const auto& [what, bytes, encoding, text] : cases) {
        SCOPED_TRACE(what);
        const DecodedText d = decodeStoreBytes(bytes);
        EXPECT_EQ(d.encoding, encoding);
        if (text)
            EXPECT_EQ(d.utf8, text);
        else
            EXPECT_EQ(encodeStoreText(d.utf8), bytes);
    }
}

TEST(TextEncoding, WritesWindows1252WhenItReadsBackAndUtf8WithAMarkOtherwise) {
    const std::pair<const char*, std::string> cases[] = {
        {"Noël à 9h € œuvre", "No\xEBl \xE0 9h \x80 \x9Cuvre"},
        // Characters outside the code page: the whole file goes UTF-8, nothing is lost.
        {"é 🎂", "\xEF\xBB\xBFé 🎂"},
        {"Ω", "\xEF\xBB\xBFΩ"},
        // Windows-1252 bytes that form UTF-8, or start with its mark, would read back as other text.
        {"Rendez-vous Ã© 9h", "\xEF\xBB\xBFRendez-vous Ã© 9h"},
        {"Il fait 20Â°", "\xEF\xBB\xBFIl fait 20Â°"},
        {"ï»¿début", "\xEF\xBB\xBFï»¿début"},
        // ... unless a letter next to them is not UTF-8 once encoded.
        {"Ã© à", "\xC3\xA9 \xE0"}};
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(encodeStoreText(text), bytes) << text;
        EXPECT_EQ(decodeStoreBytes(bytes).utf8, text) << text;
    }
}
