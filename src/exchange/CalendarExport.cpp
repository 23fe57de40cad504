#include "exchange/CalendarExport.h"

#include "exchange/IcalHandles.h"
#include "exchange/RepeatRule.h"
#include "exchange/TextHash.h"
#include "schedule/DueScan.h"
#include "store/DateText.h"
#include "store/FileIo.h"

#include <ctime>
#include <libical/ical.h>
#include <unordered_set>

namespace zento {
using namespace std::chrono;

namespace {

/// libical writes no date after this year (it writes zeros instead).
constexpr year kLastYear{3000};

/// A floating local time, or a date alone.
icaltimetype wallTime(LocalTime t, bool dateOnly) {
    const Date d = DayOf(t);
    icaltimetype v = dateOnly ? icaltime_null_date() : icaltime_null_time();
    v.year = static_cast<int>(d.year());
    v.month = static_cast<int>(static_cast<unsigned>(d.month()));
    v.day = static_cast<int>(static_cast<unsigned>(d.day()));
    if (!dateOnly) {
        const auto s = static_cast<int>(TimeOfDay(t).count());
        v.hour = s / 3600;
        v.minute = s / 60 % 60;
        v.second = s % 60;
    }
    return v;
}

void addX(icalcomponent* event, const char* name, const std::string& value) {
    if (value.empty()) // libical refuses a property without a value when it reads it back
        return;
    icalproperty* p = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(p, name);
    icalcomponent_add_property(event, p);
}

/// An alarm at the start of the event.
icalcomponent* alarmAtStart(icalproperty_action action) {
    icalcomponent* alarm = icalcomponent_new_valarm();
    icalcomponent_add_property(alarm, icalproperty_new_action(action));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_null_duration();
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    return alarm;
}

/// The calendar around the events: its version and the program that wrote it.
ical::ComponentPtr calendarShell() {
    ical::ComponentPtr calendar(icalcomponent_new_vcalendar());
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//Zento//Zento " ZENTO_VERSION "//FR"));
    return calendar;
}

std::string textOf(icalcomponent* c) {
    char* text = icalcomponent_as_ical_string_r(c);
    std::string out = text ? text : "";
    icalmemory_free_buffer(text);
    return out;
}

} // namespace

std::vector<std::string> ExportUids(const std::vector<Alerte>& alerts, std::string_view storeKey) {
    const std::string store = TextHash(storeKey).substr(0, 8);
    std::unordered_set<std::string> own;
    for (const Alerte& a : alerts)
        if (!a.Uid.empty())
            own.insert(a.Uid);
    std::unordered_set<std::string> given;
    std::vector<std::string> uids;
    uids.reserve(alerts.size());
    for (const Alerte& a : alerts) {
        const bool derived = a.Uid.empty();
        const std::string base = derived ? "alerte-" + std::to_string(a.Id) + "-" + store + "@zento" : a.Uid;
        std::string uid = base;
        // A derived UID gives way to one an alert was imported under, wherever that alert stands.
        for (int n = 2; given.count(uid) != 0 || (derived && own.count(uid) != 0); ++n)
            uid = base + "-" + std::to_string(n);
        given.insert(uid);
        uids.push_back(std::move(uid));
    }
    return uids;
}

CalendarExport ExportCalendar(const std::vector<Alerte>& alerts, const ExportOptions& options) {
    CalendarExport out;
    const std::vector<std::string> uids = ExportUids(alerts, options.storeKey);
    const icaltimetype stamp =
        icaltime_from_timet_with_zone(static_cast<std::time_t>(options.stamp.time_since_epoch().count()), 0,
                                      icaltimezone_get_utc_timezone());
    // libical writes every line; each event is made, written and freed in turn, so that a large
    // store never stands whole in memory twice.
    const std::string shell = textOf(calendarShell().get());
    const std::size_t end = shell.rfind("END:VCALENDAR");
    out.text.reserve(alerts.size() * 700);
    out.text.append(shell, 0, end);

    for (std::size_t i = 0; i < alerts.size(); ++i) {
        const Alerte& a = alerts[i];
        const std::optional<LocalTime> moment = DueMoment(a);
        if (!moment || TrimBlanks(a.Message).empty() || DayOf(*moment).year() > kLastYear) {
            out.leftOut.push_back(a);
            continue;
        }
        // A date text that carries its own time (a hand edit) makes a timed event.
        const bool allDay = TrimBlanks(a.AlertTime).empty() &&
                            TrimBlanks(a.AlertDate).find_first_of(" \t") == std::string_view::npos;
        const ical::ComponentPtr event(icalcomponent_new_vevent());
        icalcomponent* e = event.get();
        icalcomponent_add_property(e, icalproperty_new_uid(uids[i].c_str()));
        icalcomponent_add_property(e, icalproperty_new_dtstamp(stamp));
        icalcomponent_add_property(e, icalproperty_new_summary(a.Message.c_str()));
        icalcomponent_add_property(e, icalproperty_new_dtstart(wallTime(*moment, allDay)));

        const std::optional<int> code = ParseInt32(a.Recurrence);
        const bool periodic = code && *code > 0;
        if (periodic) {
            const RepeatRule rule = RuleForCode(DayOf(*moment), *code);
            icalcomponent_add_property(
                e, icalproperty_new_rrule(icalrecurrencetype_from_string(rule.rrule.c_str())));
            if (rule.approximate)
                out.approximate.push_back(a);
        }
        icalcomponent_add_property(e, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
        addX(e, xprop::kRecurrence, periodic ? std::to_string(*code) : "0");
        addX(e, xprop::kEmoticon, a.Emoticon);
        addX(e, xprop::kSound, a.Sound);
        addX(e, xprop::kLoop, a.LoopSound);
        addX(e, xprop::kBackColor, a.BackColor);
        addX(e, xprop::kForeColor, a.ForeColor);
        addX(e, xprop::kAction, a.Action);

        icalcomponent* display = alarmAtStart(ICAL_ACTION_DISPLAY);
        icalcomponent_add_property(display, icalproperty_new_description(a.Message.c_str()));
        icalcomponent_add_component(e, display);
        if (!TrimBlanks(a.Sound).empty()) {
            icalcomponent* audio = alarmAtStart(ICAL_ACTION_AUDIO);
            icalattach* sound = icalattach_new_from_url(a.Sound.c_str());
            icalcomponent_add_property(audio, icalproperty_new_attach(sound));
            icalattach_unref(sound);
            icalcomponent_add_component(e, audio);
        }
        out.text += textOf(e);
    }
    out.text.append(shell, end);
    return out;
}

Status WriteCalendarFile(const std::filesystem::path& path, std::string_view text) {
    const std::string why = writeFileAtomically(path, text);
    if (!why.empty())
        return Error{ErrorCode::WriteFailed, why};
    return {};
}

} // namespace zento
