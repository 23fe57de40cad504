#include "store/ColorValue.h"
#include "store/DateText.h"

#include <gtest/gtest.h>

using namespace zento;
using namespace std::chrono;

TEST(DateText, ReadsTheFrenchShortDateForm) {
    struct Case {
        const char* text;
        int y;
        unsigned m, d;
    };
    const Case good[] = {{"05/12/2026", 2026, 12, 5},   {"5/3/2024", 2024, 3, 5},
                         {" 29/02/2028 ", 2028, 2, 29}, {"01/01/1800", 1800, 1, 1},
                         {"31/12/9999", 9999, 12, 31},  {"1/01/2027", 2027, 1, 1}};
    for (const auto& c : good)
        EXPECT_EQ(ParseDate(c.text), (Date{year{c.y}, month{c.m}, day{c.d}})) << c.text;
    const char* bad[] = {"",           "29/02/2027",       "31/04/2026", "00/01/2026",
                         "01/13/2026", "123/1/2026",       "05/12/26",   "05/12/20266",
                         "05.12.2026", "05/12/2026 09:30", "+5/12/2026"};
    for (const char* b : bad)
        EXPECT_EQ(ParseDate(b), std::nullopt) << b;
}

TEST(DateText, WritesTwoDigitDayAndMonthAndFourDigitYear) {
    EXPECT_EQ(FormatDate(Date{year{2026}, month{12}, day{5}}), "05/12/2026");
    EXPECT_EQ(FormatDate(Date{year{987}, month{1}, day{9}}), "09/01/0987");
    EXPECT_EQ(FormatDate(kNoDate), "01/01/1800");
}

TEST(DateText, TimesOfDay) {
    EXPECT_EQ(ParseTime("09:30"), hours{9} + minutes{30});
    EXPECT_EQ(ParseTime("9:05"), hours{9} + minutes{5});
    EXPECT_EQ(ParseTime(" 23:59:59 "), hours{23} + minutes{59} + seconds{59});
    EXPECT_EQ(ParseTime("00:00"), seconds{0});
    for (const char* bad : {"", "24:00", "12:60", "12:5", "1230", "12:30:60", "12:30pm", "-1:00", "12:30:5"})
        EXPECT_EQ(ParseTime(bad), std::nullopt) << bad;
    EXPECT_EQ(FormatTime(hours{8} + minutes{15} + seconds{59}), "08:15");
    EXPECT_EQ(FormatTime(hours{24} + minutes{20}), "00:20");
}

TEST(DateText, Int32Numbers) {
    EXPECT_EQ(ParseInt32("42"), 42);
    EXPECT_EQ(ParseInt32(" -3 "), -3);
    EXPECT_EQ(ParseInt32("+7"), 7);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    for (const char* bad : {"", " ", "2147483648", "1.5", "1e3", "abc", "12abc", "--1"})
        EXPECT_EQ(ParseInt32(bad), std::nullopt) << bad;
}

TEST(ColorValue, BothNotationsAndTheTrailingAmpersand) {
    for (const char* same : {"8454143", "8454143&", "&H0080FFFF&", "&h80ffff", "&H0080FFFF", " &H80FFFF& "})
        EXPECT_EQ(ParseColorValue(same), 8454143u) << same;
    EXPECT_EQ(ParseColorValue("0"), 0u);
    EXPECT_EQ(ParseColorValue("16777215"), 16777215u);
    for (const char* bad :
         {"16777216", "-1", "", "&", "&H", "&&", "12.5", "rouge", "&H80000005&", "&H1234567890", "255&&"})
        EXPECT_EQ(ParseColorValue(bad), std::nullopt) << bad;
}

TEST(ColorValue, RedIsTheLowByte) {
    EXPECT_EQ(RgbColor(255, 0, 0), 255u);
    EXPECT_EQ(RgbColor(0xFF, 0xFF, 0x80), 8454143u);
    EXPECT_EQ(RedOf(8438015), 0xFFu);
    EXPECT_EQ(GreenOf(8438015), 0xC0u);
    EXPECT_EQ(BlueOf(8438015), 0x80u);
    EXPECT_EQ(FormatColorValue(8454143), "8454143");
}
