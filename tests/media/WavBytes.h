#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// WAV files built from their chunks, for the tests that measure and play them.
namespace zento::test::wav {

inline std::string le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

/// A chunk, padded to an even length, its size as declared (the true size by default).
inline std::string chunk(std::string_view id, std::string_view body, std::int64_t declared = -1) {
    const auto size = static_cast<std::uint32_t>(declared < 0 ? std::int64_t(body.size()) : declared);
    return std::string(id) + le(size, 4) + std::string(body) + std::string(body.size() % 2, '\0');
}

/// Integer PCM.
inline std::string fmt(std::uint32_t rate, std::uint16_t channels = 1, std::uint16_t bits = 16) {
    const auto block = static_cast<std::uint16_t>(channels * bits / 8);
    return chunk("fmt ",
                 le(1, 2) + le(channels, 2) + le(rate, 4) + le(rate * block, 4) + le(block, 2) + le(bits, 2));
}

inline std::string data(std::size_t bytes, std::int64_t declared = -1) {
    return chunk("data", std::string(bytes, '\x11'), declared);
}

inline std::string riff(const std::string& chunks) {
    return "RIFF" + le(static_cast<std::uint32_t>(chunks.size() + 4), 4) + "WAVE" + chunks;
}

} // namespace zento::test::wav
