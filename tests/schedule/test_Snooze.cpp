#include "schedule/Snooze.h"

#include <gtest/gtest.h>

namespace {
using namespace zento;
using namespace std::chrono;

LocalTime at(const char* date, const char* time) {
    return AtTime(*ParseDate(date), *ParseTime(time));
}

struct SnoozeCase {
    const char* date;
    const char* time; // HH:MM:SS
    int index;
    const char* newDate;
    const char* newTime;
};

class SnoozeMomentTest : public ::testing::TestWithParam<SnoozeCase> {};

TEST_P(SnoozeMomentTest, StoresDateAndTime) {
    const SnoozeCase& c = GetParam();
    const SnoozeMoment m = SnoozeMomentFor(at(c.date, c.time), c.index);
    EXPECT_EQ(m.AlertDate, c.newDate);
    EXPECT_EQ(m.AlertTime, c.newTime);
}

INSTANTIATE_TEST_SUITE_P(Choices, SnoozeMomentTest,
                         ::testing::Values(
                             // Seconds are dropped before the delay is added.
                             SnoozeCase{"15/03/2026", "14:37:50", 0, "15/03/2026", "14:42"},
                             SnoozeCase{"15/03/2026", "14:37:50", 1, "15/03/2026", "14:47"},
                             SnoozeCase{"15/03/2026", "14:37:50", 2, "15/03/2026", "14:52"},
                             SnoozeCase{"15/03/2026", "14:37:50", 3, "15/03/2026", "15:07"},
                             SnoozeCase{"15/03/2026", "14:37:50", 4, "15/03/2026", "15:37"},
                             // No choice, or an index the list does not have: the present minute.
                             SnoozeCase{"15/03/2026", "14:37:50", -1, "15/03/2026", "14:37"},
                             SnoozeCase{"15/03/2026", "14:37:50", 5, "15/03/2026", "14:37"},
                             // Past midnight the date moves on with the time.
                             SnoozeCase{"15/03/2026", "23:50:10", 3, "16/03/2026", "00:20"},
                             SnoozeCase{"31/12/2026", "23:55:00", 1, "01/01/2027", "00:05"},
                             SnoozeCase{"28/02/2028", "23:30:59", 4, "29/02/2028", "00:30"},
                             SnoozeCase{"15/03/2026", "23:00:00", 4, "16/03/2026", "00:00"},
                             SnoozeCase{"15/03/2026", "23:59:59", -1, "15/03/2026", "23:59"}));

TEST(Snooze, ListTextsMatchDelays) {
    ASSERT_EQ(kSnoozeChoices.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(std::to_string(SnoozeDelay(i).count()), kSnoozeChoices[static_cast<std::size_t>(i)]);
    EXPECT_EQ(SnoozeDelay(-1), minutes{0});
}

} // namespace
