#pragma once

#include "exchange/IcalHandles.h"
#include "store/Result.h"

#include <functional>
#include <libical/ical.h>
#include <string>
#include <string_view>

namespace zento::ical {

/// The last year for which libical is asked a zone's offset: it works a zone's changes out again
/// from its first rule for every year asked past those it has, and always past 2582.
constexpr int kLastZoneYear = 2500;

/// An event or a task of a calendar file.
struct CalendarItem {
    /// The item, lent for the call only. Its parent is a VCALENDAR holding the time zones of its
    /// calendar, so that libical finds the zone of each TZID.
    icalcomponent* component = nullptr;
    int line = 0; ///< the line of its BEGIN
    /// "ligne N : what libical said" for the first line of the item (its alarms included) that
    /// libical could not read; empty when it read the whole item. Unknown property names do not
    /// count: they are skipped like unknown X- properties.
    std::string damage;
};

/// Reads iCalendar text (any line ends) and hands each event and task to `onItem`, in file
/// order; an item that names a time zone defined further on waits for the end of its calendar.
/// Items are read, handed over and freed one by one, so that a large file never stands whole in
/// memory.
///
/// libical reads every line (unfolding, escapes, values); the reader follows only the BEGIN and
/// END lines, to hand libical each item and each time zone definition (VTIMEZONE) alone. The
/// file is refused, with ErrorCode::BadCalendar and "ligne N : why" in the detail, when it holds
/// no VCALENDAR, text outside one, a component that is not closed or is closed under another
/// name, a NUL byte, or a line libical cannot read in a time zone definition (every time of the
/// file may depend on it). Damage inside an event or a task is left to the caller
/// (CalendarItem::damage); the calendar's own properties and the components Zento does not read
/// (journal entries, free/busy, unknown ones) are not read at all. Items handed over before a
/// failure further on are the caller's to forget.
Status ReadCalendarFile(std::string_view text, const std::function<void(const CalendarItem&)>& onItem);

} // namespace zento::ical
