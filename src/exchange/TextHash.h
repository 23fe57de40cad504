#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zento {

/// 64-bit FNV-1a of the bytes as 16 hexadecimal digits: a short stable name for a text (never
/// for security).
inline std::string TextHash(std::string_view text) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4)
        out[static_cast<std::size_t>(i)] = kHex[h & 0xF];
    return out;
}

} // namespace zento
