#include "schedule/Snooze.h"

namespace zento {
using namespace std::chrono;

minutes SnoozeDelay(int listIndex) {
    constexpr std::array<int, kSnoozeChoices.size()> kMinutes = {5, 10, 15, 30, 60};
    if (listIndex < 0 || listIndex >= static_cast<int>(kMinutes.size()))
        return minutes{0};
    return minutes{kMinutes[static_cast<std::size_t>(listIndex)]};
}

SnoozeMoment SnoozeMomentFor(LocalTime now, int listIndex) {
    const LocalTime at = floor<minutes>(now) + SnoozeDelay(listIndex);
    return {FormatDate(DayOf(at)), FormatTime(TimeOfDay(at))};
}

} // namespace zento
