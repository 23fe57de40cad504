#include "calendar/MonthGrid.h"

#include <algorithm>
#include <cstdio>

namespace zento {
using namespace std::chrono;

namespace {

int clampYear(int y) {
    return std::clamp(y, kFirstPickerYear, kLastPickerYear);
}

constexpr int kFirstListYear = 1900;

/// The last year of the year list, kept to years the store can hold.
int lastListYear(int currentYear) {
    return std::min(currentYear, kLastPickerYear - 100) + 100;
}

} // namespace

MonthGrid::MonthGrid(Date chosen, Date today) : m_chosen(chosen) {
    const Date first{chosen.year(), chosen.month(), day{1}};
    // Monday = 1 .. Sunday = 7; a month beginning on a Monday starts in the second row.
    unsigned w = weekday{sys_days{first}}.iso_encoding();
    if (w == 1)
        w = 8;
    const sys_days start = sys_days{first} - days{w};
    for (int i = 1; i <= kCellCount; ++i) {
        const Date d{start + days{i}};
        m_cells[static_cast<std::size_t>(i - 1)] = {d, static_cast<unsigned>(d.day()),
                                                    d.month() == chosen.month(), d == today, d == chosen};
    }
}

std::string MonthGrid::title() const {
    return MonthTitle(shown());
}

std::string_view FrenchMonthName(unsigned month) {
    if (month < 1 || month > kFrenchMonthNames.size())
        return {};
    return kFrenchMonthNames[month - 1];
}

std::string MonthTitle(year_month shown) {
    char y[16];
    std::snprintf(y, sizeof y, "%04d", static_cast<int>(shown.year()));
    return std::string(FrenchMonthName(static_cast<unsigned>(shown.month()))) + ' ' + y;
}

Date MonthStart(int year, unsigned month) {
    return Date{std::chrono::year{clampYear(year)}, std::chrono::month{std::clamp(month, 1u, 12u)}, day{1}};
}

Date NextMonthStart(year_month shown) {
    if (static_cast<int>(shown.year()) >= kLastPickerYear && shown.month() == December)
        return MonthStart(kLastPickerYear, 12);
    const year_month next = shown + months{1};
    return MonthStart(static_cast<int>(next.year()), static_cast<unsigned>(next.month()));
}

Date PreviousMonthStart(year_month shown) {
    if (static_cast<int>(shown.year()) <= kFirstPickerYear && shown.month() == January)
        return MonthStart(kFirstPickerYear, 1);
    const year_month previous = shown - months{1};
    return MonthStart(static_cast<int>(previous.year()), static_cast<unsigned>(previous.month()));
}

Date ShownMonthInYear(year_month shown, int year) {
    return MonthStart(year, static_cast<unsigned>(shown.month()));
}

std::vector<int> YearList(int currentYear) {
    std::vector<int> years;
    for (int y = kFirstListYear; y <= lastListYear(currentYear); ++y)
        years.push_back(y);
    return years;
}

std::optional<std::size_t> YearListSelection(int shownYear, int currentYear) {
    const int last = lastListYear(currentYear);
    if (last < kFirstListYear)
        return std::nullopt;
    return static_cast<std::size_t>(std::clamp(shownYear, kFirstListYear, last) - kFirstListYear);
}

Date ChoixDate(const std::optional<Date>& chosen) {
    return chosen && chosen->ok() ? *chosen : kNoDate;
}

} // namespace zento
