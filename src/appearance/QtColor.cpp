#include "appearance/QtColor.h"

namespace zento {

QColor toQColor(ColorValue value) {
    return QColor(static_cast<int>(RedOf(value)), static_cast<int>(GreenOf(value)),
                  static_cast<int>(BlueOf(value)));
}

ColorValue toColorValue(const QColor& color) {
    return RgbColor(static_cast<unsigned>(color.red()), static_cast<unsigned>(color.green()),
                    static_cast<unsigned>(color.blue()));
}

std::optional<QColor> parseQColor(std::string_view text) {
    if (const auto v = ParseColorValue(text))
        return toQColor(*v);
    return std::nullopt;
}

} // namespace zento
