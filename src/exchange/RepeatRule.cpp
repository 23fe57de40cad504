#include "exchange/RepeatRule.h"

#include <array>
#include <libical/ical.h>

namespace zento {
using namespace std::chrono;

namespace {

/// The months of one step of codes 4..8.
int monthsOfCode(int code) {
    switch (code) {
    case 4:
        return 1;
    case 5:
        return 2;
    case 6:
        return 3;
    case 7:
        return 6;
    case 8:
        return 12;
    default:
        return 0;
    }
}

} // namespace

bool MeetsShorterMonth(unsigned month, unsigned day, int months) {
    if (day < 29)
        return false;
    constexpr std::array<unsigned, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int k = 0; k < 12; ++k)
        if (kDays[(month - 1 + static_cast<unsigned>(k * months)) % 12] < day)
            return true;
    return false;
}

RepeatRule RuleForCode(Date date, int code) {
    switch (code) {
    case 2:
        return {"FREQ=WEEKLY", false};
    case 3:
        return {"FREQ=WEEKLY;INTERVAL=2", false};
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
        break;
    default:
        return {"FREQ=DAILY", false};
    }
    const int months = monthsOfCode(code);
    const std::string freq = months == 12 ? "FREQ=YEARLY" : "FREQ=MONTHLY";
    const std::string interval = months == 1 || months == 12 ? "" : ";INTERVAL=" + std::to_string(months);
    if (!MeetsShorterMonth(static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), months))
        return {freq + interval, false};
    if (months == 12) // only 29 February meets a shorter month every year
        return {"FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1", true};
    const unsigned d = static_cast<unsigned>(date.day());
    if (d == 31)
        return {freq + interval + ";BYMONTHDAY=-1", true};
    return {freq + interval + (d == 30 ? ";BYMONTHDAY=28,29,30" : ";BYMONTHDAY=28,29") + ";BYSETPOS=-1",
            true};
}

int NearestCode(double days) {
    // The mean lengths of the steps of codes 1..8, in days.
    constexpr std::array<double, 8> kStep = {1, 7, 14, 30.436875, 60.87375, 91.310625, 182.62125, 365.2425};
    int code = 1;
    for (int c = 1; c <= 8; ++c)
        if (kStep[static_cast<std::size_t>(c - 1)] <= days + 1e-9)
            code = c;
    return code;
}

std::string NormalizedRule(const std::string& rrule) {
    icalrecurrencetype r = icalrecurrencetype_from_string(rrule.c_str());
    if (r.freq == ICAL_NO_RECURRENCE)
        return {};
    char* text = icalrecurrencetype_as_string_r(&r);
    std::string out = text ? text : "";
    icalmemory_free_buffer(text);
    return out;
}

} // namespace zento
