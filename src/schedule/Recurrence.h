#pragma once

#include "store/DateText.h"

#include <string_view>

namespace zento {

/// The date one step after `date` for a recurrence code (the Recurrence enum of store/Alerte.h):
/// 1 one day, 2 one week, 3 two weeks, 4 one calendar month, 5 two, 6 three, 7 six and 8 twelve
/// months. A month step keeps the day of the month, or takes the last day of the target month
/// when that day does not exist there (31/01 + 1 month = 28/02 or 29/02). One step only, with no
/// reference to today: a date left in the past stays in the past.
///
/// Any other code (only a hand-edited store holds one) steps one day, so that an acknowledged
/// alert always moves on instead of falling due again at once. A `date` that is not a valid day
/// is first brought to the last day of its month.
Date NextOccurrence(Date date, int recurrence);

/// Whether a stored Recurrence text makes the alert periodic: it reads as a whole number above 0.
/// Text that is not a number counts as one-off.
bool IsPeriodic(std::string_view recurrenceText);

} // namespace zento
