#pragma once

#include "store/AlertTable.h"
#include "store/Alerte.h"
#include "store/DateText.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace zento {

/// The moment an alert falls due: its AlertDate and AlertTime read as one text (date, a blank,
/// time, trimmed), so an empty time means 00:00 of that day. nullopt when the date or the time
/// does not convert; such an alert is never due.
std::optional<LocalTime> DueMoment(const Alerte& alert);
std::optional<LocalTime> DueMoment(std::string_view alertDate, std::string_view alertTime);

/// The due moments of a loaded table, read once per load so that the timer's scan only compares
/// numbers. Rebuild it after every reload of the table.
class DueSchedule final {
public:
    DueSchedule() = default;
    explicit DueSchedule(const AlertTable& table);

    /// The number of positions (the table's AlertCount at construction).
    std::int32_t size() const { return static_cast<std::int32_t>(m_entries.size()); }

    /// The due moment recorded for a position, nullopt when it does not convert or the position
    /// is out of range.
    std::optional<LocalTime> momentAt(std::int32_t position) const;

    /// The first position in table order whose moment is not later than `now` (to the second),
    /// leaving out alerts whose moment does not convert and those whose Id `skip` names (for
    /// instance the alerts whose popup is still open). nullopt when none is due.
    std::optional<std::int32_t> firstDue(LocalTime now,
                                         const std::function<bool(std::int32_t id)>& skip = {}) const;

private:
    struct Entry {
        LocalTime moment; ///< LocalTime::max() when the alert has no moment: never due
        std::int32_t id;
    };
    static Entry entryOf(const Alerte& alert);

    std::vector<Entry> m_entries; ///< index = position - 1
};

} // namespace zento
