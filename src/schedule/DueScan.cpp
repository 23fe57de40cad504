#include "schedule/DueScan.h"

namespace zento {

std::optional<LocalTime> DueMoment(const Alerte& alert) {
    return DueMoment(alert.AlertDate, alert.AlertTime);
}

std::optional<LocalTime> DueMoment(std::string_view alertDate, std::string_view alertTime) {
    // The two fields are read as one text, date & " " & time, trimmed, without building that
    // text: a hand-edited date that carries its own time (with an empty AlertTime) still converts.
    const std::string_view date = TrimBlanks(alertDate);
    const std::string_view time = TrimBlanks(alertTime);
    if (date.empty())
        return std::nullopt;
    const auto blank = date.find_first_of(" \t");
    if (blank != std::string_view::npos && !time.empty())
        return std::nullopt; // more than a date and a time
    const auto day = ParseDate(date.substr(0, blank));
    if (!day)
        return std::nullopt;
    const std::string_view timeText = blank == std::string_view::npos ? time : date.substr(blank);
    if (TrimBlanks(timeText).empty())
        return AtTime(*day, std::chrono::seconds{0});
    const auto sinceMidnight = ParseTime(timeText);
    if (!sinceMidnight)
        return std::nullopt;
    return AtTime(*day, *sinceMidnight);
}

DueSchedule::Entry DueSchedule::entryOf(const Alerte& alert) {
    return {DueMoment(alert).value_or(LocalTime::max()), alert.Id};
}

DueSchedule::DueSchedule(const AlertTable& table) {
    m_entries.reserve(table.alerts().size());
    for (const Alerte& alert : table.alerts())
        m_entries.push_back(entryOf(alert));
}

std::optional<LocalTime> DueSchedule::momentAt(std::int32_t position) const {
    if (position < 1 || position > size())
        return std::nullopt;
    const LocalTime m = m_entries[static_cast<std::size_t>(position - 1)].moment;
    if (m == LocalTime::max())
        return std::nullopt;
    return m;
}

std::optional<std::int32_t> DueSchedule::firstDue(LocalTime now,
                                                  const std::function<bool(std::int32_t id)>& skip) const {
    // LocalTime::max() marks an unconvertible moment, so it never passes the comparison.
    if (now == LocalTime::max())
        now -= std::chrono::seconds{1};
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        if (e.moment <= now && !(skip && skip(e.id)))
            return static_cast<std::int32_t>(i + 1);
    }
    return std::nullopt;
}

} // namespace zento
