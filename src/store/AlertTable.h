#pragma once

#include "store/Alerte.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zento {

/// The alerts loaded from the store, at positions 1..AlertCount() in file order. Positions
/// change at every reload; an alert's Id never does, so holders keep the Id.
class AlertTable final {
public:
    AlertTable() = default;
    explicit AlertTable(std::vector<Alerte> alerts) : m_alerts(std::move(alerts)) {}

    std::int32_t AlertCount() const { return static_cast<std::int32_t>(m_alerts.size()); }

    /// The alert at a position 1..AlertCount().
    const Alerte& at(std::int32_t position) const {
        return m_alerts.at(static_cast<std::size_t>(position - 1));
    }
    Alerte& at(std::int32_t position) { return m_alerts.at(static_cast<std::size_t>(position - 1)); }

    /// The Id at a position (AlertIds of the table).
    std::int32_t AlertId(std::int32_t position) const { return at(position).Id; }

    /// The position of the alert with that Id, or nullopt when it is not loaded.
    std::optional<std::int32_t> positionOf(std::int32_t id) const;

    const std::vector<Alerte>& alerts() const { return m_alerts; }

private:
    std::vector<Alerte> m_alerts;
};

} // namespace zento
