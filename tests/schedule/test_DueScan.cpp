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

Alerte alert(std::int32_t id, std::string date, std::string time) {
    Alerte a;
    a.Id = id;
    a.AlertDate = std::move(date);
    a.AlertTime = std::move(time);
    return a;
}

/// A clock the test sets by hand, as the timer would read it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(LocalTime t) : m_now(t) {}
    LocalTime now() const override { return m_now; }
    void set(LocalTime t) { m_now = t; }

private:
    LocalTime m_now;
};

TEST(DueMoment, ReadsDateAndTime) {
    struct Case {
        const char* date;
        const char* time;
        std::optional<LocalTime> moment;
    };
    const Case cases[] = {
        {"10/03/2026", "09:30", at("10/03/2026", "09:30:00")},
        {"10/03/2026", "", at("10/03/2026", "00:00:00")}, // all-day alert
        {" 10/03/2026 ", "  ", at("10/03/2026", "00:00:00")},
        {"1/3/2026", "9:05", at("01/03/2026", "09:05:00")},
        {"10/03/2026", "09:30:15", at("10/03/2026", "09:30:15")},
        // A hand-edited date that carries its own time reads as the joined text would.
        {"10/03/2026 08:15", "", at("10/03/2026", "08:15:00")},
        {"", "09:30", std::nullopt},
        {"", "10/03/2026 09:30", std::nullopt},
        {"10/03/2026\t", "\t09:30", at("10/03/2026", "09:30:00")},
        {"", "", std::nullopt},
        {"31/02/2026", "09:30", std::nullopt},
        {"10/03/2026", "25:00", std::nullopt},
        {"10/03/2026", "9h30", std::nullopt},
        {"2026-03-10", "09:30", std::nullopt},
        {"10/03/2026 08:15", "09:30", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DueMoment(alert(1, c.date, c.time)), c.moment) << '"' << c.date << "\" \"" << c.time << '"';
}

TEST(DueSchedule, DueFromItsMomentToTheSecond) {
    const DueSchedule s(AlertTable({alert(7, "10/03/2026", "09:30")}));
    EXPECT_EQ(s.firstDue(at("10/03/2026", "09:29:58")), std::nullopt);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "09:29:59")), std::nullopt);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "09:30:00")), 1);
    EXPECT_EQ(s.firstDue(at("15/03/2026", "00:00:00")), 1); // overdue stays due
}

TEST(DueSchedule, AllDayAlertDueFromMidnight) {
    const DueSchedule s(AlertTable({alert(1, "10/03/2026", "")}));
    EXPECT_EQ(s.firstDue(at("09/03/2026", "23:59:59")), std::nullopt);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "00:00:00")), 1);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "15:00:00")), 1);
}

TEST(DueSchedule, TableOrderNotMomentOrder) {
    const AlertTable table(
        {alert(1, "11/03/2026", "08:00"), alert(2, "10/03/2026", "12:00"), alert(3, "10/03/2026", "07:00")});
    const DueSchedule s(table);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "06:00:00")), std::nullopt);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "07:00:00")), 3);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "13:00:00")), 2); // 2 and 3 due: position 2 first
    EXPECT_EQ(s.firstDue(at("12/03/2026", "00:00:00")), 1);
}

TEST(DueSchedule, UnconvertibleAlertsNeitherDueNorBlocking) {
    const AlertTable table({alert(1, "pas une date", "09:00"), alert(2, "10/03/2026", "99:99"),
                            alert(3, "", ""), alert(4, "10/03/2026", "09:00")});
    const DueSchedule s(table);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "08:00:00")), std::nullopt);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "09:00:00")), 4);
    EXPECT_EQ(s.momentAt(1), std::nullopt);
    EXPECT_EQ(s.momentAt(4), at("10/03/2026", "09:00:00"));
    // Far in the future still nothing but position 4.
    EXPECT_EQ(s.firstDue(LocalTime::max()), 4);
}

TEST(DueSchedule, SkipPredicateNamesIds) {
    const AlertTable table({alert(10, "10/03/2026", "08:00"), alert(20, "10/03/2026", "08:30"),
                            alert(30, "10/03/2026", "09:00")});
    const DueSchedule s(table);
    const LocalTime now = at("10/03/2026", "10:00:00");
    std::set<std::int32_t> open;
    const auto isOpen = [&open](std::int32_t id) { return open.count(id) > 0; };

    EXPECT_EQ(s.firstDue(now, isOpen), 1);
    open = {10};
    EXPECT_EQ(s.firstDue(now, isOpen), 2);
    open = {10, 20};
    EXPECT_EQ(s.firstDue(now, isOpen), 3);
    open = {10, 20, 30};
    EXPECT_EQ(s.firstDue(now, isOpen), std::nullopt);
    open = {20};
    EXPECT_EQ(s.firstDue(now, isOpen), 1);
}

TEST(DueSchedule, SkipIsAskedOnlyAboutDueAlerts) {
    const DueSchedule s(AlertTable({alert(1, "10/03/2026", "12:00"), alert(2, "10/03/2026", "08:00")}));
    std::vector<std::int32_t> asked;
    s.firstDue(at("10/03/2026", "09:00:00"), [&](std::int32_t id) {
        asked.push_back(id);
        return false;
    });
    EXPECT_EQ(asked, std::vector<std::int32_t>{2});
}

TEST(DueSchedule, UpdateAfterSnooze) {
    AlertTable table({alert(1, "10/03/2026", "09:00"), alert(2, "10/03/2026", "11:00")});
    DueSchedule s(table);
    const LocalTime now = at("10/03/2026", "09:00:20");
    ASSERT_EQ(s.firstDue(now), 1);

    table.at(1).AlertTime = "09:05";
    EXPECT_TRUE(s.update(1, table.at(1)));
    EXPECT_EQ(s.firstDue(now), std::nullopt);
    EXPECT_EQ(s.firstDue(at("10/03/2026", "09:05:00")), 1);

    table.at(2).AlertDate = "abîmé";
    EXPECT_TRUE(s.update(2, table.at(2)));
    EXPECT_EQ(s.momentAt(2), std::nullopt);

    EXPECT_FALSE(s.update(0, table.at(1)));
    EXPECT_FALSE(s.update(3, table.at(1)));
    EXPECT_EQ(s.size(), 2);
}

TEST(DueSchedule, EmptyTableNeverDue) {
    const DueSchedule empty;
    EXPECT_EQ(empty.firstDue(at("10/03/2026", "09:00:00")), std::nullopt);
    EXPECT_EQ(DueSchedule(AlertTable{}).size(), 0);
}

// The scan compares wall-clock moments only, so a clock set forward makes every passed alert
// due at the next tick, and a clock set back never brings an alert forward.
TEST(DueSchedule, ClockSetForwardOrBack) {
    const DueSchedule s(AlertTable({alert(1, "10/03/2026", "10:00"), alert(2, "10/03/2026", "12:00")}));
    FakeClock clock(at("10/03/2026", "09:00:00"));
    EXPECT_EQ(s.firstDue(clock.now()), std::nullopt);

    clock.set(at("10/03/2026", "13:00:00"));
    EXPECT_EQ(s.firstDue(clock.now()), 1);
    EXPECT_EQ(s.firstDue(clock.now(), [](std::int32_t id) { return id == 1; }), 2);

    clock.set(at("10/03/2026", "11:00:00"));
    EXPECT_EQ(s.firstDue(clock.now(), [](std::int32_t id) { return id == 1; }), std::nullopt);
    clock.set(at("09/03/2026", "11:00:00"));
    EXPECT_EQ(s.firstDue(clock.now()), std::nullopt);
    clock.set(at("10/03/2026", "11:59:59"));
    EXPECT_EQ(s.firstDue(clock.now(), [](std::int32_t id) { return id == 1; }), std::nullopt);
    clock.set(at("10/03/2026", "12:00:00"));
    EXPECT_EQ(s.firstDue(clock.now(), [](std::int32_t id) { return id == 1; }), 2);
}

class DaylightSaving : public ::testing::Test {
protected:
    void SetUp() override { test::setTimeZone("Europe/Paris"); }
    void TearDown() override { test::setTimeZone("UTC"); }

    static sys_seconds utc(int y, unsigned m, unsigned d, int h, int min, int s) {
        return sys_days{year{y} / month{m} / day{d}} + hours{h} + minutes{min} + seconds{s};
    }

    /// The first instant from `start` on, in 3-second ticks, at which the schedule has a due alert.
    static std::optional<sys_seconds> firstDueTick(const DueSchedule& s, sys_seconds start, int ticks) {
        for (int i = 0; i < ticks; ++i) {
            const sys_seconds t = start + seconds{3 * i};
            if (s.firstDue(SystemClock::toLocal(t)))
                return t;
        }
        return std::nullopt;
    }
};

TEST_F(DaylightSaving, LocalTimeAroundTheChanges) {
    // Spring forward: 01:59:59 CET is followed by 03:00:00 CEST.
    EXPECT_EQ(SystemClock::toLocal(utc(2026, 3, 29, 0, 59, 59)), at("29/03/2026", "01:59:59"));
    EXPECT_EQ(SystemClock::toLocal(utc(2026, 3, 29, 1, 0, 0)), at("29/03/2026", "03:00:00"));
    // Fall back: 02:59:59 CEST is followed by 02:00:00 CET.
    EXPECT_EQ(SystemClock::toLocal(utc(2026, 10, 25, 0, 59, 59)), at("25/10/2026", "02:59:59"));
    EXPECT_EQ(SystemClock::toLocal(utc(2026, 10, 25, 1, 0, 0)), at("25/10/2026", "02:00:00"));
    // Fractions of a second are cut, not rounded.
    EXPECT_EQ(SystemClock::toLocal(utc(2026, 7, 1, 10, 0, 0) + milliseconds{999}),
              at("01/07/2026", "12:00:00"));
}

TEST_F(DaylightSaving, AlertInTheSkippedHourIsDueWhenItEnds) {
    const DueSchedule s(AlertTable({alert(1, "29/03/2026", "02:30")}));
    EXPECT_EQ(s.firstDue(SystemClock::toLocal(utc(2026, 3, 29, 0, 59, 59))), std::nullopt); // 01:59:59
    const auto tick = firstDueTick(s, utc(2026, 3, 29, 0, 0, 0), 3000);
    ASSERT_TRUE(tick);
    EXPECT_EQ(*tick, utc(2026, 3, 29, 1, 0, 0));
    EXPECT_EQ(SystemClock::toLocal(*tick), at("29/03/2026", "03:00:00"));
}

TEST_F(DaylightSaving, AlertInTheRepeatedHourIsDueTheFirstTime) {
    const DueSchedule s(AlertTable({alert(1, "25/10/2026", "02:30")}));
    const auto tick = firstDueTick(s, utc(2026, 10, 24, 23, 0, 0), 3000);
    ASSERT_TRUE(tick);
    EXPECT_EQ(*tick, utc(2026, 10, 25, 0, 30, 0)); // 02:30 CEST, an hour before the second 02:30
    EXPECT_EQ(SystemClock::toLocal(*tick), at("25/10/2026", "02:30:00"));
}

TEST(SystemClock, NowIsTheLocalTimeOfTheSystemClock) {
    // TZ is UTC in tests: local and UTC wall clocks agree.
    EXPECT_EQ(SystemClock::toLocal(sys_days{2026y / March / 10} + 9h), at("10/03/2026", "09:00:00"));
    const auto before = SystemClock::toLocal(system_clock::now());
    const auto now = SystemClock().now();
    EXPECT_LE(before, now);
    EXPECT_LE(now - before, seconds{2});
}

TEST(SystemClock, AZoneChangedWhileRunningIsSeenAtTheNextReading) {
    // The zone changes under the running program (a laptop carried elsewhere) and nothing tells
    // the C library. POSIX zone strings keep the test off the machine's zone files.
    struct RestoreZone {
        std::string tz = std::getenv("TZ") ? std::getenv("TZ") : "UTC";
        ~RestoreZone() { test::setTimeZone(tz.c_str()); }
    } restore;
    const struct {
        const char* tz;
        minutes east;
    } zones[] = {
        {"<+05>-5", 5h}, {"<-0330>3:30", -(3h + 30min)}, {"<+1245>-12:45", 12h + 45min}, {"UTC0", 0min}};
    const sys_seconds instant = sys_days{2026y / July / 1} + 10h;
    const DueSchedule s(AlertTable({alert(1, "01/07/2026", "15:00")}));
    const auto wall = [](sys_seconds t) { return LocalTime{t.time_since_epoch()}; };
    for (const auto& z : zones) {
        ::setenv("TZ", z.tz, 1);
        EXPECT_EQ(SystemClock::toLocal(instant), wall(instant) + z.east) << z.tz;
        EXPECT_EQ(s.firstDue(SystemClock::toLocal(instant)).has_value(), z.east >= 5h) << z.tz;
        const sys_seconds before = floor<seconds>(system_clock::now());
        const LocalTime now = SystemClock().now();
        const sys_seconds after = floor<seconds>(system_clock::now());
        EXPECT_TRUE(wall(before) + z.east <= now && now <= wall(after) + z.east) << z.tz;
    }
}

} // namespace
