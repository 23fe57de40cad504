#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace zento {

/// What the header of a RIFF/WAVE file says about its sound.
struct WavInfo {
    std::uint16_t formatTag = 0; ///< 1 is integer PCM, 3 float, 0xFFFE extensible
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0; ///< bytes per second of sound, never 0 here
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    /// Bytes of sound actually in the file: the "data" chunk's declared size, cut to the end
    /// of the file when the file is shorter (a recording that was cut off).
    std::uint64_t dataSize = 0;

    /// The duration: data size divided by byte rate (exact for PCM, the average for a
    /// compressed format).
    double seconds() const { return static_cast<double>(dataSize) / byteRate; }
};

/// Reads the header of a WAV file held in memory (the whole file, so that a data size running
/// past its end can be cut to what is there). Walks the chunks after "RIFF" size "WAVE": each
/// one a 4-byte id and a little-endian 32-bit size, its body padded to an even length; the
/// first "fmt " and the first "data" chunk count, wherever they stand, any other chunk
/// ("LIST", "fact", ...) is skipped, and the RIFF size is not trusted (streaming writers leave
/// it wrong). A chunk size of 0xFFFFFFFF or any other past the end ends the walk.
/// nullopt when the bytes are not RIFF/WAVE, are cut off before the "data" chunk's header,
/// lack a "fmt " chunk (or its first 12 bytes) or a "data" chunk, or give a byte rate of 0.
std::optional<WavInfo> parseWavInfo(std::string_view bytes);

/// The same as parseWavInfo for a file on disk, reading only its chunk headers and the start
/// of "fmt ": the sound itself is never loaded, however large the file. nullopt also when the
/// path is missing, is not a regular file (a folder, a pipe) or cannot be read.
std::optional<WavInfo> readWavInfo(const std::filesystem::path& path);

/// A duration in seconds as HH:MM:SS, each field of at least two digits, the hours taking more
/// when needed ("00:01:16", "100:00:00"). The seconds are first rounded to a whole number, a
/// half to the even neighbour (75.5 gives 76, 74.5 gives 74, 0.5 gives 0), held in 32 bits.
/// Values that are no duration give a bounded result rather than a crash or a garbled text:
/// a negative value or NaN counts as 0, anything above 2^31 - 1 seconds (infinity included)
/// as 2^31 - 1 ("596523:14:07").
std::string FormatDuration(double seconds);

/// The duration of a WAV file as HH:MM:SS; "00:00:00" for anything unreadable (a missing,
/// empty, truncated or non-WAV file, see parseWavInfo). Only the header is read.
std::string GetMediaLength(const std::filesystem::path& path);

} // namespace zento
