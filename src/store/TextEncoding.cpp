#include "store/TextEncoding.h"

#include <array>
#include <cstdint>
#include <optional>

namespace zento {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Code points of Windows-1252 bytes 0x80..0x9F; the undefined ones keep their own value.
constexpr std::array<char32_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// Decodes one code point at `i` of well-formed UTF-8 and advances `i`; nullopt when malformed.
std::optional<char32_t> nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + static_cast<std::size_t>(extra) >= s.size())
        return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    i += extra + 1;
    return cp;
}

std::optional<unsigned char> windows1252Byte(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<unsigned char>(cp);
    for (std::size_t k = 0; k < kHigh.size(); ++k)
        if (kHigh[k] == cp)
            return static_cast<unsigned char>(0x80 + k);
    return std::nullopt;
}

} // namespace

bool isValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size())
        if (!nextCodePoint(bytes, i))
            return false;
    return true;
}

std::string windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else if (b < 0xA0)
            appendUtf8(out, kHigh[b - 0x80]);
        else
            appendUtf8(out, b);
    }
    return out;
}

DecodedText decodeStoreBytes(std::string_view bytes) {
    if (bytes.substr(0, kBom.size()) == kBom)
        return {std::string(bytes.substr(kBom.size())), StoreEncoding::Utf8WithBom};
    if (isValidUtf8(bytes))
        return {std::string(bytes), StoreEncoding::Utf8};
    return {windows1252ToUtf8(bytes), StoreEncoding::Windows1252};
}

DecodedText decodeOwnedStoreBytes(std::string bytes) {
    if (std::string_view(bytes).substr(0, kBom.size()) == kBom) {
        bytes.erase(0, kBom.size());
        return {std::move(bytes), StoreEncoding::Utf8WithBom};
    }
    if (isValidUtf8(bytes))
        return {std::move(bytes), StoreEncoding::Utf8};
    return {windows1252ToUtf8(bytes), StoreEncoding::Windows1252};
}

bool fitsWindows1252(std::string_view utf8) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto cp = nextCodePoint(utf8, i);
        if (!cp || !windows1252Byte(*cp))
            return false;
    }
    return true;
}

std::string encodeStoreText(std::string_view utf8) {
    if (!fitsWindows1252(utf8)) {
        std::string out(kBom);
        out += utf8;
        return out;
    }
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size())
        out += static_cast<char>(*windows1252Byte(*nextCodePoint(utf8, i)));
    // Windows-1252 bytes that happen to form UTF-8 ("Ã©" gives the bytes of "é") or to start
    // with its mark ("ï»¿") would be read back as UTF-8, changing the text: write UTF-8 then.
    if (out != utf8 && (out.starts_with(kBom) || isValidUtf8(out))) {
        out = kBom;
        out += utf8;
    }
    return out;
}

} // namespace zento
