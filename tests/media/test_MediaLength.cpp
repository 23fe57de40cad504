#include "media/MediaLength.h"
#include "support/TestEnvironment.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

using namespace zento;
using zento::test::TempDir;

namespace {

std::string le(std::uint32_t v, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string chunk(std::string_view id, std::string_view body, std::uint32_t declared) {
    std::string c = std::string(id) + le(declared, 4) + std::string(body);
    if (body.size() % 2)
        c += '\0';
    return c;
}
std::string chunk(std::string_view id, std::string_view body) {
    return chunk(id, body, static_cast<std::uint32_t>(body.size()));
}

/// The bytes of a WAV file; the chunk lists go before "fmt ", between it and "data", after "data".
struct Wav {
    std::uint32_t rate = 8000;
    std::uint16_t channels = 1;
    std::uint16_t bits = 16;
    std::uint32_t frames = 8000;
    std::vector<std::string> before{}, between{}, after{};
    std::uint32_t declaredData = 0; ///< 0: the true size
    bool fmtAfterData = false;

    std::string bytes() const {
        const std::uint16_t block = static_cast<std::uint16_t>(channels * bits / 8);
        const std::string fmt = chunk("fmt ", le(1, 2) + le(channels, 2) + le(rate, 4) + le(rate * block, 4) +
                                                  le(block, 2) + le(bits, 2));
        const std::string samples(std::size_t{frames} * block, '\x11');
        const std::string data =
            chunk("data", samples, declaredData ? declaredData : static_cast<std::uint32_t>(samples.size()));
        std::string body = "WAVE";
        for (const auto& c : before)
            body += c;
        body += fmtAfterData ? data + fmt : fmt;
        for (const auto& c : between)
            body += c;
        body += fmtAfterData ? "" : data;
        for (const auto& c : after)
            body += c;
        return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
    }
};

/// The duration the file gives on disk, checked against what the same bytes give in memory.
std::string lengthOf(const std::string& bytes) {
    TempDir dir;
    zento::test::writeFile(dir / "a.wav", bytes);
    const auto fromFile = readWavInfo(dir / "a.wav");
    const auto fromMemory = parseWavInfo(bytes);
    EXPECT_EQ(fromFile.has_value(), fromMemory.has_value());
    if (fromFile && fromMemory) {
        EXPECT_EQ(fromFile->dataSize, fromMemory->dataSize);
    }
    return GetMediaLength(dir / "a.wav");
}

} // namespace

TEST(FormatDuration, RoundsHalvesToEvenAndPadsFields) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double seconds;
        const char* text;
    } cases[] = {
        {0, "00:00:00"},
        {0.5, "00:00:00"},
        {1.5, "00:00:02"},
        {2.5, "00:00:02"},
        {74.5, "00:01:14"},
        {75.5, "00:01:16"},
        {75.49, "00:01:15"},
        {59.6, "00:01:00"},
        {3599.5, "01:00:00"},
        {3725, "01:02:05"},
        {86399, "23:59:59"},
        {360000, "100:00:00"},
        {-0.4, "00:00:00"},
        {-3725, "00:00:00"},
        {std::nan(""), "00:00:00"},
        {-inf, "00:00:00"},
        {2147483646.5, "596523:14:06"},
        {2147483647.5, "596523:14:07"},
        {1e300, "596523:14:07"},
        {inf, "596523:14:07"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDuration(c.seconds), c.text) << c.seconds;
}

TEST(MediaLength, MeasuresPcmFilesOfAnyLayout) {
    const std::string list = chunk("LIST", std::string("INFOISFT\x05\0\0\0Zento", 17)); // odd: padded
    const struct {
        Wav wav;
        const char* text;
    } cases[] = {
        {Wav{}, "00:00:01"},
        {Wav{.frames = 16000}, "00:00:02"},
        {Wav{.bits = 8, .frames = 12000}, "00:00:02"}, // 1.5 s, half to even
        {Wav{.bits = 8, .frames = 20000}, "00:00:02"}, // 2.5 s
        {Wav{.rate = 44100, .channels = 2, .frames = 44100 * 3}, "00:00:03"},
        {Wav{.rate = 44100, .channels = 2, .bits = 8, .frames = 44100 * 5 + 22000}, "00:00:05"},
        {Wav{.frames = 16000, .before = {chunk("JUNK", "abc")}, .between = {list, chunk("fact", "")}},
         "00:00:02"},
        {Wav{.frames = 16000, .after = {list}, .fmtAfterData = true}, "00:00:02"},
        {Wav{.frames = 7999, .after = {chunk("data", std::string(80000, 'x'))}}, "00:00:01"}, // first data
        // Declared past the end of the file: the 4 s present count, not the 60 s announced.
        {Wav{.frames = 32000, .declaredData = 60 * 16000}, "00:00:04"},
        {Wav{.frames = 32000, .declaredData = 0xFFFFFFFF}, "00:00:04"},
        {Wav{.frames = 0}, "00:00:00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(lengthOf(c.wav.bytes()), c.text) << c.wav.rate << " Hz " << c.wav.frames << " frames";

    const auto info = parseWavInfo(Wav{.rate = 44100, .channels = 2, .bits = 8}.bytes());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->formatTag, 1);
    EXPECT_EQ(info->channels, 2);
    EXPECT_EQ(info->sampleRate, 44100u);
    EXPECT_EQ(info->byteRate, 88200u);
    EXPECT_EQ(info->blockAlign, 2);
    EXPECT_EQ(info->bitsPerSample, 8);
    EXPECT_EQ(info->dataSize, 16000u);
}

TEST(MediaLength, GivesZeroForWhatCannotBeMeasured) {
    const std::string good = Wav{.frames = 16000}.bytes(); // fmt at 12, data header at 36
    std::string rifx = good, avi = good, noFmt = good, noData = good, zeroRate = good;
    rifx[3] = 'X';
    avi.replace(8, 4, "AVI ");
    noFmt.replace(12, 4, "fmt_");
    noData.replace(36, 4, "date");
    zeroRate.replace(28, 4, std::string(4, '\0'));
    const std::string cases[] = {
        "",
        "RIFF",
        good.substr(0, 12),
        good.substr(0, 30), // inside "fmt "
        good.substr(0, 40), // inside the data chunk's header
        std::string(4096, '\xA5'),
        rifx,
        avi,
        noFmt,
        noData,
        zeroRate,
        "RIFF" + le(30, 4) + "WAVE" + chunk("fmt ", std::string(10, '\1')) + chunk("data", "ab"),
        // A chunk claiming 4 GiB before "fmt ": the walk leaves the file instead of looping.
        "RIFF" + le(0, 4) + "WAVE" + chunk("LIST", "xx", 0xFFFFFFFF) + good.substr(12),
        "RIFF" + le(0, 4) + "WAVE" + chunk("LIST", "xx", 0xFFFFFFFE) + good.substr(12),
    };
    for (const auto& bytes : cases) {
        EXPECT_FALSE(parseWavInfo(bytes)) << bytes.size() << " bytes";
        EXPECT_EQ(lengthOf(bytes), "00:00:00") << bytes.size() << " bytes";
    }

    TempDir dir;
    EXPECT_EQ(GetMediaLength(dir / "absent.wav"), "00:00:00");
    EXPECT_EQ(GetMediaLength(dir.path()), "00:00:00");
}

TEST(MediaLength, MeasuresALongRecordingFromItsHeader) {
    // 1 h 1 min 1 s of 8-bit mono at 8000 Hz, made sparse: the samples are never written.
    TempDir dir;
    const std::uint32_t size = 3661 * 8000;
    zento::test::writeFile(dir / "long.wav", Wav{.bits = 8, .frames = 0, .declaredData = size}.bytes());
    std::filesystem::resize_file(dir / "long.wav", 44 + size);
    EXPECT_EQ(GetMediaLength(dir / "long.wav"), "01:01:01");
}

TEST(MediaLength, ShippedSoundsAreShort16BitPcm) {
    for (const char* name : {"Defaut.wav", "Carillon.wav", "Reveil.wav"}) {
        const auto info = readWavInfo(std::filesystem::path(ZENTO_SOURCE_WAVE_DIR) / name);
        ASSERT_TRUE(info) << name;
        EXPECT_EQ(info->formatTag, 1) << name;
        EXPECT_EQ(info->bitsPerSample, 16) << name;
        EXPECT_GT(info->seconds(), 0.5) << name;
        EXPECT_LT(info->seconds(), 3.0) << name;
    }
}
