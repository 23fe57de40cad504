#include "schedule/Recurrence.h"

namespace zento {
using namespace std::chrono;

namespace {

/// The same month and year with the day brought within the month.
Date clampDay(Date d) {
    if (d.ok() || !d.year().ok() || !d.month().ok())
        return d;
    const Date last{year_month_day_last{d.year(), month_day_last{d.month()}}};
    return d.day() > last.day() ? last : Date{d.year(), d.month(), day{1}};
}

Date addDays(Date d, int n) {
    return Date{sys_days{d} + days{n}};
}

Date addMonths(Date d, int n) {
    return clampDay(d + months{n});
}

} // namespace

Date NextOccurrence(Date date, int recurrence) {
    date = clampDay(date);
    switch (recurrence) {
    case 2:
        return addDays(date, 7);
    case 3:
        return addDays(date, 14);
    case 4:
        return addMonths(date, 1);
    case 5:
        return addMonths(date, 2);
    case 6:
        return addMonths(date, 3);
    case 7:
        return addMonths(date, 6);
    case 8:
        // Twelve months rather than one year: 29/02 then gives 28/02 like every other month step.
        return addMonths(date, 12);
    default: // 1, and the codes the editor never writes
        return addDays(date, 1);
    }
}

bool IsPeriodic(std::string_view recurrenceText) {
    const auto code = ParseInt32(recurrenceText);
    return code && *code > 0;
}

} // namespace zento
