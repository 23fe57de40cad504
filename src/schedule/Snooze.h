#pragma once

#include "store/DateText.h"

#include <array>
#include <chrono>
#include <string>
#include <string_view>

namespace zento {

/// The texts of the popup's snooze list ("Reporter de" N "minutes"), at list indexes 0..4.
constexpr std::array<std::string_view, 5> kSnoozeChoices = {"5", "10", "15", "30", "60"};

/// The delay of a snooze list index: 5, 10, 15, 30 or 60 minutes for 0..4, none for any other
/// index (-1 is "no choice").
std::chrono::minutes SnoozeDelay(int listIndex);

/// The AlertDate and AlertTime a snooze stores, in their stored forms.
struct SnoozeMoment {
    std::string AlertDate; ///< dd/MM/yyyy
    std::string AlertTime; ///< HH:MM
};

/// The moment a snooze moves an alert to: the present time cut to the minute plus the delay of
/// `listIndex`. A sum past midnight lands on the next day (23:50 + 30 minutes is 00:20 of
/// tomorrow), so the alert comes back after the delay and not a day early.
SnoozeMoment SnoozeMomentFor(LocalTime now, int listIndex);

} // namespace zento
