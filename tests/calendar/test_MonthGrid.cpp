#include "calendar/MonthGrid.h"

#include <gtest/gtest.h>

namespace {
using namespace zento;
using namespace std::chrono;

Date d(const char* text) {
    return *ParseDate(text);
}

/// Cells first..last hold consecutive days starting at `firstDate`, all in or all out of the
/// month shown.
void expectRun(const MonthGrid& g, int first, int last, const char* firstDate, bool inMonth) {
    Date expected = d(firstDate);
    for (int i = first; i <= last; ++i) {
        const DayCell& c = g.cell(i);
        EXPECT_EQ(c.date, expected) << "cell " << i;
        EXPECT_EQ(c.dayNumber, static_cast<unsigned>(expected.day())) << "cell " << i;
        EXPECT_EQ(c.inCurrentMonth, inMonth) << "cell " << i;
        expected = Date{sys_days{expected} + days{1}};
    }
}

struct GridCase {
    const char* chosen;
    // Runs of cells: [first, last] starting at a date, in the month or not.
    struct Run {
        int first, last;
        const char* date;
        bool inMonth;
    };
    std::vector<Run> runs;
};

TEST(MonthGrid, CellsOfAMonth) {
    const GridCase cases[] = {
        // Begins on a Monday: a whole week of March first.
        {"01/04/2024",
         {{1, 7, "25/03/2024", false}, {8, 37, "01/04/2024", true}, {38, 42, "01/05/2024", false}}},
        // Begins on a Friday.
        {"15/03/2024",
         {{1, 4, "26/02/2024", false}, {5, 35, "01/03/2024", true}, {36, 42, "01/04/2024", false}}},
        // 28 days beginning on a Monday still fills six rows.
        {"10/02/2021",
         {{1, 7, "25/01/2021", false}, {8, 35, "01/02/2021", true}, {36, 42, "01/03/2021", false}}},
        // Begins on a Sunday: day 1 in the last column of the first row.
        {"20/03/2026",
         {{1, 6, "23/02/2026", false}, {7, 37, "01/03/2026", true}, {38, 42, "01/04/2026", false}}},
        // Leap February beginning on a Thursday; across a year end.
        {"29/02/2024",
         {{1, 3, "29/01/2024", false}, {4, 32, "01/02/2024", true}, {33, 42, "01/03/2024", false}}},
        {"01/01/2027",
         {{1, 4, "28/12/2026", false}, {5, 35, "01/01/2027", true}, {36, 42, "01/02/2027", false}}},
    };
    for (const GridCase& c : cases) {
        SCOPED_TRACE(c.chosen);
        const MonthGrid g(d(c.chosen), d("01/01/2000"));
        for (const auto& r : c.runs)
            expectRun(g, r.first, r.last, r.date, r.inMonth);
        for (const DayCell& cell : g.cells())
            EXPECT_EQ(cell.isChosen, cell.date == d(c.chosen));
    }
}

TEST(MonthGrid, ColumnsAreWeekdaysFromMonday) {
    const MonthGrid g(d("15/07/2026"), d("15/07/2026"));
    for (int i = 1; i <= MonthGrid::kCellCount; ++i)
        EXPECT_EQ(weekday{sys_days{g.cell(i).date}}.iso_encoding(), static_cast<unsigned>((i - 1) % 7 + 1));
}

TEST(MonthGrid, TodayMarkedAlsoInANeighbouringMonth) {
    const MonthGrid g(d("15/03/2024"), d("02/04/2024"));
    int todays = 0;
    for (const DayCell& c : g.cells())
        todays += c.isToday;
    EXPECT_EQ(todays, 1);
    EXPECT_TRUE(g.cell(37).isToday);
    EXPECT_FALSE(g.cell(37).inCurrentMonth);
    EXPECT_FALSE(g.cell(37).isChosen);
    EXPECT_TRUE(g.cell(19).isChosen);

    const MonthGrid noToday(d("15/03/2024"), d("15/06/2024"));
    for (const DayCell& c : noToday.cells())
        EXPECT_FALSE(c.isToday);
}

TEST(MonthGrid, Titles) {
    EXPECT_EQ(MonthGrid(d("15/03/2024"), d("15/03/2024")).title(), "mars 2024");
    EXPECT_EQ(MonthTitle(2026y / February), "février 2026");
    EXPECT_EQ(MonthTitle(2026y / August), "août 2026");
    EXPECT_EQ(MonthTitle(2026y / December), "décembre 2026");
    EXPECT_EQ(MonthTitle(year{800} / January), "janvier 0800");
    EXPECT_EQ(FrenchMonthName(0), "");
    EXPECT_EQ(FrenchMonthName(13), "");
    EXPECT_EQ(kWeekdayHeader, "Lun  Mar  Mer  Jeu  Ven  Sam  Dim");
}

TEST(MonthNavigation, StepsAndChoices) {
    struct Case {
        Date got;
        const char* expected;
    };
    const Case cases[] = {
        {NextMonthStart(2024y / December), "01/01/2025"},
        {PreviousMonthStart(2025y / January), "01/12/2024"},
        {NextMonthStart(2024y / May), "01/06/2024"},
        {PreviousMonthStart(2024y / March), "01/02/2024"},
        {MonthStart(2025, 3), "01/03/2025"},
        {ShownMonthInYear(2024y / May, 1999), "01/05/1999"},
        // Within the years the store can write back.
        {NextMonthStart(year{9999} / December), "01/12/9999"},
        {PreviousMonthStart(year{1} / January), "01/01/0001"},
        {MonthStart(12000, 13), "01/12/9999"},
        {MonthStart(2025, 0), "01/01/2025"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDate(c.got), c.expected);
}

TEST(YearList, FromNineteenHundredToAHundredYearsAhead) {
    const auto years = YearList(2026);
    ASSERT_EQ(years.size(), 227u);
    EXPECT_EQ(years.front(), 1900);
    EXPECT_EQ(years.back(), 2126);
    EXPECT_TRUE(std::is_sorted(years.begin(), years.end()));

    EXPECT_EQ(YearListSelection(2026, 2026), 126u);
    EXPECT_EQ(years[*YearListSelection(2024, 2026)], 2024);
    // Out of the list: the nearest end.
    EXPECT_EQ(YearListSelection(1800, 2026), 0u);
    EXPECT_EQ(YearListSelection(2500, 2026), 226u);

    EXPECT_TRUE(YearList(1700).empty());
    EXPECT_EQ(YearListSelection(2000, 1700), std::nullopt);
    EXPECT_EQ(YearList(9950).back(), 9999);
}

TEST(ChoixDate, NoDateUntilOneIsChosen) {
    EXPECT_EQ(ChoixDate(std::optional<Date>{}), kNoDate);
    EXPECT_EQ(ChoixDate(std::optional<Date>{d("20/05/2024")}), d("20/05/2024"));
    EXPECT_EQ(ChoixDate(std::optional<Date>{Date{2024y, February, day{30}}}), kNoDate);
    EXPECT_EQ(ChoixDate(""), kNoDate);
    EXPECT_EQ(ChoixDate("pas une date"), kNoDate);
    EXPECT_EQ(ChoixDate("20/05/2024"), d("20/05/2024"));
    EXPECT_EQ(FormatDate(kNoDate), "01/01/1800");
}

} // namespace
