#include "session/Session.h"

#include "schedule/Clock.h"
#include "session/FileWatcher.h"

#include <algorithm>

namespace zento {

Session::Session(AlertStore& store, Clock& clock, RandomSource& random, QObject* parent)
    : QObject(parent), m_service(store), m_clock(clock), m_random(random),
      m_defaultEmoticon(m_service.defaultEmoticon()) {
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(3000);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Session::Timer1_Timer);
    m_storeWatcher = std::make_unique<StatFileWatcher>(store.IniPath());
}

Session::~Session() = default;

void Session::setStoreWatcher(std::unique_ptr<FileWatcher> watcher) {
    m_storeWatcher = std::move(watcher);
}

void Session::LoadAllAlerts() {
    // Marked before reading: a change made while the file is read shows at the next tick.
    m_storeWatcher->markRead();
    auto loaded = m_service.store().LoadAllAlerts();
    if (loaded) {
        m_table = std::move(*loaded);
    } else {
        // What cannot be read shows as no alerts; the file itself is never overwritten.
        m_table = AlertTable();
        if (!m_loadFailureShown) {
            m_loadFailureShown = true;
            Q_EMIT loadFailed(loaded.error());
        }
    }
    m_schedule = DueSchedule(m_table);
    m_loaded = true;
    updateTick();
    Q_EMIT tableChanged();
}

template <typename R>
R Session::reloadAfter(R result) {
    if (result)
        LoadAllAlerts();
    return result;
}

Result<std::int32_t> Session::addAlert(const Alerte& alert) {
    return reloadAfter(m_service.add(alert));
}

Result<SavedAlert> Session::saveAlert(std::int32_t id, const Alerte& alert) {
    return reloadAfter(m_service.update(id, alert));
}

Status Session::deleteAlert(std::int32_t id) {
    Status s = m_service.remove(id);
    // Gone already (acknowledged, deleted elsewhere): what the user wanted; show the truth.
    if (s || s.error().code == ErrorCode::NotFound) {
        LoadAllAlerts();
        return {};
    }
    return s;
}

Status Session::acknowledge(const DueAlert& alert) {
    return reloadAfter(m_service.acknowledge(alert));
}

Status Session::snooze(std::int32_t id, int listIndex) {
    const Result<bool> r = m_service.snooze(id, m_clock.now(), listIndex);
    if (!r)
        return r.error();
    LoadAllAlerts();
    return {};
}

Alerte Session::newAlert() const {
    return m_service.newAlert(DayOf(m_clock.now()), m_defaultEmoticon, m_random);
}

Result<ImportPlan> Session::planImport(std::string_view fileBytes, bool acceptActions) const {
    return m_service.planImport(fileBytes, m_clock.now(), acceptActions, m_defaultEmoticon, m_random);
}

Result<std::vector<std::int32_t>> Session::importAlerts(const std::vector<Alerte>& alerts) {
    return reloadAfter(m_service.addAll(alerts));
}

void Session::trackPopup(QObject* popup, std::optional<std::int32_t> alertId) {
    if (!popup)
        return;
    if (std::none_of(m_popups.begin(), m_popups.end(),
                     [popup](const Popup& p) { return p.object == popup; })) {
        m_popups.push_back({popup, alertId});
        connect(popup, &QObject::destroyed, this, &Session::popupDestroyed);
    }
    updateTick();
}

void Session::popupDestroyed(QObject* popup) {
    std::erase_if(m_popups, [popup](const Popup& p) { return p.object == popup; });
    updateTick();
}

int Session::openPopupCount() const {
    return static_cast<int>(m_popups.size());
}

bool Session::waitsForAnswer() const {
    return std::any_of(m_popups.begin(), m_popups.end(),
                       [](const Popup& p) { return p.alertId.has_value(); });
}

void Session::updateTick() {
    if (waitsForAnswer())
        m_timer.stop();
    else if (m_loaded && !m_timer.isActive())
        m_timer.start();
}

void Session::Timer1_Timer() {
    if (m_storeWatcher->changedSinceRead())
        LoadAllAlerts();
    const auto isOpen = [this](std::int32_t id) {
        return std::any_of(m_popups.begin(), m_popups.end(),
                           [id](const Popup& p) { return p.alertId == id; });
    };
    if (const auto position = m_schedule.firstDue(m_clock.now(), isOpen)) {
        const Alerte due = m_table.at(*position); // a copy: the table may be reloaded meanwhile
        Q_EMIT alertDue(due);
    }
}

} // namespace zento
