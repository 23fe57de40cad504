#include "schedule/Snooze.h"

#include <gtest/gtest.h>

namespace {
using namespace zento;
using namespace std::chrono;

TEST(Snooze, FromThePresentMinutePlusTheChosenDelayIntoTheNextDayIfNeedBe) {
    const std::tuple<std::string_view, int, const char*> cases[] = {
        // Seconds are dropped before the delay is added.
        {"15/03/2026 14:37:50", 0, "15/03/2026 14:42"},
        // No choice, or an index the list does not have: the present minute.
        {"15/03/2026 14:37:50", -1, "15/03/2026 14:37"},
        {"15/03/2026 14:37:50", 5, "15/03/2026 14:37"},
        // Past midnight the date moves on with the time.
        {"15/03/2026 23:50:10", 3, "16/03/2026 00:20"},
        {"28/02/2028 23:30:59", 4, "29/02/2028 00:30"}};
    for (const auto& [now, index, moved] : cases) {
        const SnoozeMoment m =
            SnoozeMomentFor(AtTime(*ParseDate(now.substr(0, 10)), *ParseTime(now.substr(11))), index);
        EXPECT_EQ(m.AlertDate + " " + m.AlertTime, moved) << now << " choice " << index;
    }
}

TEST(Snooze, TheListShowsTheDelays) {
    ASSERT_EQ(kSnoozeChoices.size(), 5u);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(std::to_string(SnoozeDelay(i).count()), kSnoozeChoices[static_cast<std::size_t>(i)]);
}

} // namespace
