#include "service/AlertService.h"

#include "appearance/EmoticonSet.h"
#include "schedule/Recurrence.h"
#include "schedule/Snooze.h"
#include "store/ColorValue.h"

namespace zento {

DueAlert DueAlert::of(const Alerte& alert) {
    DueAlert d;
    d.id = alert.Id;
    if (IsPeriodic(alert.Recurrence))
        d.recurrence = *ParseInt32(alert.Recurrence);
    d.date = ParseDate(alert.AlertDate);
    d.loop = alert.LoopSound == "1";
    return d;
}

Result<Alerte> AlertService::validate(Alerte a) {
    if (TrimBlanks(a.Message).empty())
        return Error{ErrorCode::EmptyMessage, {}};
    const auto date = ParseDate(a.AlertDate);
    if (!date || *date == kNoDate)
        return Error{ErrorCode::InvalidDate, a.AlertDate};
    a.AlertDate = FormatDate(*date);
    if (!TrimBlanks(a.AlertTime).empty()) {
        const auto time = ParseTime(a.AlertTime);
        if (!time)
            return Error{ErrorCode::InvalidTime, a.AlertTime};
        a.AlertTime = FormatTime(*time);
    } else {
        a.AlertTime.clear();
    }
    const auto recurrence = ParseInt32(a.Recurrence);
    if (!recurrence || *recurrence < 0 || *recurrence > static_cast<int>(Recurrence::Annuel))
        return Error{ErrorCode::InvalidRecurrence, a.Recurrence};
    a.Recurrence = std::to_string(*recurrence);
    // An emoticon never chosen in the editor is stored empty, as it always was.
    if (!a.Emoticon.empty() && !ParseEmoticonIndex(a.Emoticon))
        return Error{ErrorCode::InvalidEmoticon, a.Emoticon};
    const auto back = ParseColorValue(a.BackColor);
    const auto fore = ParseColorValue(a.ForeColor);
    if (!back || !fore)
        return Error{ErrorCode::InvalidColors, a.BackColor + "," + a.ForeColor};
    a.BackColor = FormatColorValue(*back);
    a.ForeColor = FormatColorValue(*fore);
    return a;
}

bool AlertService::isRefusal(const Error& error) {
    switch (error.code) {
    case ErrorCode::EmptyMessage:
    case ErrorCode::InvalidDate:
    case ErrorCode::InvalidTime:
    case ErrorCode::InvalidRecurrence:
    case ErrorCode::InvalidEmoticon:
    case ErrorCode::InvalidColors:
        return true;
    default:
        return false;
    }
}

Result<std::int32_t> AlertService::add(Alerte alert) {
    auto ids = addAll({std::move(alert)});
    if (!ids)
        return ids.error();
    return ids->front();
}

Result<std::vector<std::int32_t>> AlertService::addAll(std::vector<Alerte> alerts) {
    for (Alerte& a : alerts) {
        auto valid = validate(std::move(a));
        if (!valid)
            return valid.error();
        a = std::move(*valid);
    }
    std::vector<std::int32_t> ids;
    const Status saved = m_store.edit([&](StoreEdit& edit) {
        std::int32_t from = 1;
        for (Alerte& a : alerts) {
            a.Id = edit.freeId(from);
            from = a.Id + 1; // the Ids below are taken now: no need to look there again
            edit.setAlert(a);
            ids.push_back(a.Id);
        }
        edit.setParam(ParamKey::Nb, std::to_string(edit.alertCount()));
        return true;
    });
    if (!saved)
        return saved.error();
    return ids;
}

Result<SavedAlert> AlertService::update(std::int32_t id, Alerte alert) {
    auto valid = validate(std::move(alert));
    if (!valid)
        return valid.error();
    Alerte& a = *valid;
    SavedAlert saved;
    const Status status = m_store.edit([&](StoreEdit& edit) {
        saved.added = !edit.hasAlert(id);
        a.Id = saved.added ? edit.freeId() : id;
        edit.setAlert(a);
        if (saved.added)
            edit.setParam(ParamKey::Nb, std::to_string(edit.alertCount()));
        return true;
    });
    if (!status)
        return status.error();
    saved.id = a.Id;
    return saved;
}

Status AlertService::remove(std::int32_t id) {
    bool found = false;
    const Status status = m_store.edit([&](StoreEdit& edit) {
        found = edit.removeAlert(id);
        if (found)
            edit.setParam(ParamKey::Nb, std::to_string(edit.alertCount()));
        return found;
    });
    if (status && !found)
        return Error{ErrorCode::NotFound, std::to_string(id)};
    return status;
}

Status AlertService::acknowledge(const DueAlert& alert) {
    return m_store.edit([&](StoreEdit& edit) {
        if (alert.recurrence <= 0)
            return edit.removeAlert(alert.id);
        // Only a hand-edited store gives a periodic alert without a date; it is left as it is.
        if (!alert.date || !edit.hasAlert(alert.id))
            return false;
        edit.setField(alert.id, AlertField::AlertDate,
                      FormatDate(NextOccurrence(*alert.date, alert.recurrence)));
        return true;
    });
}

Result<bool> AlertService::snooze(std::int32_t id, LocalTime now, int listIndex) {
    const SnoozeMoment moment = SnoozeMomentFor(now, listIndex);
    bool found = false;
    const Status status = m_store.edit([&](StoreEdit& edit) {
        found = edit.hasAlert(id);
        if (found) {
            edit.setField(id, AlertField::AlertDate, moment.AlertDate);
            edit.setField(id, AlertField::AlertTime, moment.AlertTime);
        }
        return found;
    });
    if (!status)
        return status.error();
    return found;
}

namespace {

/// A new alert on `today` with the defaults of new alerts, the stored colours given.
Alerte freshAlert(Date today, std::string_view defaultEmoticon, std::string_view fond,
                  std::string_view police, RandomSource& random) {
    Alerte a;
    a.AlertDate = FormatDate(today);
    a.Recurrence = "0";
    a.Emoticon = std::to_string(NewAlertEmoticon(defaultEmoticon));
    a.Sound = kDefaultSound;
    // One draw for both colours, so that two random colours come from the same palette cell.
    const ColorPair colors = NewAlertColors(fond, police, random);
    a.BackColor = FormatColorValue(colors.background);
    a.ForeColor = FormatColorValue(colors.text);
    a.LoopSound = "0";
    return a;
}

} // namespace

Alerte AlertService::newAlert(Date today, std::string_view defaultEmoticon, RandomSource& random) const {
    return freshAlert(today, defaultEmoticon, m_store.ReadParam(ParamKey::Fond),
                      m_store.ReadParam(ParamKey::Police), random);
}

std::string AlertService::defaultEmoticon() const {
    return m_store.ReadParam(ParamKey::Img);
}

Status AlertService::setDefaultColors(std::optional<ColorPair> colors) {
    return m_store.edit([&](StoreEdit& edit) {
        // Empty keys mean "draw the colours of each new alert at random".
        edit.setParam(ParamKey::Fond, colors ? FormatColorValue(colors->background) : std::string());
        edit.setParam(ParamKey::Police, colors ? FormatColorValue(colors->text) : std::string());
        return true;
    });
}

Status AlertService::setDefaultEmoticon(std::string_view emoticon) {
    return m_store.edit([&](StoreEdit& edit) {
        edit.setParam(ParamKey::Img, emoticon);
        return true;
    });
}

std::string AlertService::storeKey() const {
    return m_store.IniPath().lexically_normal().string();
}

Result<CalendarExport> AlertService::exportCalendar(std::chrono::sys_seconds stamp) const {
    auto table = m_store.LoadAllAlerts();
    if (!table)
        return table.error();
    return ExportCalendar(table->alerts(), ExportOptions{storeKey(), stamp});
}

Result<ImportPlan> AlertService::planImport(std::string_view fileBytes, LocalTime now, bool acceptActions,
                                            std::string_view defaultEmoticon, RandomSource& random) const {
    auto table = m_store.LoadAllAlerts();
    if (!table)
        return table.error();
    ImportOptions options;
    options.acceptActions = acceptActions;
    for (std::string& uid : ExportUids(table->alerts(), storeKey()))
        options.knownUids.insert(std::move(uid));
    // The stored colours are read once, not once per alert of a large file.
    const std::string fond = m_store.ReadParam(ParamKey::Fond), police = m_store.ReadParam(ParamKey::Police);
    options.newAlert = [&, today = DayOf(now)] {
        return freshAlert(today, defaultEmoticon, fond, police, random);
    };
    return PlanImport(fileBytes, now, options);
}

} // namespace zento
