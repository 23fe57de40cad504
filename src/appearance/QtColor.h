#pragma once

#include "store/ColorValue.h"

#include <QColor>

#include <optional>
#include <string_view>

class QWidget;

namespace zento {

/// The one place where stored colour values (0x00BBGGRR) meet QColor.
QColor toQColor(ColorValue value);
ColorValue toColorValue(const QColor& color);

/// A stored colour text as a QColor, or nullopt when it does not convert.
std::optional<QColor> parseQColor(std::string_view text);

/// The colours of a box that shows an alert's message: text boxes (QLineEdit, QTextEdit and
/// other scroll areas) paint with the Base and Text roles, anything else (a QLabel) with
/// Window and WindowText and fills its own background. Every colour group is set, so the box
/// looks the same whether its window is active or not. A null box is ignored.
void setBoxColors(QWidget* box, const QColor& background, const QColor& text);
void setBoxBackground(QWidget* box, const QColor& background);
void setBoxForeground(QWidget* box, const QColor& text);

/// The colours the box paints with now (black for a null box).
QColor boxBackground(const QWidget* box);
QColor boxForeground(const QWidget* box);

} // namespace zento
