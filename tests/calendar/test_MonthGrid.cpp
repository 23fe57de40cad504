#include "calendar/MonthGrid.h"

#include <gtest/gtest.h>

namespace {
using namespace zento;
using namespace std::chrono;

Date d(const char* text) {
    return *ParseDate(text);
}

TEST(MonthGrid, SixWeeksFromMondayAndAMonthBeginningOnMondayStartsOnRowTwo) {
    // The chosen day, the cell of day 1, the month's length, today and its cell (0: not in the grid).
    const std::tuple<const char*, int, int, const char*, int> cases[] = {
        {"01/04/2024", 8, 30, "31/03/2024", 7},  // begins on a Monday: a whole week of March first
        {"20/03/2026", 7, 31, "01/01/2000", 0},  // begins on a Sunday, the last column
        {"10/02/2021", 8, 28, "07/03/2021", 42}, // 28 days from a Monday still take six rows
        {"29/02/2024", 4, 29, "29/01/2024", 1},
    };
    for (const auto& [chosen, firstCell, length, today, todayCell] : cases) {
        SCOPED_TRACE(chosen);
        const MonthGrid g(d(chosen), d(today));
        EXPECT_EQ(weekday{sys_days{g.cell(1).date}}, Monday);
        const Date first{d(chosen).year(), d(chosen).month(), day{1}};
        for (int i = 1; i <= MonthGrid::kCellCount; ++i) {
            const DayCell& cell = g.cell(i);
            EXPECT_EQ(sys_days{cell.date}, sys_days{first} + days{i - firstCell}) << "cell " << i;
            EXPECT_EQ(cell.dayNumber, static_cast<unsigned>(cell.date.day())) << "cell " << i;
            EXPECT_EQ(cell.inCurrentMonth, i >= firstCell && i < firstCell + length) << "cell " << i;
            EXPECT_EQ(cell.isChosen, cell.date == d(chosen)) << "cell " << i;
            EXPECT_EQ(cell.isToday, i == todayCell) << "cell " << i;
        }
    }
}

TEST(MonthGrid, TitleHasTheMonthAndAFourDigitYear) {
    EXPECT_EQ(MonthGrid(d("15/08/2024"), d("15/03/2024")).title(), "août 2024");
    EXPECT_EQ(MonthTitle(year{800} / January), "janvier 0800");
    EXPECT_TRUE(FrenchMonthName(0).empty() && FrenchMonthName(13).empty());
}

// The widget's own tests step across years and pick from the lists; these are the bounds it
// never reaches.
TEST(MonthNavigation, StaysWithinTheDatesTheStoreCanWrite) {
    EXPECT_EQ(FormatDate(NextMonthStart(year{9999} / December)), "01/12/9999");
    EXPECT_EQ(FormatDate(PreviousMonthStart(year{1} / January)), "01/01/0001");
    EXPECT_EQ(FormatDate(MonthStart(12000, 13)), "01/12/9999");
    EXPECT_EQ(FormatDate(MonthStart(2025, 0)), "01/01/2025");
    EXPECT_EQ(YearList(9950).back(), 9999);
    EXPECT_TRUE(YearList(1700).empty());
    EXPECT_EQ(YearListSelection(2000, 1700), std::nullopt);
    EXPECT_EQ(ChoixDate(std::optional<Date>{Date{2024y, February, day{30}}}), kNoDate);
}

} // namespace
