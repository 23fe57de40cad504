#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace zento {

/// A calendar day.
using Date = std::chrono::year_month_day;
/// A local wall-clock moment, to the second (no time zone: alerts are wall-clock times).
using LocalTime = std::chrono::local_seconds;

/// The one stored and shown date form: dd/MM/yyyy (French order, whatever the machine's
/// locale). Reading also accepts one-digit day and month and blanks around the text; the year
/// has four digits.
std::optional<Date> ParseDate(std::string_view text);
std::string FormatDate(Date d);

/// A time of day "HH:MM" (one-digit hour accepted, optional ":SS"), as seconds since midnight.
std::optional<std::chrono::seconds> ParseTime(std::string_view text);
/// HH:MM of a time of day; seconds are dropped and the value is taken modulo one day.
std::string FormatTime(std::chrono::seconds sinceMidnight);

/// The local moment of a day at a time of day.
LocalTime AtTime(Date d, std::chrono::seconds sinceMidnight);
/// The day and the time of day of a local moment.
Date DayOf(LocalTime t);
std::chrono::seconds TimeOfDay(LocalTime t);

/// The mark the date picker uses for "no date": 1 January 1800.
constexpr Date kNoDate{std::chrono::year{1800}, std::chrono::January, std::chrono::day{1}};

/// Blanks (spaces and tabs) removed at both ends.
std::string_view TrimBlanks(std::string_view s);

/// A whole number in plain decimal (optional sign, digits only), as VB's numeric test would
/// accept it for our purposes; nullopt when it is not one or does not fit 32 bits.
std::optional<int> ParseInt32(std::string_view text);

} // namespace zento
