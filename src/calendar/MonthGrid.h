#pragma once

#include "store/DateText.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

/// One day cell of the date picker's grid.
struct DayCell {
    Date date;
    unsigned dayNumber = 0;      ///< the caption, 1..31
    bool inCurrentMonth = false; ///< false: a day of a neighbouring month, greyed and not clickable
    bool isToday = false;        ///< framed
    bool isChosen = false;       ///< drawn with the chosen-day background
};

/// The 42 cells (six weeks, Monday to Sunday) that the date picker draws for a chosen date.
/// Day 1 stands in the column of its weekday in the first row, except that a month beginning on
/// a Monday starts in the second row: the first row always holds days of the previous month.
class MonthGrid final {
public:
    static constexpr int kCellCount = 42;
    static constexpr int kColumns = 7;

    /// The grid of `chosen`'s month, with `chosen` and `today` marked. `chosen` must be a valid
    /// date.
    MonthGrid(Date chosen, Date today);

    /// Cell i, 1..42 (row (i - 1) / 7 + 1, column (i - 1) % 7 + 1).
    const DayCell& cell(int i) const { return m_cells.at(static_cast<std::size_t>(i - 1)); }
    const std::array<DayCell, kCellCount>& cells() const { return m_cells; }

    Date chosen() const { return m_chosen; }
    /// The month and year shown (those of the chosen date).
    std::chrono::year_month shown() const { return {m_chosen.year(), m_chosen.month()}; }
    /// The title, as "mars 2024".
    std::string title() const;

private:
    Date m_chosen;
    std::array<DayCell, kCellCount> m_cells;
};

/// The French month names in lower case, January first (UTF-8).
constexpr std::array<std::string_view, 12> kFrenchMonthNames = {
    "janvier", "février", "mars",      "avril",   "mai",      "juin",
    "juillet", "août",    "septembre", "octobre", "novembre", "décembre"};

/// The name of a month 1..12; empty for any other number.
std::string_view FrenchMonthName(unsigned month);

/// The title of a month: its French name, a blank and the four-digit year ("mars 2024").
std::string MonthTitle(std::chrono::year_month shown);

/// The weekday header above the grid (two blanks between the names).
constexpr std::string_view kWeekdayHeader = "Lun  Mar  Mer  Jeu  Ven  Sam  Dim";

/// The first and last years the picker composes dates in: those whose dates the store writes and
/// reads back (dd/MM/yyyy with four digits). Navigation stops at these bounds.
constexpr int kFirstPickerYear = 1;
constexpr int kLastPickerYear = 9999;

/// The first day of month `month` (1..12, brought within range) of `year` (brought within the
/// picker's years): what the month list and the year list choose.
Date MonthStart(int year, unsigned month);
/// The first day of the month after the one shown (1 January of the next year after December);
/// December 9999 stays on 1 December 9999.
Date NextMonthStart(std::chrono::year_month shown);
/// The first day of the month before the one shown (1 December of the previous year after
/// January); January of year 1 stays on 1 January of year 1.
Date PreviousMonthStart(std::chrono::year_month shown);
/// The first day of the shown month in another year (a choice in the year list).
Date ShownMonthInYear(std::chrono::year_month shown, int year);

/// The years of the year list: 1900 to currentYear + 100, ascending, never past the picker's last
/// year (empty when currentYear + 100 is before 1900). `currentYear` is today's year, not the
/// year shown.
std::vector<int> YearList(int currentYear);
/// The entry of the year list to select for the year shown: its own entry, or the nearest year of
/// the list when the shown year lies outside it (reached with the arrows or from a distant
/// stored date). nullopt only when the list is empty.
std::optional<std::size_t> YearListSelection(int shownYear, int currentYear);

/// What ChoixDate() answers: the chosen date, or kNoDate (1 January 1800) when none has been
/// chosen yet.
Date ChoixDate(const std::optional<Date>& chosen);

} // namespace zento
