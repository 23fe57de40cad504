#pragma once

#include "store/Alerte.h"
#include "store/DateText.h"
#include "store/Result.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace zento {

struct ImportOptions {
    /// Whether the actions of the file (X-ZENTO-ACTION) come in with their alerts. An action
    /// opens a file or an address by itself when its alert falls due, so a file from elsewhere
    /// brings them only when the user agrees.
    bool acceptActions = false;
    /// The UIDs of the alerts already stored, as ExportUids gives them: an item under one of
    /// them is not imported again.
    std::unordered_set<std::string> knownUids;
    /// A fresh alert with the defaults of a new alert (colours, emoticon, sound, loop flag);
    /// called once per imported alert. Without it the fields stay empty.
    std::function<Alerte()> newAlert;
};

/// Why an item was left out, or what was changed in it.
enum class ImportReason {
    // Left out:
    Unreadable,         ///< detail: the line libical could not read and its words
    NoDate,             ///< an event without a start
    NoText,             ///< neither a summary nor a display alarm's description
    Cancelled,          ///< STATUS:CANCELLED
    Completed,          ///< a task marked done
    TooFrequent,        ///< repeats by the hour or more often; detail: the rule
    RuleUnusable,       ///< libical cannot expand the rule; detail: the rule
    ModifiedOccurrence, ///< one changed occurrence of a recurring item; detail: its date
    // Imported, with a change:
    RuleApproximated,   ///< detail: the rule, " → ", the recurrence kind it became
    EndIgnored,         ///< COUNT or UNTIL; detail: the rule's end
    ExceptionsIgnored,  ///< EXDATE after the first imported occurrence
    ExtraDatesIgnored,  ///< RDATE or a second RRULE still to come
    UnknownTimeZone,    ///< detail: the TZID, unknown or too costly; the time is taken as local wall time
    LocalTimeVaries,    ///< a rule kept in another zone (detail) does not keep one local time
    FixedAlarmRepeated, ///< an alarm at a fixed date on a recurring item: reminds at each start
    TextShortened,      ///< the message was cut to kMaxImportedMessage characters
    ActionWithheld,     ///< detail: the action
    ValueIgnored,       ///< an X-ZENTO-* value that is not valid; detail: "NAME=value"
};

struct ImportIssue {
    ImportReason reason;
    std::string detail;

    bool operator==(const ImportIssue&) const = default;
};

/// One item of the file that was left out or changed.
struct ImportNote {
    std::string summary; ///< the item's message (empty when it has none)
    bool skipped = false;
    std::vector<ImportIssue> issues;
};

struct WithheldAction {
    std::string summary;
    std::string action;
};

/// What an import would add, and what it leaves out, so that the caller can ask, report and save
/// the whole import in one go.
struct ImportPlan {
    /// The alerts to add, in file order: Id 0, Uid set.
    std::vector<Alerte> alerts;
    int pastCount = 0;        ///< items wholly in the past, not imported
    int duplicateCount = 0;   ///< items already in the store (known UID), not imported
    int undatedTaskCount = 0; ///< tasks with neither a due moment nor an alarm, not imported
    std::vector<ImportNote> notes;
    /// The actions left out because they were not accepted (empty when they were).
    std::vector<WithheldAction> withheldActions;
};

/// The longest message an import gives an alert, in characters.
constexpr std::size_t kMaxImportedMessage = 1000;

/// Plans the import of an iCalendar file at local time `now`; each text of the file is read as
/// UTF-8 when it is well-formed, else as Windows-1252 (older programs). Nothing is written.
/// ErrorCode::BadCalendar when the file cannot be read (see ReadCalendarFile in CalendarReader.h); then
/// nothing is planned.
///
/// Every VEVENT and every VTODO with a due moment or an alarm is an item:
/// - its moment is its first alarm's trigger (relative to the start, or to the end or due
///   moment, or at a fixed time), else the start of an event or the due moment of a task; times
///   with a time zone or in UTC become local wall time of the process's time zone, floating
///   times are kept, a date alone gives an alert without a time (also after an alarm offset of
///   whole days);
/// - a recurring item starts at its first occurrence not wholly past (libical expands the
///   rule); the rule becomes the nearest recurrence kind (the longest step not longer than the
///   rule's), one alert per weekday of a weekly rule (per day of the month of a monthly one, per
///   date of a yearly one), each under the item's UID followed by "#" and that day. A rule the
///   kind does not follow exactly (another interval, positions such as "the second Tuesday", a
///   day from the 29th that some months lack, a reminder moved into another month, a time kept
///   in another zone), an end, exclusions still to come or extra dates are noted; a rule that
///   repeats within the day, or never occurs, is left out and noted;
/// - an item wholly in the past (its moment and its alarm passed, or its recurrence ended) is
///   counted, not imported; so is an item already imported (its UID, or the UID of each of its
///   alerts, is known), and a task with neither a due moment nor an alarm; a cancelled item, a
///   task done, one changed occurrence of a recurring item, an item libical could not read
///   whole, and one without a moment or a text are left out and noted;
/// - the message is the SUMMARY, else the DESCRIPTION of its display alarm, with line breaks and
///   other control characters made blanks;
/// - sound, colours, emoticon, loop flag and action come from X-ZENTO-* when present and valid,
///   else from options.newAlert; an item written by Zento (it has X-ZENTO-RECURRENCE) without
///   X-ZENTO-SOUND has no sound; X-ZENTO-RECURRENCE is trusted when the RRULE is still the one
///   Zento writes for it, so that a month-end alert comes back exactly.
Result<ImportPlan> PlanImport(std::string_view fileBytes, LocalTime now, const ImportOptions& options);

/// The report of a plan in French, one line each, to print after "N alertes importées": the
/// counts that are not zero, then one line per note ("« summary » : reason; reason").
std::vector<std::string> ImportReportLines(const ImportPlan& plan);

} // namespace zento
