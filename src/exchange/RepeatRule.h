#pragma once

#include "store/DateText.h"

#include <string>

namespace zento {

/// The iCalendar rule (RRULE text) that stands for a recurrence code.
struct RepeatRule {
    std::string rrule;
    /// The rule is only the nearest one: iCalendar cannot say that a month step brought to the
    /// end of a short month keeps the shortened day from then on (see RuleForCode).
    bool approximate = false;
};

/// The rule of an alert of recurrence code `code` dated `date`: 1 daily, 2 weekly, 3 weekly with
/// INTERVAL=2, 4 to 7 monthly with INTERVAL 1, 2, 3 and 6, 8 yearly; any other positive code
/// steps one day, as NextOccurrence does. A month step from the 29th, 30th or 31st whose cycle
/// meets a shorter month is written as "that day, or the last day of a shorter month"
/// (BYMONTHDAY=-1 for the 31st, BYMONTHDAY=28,29[,30];BYSETPOS=-1 for the 29th and 30th; yearly
/// on 29 February: BYMONTH=2;BYMONTHDAY=-1) and marked approximate. `code` must be above 0.
RepeatRule RuleForCode(Date date, int code);

/// Whether steps of `months` months from day `day` of month `month` (1..12) ever reach a month
/// without that day (February counted at 28 days, as most years have it).
bool MeetsShorterMonth(unsigned month, unsigned day, int months);

/// The recurrence code whose step is the longest one not longer than `days` (a rule's period in
/// days), so that an approximated rule reminds at least as often as the original; at least 1.
int NearestCode(double days);

/// The text of a RRULE as libical writes it, so that two spellings of one rule compare equal;
/// empty when libical cannot read it.
std::string NormalizedRule(const std::string& rrule);

} // namespace zento
