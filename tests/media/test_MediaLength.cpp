#include "media/MediaLength.h"
#include "media/WavBytes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

using namespace zento;
using namespace std::literals;
using namespace zento::test;
using namespace zento::test::wav;

namespace {

/// The duration the bytes give on disk, checked against what they give in memory.
std::string lengthOf(const std::string& bytes) {
    TempDir dir;
    writeFile(dir / "a.wav", bytes);
    const auto size = [](const auto& info) { return info ? std::int64_t(info->dataSize) : -1; };
    EXPECT_EQ(size(readWavInfo(dir / "a.wav")), size(parseWavInfo(bytes)));
    return GetMediaLength(dir / "a.wav");
}

} // namespace

TEST(FormatDuration, RoundsHalvesToEvenAndBoundsWhatIsNoDuration) {
    for (const std::string c : {"0.5 00:00:00", "1.5 00:00:02", "2.5 00:00:02", "59.6 00:01:00",
                                "86399 23:59:59", "360000 100:00:00", "-3725 00:00:00", "nan 00:00:00",
                                "2147483647.5 596523:14:07", "inf 596523:14:07"}) {
        const auto blank = c.find(' ');
        EXPECT_EQ(FormatDuration(std::stod(c.substr(0, blank))), c.substr(blank + 1)) << c;
    }
}

TEST(MediaLength, MeasuresPcmWhateverTheChunksAroundAndGivesZeroForWhatCannotBeMeasured) {
    const std::string list = chunk("LIST", "INFOISFT\x05\0\0\0Zento"sv); // odd: padded
    const std::pair<std::string, const char*> measured[] = {
        {riff(fmt(8000) + data(16000)), "00:00:01"},
        {riff(fmt(44100, 2) + data(44100 * 4 * 3)), "00:00:03"},
        {riff(chunk("JUNK", "abc") + fmt(8000) + list + chunk("fact", "") + data(32000)), "00:00:02"},
        {riff(data(32000) + fmt(8000) + list), "00:00:02"},
        {riff(fmt(8000) + data(15998) + data(80000)), "00:00:01"}, // the first "data" counts
        // Declared past the end of the file: the 4 s present count, not the 60 s announced.
        {riff(fmt(8000) + data(64000, 60 * 16000)), "00:00:04"},
        {riff(fmt(8000) + data(64000, 0xFFFFFFFF)), "00:00:04"},
        {riff(fmt(8000) + data(0)), "00:00:00"}};
    for (const auto& [bytes, text] : measured)
        EXPECT_EQ(lengthOf(bytes), text) << bytes.size() << " bytes";

    const std::string good = riff(fmt(8000) + data(32000)); // "fmt " at 12, its byte rate at 28, "data" at 36
    std::vector<std::string> unmeasurable = {
        "", good.substr(0, 12), good.substr(0, 30), good.substr(0, 40), std::string(4096, '\xA5'),
        riff(chunk("fmt ", std::string(10, '\1')) + data(2)),
        // A chunk claiming 4 GiB before "fmt ": the walk leaves the file instead of looping.
        riff(chunk("LIST", "xx", 0xFFFFFFFF) + good.substr(12))};
    // Damaged in place: the RIFF or WAVE mark, the "fmt " or "data" name, the byte rate (0).
    const std::pair<std::size_t, std::string> damages[] = {
        {0, "RIFX"}, {8, "AVI "}, {12, "fmt_"}, {36, "date"}, {28, std::string(4, '\0')}};
    for (const auto& [at, with] : damages)
        unmeasurable.push_back(std::string(good).replace(at, 4, with));
    for (const auto& bytes : unmeasurable) {
        EXPECT_FALSE(parseWavInfo(bytes)) << bytes.size() << " bytes";
        EXPECT_EQ(lengthOf(bytes), "00:00:00") << bytes.size() << " bytes";
    }
    TempDir dir;
    EXPECT_EQ(GetMediaLength(dir / "absent.wav"), "00:00:00");
    EXPECT_EQ(GetMediaLength(dir.path()), "00:00:00");
}

TEST(MediaLength, ShippedSoundsAreShort16BitPcm) {
    for (const char* name : {"Defaut.wav", "Carillon.wav", "Reveil.wav"}) {
        const auto info = readWavInfo(std::filesystem::path(ZENTO_SOURCE_WAVE_DIR) / name);
        ASSERT_TRUE(info) << name;
        EXPECT_EQ(std::tuple(info->formatTag, info->bitsPerSample), std::tuple(1, 16)) << name;
        EXPECT_TRUE(info->seconds() > 0.5 && info->seconds() < 3.0) << name;
    }
}
