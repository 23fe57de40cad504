#include "exchange/CalendarReader.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

namespace zento::ical {
namespace {

/// A logical line longer than this is not a calendar's: refused rather than handed to libical.
constexpr std::size_t kMaxLogicalLine = 1 << 20;

/// The iterations libical may spend on a file's time zone definitions. libical works out a zone's
/// changes from the first rule of each part up to the year asked for (we ask for 2500 at most), at
/// some microseconds an iteration: real zones change twice a year at most, from 1601 at the
/// earliest (under 2,000 iterations), while a rule repeating every second would keep it busy for
/// hours.
constexpr double kZoneBudget = 10000;
constexpr double kZonesBudget = 20000;

/// Every entry of a BY list, or 1 when it is empty.
template <std::size_t N>
double entries(const short (&list)[N]) {
    std::size_t n = 0;
    while (n < N && list[n] != ICAL_RECURRENCE_ARRAY_MAX)
        ++n;
    return n == 0 ? 1.0 : static_cast<double>(n);
}

/// An upper bound of the iterations libical spends on one part (STANDARD or DAYLIGHT) of a zone:
/// its rules' candidates up to kLastZoneYear, and its dates.
double partCost(icalcomponent* part) {
    const icaltimetype start = icalcomponent_get_dtstart(part);
    double cost = 1;
    for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(part, ICAL_RDATE_PROPERTY))
        ++cost;
    for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
         p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
        const icalrecurrencetype r = icalproperty_get_rrule(p);
        double perYear = 0;
        switch (r.freq) {
        case ICAL_YEARLY_RECURRENCE:
            perYear = 1;
            break;
        case ICAL_MONTHLY_RECURRENCE:
            perYear = 12;
            break;
        case ICAL_WEEKLY_RECURRENCE:
            perYear = 53;
            break;
        case ICAL_DAILY_RECURRENCE:
            perYear = 366;
            break;
        case ICAL_HOURLY_RECURRENCE:
            perYear = 366.0 * 24;
            break;
        case ICAL_MINUTELY_RECURRENCE:
            perYear = 366.0 * 24 * 60;
            break;
        default:
            perYear = 366.0 * 24 * 3600;
            break;
        }
        // The BY lists narrow or widen each period; all counted as widening, a weekday without
        // its rank ("SU", not "-1SU") as one day of every week of the year.
        double days = 0;
        for (std::size_t i = 0; i < ICAL_BY_DAY_SIZE && r.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i)
            days += icalrecurrencetype_day_position(r.by_day[i]) == 0 ? 53 : 1;
        perYear *= entries(r.by_second) * entries(r.by_minute) * entries(r.by_hour) *
                   entries(r.by_month_day) * entries(r.by_year_day) * entries(r.by_week_no) *
                   entries(r.by_month) * std::max(1.0, days);
        const int last =
            icaltime_is_null_time(r.until) ? kLastZoneYear : std::min(r.until.year, kLastZoneYear);
        const double years = std::max(1, last - (icaltime_is_null_time(start) ? 0 : start.year) + 1);
        cost += perYear * years;
    }
    return cost;
}

/// An upper bound of the iterations libical may spend on a time zone definition.
double zoneCost(icalcomponent* zone) {
    double cost = 0;
    for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT))
        cost += partCost(part);
    return cost;
}

/// The physical lines of the text, without their ends (CR LF, LF or a lone CR).
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

/// Hands libical the lines one at a time, as fgets would, and tells which physical line the
/// parser holds: libical reads one line ahead to find the continuations of a folded line.
struct LineSource {
    const std::vector<std::string_view>* lines = nullptr;
    std::size_t next = 0;   ///< index of the line being handed out
    std::size_t offset = 0; ///< bytes of it already handed out
    int lastBegun = 0;      ///< number (1-based) of the last line whose start was handed out
    bool gaveData = false;  ///< whether the last call gave anything

    static char* read(char* out, std::size_t size, void* self) {
        auto& s = *static_cast<LineSource*>(self);
        s.gaveData = s.next < s.lines->size() && size >= 2;
        if (!s.gaveData)
            return nullptr;
        if (s.offset == 0)
            s.lastBegun = static_cast<int>(s.next) + 1;
        const std::string_view rest = (*s.lines)[s.next].substr(s.offset);
        std::size_t n = size - 1;
        if (rest.size() < n) { // the rest of the line and its end fit
            n = rest.size() + 1;
            std::memcpy(out, rest.data(), rest.size());
            out[rest.size()] = '\n';
            ++s.next;
            s.offset = 0;
        } else {
            std::memcpy(out, rest.data(), n);
            s.offset += n;
        }
        out[n] = '\0';
        return out;
    }
};

bool isBlankLine(const char* line) {
    for (; *line; ++line)
        if (*line != ' ' && *line != '\t' && *line != '\n')
            return false;
    return true;
}

/// The name after "BEGIN:" or "END:", upper case.
std::string componentName(std::string_view line) {
    const auto colon = line.find(':');
    std::string name(colon == std::string_view::npos ? std::string_view{} : line.substr(colon + 1));
    name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\t'; }),
               name.end());
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return name;
}

std::string excerpt(std::string_view line) {
    constexpr std::size_t kMax = 60;
    if (line.size() <= kMax)
        return std::string(line);
    std::size_t cut = kMax;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 sequence
    return std::string(line.substr(0, cut)) + "…";
}

Error failAt(int line, const std::string& why) {
    return Error{ErrorCode::BadCalendar, "ligne " + std::to_string(line) + " : " + why};
}

/// One component as the lines showed it: where it begins and the lines of it libical refused,
/// in the order libical put its X-LIC-ERROR properties into it.
struct Record {
    int line = 0;
    std::vector<int> errorLines;
};

struct Damage {
    int line = 0;
    std::string what;
};

/// The first damage (by line) in `c` and its subcomponents; `index` is the record of `c` in
/// document order (the order of the BEGIN lines) and is moved past its subtree.
Damage damageIn(icalcomponent* c, const std::vector<Record>& records, std::size_t& index) {
    const Record* rec = index < records.size() ? &records[index] : nullptr;
    ++index;
    Damage first;
    auto keep = [&first](Damage d) {
        if (!d.what.empty() && (first.what.empty() || d.line < first.line))
            first = std::move(d);
    };
    std::size_t used = 0;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_XLICERROR_PROPERTY)) {
        icalparameter* typeParam = icalproperty_get_first_parameter(p, ICAL_XLICERRORTYPE_PARAMETER);
        const auto type = typeParam ? icalparameter_get_xlicerrortype(typeParam) : ICAL_XLICERRORTYPE_NONE;
        // A refused parameter leaves the parser's state as it was, so it has no line of its own.
        const bool ownLine = type != ICAL_XLICERRORTYPE_PARAMETERNAMEPARSEERROR &&
                             type != ICAL_XLICERRORTYPE_PARAMETERVALUEPARSEERROR;
        int line = rec ? rec->line : 0;
        if (ownLine && rec && used < rec->errorLines.size())
            line = rec->errorLines[used++];
        // An unknown property name is skipped like an unknown X- property: nothing is lost.
        if (type == ICAL_XLICERRORTYPE_PROPERTYPARSEERROR)
            continue;
        const char* what = icalproperty_get_xlicerror(p);
        keep({line, what ? what : "?"});
    }
    for (icalcomponent* sub = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); sub;
         sub = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        keep(damageIn(sub, records, index));
    return first;
}

struct ParserFree {
    void operator()(icalparser* p) const { icalparser_free(p); }
};
struct BufferFree {
    void operator()(char* b) const { icalmemory_free_buffer(b); }
};

/// libical's malformed-data errors made non-fatal while a file is read, as its own string
/// parser does.
class NonFatalErrors final {
public:
    NonFatalErrors() : m_was(icalerror_get_error_state(ICAL_MALFORMEDDATA_ERROR)) {
        icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, ICAL_ERROR_NONFATAL);
    }
    ~NonFatalErrors() { icalerror_set_error_state(ICAL_MALFORMEDDATA_ERROR, m_was); }
    NonFatalErrors(const NonFatalErrors&) = delete;
    NonFatalErrors& operator=(const NonFatalErrors&) = delete;

private:
    icalerrorstate m_was;
};

/// What a logical line is to the reader: the start or the end of a component, or anything else.
struct LineKind {
    enum { Begin, End, Other } kind = Other;
    std::string name; ///< the component's, for Begin and End
};

LineKind kindOf(std::string_view line) {
    const auto stop = line.find_first_of(";:");
    if (stop == std::string_view::npos)
        return {};
    std::string key(line.substr(0, stop));
    key.erase(std::remove_if(key.begin(), key.end(), [](char c) { return c == ' ' || c == '\t'; }),
              key.end());
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (key == "BEGIN")
        return {LineKind::Begin, componentName(line)};
    if (key == "END")
        return {LineKind::End, componentName(line)};
    return {};
}

} // namespace

Status ReadCalendarFile(std::string_view text, const std::function<void(const CalendarItem&)>& onItem) {
    if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        return failAt(static_cast<int>(
                          std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n')) +
                          1,
                      "caractère nul : ce n'est pas un fichier texte");
    const std::vector<std::string_view> lines = splitLines(text);
    if (std::all_of(lines.begin(), lines.end(),
                    [](std::string_view l) { return l.find_first_not_of(" \t") == std::string_view::npos; }))
        return Error{ErrorCode::BadCalendar, "le fichier est vide"};

    const NonFatalErrors nonFatal;
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    LineSource source;
    source.lines = &lines;
    icalparser_set_gen_data(parser.get(), &source);

    struct Open {
        std::string name;
        int line;
        bool read; ///< handed to libical: an item or a time zone, with its subcomponents
    };
    std::vector<Open> open;
    // The item or time zone being read: its components in the order of their BEGIN lines, and
    // those still open.
    std::vector<Record> records;
    std::vector<std::size_t> openRecords;
    // The calendar being read: its time zones so far, and the items waiting for a later one.
    ComponentPtr zones;
    std::vector<CalendarItem> waiting;
    bool anyCalendar = false;
    double zonesCost = 0;

    auto hand = [&onItem, &zones](const CalendarItem& item) {
        icalcomponent_add_component(zones.get(), item.component);
        onItem(item);
        icalcomponent_remove_component(zones.get(), item.component);
        icalcomponent_free(item.component);
    };
    auto zoneKnown = [&zones](const char* tzid) {
        return icalcomponent_get_timezone(zones.get(), tzid) || icaltimezone_get_builtin_timezone(tzid) ||
               icaltimezone_get_builtin_timezone_from_tzid(tzid);
    };
    // Whether every TZID of the item names a zone known now.
    auto zonesKnown = [&zoneKnown](icalcomponent* item) {
        for (icalproperty* p = icalcomponent_get_first_property(item, ICAL_ANY_PROPERTY); p;
             p = icalcomponent_get_next_property(item, ICAL_ANY_PROPERTY)) {
            icalparameter* tz = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
            const char* tzid = tz ? icalparameter_get_tzid(tz) : nullptr;
            if (tzid && !zoneKnown(tzid))
                return false;
        }
        return true;
    };
    struct WaitingFree {
        std::vector<CalendarItem>* items;
        ~WaitingFree() {
            for (const CalendarItem& i : *items)
                icalcomponent_free(i.component);
        }
    } freeWaiting{&waiting};

    int held = 0; // the physical line libical has read ahead: where its next logical line begins
    for (;;) {
        const int lineNo = held;
        std::unique_ptr<char, BufferFree> line(icalparser_get_line(parser.get(), &LineSource::read));
        held = source.gaveData ? source.lastBegun : 0;
        if (!line)
            break;
        if (isBlankLine(line.get()))
            continue;
        if (std::strlen(line.get()) > kMaxLogicalLine)
            return failAt(lineNo, "ligne trop longue");
        const LineKind kind = kindOf(line.get());

        if (open.empty()) {
            if (kind.kind != LineKind::Begin || kind.name != "VCALENDAR")
                return failAt(lineNo,
                              "« " + excerpt(line.get()) + " » hors d'un calendrier (BEGIN:VCALENDAR)");
            open.push_back({kind.name, lineNo, false});
            zones.reset(icalcomponent_new_vcalendar());
            anyCalendar = true;
            continue;
        }
        if (kind.kind == LineKind::End && kind.name != open.back().name)
            return failAt(lineNo, "END:" + kind.name + " ferme BEGIN:" + open.back().name + " de la ligne " +
                                      std::to_string(open.back().line));
        if (kind.kind == LineKind::Begin) {
            const bool read = open.size() == 1
                                  ? kind.name == "VEVENT" || kind.name == "VTODO" || kind.name == "VTIMEZONE"
                                  : open.back().read;
            open.push_back({kind.name, lineNo, read});
        }
        const Open current = open.back();
        if (kind.kind == LineKind::End)
            open.pop_back();

        if (!current.read) {
            if (open.empty()) { // the end of a calendar: the items that waited for a later zone
                for (const CalendarItem& item : waiting)
                    hand(item);
                waiting.clear();
                zones.reset();
            }
            continue;
        }
        ComponentPtr done(icalparser_add_line(parser.get(), line.get()));
        switch (icalparser_get_state(parser.get())) {
        case ICALPARSER_BEGIN_COMP:
            openRecords.push_back(records.size());
            records.push_back({lineNo, {}});
            break;
        case ICALPARSER_END_COMP:
        case ICALPARSER_SUCCESS:
            if (!openRecords.empty())
                openRecords.pop_back();
            break;
        case ICALPARSER_ERROR:
            if (!openRecords.empty())
                records[openRecords.back()].errorLines.push_back(lineNo);
            break;
        default:
            break;
        }
        if (open.size() > 1)
            continue;
        // An item or a time zone is whole.
        if (!done || kind.kind != LineKind::End)
            return failAt(lineNo, "« " + excerpt(line.get()) + " » illisible");
        std::size_t index = 0;
        const Damage damage = damageIn(done.get(), records, index);
        records.clear();
        openRecords.clear();
        if (icalcomponent_isa(done.get()) == ICAL_VTIMEZONE_COMPONENT) {
            if (!damage.what.empty())
                return failAt(damage.line, "fuseau horaire illisible : " + damage.what);
            // A zone too costly to work out is left out: its times are then taken as they
            // stand, and the report says so, as for a zone the file does not define.
            const double cost = zoneCost(done.get());
            if (cost <= kZoneBudget && zonesCost + cost <= kZonesBudget) {
                zonesCost += cost;
                icalcomponent_add_component(zones.get(), done.release());
            }
            continue;
        }
        CalendarItem item{done.get(), current.line,
                          damage.what.empty() ? std::string()
                                              : "ligne " + std::to_string(damage.line) + " : " + damage.what};
        if (zonesKnown(done.get())) {
            done.release();
            hand(item);
        } else {
            waiting.push_back(item);
            done.release();
        }
    }
    if (!open.empty())
        return Error{ErrorCode::BadCalendar, "fin du fichier : BEGIN:" + open.back().name + " de la ligne " +
                                                 std::to_string(open.back().line) + " n'est pas fermé"};
    if (!anyCalendar)
        return Error{ErrorCode::BadCalendar, "aucun calendrier (BEGIN:VCALENDAR)"};
    return {};
}

} // namespace zento::ical
