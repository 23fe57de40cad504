#pragma once

#include <QString>

#include <string_view>

namespace zento {

/// Text of the core (UTF-8) as a QString.
inline QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace zento
