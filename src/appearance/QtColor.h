#pragma once

#include "store/ColorValue.h"

#include <QColor>

#include <optional>
#include <string_view>

namespace zento {

/// The one place where stored colour values (0x00BBGGRR) meet QColor.
QColor toQColor(ColorValue value);
ColorValue toColorValue(const QColor& color);

/// A stored colour text as a QColor, or nullopt when it does not convert.
std::optional<QColor> parseQColor(std::string_view text);

} // namespace zento
