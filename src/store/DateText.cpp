#include "store/DateText.h"

#include <charconv>
#include <cstdio>

namespace zento {
using namespace std::chrono;

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

namespace {

/// Reads 1..maxDigits decimal digits at the front of `s`.
std::optional<int> takeDigits(std::string_view& s, std::size_t minDigits, std::size_t maxDigits) {
    std::size_t n = 0;
    while (n < s.size() && n < maxDigits && s[n] >= '0' && s[n] <= '9')
        ++n;
    if (n < minDigits || (n < s.size() && s[n] >= '0' && s[n] <= '9'))
        return std::nullopt;
    int v = 0;
    std::from_chars(s.data(), s.data() + n, v);
    s.remove_prefix(n);
    return v;
}

bool takeChar(std::string_view& s, char c) {
    if (s.empty() || s.front() != c)
        return false;
    s.remove_prefix(1);
    return true;
}

} // namespace

std::optional<Date> ParseDate(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    const auto d = takeDigits(s, 1, 2);
    if (!d || !takeChar(s, '/'))
        return std::nullopt;
    const auto m = takeDigits(s, 1, 2);
    if (!m || !takeChar(s, '/'))
        return std::nullopt;
    const auto y = takeDigits(s, 4, 4);
    if (!y || !s.empty())
        return std::nullopt;
    const Date date{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::string FormatDate(Date d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u/%02u/%04d", static_cast<unsigned>(d.day()),
                  static_cast<unsigned>(d.month()), static_cast<int>(d.year()));
    return buf;
}

std::optional<seconds> ParseTime(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    const auto h = takeDigits(s, 1, 2);
    if (!h || !takeChar(s, ':'))
        return std::nullopt;
    const auto m = takeDigits(s, 2, 2);
    if (!m)
        return std::nullopt;
    int sec = 0;
    if (takeChar(s, ':')) {
        const auto sv = takeDigits(s, 2, 2);
        if (!sv)
            return std::nullopt;
        sec = *sv;
    }
    if (!s.empty() || *h > 23 || *m > 59 || sec > 59)
        return std::nullopt;
    return hours{*h} + minutes{*m} + seconds{sec};
}

std::string FormatTime(seconds sinceMidnight) {
    auto s = sinceMidnight.count() % 86400;
    if (s < 0)
        s += 86400;
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60));
    return buf;
}

LocalTime AtTime(Date d, seconds sinceMidnight) {
    return local_days{d} + sinceMidnight;
}

Date DayOf(LocalTime t) {
    return Date{floor<days>(t)};
}

seconds TimeOfDay(LocalTime t) {
    return t - floor<days>(t);
}

std::optional<int> ParseInt32(std::string_view text) {
    std::string_view s = TrimBlanks(text);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size())
        return std::nullopt;
    return v;
}

} // namespace zento
