#include "exchange/CalendarImport.h"

#include "appearance/EmoticonSet.h"
#include "exchange/CalendarExport.h"
#include "exchange/CalendarReader.h"
#include "exchange/RepeatRule.h"
#include "exchange/TextHash.h"
#include "schedule/Recurrence.h"
#include "store/ColorValue.h"
#include "store/TextEncoding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <ctime>
#include <libical/ical.h>
#include <map>
#include <optional>
#include <strings.h>

namespace zento {
using namespace std::chrono;

namespace {

/// Iterator steps one item may take, and steps through the past a whole import may take: a daily
/// rule with a COUNT, begun half a century ago, is walked from its start (libical cannot jump
/// ahead in a counted rule), at up to 30 microseconds a step for a yearly rule on many days. A
/// rule that needs more is left out as unusable rather than stall the import; the steps from
/// today on (a few per item) are not counted, so a large calendar is never cut short.
constexpr int kMaxSteps = 20000;
constexpr long kMaxPastSteps = 60000;

/// A text of the file as UTF-8: each text is taken as UTF-8 when it is well-formed, else as
/// Windows-1252 (older programs), decided text by text because a line folded in the middle of a
/// character makes the file's bytes ill-formed while each unfolded text is fine.
std::string valueText(const char* s) {
    if (!s)
        return {};
    const std::string_view v(s);
    return isValidUtf8(v) ? std::string(v) : windows1252ToUtf8(v);
}

std::optional<Date> dateOf(const icaltimetype& t) {
    const Date d{year{t.year}, month{static_cast<unsigned>(t.month)}, day{static_cast<unsigned>(t.day)}};
    if (!d.ok())
        return std::nullopt;
    return d;
}

LocalTime wallOf(const icaltimetype& t, Date d) {
    if (t.is_date)
        return local_days{d};
    return local_days{d} + hours{t.hour} + minutes{t.minute} + seconds{t.second};
}

/// The local wall time of an iCalendar time (its date must be valid). A floating time or a date
/// is kept; a zoned or UTC time goes through its instant into the process's time zone. A zoned
/// time in the gap of a change to summer time takes the offset from before the change, as
/// RFC 5545 says (libical takes the one after, an hour early).
LocalTime toLocal(icaltimetype t) {
    if (t.is_date || !t.zone)
        return wallOf(t, *dateOf(t));
    // A zone is worked out once, up to ical::kLastZoneYear, and a later time converted 400·k
    // years earlier: the calendar repeats every 400 years (146,097 days), and so do the zones'
    // yearly rules. Past 2582 libical gave the last offset it had (no summer time), slowly.
    int cycles = 0;
    if (t.year > ical::kLastZoneYear) {
        cycles = (t.year - ical::kLastZoneYear + 399) / 400;
        t.year -= 400 * cycles;
    }
    const LocalTime wall = wallOf(t, *dateOf(t));
    auto* zone = const_cast<icaltimezone*>(t.zone);
    std::time_t s = icaltime_as_timet_with_zone(t, zone);
    if (zone != icaltimezone_get_utc_timezone()) {
        icaltimetype last = t;
        last.year = ical::kLastZoneYear - 5; // libical adds five years to what it is asked for
        icaltimezone_get_utc_offset(zone, &last, nullptr);
        const icaltimetype back = icaltime_from_timet_with_zone(s, 0, zone);
        if (const auto backDay = dateOf(back))
            s += static_cast<std::time_t>((wall - wallOf(back, *backDay)).count());
    }
    const days shift{146097L * cycles};
    // By the C library, as SystemClock does, but from time_t: system_clock ends in 2262.
    std::tm tm{};
    if (!::localtime_r(&s, &tm))
        return LocalTime{seconds{s}} + shift;
    return local_days{Date{year{tm.tm_year + 1900}, month{static_cast<unsigned>(tm.tm_mon + 1)},
                           day{static_cast<unsigned>(tm.tm_mday)}}} +
           hours{tm.tm_hour} + minutes{tm.tm_min} + seconds{tm.tm_sec} + shift;
}

/// The property's time with the zone of its TZID attached: the calendar's own VTIMEZONE, else a
/// zone libical knows by that name. `unknownTzid` receives a TZID that names neither.
icaltimetype zoned(icalproperty* p, icaltimetype t, icalcomponent* item, std::string& unknownTzid) {
    icalparameter* param = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
    if (!param || t.is_date || icaltime_is_utc(t))
        return t;
    const char* tzid = icalparameter_get_tzid(param);
    if (!tzid)
        return t;
    icaltimezone* zone = nullptr;
    for (icalcomponent* c = item; c && !zone; c = icalcomponent_get_parent(c))
        if (icalcomponent_isa(c) == ICAL_VCALENDAR_COMPONENT)
            zone = icalcomponent_get_timezone(c, tzid);
    if (!zone)
        zone = icaltimezone_get_builtin_timezone(tzid);
    if (!zone)
        zone = icaltimezone_get_builtin_timezone_from_tzid(tzid);
    if (!zone)
        unknownTzid = valueText(tzid);
    else
        t.zone = zone;
    return t;
}

/// Line breaks and other control characters made blanks, as the store keeps a value on one line,
/// and no blanks at the ends (libical drops them from every value it reads).
std::string oneLine(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue; // CR LF is one break
        out += (c < 0x20 || c == 0x7F) ? ' ' : text[i];
    }
    return std::string(TrimBlanks(out));
}

/// The first `maxChars` characters of UTF-8 text; true when something was cut.
bool shorten(std::string& text, std::size_t maxChars) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (chars++ == maxChars) {
            text.resize(i);
            return true;
        }
    }
    return false;
}

bool isBlank(std::string_view s) {
    return s.find_first_not_of(" \t") == std::string_view::npos;
}

/// A sound from a file: a plain file name of the sound folder, nothing that leads out of it.
bool isPlainFileName(std::string_view name) {
    return !isBlank(name) && name.find_first_of("/\\") == std::string_view::npos && name != "." &&
           name != "..";
}

bool sameName(const char* a, const char* b) {
    return a && b && ::strcasecmp(a, b) == 0;
}

/// How a recurring item is split into alerts: one per weekday, day of the month, or date.
enum class Split { None, Weekday, MonthDay, Date };

int countOf(const short* values, int size) {
    int n = 0;
    while (n < size && values[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n;
}

bool allPlain(const short* values, int size, bool weekdays) {
    for (int i = 0; i < countOf(values, size); ++i) {
        if (weekdays ? icalrecurrencetype_day_position(values[i]) != 0 : values[i] <= 0)
            return false;
    }
    return true;
}

/// Whether the rule's days of the month exist in one of its months: libical looks for "the 30th
/// of February" through centuries before it gives up, a second or more of work per item.
bool dayCanOccur(const icalrecurrencetype& rule) {
    constexpr std::array<int, 12> kLongest = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int days = countOf(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int months = countOf(rule.by_month, ICAL_BY_MONTH_SIZE);
    if (days == 0 || months == 0)
        return true;
    for (int d = 0; d < days; ++d) {
        for (int m = 0; m < months; ++m) {
            const int month = icalrecurrencetype_month_month(rule.by_month[m]);
            if (month >= 1 && month <= 12 &&
                std::abs(rule.by_month_day[d]) <= kLongest[static_cast<std::size_t>(month - 1)])
                return true;
        }
    }
    return false;
}

/// The part of a split rule an occurrence belongs to.
int keyOf(Split split, const icaltimetype& t) {
    switch (split) {
    case Split::Weekday:
        return icaltime_day_of_week(t);
    case Split::MonthDay:
        return t.day;
    case Split::Date:
        return t.month * 100 + t.day;
    default:
        return 0;
    }
}

/// An item's moments, relative to its anchor: its start, or the due moment of a task without one.
struct Timing {
    icaltimetype anchor{};
    LocalTime start{};                 ///< the anchor in local wall time
    bool allDay = false;               ///< the anchor is a date
    seconds ownOffset{0};              ///< anchor to the item's own moment (a task's due moment)
    seconds remindOffset{0};           ///< anchor to the reminder
    std::optional<LocalTime> remindAt; ///< an alarm at a fixed time
    bool remindAllDay = false;         ///< the reminder falls on a day, without a time
};

/// One alert to be: the whole item, or one day of a rule split by day.
struct Part {
    int key = 0;
    icaltimetype wall{};    ///< its first occurrence as the rule gives it, zone attached
    LocalTime first{};      ///< the same in local wall time
    bool seenTwice = false; ///< an occurrence of it follows the first
    bool once = false;      ///< the rule ends after the first: a one-off alert
};

struct Repeat {
    std::vector<Part> parts;
    int code = 0;
    Split split = Split::None;
};

/// The EXDATE of an item: local wall times, and whether each is a date alone.
using Exclusions = std::vector<std::pair<LocalTime, bool>>;

class Planner final {
public:
    Planner(LocalTime now, const ImportOptions& options, ImportPlan& plan)
        : m_now(now), m_today(DayOf(now)), m_options(options), m_plan(plan) {}

    void planItem(const ical::CalendarItem& item);

private:
    bool ahead(const Timing& t, LocalTime start) const;
    static LocalTime reminder(const Timing& t, LocalTime start) {
        return t.remindAt ? *t.remindAt : start + t.remindOffset;
    }
    std::optional<Timing> timingOf(icalcomponent* c, const std::string& summary,
                                   std::vector<ImportIssue>& issues);
    bool expand(icalproperty* rrule, const Timing& t, const Exclusions& excluded, const std::string& summary,
                std::vector<ImportIssue>& issues, Repeat& out);
    std::optional<LocalTime> ownSteps(const Timing& t, int code) const;
    bool timeVaries(icaltimetype wall);
    void skip(const std::string& summary, ImportReason reason, std::string detail = {}) {
        m_plan.notes.push_back({summary, true, {{reason, std::move(detail)}}});
    }

    LocalTime m_now;
    Date m_today;
    const ImportOptions& m_options;
    ImportPlan& m_plan;
    std::unordered_set<std::string> m_seenUids;
    std::unordered_set<std::string> m_given;
    std::map<std::pair<const void*, int>, bool> m_timeVaries; ///< by zone and time of day
    long m_pastStepsLeft = kMaxPastSteps;
};

/// Whether the occurrence at `start` is not wholly past: its own moment or its reminder is ahead
/// (a whole day counts until its end).
bool Planner::ahead(const Timing& t, LocalTime start) const {
    const LocalTime own = start + t.ownOffset;
    if (t.allDay ? DayOf(own) >= m_today : own >= m_now)
        return true;
    const LocalTime remind = reminder(t, start);
    return t.remindAllDay ? DayOf(remind) >= m_today : remind >= m_now;
}

/// The item's anchor and its first alarm; nullopt (with the reason counted or noted) when it has
/// no moment.
std::optional<Timing> Planner::timingOf(icalcomponent* c, const std::string& summary,
                                        std::vector<ImportIssue>& issues) {
    const bool task = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT;
    std::string unknownTzid;
    auto timeOf = [&](icalproperty_kind kind) -> std::optional<icaltimetype> {
        icalproperty* p = icalcomponent_get_first_property(c, kind);
        if (!p)
            return std::nullopt;
        const icaltimetype t = kind == ICAL_DTSTART_PROPERTY ? icalproperty_get_dtstart(p)
                               : kind == ICAL_DUE_PROPERTY   ? icalproperty_get_due(p)
                                                             : icalproperty_get_dtend(p);
        if (icaltime_is_null_time(t) || !dateOf(t))
            return std::nullopt;
        return zoned(p, t, c, unknownTzid);
    };
    const std::optional<icaltimetype> dtstart = timeOf(ICAL_DTSTART_PROPERTY);
    const std::optional<icaltimetype> due = task ? timeOf(ICAL_DUE_PROPERTY) : std::nullopt;

    // The first alarm that reminds of anything (Apple writes ACTION:NONE for "no alarm").
    icalproperty* trigger = nullptr;
    for (icalcomponent* a = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT); a && !trigger;
         a = icalcomponent_get_next_component(c, ICAL_VALARM_COMPONENT)) {
        icalproperty* action = icalcomponent_get_first_property(a, ICAL_ACTION_PROPERTY);
        if (!action || !sameName(icalproperty_get_value_as_string(action), "NONE"))
            trigger = icalcomponent_get_first_property(a, ICAL_TRIGGER_PROPERTY);
    }
    const icaltriggertype trig = trigger ? icalproperty_get_trigger(trigger) : icaltriggertype{};
    const bool fixedAlarm = trigger && !icaltime_is_null_time(trig.time) && dateOf(trig.time);

    Timing t;
    if (task && !due && !trigger) {
        ++m_plan.undatedTaskCount; // a start alone says when work may begin, not when to remind
        return std::nullopt;
    }
    if (dtstart || due) {
        t.anchor = dtstart ? *dtstart : *due;
    } else if (task && fixedAlarm) {
        t.anchor = trig.time;
    } else {
        if (task)
            ++m_plan.undatedTaskCount;
        else
            skip(summary, ImportReason::NoDate);
        return std::nullopt;
    }
    t.start = toLocal(t.anchor);
    t.allDay = t.anchor.is_date != 0;

    // From the anchor to the end of the item: an event's end or a task's due moment; an end
    // before the start is taken as the start.
    seconds toEnd{0};
    if (task) {
        if (due && dtstart)
            toEnd = std::max(seconds{0}, toLocal(*due) - t.start);
        t.ownOffset = toEnd;
    } else if (const auto dtend = timeOf(ICAL_DTEND_PROPERTY)) {
        toEnd = std::max(seconds{0}, toLocal(*dtend) - t.start);
    } else if (icalproperty* d = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY)) {
        toEnd = std::max(seconds{0}, seconds{icaldurationtype_as_int(icalproperty_get_duration(d))});
    } else if (t.allDay) {
        toEnd = days{1};
    }

    t.remindOffset = t.ownOffset;
    t.remindAllDay = t.allDay;
    if (fixedAlarm) {
        t.remindAt = toLocal(trig.time);
        t.remindAllDay = false;
    } else if (trigger) {
        icalparameter* related = icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER);
        const bool fromEnd = related && icalparameter_get_related(related) == ICAL_RELATED_END;
        t.remindOffset = (fromEnd ? toEnd : seconds{0}) + seconds{icaldurationtype_as_int(trig.duration)};
        t.remindAllDay = t.allDay && t.remindOffset % days{1} == seconds{0};
    }
    if (!unknownTzid.empty())
        issues.push_back({ImportReason::UnknownTimeZone, unknownTzid});
    return t;
}

/// The first occurrence not wholly past by the alert's own steps (NextOccurrence), from the
/// anchor: for an item Zento wrote, so that a month-end alert keeps its shortened day.
std::optional<LocalTime> Planner::ownSteps(const Timing& t, int code) const {
    Date d = DayOf(t.start);
    const seconds time = TimeOfDay(t.start);
    if (code <= 3) { // whole days or weeks: over the past at once
        const int step = code == 1 ? 1 : code == 2 ? 7 : 14;
        const auto behind = (sys_days{m_today} - sys_days{d}).count();
        if (behind > step)
            d = Date{sys_days{d} + days{(behind / step - 1) * step}};
    }
    for (int i = 0; i < kMaxSteps; ++i, d = NextOccurrence(d, code))
        if (ahead(t, AtTime(d, time)))
            return AtTime(d, time);
    return std::nullopt;
}

/// Whether a time of a zone other than the local one falls at different local times of day over
/// a year (the two zones change to summer time on different days, or one never does).
bool Planner::timeVaries(icaltimetype wall) {
    const auto key = std::make_pair(static_cast<const void*>(wall.zone),
                                    wall.hour * 3600 + wall.minute * 60 + wall.second);
    if (const auto it = m_timeVaries.find(key); it != m_timeVaries.end())
        return it->second;
    const seconds first = TimeOfDay(toLocal(wall));
    bool varies = false;
    for (int week = 0; week < 53 && !varies; ++week) {
        icaltime_adjust(&wall, 7, 0, 0, 0);
        varies = TimeOfDay(toLocal(wall)) != first;
    }
    m_timeVaries.emplace(key, varies);
    return varies;
}

/// The parts of a recurring item from its RRULE, expanded by libical from the present on, with
/// the nearest recurrence kind; false when the item was counted or noted as left out.
bool Planner::expand(icalproperty* rrule, const Timing& t, const Exclusions& excluded,
                     const std::string& summary, std::vector<ImportIssue>& issues, Repeat& out) {
    const icalrecurrencetype rule = icalproperty_get_rrule(rrule);
    const std::string ruleText = valueText(icalproperty_get_value_as_string(rrule));
    const int n = std::max<int>(1, rule.interval);
    const bool hasEnd = rule.count > 0 || !icaltime_is_null_time(rule.until);
    double period = 0;      // in days
    bool exactStep = false; // the interval is one of a recurrence kind
    switch (rule.freq) {
    case ICAL_DAILY_RECURRENCE:
        period = n;
        exactStep = n == 1 || n == 7 || n == 14;
        break;
    case ICAL_WEEKLY_RECURRENCE:
        period = 7.0 * n;
        exactStep = n <= 2;
        break;
    case ICAL_MONTHLY_RECURRENCE:
        period = 30.436875 * n;
        exactStep = n == 1 || n == 2 || n == 3 || n == 6 || n == 12;
        break;
    case ICAL_YEARLY_RECURRENCE:
        period = 365.2425 * n;
        exactStep = n == 1;
        break;
    case ICAL_SECONDLY_RECURRENCE:
    case ICAL_MINUTELY_RECURRENCE:
    case ICAL_HOURLY_RECURRENCE:
        if (!icaltime_is_null_time(rule.until) && dateOf(rule.until) && toLocal(rule.until) < m_now)
            ++m_plan.pastCount;
        else
            skip(summary, ImportReason::TooFrequent, ruleText);
        return false;
    default:
        skip(summary, ImportReason::RuleUnusable, ruleText);
        return false;
    }

    // The shapes a kind can take exactly: plain weekdays of a weekly rule (or of a daily one),
    // days of the month of a monthly one, months and days of a yearly one; one alert each.
    const bool noFinerParts = countOf(rule.by_second, ICAL_BY_SECOND_SIZE) == 0 &&
                              countOf(rule.by_minute, ICAL_BY_MINUTE_SIZE) == 0 &&
                              countOf(rule.by_hour, ICAL_BY_HOUR_SIZE) == 0 &&
                              countOf(rule.by_year_day, ICAL_BY_YEARDAY_SIZE) == 0 &&
                              countOf(rule.by_week_no, ICAL_BY_WEEKNO_SIZE) == 0 &&
                              countOf(rule.by_set_pos, ICAL_BY_SETPOS_SIZE) == 0;
    const int byDay = countOf(rule.by_day, ICAL_BY_DAY_SIZE);
    const int byMonthDay = countOf(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE);
    const int byMonth = countOf(rule.by_month, ICAL_BY_MONTH_SIZE);
    const bool plainDays = allPlain(rule.by_day, ICAL_BY_DAY_SIZE, true);
    const bool plainMonthDays = allPlain(rule.by_month_day, ICAL_BY_MONTHDAY_SIZE, false);
    bool shaped = false;
    int expected = 1; // parts the rule has
    if (noFinerParts && byDay == 0 && byMonthDay == 0 && byMonth == 0) {
        shaped = true; // the start's own day, time and month
    } else if (noFinerParts && rule.freq == ICAL_DAILY_RECURRENCE && n == 1 && byDay > 0 && plainDays &&
               byMonth == 0 && byMonthDay == 0) {
        period = 7; // every day of a set of weekdays: weekly, once per weekday
        shaped = true;
        expected = byDay;
        out.split = Split::Weekday;
    } else if (noFinerParts && rule.freq == ICAL_WEEKLY_RECURRENCE && plainDays && byMonth == 0 &&
               byMonthDay == 0) {
        shaped = true;
        expected = std::max(1, byDay);
        out.split = Split::Weekday;
    } else if (noFinerParts && rule.freq == ICAL_MONTHLY_RECURRENCE && byDay == 0 && byMonth == 0 &&
               plainMonthDays) {
        shaped = true;
        expected = std::max(1, byMonthDay);
        out.split = Split::MonthDay;
    } else if (noFinerParts && rule.freq == ICAL_YEARLY_RECURRENCE && byDay == 0 && plainMonthDays) {
        shaped = true;
        expected = std::max(1, byMonth) * std::max(1, byMonthDay);
        out.split = Split::Date;
    }
    if (expected == 1)
        out.split = Split::None;
    out.code = NearestCode(period);

    icalrecur_iterator* it = dayCanOccur(rule) ? icalrecur_iterator_new(rule, t.anchor) : nullptr;
    if (!it) {
        skip(summary, ImportReason::RuleUnusable, ruleText);
        return false;
    }
    const LocalTime searchFrom = m_now - std::max({seconds{0}, t.remindOffset, t.ownOffset}) - days{2};
    if (rule.count == 0 && t.start < searchFrom) {
        // Straight to the present; libical keeps the rule's phase.
        icaltimetype from = t.anchor;
        const Date d = DayOf(searchFrom);
        const auto s = static_cast<int>(TimeOfDay(searchFrom).count());
        from.year = static_cast<int>(d.year());
        from.month = static_cast<int>(static_cast<unsigned>(d.month()));
        from.day = static_cast<int>(static_cast<unsigned>(d.day()));
        if (!from.is_date) {
            from.hour = s / 3600;
            from.minute = s / 60 % 60;
            from.second = s % 60;
        }
        icalrecur_iterator_set_start(it, from);
    }
    // Until every part is found (and, when the rule ends, seen twice), within two periods (four
    // years for a yearly rule, for 29 February).
    const auto span = days{
        static_cast<long long>(std::ceil(rule.freq == ICAL_YEARLY_RECURRENCE ? 4 * 366.0 : 2 * period)) + 2};
    std::optional<LocalTime> horizon;
    bool ended = false;
    int step = 0;
    auto done = [&] {
        return static_cast<int>(out.parts.size()) >= expected &&
               (!hasEnd ||
                std::all_of(out.parts.begin(), out.parts.end(), [](const Part& p) { return p.seenTwice; }));
    };
    bool any = false; // the rule gave an occurrence, past or not
    for (; step < kMaxSteps && m_pastStepsLeft > 0 && !done(); ++step) {
        icaltimetype o = icalrecur_iterator_next(it);
        if (icaltime_is_null_time(o) || !dateOf(o)) {
            ended = true;
            break;
        }
        any = true;
        o.zone = t.anchor.zone;
        const LocalTime s = toLocal(o);
        if (s < m_now)
            --m_pastStepsLeft;
        if (horizon && s > *horizon)
            break;
        const int key = keyOf(out.split, o);
        const auto part =
            std::find_if(out.parts.begin(), out.parts.end(), [key](const Part& p) { return p.key == key; });
        if (part != out.parts.end()) {
            part->seenTwice = true;
        } else if (ahead(t, s) && !std::any_of(excluded.begin(), excluded.end(), [s](const auto& x) {
                       return x.second ? DayOf(x.first) == DayOf(s) : x.first == s;
                   })) {
            out.parts.push_back({key, o, s, false, false});
            if (!horizon)
                horizon = s + span;
        }
    }
    icalrecur_iterator_free(it);
    if (out.parts.empty()) {
        // Ended (counted as past by the caller), or never occurring, or too long to follow.
        const bool untilPassed =
            !icaltime_is_null_time(rule.until) && dateOf(rule.until) && toLocal(rule.until) < m_now;
        if (ended && (any || untilPassed))
            return true;
        skip(summary, ImportReason::RuleUnusable, ruleText);
        return false;
    }

    // Whether the kind's own steps fall on the same days: a month step from the 29th to the 31st
    // that meets a shorter month keeps the shortened day where the rule goes back, and a reminder
    // moved into another month does not keep its day of the month.
    bool approximated = !shaped || !exactStep;
    for (Part& part : out.parts) {
        part.once = ended && !part.seenTwice;
        if (approximated || part.once ||
            (rule.freq != ICAL_MONTHLY_RECURRENCE && rule.freq != ICAL_YEARLY_RECURRENCE))
            continue;
        const auto day = static_cast<unsigned>(part.wall.day);
        approximated = MeetsShorterMonth(static_cast<unsigned>(part.wall.month), day,
                                         rule.freq == ICAL_YEARLY_RECURRENCE ? 12 : n);
        const Date remind = DayOf(reminder(t, part.first));
        approximated = approximated ||
                       (remind != *dateOf(part.wall) &&
                        (static_cast<unsigned>(remind.month()) != static_cast<unsigned>(part.wall.month) ||
                         static_cast<unsigned>(remind.day()) > 28));
    }
    const bool repeats =
        std::any_of(out.parts.begin(), out.parts.end(), [](const Part& p) { return !p.once; });
    if (repeats && approximated)
        issues.push_back(
            {ImportReason::RuleApproximated,
             ruleText + " → " + std::string(kRecurrenceNames[static_cast<std::size_t>(out.code)])});
    else if (repeats && t.anchor.zone && timeVaries(out.parts.front().wall)) {
        // The zone's place name ("Europe/Paris"), not libical's prefixed id for its built-in zones.
        auto* zone = const_cast<icaltimezone*>(t.anchor.zone);
        const char* location = icaltimezone_get_location(zone);
        issues.push_back(
            {ImportReason::LocalTimeVaries, valueText(location ? location : icaltimezone_get_tzid(zone))});
    }
    if (repeats && hasEnd)
        issues.push_back({ImportReason::EndIgnored, rule.count > 0
                                                        ? "après " + std::to_string(rule.count) + " fois"
                                                        : "le " + FormatDate(DayOf(toLocal(rule.until)))});
    // An exclusion after the first occurrence of the part it falls on comes back.
    if (std::any_of(excluded.begin(), excluded.end(), [&out](const auto& x) {
            const Date d = DayOf(x.first);
            icaltimetype day = icaltime_null_date();
            day.year = static_cast<int>(d.year());
            day.month = static_cast<int>(static_cast<unsigned>(d.month()));
            day.day = static_cast<int>(static_cast<unsigned>(d.day()));
            return std::any_of(out.parts.begin(), out.parts.end(), [&](const Part& p) {
                return !p.once && x.first > p.first && p.key == keyOf(out.split, day);
            });
        }))
        issues.push_back({ImportReason::ExceptionsIgnored, {}});
    return true;
}

void Planner::planItem(const ical::CalendarItem& item) {
    icalcomponent* c = item.component;
    const bool task = icalcomponent_isa(c) == ICAL_VTODO_COMPONENT;

    // The message: the summary, else the display alarm's description.
    std::string message = oneLine(valueText(icalcomponent_get_summary(c)));
    for (icalcomponent* a = icalcomponent_get_first_component(c, ICAL_VALARM_COMPONENT);
         a && isBlank(message); a = icalcomponent_get_next_component(c, ICAL_VALARM_COMPONENT)) {
        icalproperty* action = icalcomponent_get_first_property(a, ICAL_ACTION_PROPERTY);
        if (action && icalproperty_get_action(action) == ICAL_ACTION_DISPLAY)
            message = oneLine(valueText(icalcomponent_get_description(a)));
    }
    std::vector<ImportIssue> issues;
    if (shorten(message, kMaxImportedMessage)) {
        message = std::string(TrimBlanks(message));
        issues.push_back({ImportReason::TextShortened, {}});
    }

    if (!item.damage.empty())
        return skip(message, ImportReason::Unreadable, valueText(item.damage.c_str()));
    std::optional<Timing> timing = timingOf(c, message, issues);
    if (!timing)
        return;
    Timing& t = *timing;
    if (icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY)) {
        if (!ahead(t, t.start))
            ++m_plan.pastCount;
        else
            skip(message, ImportReason::ModifiedOccurrence, FormatDate(DayOf(t.start)));
        return;
    }

    // Our own properties.
    std::map<std::string, std::string, std::less<>> own;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_X_PROPERTY)) {
        std::string name = valueText(icalproperty_get_x_name(p));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
        if (name.rfind("X-ZENTO-", 0) == 0)
            own.emplace(std::move(name), oneLine(valueText(icalproperty_get_x(p))));
    }
    auto ownValue = [&own](const char* name) -> const std::string* {
        const auto it = own.find(name);
        return it == own.end() ? nullptr : &it->second;
    };

    // Extra dates and exclusions of a rule.
    std::string unknownTzid;
    const int rules = icalcomponent_count_properties(c, ICAL_RRULE_PROPERTY);
    icalproperty* rrule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
    bool extraDates = rules > 1;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY); p && !extraDates;
         p = icalcomponent_get_next_property(c, ICAL_RDATE_PROPERTY)) {
        const icaldatetimeperiodtype r = icalproperty_get_rdate(p);
        const icaltimetype when = icaltime_is_null_time(r.time) ? r.period.start : r.time;
        extraDates = dateOf(when) && toLocal(zoned(p, when, c, unknownTzid)) >= m_now;
    }
    if (extraDates)
        issues.push_back({ImportReason::ExtraDatesIgnored, {}});
    Exclusions excluded;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_EXDATE_PROPERTY)) {
        const icaltimetype x = icalproperty_get_exdate(p);
        if (dateOf(x))
            excluded.emplace_back(toLocal(zoned(p, x, c, unknownTzid)), x.is_date != 0);
    }
    if (rrule && t.remindAt) {
        issues.push_back({ImportReason::FixedAlarmRepeated, {}});
        t.remindAt.reset();
        t.remindOffset = t.ownOffset;
        t.remindAllDay = t.allDay;
    }

    // The occurrences to come, one part per alert.
    Repeat repeat;
    const std::string* ownCode = ownValue(xprop::kRecurrence);
    const std::optional<int> trusted = ownCode ? ParseInt32(*ownCode) : std::nullopt;
    if (!rrule) {
        if (ahead(t, t.start))
            repeat.parts.push_back({0, t.anchor, t.start, false, true});
    } else if (trusted && *trusted >= 1 && *trusted <= 8 && rules == 1 && excluded.empty() && !extraDates &&
               t.remindOffset == seconds{0} && !task &&
               NormalizedRule(valueText(icalproperty_get_value_as_string(rrule))) ==
                   NormalizedRule(RuleForCode(DayOf(t.start), *trusted).rrule)) {
        // Written by Zento and left as it was: the alert's own steps, a month end exactly.
        repeat.code = *trusted;
        if (const auto first = ownSteps(t, repeat.code))
            repeat.parts.push_back({0, t.anchor, *first, true, false});
    } else if (!expand(rrule, t, excluded, message, issues, repeat)) {
        return;
    }
    if (!unknownTzid.empty() && std::none_of(issues.begin(), issues.end(), [](const ImportIssue& i) {
            return i.reason == ImportReason::UnknownTimeZone;
        }))
        issues.push_back({ImportReason::UnknownTimeZone, unknownTzid});

    if (repeat.parts.empty()) {
        ++m_plan.pastCount;
        return;
    }
    const icalproperty_status status = icalcomponent_get_status(c);
    if (status == ICAL_STATUS_CANCELLED)
        return skip(message, ImportReason::Cancelled);
    if (task &&
        (status == ICAL_STATUS_COMPLETED || icalcomponent_get_first_property(c, ICAL_COMPLETED_PROPERTY)))
        return skip(message, ImportReason::Completed);
    if (message.empty())
        return skip(message, ImportReason::NoText);

    // The item's UID; a file that gives one UID to several items still gets them all.
    std::string uid = oneLine(valueText(icalcomponent_get_uid(c)));
    if (uid.empty() || m_seenUids.count(uid) != 0) {
        char* text = icalcomponent_as_ical_string_r(c);
        const std::string hash = TextHash(valueText(text));
        icalmemory_free_buffer(text);
        uid = uid.empty() ? "import-" + hash + "@zento" : uid + "#" + hash.substr(0, 8);
    }
    m_seenUids.insert(uid);

    // The appearance: ours when present and valid, else a new alert's.
    Alerte base = m_options.newAlert ? m_options.newAlert() : Alerte{};
    base.Id = 0;
    base.Message = message;
    auto take = [&](const char* name, std::string& field, bool (*valid)(std::string_view)) {
        if (const std::string* v = ownValue(name)) {
            if (valid(*v))
                field = *v;
            else
                issues.push_back({ImportReason::ValueIgnored, std::string(name) + "=" + *v});
        }
    };
    take(xprop::kEmoticon, base.Emoticon,
         [](std::string_view v) { return ParseEmoticonIndex(v).has_value(); });
    take(xprop::kBackColor, base.BackColor,
         [](std::string_view v) { return ParseColorValue(v).has_value(); });
    take(xprop::kForeColor, base.ForeColor,
         [](std::string_view v) { return ParseColorValue(v).has_value(); });
    take(xprop::kLoop, base.LoopSound, [](std::string_view v) { return v == "0" || v == "1"; });
    take(xprop::kSound, base.Sound, isPlainFileName);
    if (ownCode && !ownValue(xprop::kSound))
        base.Sound.clear(); // written by Zento for an alert without sound
    std::string withheld;
    if (const std::string* action = ownValue(xprop::kAction); action && !action->empty()) {
        if (m_options.acceptActions)
            base.Action = *action;
        else
            withheld = *action;
    }

    std::vector<Alerte> alerts;
    for (const Part& part : repeat.parts) {
        Alerte a = base;
        const LocalTime r = reminder(t, part.first);
        a.AlertDate = FormatDate(DayOf(r));
        a.AlertTime = t.remindAllDay ? std::string() : FormatTime(TimeOfDay(r));
        a.Recurrence = std::to_string(part.once ? 0 : repeat.code);
        a.Uid = uid;
        if (repeat.split != Split::None) {
            a.Uid += '#';
            a.Uid += repeat.split == Split::Weekday
                         ? icalrecur_weekday_to_string(static_cast<icalrecurrencetype_weekday>(part.key))
                         : std::to_string(part.key);
        }
        if (m_options.knownUids.count(a.Uid) == 0 && m_given.insert(a.Uid).second)
            alerts.push_back(std::move(a));
    }
    if (alerts.empty()) {
        ++m_plan.duplicateCount;
        return;
    }
    if (!withheld.empty()) {
        issues.push_back({ImportReason::ActionWithheld, withheld});
        m_plan.withheldActions.push_back({message, withheld});
    }
    for (Alerte& a : alerts)
        m_plan.alerts.push_back(std::move(a));
    if (!issues.empty())
        m_plan.notes.push_back({message, false, std::move(issues)});
}

} // namespace

Result<ImportPlan> PlanImport(std::string_view fileBytes, LocalTime now, const ImportOptions& options) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    if (fileBytes.substr(0, kBom.size()) == kBom)
        fileBytes.remove_prefix(kBom.size());
    ImportPlan plan;
    Planner planner(now, options, plan);
    const Status read = ical::ReadCalendarFile(
        fileBytes, [&planner](const ical::CalendarItem& item) { planner.planItem(item); });
    if (!read)
        return Error{read.error().code, valueText(read.error().detail.c_str())};
    return plan;
}

} // namespace zento
