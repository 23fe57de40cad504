#include "schedule/Recurrence.h"

#include <gtest/gtest.h>

namespace {
using namespace zento;

struct StepCase {
    const char* from;
    int code;
    const char* to;
};

class NextOccurrenceTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(NextOccurrenceTest, OneStep) {
    const StepCase& c = GetParam();
    const auto from = ParseDate(c.from);
    ASSERT_TRUE(from) << c.from;
    EXPECT_EQ(FormatDate(NextOccurrence(*from, c.code)), c.to) << c.from << " code " << c.code;
}

INSTANTIATE_TEST_SUITE_P(
    Steps, NextOccurrenceTest,
    ::testing::Values(
        // Day steps, across month and year ends and 29 February.
        StepCase{"10/03/2026", 1, "11/03/2026"}, StepCase{"31/12/2026", 1, "01/01/2027"},
        StepCase{"28/02/2028", 1, "29/02/2028"}, StepCase{"28/02/2026", 1, "01/03/2026"},
        StepCase{"25/03/2026", 2, "01/04/2026"},
        // "1 semaine sur 2": Monday 02/03/2026 to Monday 16/03/2026, and over a year end.
        StepCase{"02/03/2026", 3, "16/03/2026"}, StepCase{"28/12/2026", 3, "11/01/2027"},
        // Month steps keep the day, or clamp it to the end of the target month.
        StepCase{"15/01/2026", 4, "15/02/2026"}, StepCase{"31/01/2026", 4, "28/02/2026"},
        StepCase{"31/01/2028", 4, "29/02/2028"}, StepCase{"28/02/2026", 4, "28/03/2026"},
        StepCase{"31/12/2026", 4, "31/01/2027"}, StepCase{"31/12/2026", 5, "28/02/2027"},
        StepCase{"30/11/2026", 6, "28/02/2027"}, StepCase{"31/03/2026", 6, "30/06/2026"},
        StepCase{"31/03/2026", 7, "30/09/2026"}, StepCase{"31/08/2026", 7, "28/02/2027"},
        StepCase{"29/02/2028", 8, "28/02/2029"}, StepCase{"28/02/2027", 8, "28/02/2028"},
        StepCase{"15/06/2026", 8, "15/06/2027"},
        // Codes the editor never writes move on by one day rather than staying put.
        StepCase{"10/03/2026", 9, "11/03/2026"}, StepCase{"31/12/2026", 32767, "01/01/2027"},
        StepCase{"10/03/2026", 0, "11/03/2026"}, StepCase{"10/03/2026", -1, "11/03/2026"}));

TEST(NextOccurrence, ClampedDayStaysClampedOverSteps) {
    Date d = *ParseDate("31/01/2026");
    std::vector<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        d = NextOccurrence(d, 4);
        seen.push_back(FormatDate(d));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"28/02/2026", "28/03/2026", "28/04/2026"}));
}

TEST(NextOccurrence, InvalidDayIsBroughtIntoItsMonthFirst) {
    using namespace std::chrono;
    const Date bad{year{2026}, February, day{31}};
    EXPECT_EQ(FormatDate(NextOccurrence(bad, 1)), "01/03/2026");
    EXPECT_EQ(FormatDate(NextOccurrence(bad, 4)), "28/03/2026");
}

TEST(IsPeriodic, ReadsTheStoredText) {
    struct Case {
        const char* text;
        bool periodic;
    };
    for (const Case& c :
         {Case{"0", false}, Case{"1", true}, Case{"8", true}, Case{" 4 ", true}, Case{"12", true},
          Case{"-3", false}, Case{"", false}, Case{"Mensuel", false}, Case{"4x", false}, Case{"1.5", false}})
        EXPECT_EQ(IsPeriodic(c.text), c.periodic) << '"' << c.text << '"';
}

} // namespace
