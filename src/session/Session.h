#pragma once

#include "schedule/DueScan.h"
#include "service/AlertService.h"
#include "store/AlertTable.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zento {

class Clock;
class FileWatcher;
class RandomSource;

/// The running program's alerts: the table loaded from the store, their due moments, the
/// 3-second tick that finds a due alert, and the popups open for them. The windows are its
/// views: they change alerts through it (each change is one save by the alert service, then a
/// reload) and hear of every reload through `tableChanged`.
///
/// The tick runs whenever no alert's popup waits for an answer, whatever way popups and windows
/// come and go: a popup is followed until it is destroyed.
///
/// Changes made to the store outside the program (by hand, a sync tool, a restored backup) are
/// reloaded at the next tick; the session's own saves are followed by their reload and cause
/// no second one.
class Session final : public QObject {
    Q_OBJECT
public:
    /// Reads the default emoticon of new alerts once: a new default takes effect at the next start.
    Session(AlertStore& store, Clock& clock, RandomSource& random, QObject* parent = nullptr);
    ~Session() override;

    /// Replaces the watch of the store's file (a stat of it at each tick).
    void setStoreWatcher(std::unique_ptr<FileWatcher> watcher);

    AlertService& service() { return m_service; }
    const AlertTable& table() const { return m_table; }
    Clock& clock() const { return m_clock; }

    /// Rebuilds the table and the due moments from the store, tells the views, and switches the
    /// tick on unless a popup waits for an answer.
    void LoadAllAlerts();

    /// The user's changes: one save each, then a reload. Nothing is reloaded after a failure.
    Result<std::int32_t> addAlert(const Alerte& alert);
    Result<SavedAlert> saveAlert(std::int32_t id, const Alerte& alert);
    Status deleteAlert(std::int32_t id);
    Status acknowledge(const DueAlert& alert);
    Status snooze(std::int32_t id, int listIndex);

    /// A new alert on today's date with the defaults of new alerts.
    Alerte newAlert() const;

    /// What importing an iCalendar file would add now (see AlertService::planImport).
    Result<ImportPlan> planImport(std::string_view fileBytes, bool acceptActions) const;
    /// Stores the alerts of an import in one save, then reloads.
    Result<std::vector<std::int32_t>> importAlerts(const std::vector<Alerte>& alerts);

    /// A popup came up: `alertId` names the alert it waits on, nullopt for a test popup. While a
    /// popup of an alert is open the tick is off; it comes on again when the last one is
    /// destroyed. Test popups never stop it.
    void trackPopup(QObject* popup, std::optional<std::int32_t> alertId);
    /// Popups still open, test popups included.
    int openPopupCount() const;

    /// The due-alert tick, every 3 s.
    QTimer& Timer1() { return m_timer; }
    /// One tick: the store is reloaded when it changed outside the program, then the first due
    /// alert in table order whose popup is not already open is announced with `alertDue`.
    void Timer1_Timer();

Q_SIGNALS:
    /// The table was reloaded.
    void tableChanged();
    /// An alert fell due: show its popup (a copy of the alert, as it was when found).
    void alertDue(const zento::Alerte& alert);
    /// The store could not be read; said once, not at every reload.
    void loadFailed(const zento::Error& error);

private:
    struct Popup {
        QObject* object; ///< only compared: it may be half destroyed when looked at
        std::optional<std::int32_t> alertId;
    };
    bool waitsForAnswer() const;
    void updateTick();
    void popupDestroyed(QObject* popup);
    /// Reloads after a change that succeeded.
    template <typename R>
    R reloadAfter(R result);

    AlertService m_service;
    Clock& m_clock;
    RandomSource& m_random;
    std::string m_defaultEmoticon;
    AlertTable m_table;
    DueSchedule m_schedule;
    QTimer m_timer;
    std::unique_ptr<FileWatcher> m_storeWatcher;
    std::vector<Popup> m_popups;
    bool m_loaded = false; ///< the tick stays off until the first load
    bool m_loadFailureShown = false;
};

} // namespace zento
