#pragma once

#include "appearance/NewAlertColors.h"
#include "exchange/CalendarExport.h"
#include "exchange/CalendarImport.h"
#include "store/AlertStore.h"
#include "store/DateText.h"
#include "store/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zento {

class RandomSource;

/// What the answers to a due alert need, copied from the table when its popup opens, so that
/// the popup stands by itself whatever reloads come meanwhile.
struct DueAlert {
    std::int32_t id = 0;
    int recurrence = 0;       ///< its code when periodic (above 0), else 0
    std::optional<Date> date; ///< the day it fell due; a periodic alert steps on from it
    std::string soundPath;    ///< the sound to play, a full path; empty for none
    bool loop = false;        ///< play the sound in a loop

    /// The values of a stored alert; `soundPath` is left to the caller, who knows the sound folder.
    static DueAlert of(const Alerte& alert);

    bool operator==(const DueAlert&) const = default;
};

/// How a changed alert was stored.
struct SavedAlert {
    std::int32_t id = 0;
    bool added = false; ///< it had been removed meanwhile and was stored as a new alert
};

/// Everything the program does to alerts, whoever asks (the windows, the command line, an
/// import): the rules of adding, changing, removing, acknowledging and snoozing, the defaults of
/// new alerts and the validation of an alert. Each operation that changes something is exactly
/// one save of the store, so that the backup always holds the file as it was before it.
class AlertService final {
public:
    explicit AlertService(AlertStore& store) : m_store(store) {}

    AlertStore& store() const { return m_store; }

    /// The alert in the form the store keeps, when it may be stored: a message that is not
    /// blank, a date (never the date picker's "no date"), a time empty or HH:MM, a recurrence
    /// code 0..8, an emoticon 0..15 (or none chosen) and two colours. Date, time, recurrence and
    /// colours are rewritten in their stored forms; the first fault found is the error.
    static Result<Alerte> validate(Alerte alert);
    /// Whether an error is a refusal of validation (the user corrects the alert and tries
    /// again) rather than a failure of the store.
    static bool isRefusal(const Error& error);

    /// Stores a new alert under the smallest free Id, and the number of alerts, in one save.
    Result<std::int32_t> add(Alerte alert);
    /// Stores several new alerts and the number of alerts in one save (an import); their Ids in
    /// the order given. Nothing is stored when one of them is refused.
    Result<std::vector<std::int32_t>> addAll(std::vector<Alerte> alerts);
    /// Rewrites the ten fields of the alert with that Id, keeping its other keys. When that
    /// alert was removed meanwhile (acknowledged, deleted by hand), the edit is not lost: it is
    /// stored as a new alert, with the number of alerts.
    Result<SavedAlert> update(std::int32_t id, Alerte alert);
    /// Removes the alert and stores the number of alerts, in one save; NotFound when there is
    /// no such alert (nothing is written).
    Status remove(std::int32_t id);
    /// The user saw the alert: a one-off alert is removed, a periodic one moves to the next
    /// occurrence after the day it fell due. An alert removed meanwhile stays removed.
    Status acknowledge(const DueAlert& alert);
    /// Postpones the alert to `now` (cut to the minute) plus the delay of a snooze list index;
    /// false when the alert was removed meanwhile (nothing is written).
    Result<bool> snooze(std::int32_t id, LocalTime now, int listIndex);

    /// A new alert (no message) on `today` with the defaults of new alerts: the sound
    /// "Defaut.wav", the stored default colours or, for each that is not set, those of one
    /// random palette cell, and the emoticon `defaultEmoticon` (the default read at start-up).
    Alerte newAlert(Date today, std::string_view defaultEmoticon, RandomSource& random) const;
    /// The stored default emoticon of new alerts, as text.
    std::string defaultEmoticon() const;
    /// Stores default colours for new alerts; nullopt stores "random".
    Status setDefaultColors(std::optional<ColorPair> colors);
    /// Stores the default emoticon of new alerts (its index as text, "" for none).
    Status setDefaultEmoticon(std::string_view emoticon);

    /// The stored alerts as an iCalendar file made at `stamp`; each alert keeps its UID from one
    /// export to the next.
    Result<CalendarExport> exportCalendar(std::chrono::sys_seconds stamp) const;
    /// What importing an iCalendar file would add at local time `now`, against the alerts stored
    /// now (what was imported before comes in no more); the defaults of new alerts fill in what
    /// the file does not say. Actions come in only when `acceptActions`. Nothing is written:
    /// addAll(plan.alerts) stores the plan in one save.
    Result<ImportPlan> planImport(std::string_view fileBytes, LocalTime now, bool acceptActions,
                                  std::string_view defaultEmoticon, RandomSource& random) const;

private:
    /// Names this store in the UIDs of its alerts.
    std::string storeKey() const;

    AlertStore& m_store;
};

} // namespace zento
