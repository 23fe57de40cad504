#include "schedule/Recurrence.h"

#include <gtest/gtest.h>

namespace {
using namespace zento;

TEST(NextOccurrence, OneStepOfEachKindKeepingTheDayOrTheLastOfTheMonth) {
    const struct {
        const char* from;
        int code;
        const char* to;
    } cases[] = {// Day steps, across a year end.
                 {"31/12/2026", 1, "01/01/2027"},
                 {"25/03/2026", 2, "01/04/2026"},
                 {"28/12/2026", 3, "11/01/2027"},
                 // Month steps keep the day, or take the last day of the target month.
                 {"31/01/2026", 4, "28/02/2026"},
                 {"31/01/2028", 4, "29/02/2028"},
                 {"31/12/2026", 5, "28/02/2027"},
                 {"31/03/2026", 6, "30/06/2026"},
                 {"31/08/2026", 7, "28/02/2027"},
                 {"29/02/2028", 8, "28/02/2029"},
                 // Codes the editor never writes move on by one day rather than staying put.
                 {"10/03/2026", 9, "11/03/2026"},
                 {"10/03/2026", -1, "11/03/2026"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatDate(NextOccurrence(*ParseDate(c.from), c.code)), c.to)
            << c.from << " code " << c.code;
}

TEST(NextOccurrence, AnInvalidDayIsBroughtIntoItsMonthFirst) {
    const Date bad{std::chrono::year{2026}, std::chrono::February, std::chrono::day{31}};
    EXPECT_EQ(FormatDate(NextOccurrence(bad, 1)), "01/03/2026");
    EXPECT_EQ(FormatDate(NextOccurrence(bad, 4)), "28/03/2026");
}

} // namespace
