#pragma once

#include <string>
#include <string_view>

namespace zento {

/// How a store file's bytes were (or will be) encoded.
enum class StoreEncoding { Windows1252, Utf8, Utf8WithBom };

/// Text decoded from a store file, as UTF-8, with the encoding it was found in.
struct DecodedText {
    std::string utf8;
    StoreEncoding encoding = StoreEncoding::Windows1252;
};

/// True when `bytes` is well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

/// Decodes a store file: a UTF-8 byte-order mark or well-formed UTF-8 is read as UTF-8,
/// anything else as Windows-1252. Every byte sequence decodes; none is dropped.
DecodedText decodeStoreBytes(std::string_view bytes);
/// The same, taking the bytes over: UTF-8 text is kept in place instead of copied.
DecodedText decodeOwnedStoreBytes(std::string bytes);

/// Windows-1252 bytes to UTF-8. The five bytes that code page leaves undefined map to the
/// C1 controls of the same value, as Windows does, so they survive a round trip.
std::string windows1252ToUtf8(std::string_view bytes);

/// True when every character of the UTF-8 text has a Windows-1252 byte.
bool fitsWindows1252(std::string_view utf8);

/// Encodes text for writing: Windows-1252 when every character fits, otherwise UTF-8 with a
/// byte-order mark, so that no character the user typed is lost. UTF-8 is also chosen when the
/// Windows-1252 bytes would themselves read as UTF-8, so that the text always reads back.
std::string encodeStoreText(std::string_view utf8);

} // namespace zento
