#include "store/ColorValue.h"
#include "store/DateText.h"

#include <gtest/gtest.h>

using namespace zento;
using namespace std::chrono;

TEST(DateText, ReadsFrenchShortDatesTimesAndWholeNumbersAndWritesThemInFull) {
    const std::pair<const char*, Date> good[] = {{"5/3/2024", 2024y / March / 5},
                                                 {" 29/02/2028 ", 2028y / February / 29},
                                                 {"01/01/1800", 1800y / January / 1},
                                                 {"31/12/9999", 9999y / December / 31}};
    for (const auto& [text, date] : good)
        EXPECT_EQ(ParseDate(text), date) << text;
    for (const char* bad : {"", "29/02/2027", "31/04/2026", "00/01/2026", "01/13/2026", "123/1/2026",
                            "05/12/26", "05.12.2026", "05/12/2026 09:30", "+5/12/2026"})
        EXPECT_EQ(ParseDate(bad), std::nullopt) << bad;
    EXPECT_EQ(FormatDate(2026y / December / 5), "05/12/2026");
    EXPECT_EQ(FormatDate(987y / January / 9), "09/01/0987");
    EXPECT_EQ(FormatDate(kNoDate), "01/01/1800");

    EXPECT_EQ(ParseTime("9:05"), 9h + 5min);
    EXPECT_EQ(ParseTime(" 23:59:59 "), 23h + 59min + 59s);
    for (const char* bad : {"", "24:00", "12:60", "12:5", "1230", "12:30:60", "12:30pm", "-1:00", "12:30:5"})
        EXPECT_EQ(ParseTime(bad), std::nullopt) << bad;
    EXPECT_EQ(FormatTime(8h + 15min + 59s), "08:15");
    EXPECT_EQ(FormatTime(24h + 20min), "00:20");

    EXPECT_EQ(ParseInt32(" -3 "), -3);
    EXPECT_EQ(ParseInt32("+7"), 7);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    for (const char* bad : {"", " ", "2147483648", "1.5", "1e3", "12abc", "--1"})
        EXPECT_EQ(ParseInt32(bad), std::nullopt) << bad;
}

TEST(ColorValue, DecimalOrHexadecimalWithRedInTheLowByte) {
    for (const char* same : {"8454143", "8454143&", "&H0080FFFF&", "&h80ffff", " &H80FFFF& "})
        EXPECT_EQ(ParseColorValue(same), RgbColor(0xFF, 0xFF, 0x80)) << same;
    EXPECT_EQ(ParseColorValue("16777215"), 16777215u);
    for (const char* bad :
         {"16777216", "-1", "", "&", "&H", "&&", "12.5", "rouge", "&H80000005&", "&H1234567890", "255&&"})
        EXPECT_EQ(ParseColorValue(bad), std::nullopt) << bad;
}
