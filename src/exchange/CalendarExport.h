#pragma once

#include "store/Alerte.h"
#include "store/Result.h"

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

/// Our own iCalendar properties: what iCalendar has no field for, so that a file exported by
/// Zento and imported again gives the same alerts. Each holds the alert's stored text.
namespace xprop {
inline constexpr const char* kRecurrence = "X-ZENTO-RECURRENCE"; ///< the recurrence code, 0..8
inline constexpr const char* kEmoticon = "X-ZENTO-EMOTICON";
inline constexpr const char* kSound = "X-ZENTO-SOUND"; ///< left out when the alert has no sound
inline constexpr const char* kLoop = "X-ZENTO-LOOP";
inline constexpr const char* kBackColor = "X-ZENTO-BACKCOLOR";
inline constexpr const char* kForeColor = "X-ZENTO-FORECOLOR";
inline constexpr const char* kAction = "X-ZENTO-ACTION"; ///< left out when the alert has none
} // namespace xprop

struct ExportOptions {
    /// A text naming this store (the caller passes e.g. the host name and the store's path). It
    /// goes, hashed, into the UID of every alert that has none of its own, so that alert 3 of one
    /// store and alert 3 of another get different UIDs.
    std::string storeKey;
    /// The DTSTAMP of every event: when the file is made.
    std::chrono::sys_seconds stamp{};
};

struct CalendarExport {
    /// The iCalendar file: UTF-8, lines ended by CR LF and folded at 75 bytes.
    std::string text;
    /// Exported monthly or yearly alerts whose rule is only the nearest one (see RuleForCode in
    /// RepeatRule.h): the command line lists them on its error output.
    std::vector<Alerte> approximate;
    /// Alerts left out: an empty message, a date or time that does not read (such an alert
    /// never falls due), or a year after 3000 (libical writes no later date).
    std::vector<Alerte> leftOut;
};

/// The alerts as an iCalendar file. Each alert is a VEVENT: UID (see ExportUids), SUMMARY the
/// message, DTSTART the date and time as floating local wall time (a date alone for an alert
/// without a time), RRULE for a periodic alert (RuleForCode), TRANSP:TRANSPARENT (a reminder does
/// not make the user busy), the X-ZENTO-* properties, and alarms at the start: DISPLAY with the
/// message, and AUDIO with the sound's file name when there is a sound.
CalendarExport ExportCalendar(const std::vector<Alerte>& alerts, const ExportOptions& options);

/// The UID each alert is exported under, in the order given. An alert keeps the Uid it was
/// imported under; one made here gets "alerte-<Id>-<hash of the store key>@zento", which stays
/// the same from one export to the next (a deleted alert's Id may be given again to a new alert,
/// which then takes its UID over). A UID already given to another alert of the list gets "-2",
/// "-3"... so that no two events of a file share one. The import compares these UIDs with those
/// of the file, so that importing an export of the same store adds nothing twice.
std::vector<std::string> ExportUids(const std::vector<Alerte>& alerts, std::string_view storeKey);

/// Writes an exported calendar to `path` atomically (a temporary file beside it, renamed over
/// it): ErrorCode::WriteFailed with the reason when it fails, and `path` is then as it was.
Status WriteCalendarFile(const std::filesystem::path& path, std::string_view text);

} // namespace zento
