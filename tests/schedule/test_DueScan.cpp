#include "schedule/Clock.h"
#include "schedule/DueScan.h"
#include "support/TestEnvironment.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace {
using namespace zento;
using namespace std::chrono;

LocalTime at(const char* date, const char* time) {
    return AtTime(*ParseDate(date), *ParseTime(time));
}

struct RestoreUtc {
    ~RestoreUtc() { test::setTimeZone("UTC"); }
};

Alerte alert(std::int32_t id, std::string date, std::string time) {
    return {id, "", std::move(date), "", "", "", "", "", std::move(time), "", "", ""};
}

TEST(DueMoment, ReadsDateAndTimeAsOneTrimmedText) {
    const std::tuple<const char*, const char*, std::optional<LocalTime>> cases[] = {
        {" 10/03/2026\t", "\t09:30 ", at("10/03/2026", "09:30:00")},
        // A hand-edited date that carries its own time reads as the joined text would.
        {"10/03/2026 08:15", "", at("10/03/2026", "08:15:00")},
        {"10/03/2026 08:15", "09:30", std::nullopt},
        {"", "10/03/2026 09:30", std::nullopt},
        {"31/02/2026", "09:30", std::nullopt},
    };
    for (const auto& [date, time, moment] : cases)
        EXPECT_EQ(DueMoment(alert(1, date, time)), moment) << '"' << date << "\" \"" << time << '"';
}

// The scan compares wall-clock moments only: a clock set forward makes every passed alert due at
// the next tick, and a clock set back never brings an alert forward.
TEST(DueSchedule, TheFirstDueInTableOrderToTheSecondLeavingOutOpenPopups) {
    const AlertTable table({alert(10, "11/03/2026", "08:00"), alert(20, "10/03/2026", "12:00"),
                            alert(30, "pas une date", "09:00"), alert(40, "10/03/2026", ""),
                            alert(50, "10/03/2026", "99:99")});
    const DueSchedule s(table);
    const std::tuple<const char*, LocalTime, std::set<std::int32_t>, std::optional<std::int32_t>> cases[] = {
        {"the evening before", at("09/03/2026", "23:59:59"), {}, std::nullopt},
        {"an all-day alert from midnight", at("10/03/2026", "00:00:00"), {}, 4},
        {"a second early", at("10/03/2026", "11:59:59"), {40}, std::nullopt},
        {"to the second", at("10/03/2026", "12:00:00"), {40}, 2},
        {"table order, not moment order", at("10/03/2026", "12:00:00"), {}, 2},
        {"clock set forward a day", at("11/03/2026", "09:00:00"), {}, 1},
        {"open popups skipped by Id", at("11/03/2026", "09:00:00"), {10, 20}, 4},
        {"clock set back before the alerts", at("10/03/2026", "11:00:00"), {40}, std::nullopt},
        {"every due alert open", at("11/03/2026", "09:00:00"), {10, 20, 40}, std::nullopt},
        {"the end of time", LocalTime::max(), {10, 20, 40}, std::nullopt},
    };
    for (const auto& [what, now, open, due] : cases) {
        SCOPED_TRACE(what);
        std::vector<std::int32_t> asked;
        const auto isOpen = [&](std::int32_t id) {
            asked.push_back(id);
            return open.count(id) > 0;
        };
        EXPECT_EQ(s.firstDue(now, isOpen), due);
        for (const std::int32_t id : asked)
            EXPECT_LE(s.momentAt(*table.positionOf(id)).value_or(LocalTime::max()), now) << id;
    }
    EXPECT_EQ(DueSchedule().firstDue(LocalTime::max()), std::nullopt);
}

TEST(DaylightSaving, AnAlertInAChangedHourFallsDueAtTheFirstTickPastIt) {
    test::setTimeZone("Europe/Paris");
    const RestoreUtc restore;
    const auto utc = [](int m, int d, seconds t) { return sys_days{2026y / m / d} + t; };
    const std::tuple<const char*, const char*, const char*, sys_seconds, sys_seconds> cases[] = {
        {"the minute before the skipped hour", "29/03/2026", "01:59", utc(3, 29, 0min), utc(3, 29, 59min)},
        {"in the skipped hour: when it ends", "29/03/2026", "02:30", utc(3, 29, 0min), utc(3, 29, 1h)},
        {"in the repeated hour: the first time", "25/10/2026", "02:30", utc(10, 24, 23h), utc(10, 25, 30min)},
        {"after the repeated hour", "25/10/2026", "03:00", utc(10, 24, 23h), utc(10, 25, 2h)},
    };
    for (const auto& [what, date, time, from, due] : cases) {
        SCOPED_TRACE(what);
        const DueSchedule s(AlertTable({alert(1, date, time)}));
        std::optional<sys_seconds> first;
        for (sys_seconds t = from; !first && t < from + hours{4}; t += seconds{3})
            if (s.firstDue(SystemClock::toLocal(t)))
                first = t;
        EXPECT_EQ(first, due);
    }
    // Fractions of a second are cut, not rounded.
    EXPECT_EQ(SystemClock::toLocal(utc(7, 1, 9h + 59min + 59s) + 999ms), at("01/07/2026", "11:59:59"));
}

TEST(SystemClock, AZoneChangedWhileRunningIsSeenAtTheNextReading) {
    // The zone changes under the running program (a laptop carried elsewhere) and nothing tells
    // the C library. POSIX zone strings keep the test off the machine's zone files.
    const RestoreUtc restore;
    const std::pair<const char*, minutes> zones[] = {
        {"<+05>-5", 5h}, {"<-0330>3:30", -(3h + 30min)}, {"<+1245>-12:45", 12h + 45min}, {"UTC0", 0min}};
    const sys_seconds instant = sys_days{2026y / July / 1} + 10h;
    const DueSchedule s(AlertTable({alert(1, "01/07/2026", "15:00")}));
    const auto wall = [](sys_seconds t) { return LocalTime{t.time_since_epoch()}; };
    for (const auto& [tz, east] : zones) {
        ::setenv("TZ", tz, 1);
        EXPECT_EQ(SystemClock::toLocal(instant), wall(instant) + east) << tz;
        EXPECT_EQ(s.firstDue(SystemClock::toLocal(instant)).has_value(), east >= 5h) << tz;
        const sys_seconds before = floor<seconds>(system_clock::now());
        const LocalTime now = SystemClock().now();
        const sys_seconds after = floor<seconds>(system_clock::now());
        EXPECT_TRUE(wall(before) + east <= now && now <= wall(after) + east) << tz;
    }
}

} // namespace
