#include "store/AlertTable.h"

namespace zento {

std::optional<std::int32_t> AlertTable::positionOf(std::int32_t id) const {
    for (std::size_t i = 0; i < m_alerts.size(); ++i)
        if (m_alerts[i].Id == id)
            return static_cast<std::int32_t>(i + 1);
    return std::nullopt;
}

} // namespace zento
