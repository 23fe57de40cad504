#include "schedule/Recurrence.h"

#include <gtest/gtest.h>

namespace {
using namespace zento;
using namespace std::chrono;

TEST(NextOccurrence, OneStepOfEachKindKeepingTheDayOrTheLastOfTheMonth) {
    const std::tuple<Date, int, const char*> cases[] = {
        // Day steps, across a year end.
        {2026y / 12 / 31, 1, "01/01/2027"},
        {2026y / 3 / 25, 2, "01/04/2026"},
        {2026y / 12 / 28, 3, "11/01/2027"},
        // Month steps keep the day, or take the last day of the target month.
        {2026y / 1 / 31, 4, "28/02/2026"},
        {2028y / 1 / 31, 4, "29/02/2028"},
        {2026y / 12 / 31, 5, "28/02/2027"},
        {2026y / 3 / 31, 6, "30/06/2026"},
        {2026y / 8 / 31, 7, "28/02/2027"},
        {2028y / 2 / 29, 8, "28/02/2029"},
        // Codes the editor never writes move on by one day rather than staying put.
        {2026y / 3 / 10, 9, "11/03/2026"},
        {2026y / 3 / 10, -1, "11/03/2026"},
        // An invalid day is brought into its month first.
        {2026y / 2 / 31, 1, "01/03/2026"},
        {2026y / 2 / 31, 4, "28/03/2026"}};
    for (const auto& [from, code, to] : cases)
        EXPECT_EQ(FormatDate(NextOccurrence(from, code)), to) << FormatDate(from) << " code " << code;
}

} // namespace
