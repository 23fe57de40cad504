#include "media/MediaLength.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <system_error>

namespace zento {
namespace {

// A real WAV file has a handful of chunks; the bound keeps a large file of garbage (think
// thousands of empty chunks) from being walked eight bytes at a time.
constexpr int kMaxChunks = 4096;

std::uint16_t le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool isId(const unsigned char* p, const char (&id)[5]) {
    return std::memcmp(p, id, 4) == 0;
}

/// Walks the chunks of a WAV file of `size` bytes. `readAt(offset, out, n)` copies up to n
/// bytes from that offset and returns how many it could, so the same walk serves a file in
/// memory and one on disk. Sizes are 64-bit sums: a chunk size of 0xFFFFFFFF cannot wrap
/// round, it simply carries the walk past the end.
template <class ReadAt>
std::optional<WavInfo> walkChunks(std::uint64_t size, ReadAt&& readAt) {
    unsigned char riff[12];
    if (size < sizeof riff || readAt(0, riff, sizeof riff) != sizeof riff)
        return std::nullopt;
    if (!isId(riff, "RIFF") || !isId(riff + 8, "WAVE"))
        return std::nullopt;

    WavInfo info;
    bool haveFmt = false;
    bool haveData = false;
    std::uint64_t pos = sizeof riff;
    for (int i = 0; i < kMaxChunks && !(haveFmt && haveData) && size - pos >= 8; ++i) {
        unsigned char head[8];
        if (readAt(pos, head, sizeof head) != sizeof head)
            return std::nullopt;
        const std::uint64_t body = pos + sizeof head;
        const std::uint64_t length = le32(head + 4);
        if (!haveFmt && isId(head, "fmt ")) {
            // Only the first 16 bytes matter: tag, channels, rate, byte rate, block, bits.
            unsigned char fmt[16] = {};
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length, sizeof fmt));
            if (want < 12 || readAt(body, fmt, want) != want)
                return std::nullopt;
            info.formatTag = le16(fmt);
            info.channels = le16(fmt + 2);
            info.sampleRate = le32(fmt + 4);
            info.byteRate = le32(fmt + 8);
            info.blockAlign = le16(fmt + 12);
            info.bitsPerSample = le16(fmt + 14);
            haveFmt = true;
        } else if (!haveData && isId(head, "data")) {
            // A recording cut off (or a writer that never came back to fill the size in) claims
            // more than is there: what is there is what will play.
            info.dataSize = std::min(length, size - body);
            haveData = true;
        }
        pos = body + length + (length & 1);
        if (pos > size)
            break;
    }
    if (!haveFmt || !haveData || info.byteRate == 0)
        return std::nullopt;
    return info;
}

} // namespace

std::optional<WavInfo> parseWavInfo(std::string_view bytes) {
    return walkChunks(bytes.size(), [bytes](std::uint64_t offset, unsigned char* out, std::size_t n) {
        if (offset >= bytes.size())
            return std::size_t{0};
        const std::size_t got = std::min<std::size_t>(n, bytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(out, bytes.data() + offset, got);
        return got;
    });
}

std::optional<WavInfo> readWavInfo(const std::filesystem::path& path) {
    std::error_code ec;
    // Not only missing files: a folder or a named pipe must not be opened (a pipe would block).
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    const std::uint64_t size = std::filesystem::file_size(path, ec);
    if (ec)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return walkChunks(size, [&in](std::uint64_t offset, unsigned char* out, std::size_t n) {
        in.clear();
        if (!in.seekg(static_cast<std::streamoff>(offset)))
            return std::size_t{0};
        in.read(reinterpret_cast<char*>(out), static_cast<std::streamsize>(n));
        return static_cast<std::size_t>(in.gcount());
    });
}

std::string FormatDuration(double seconds) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    std::int32_t n = 0;
    if (seconds > 0) { // false for NaN too
        // Rounded by hand, halves to even: the C library's mode is global state we do not own.
        double whole = std::floor(seconds);
        const double frac = seconds - whole;
        if (frac > 0.5 || (frac == 0.5 && std::fmod(whole, 2.0) != 0.0))
            whole += 1.0;
        n = whole >= static_cast<double>(kMax) ? kMax : static_cast<std::int32_t>(whole);
    }
    const std::int32_t h = n / 3600;
    const std::int32_t m = (n - 3600 * h) / 60;
    const std::int32_t s = n - 3600 * h - 60 * m;
    char text[48];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", static_cast<int>(h), static_cast<int>(m),
                  static_cast<int>(s));
    return text;
}

std::string GetMediaLength(const std::filesystem::path& path) {
    const auto info = readWavInfo(path);
    return FormatDuration(info ? info->seconds() : 0.0);
}

} // namespace zento
