#include "appearance/QtColor.h"

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

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

namespace {

bool isTextBox(const QWidget* box) {
    return qobject_cast<const QLineEdit*>(box) || qobject_cast<const QAbstractScrollArea*>(box);
}

QPalette::ColorRole backgroundRoleOf(const QWidget* box) {
    return isTextBox(box) ? QPalette::Base : QPalette::Window;
}

QPalette::ColorRole foregroundRoleOf(const QWidget* box) {
    return isTextBox(box) ? QPalette::Text : QPalette::WindowText;
}

// Sets the roles on the box itself; a scroll area's viewport inherits them as long as it has
// no palette of its own, which is why it is not touched here.
void setRoles(QWidget* box, const std::optional<QColor>& background, const std::optional<QColor>& text) {
    if (!box)
        return;
    QPalette pal = box->palette();
    if (background)
        pal.setColor(backgroundRoleOf(box), *background);
    if (text)
        pal.setColor(foregroundRoleOf(box), *text);
    box->setPalette(pal);
    // A label paints no background unless told to.
    if (background && !isTextBox(box))
        box->setAutoFillBackground(true);
}

} // namespace

void setBoxColors(QWidget* box, const QColor& background, const QColor& text) {
    setRoles(box, background, text);
}

void setBoxBackground(QWidget* box, const QColor& background) {
    setRoles(box, background, std::nullopt);
}

void setBoxForeground(QWidget* box, const QColor& text) {
    setRoles(box, std::nullopt, text);
}

QColor boxBackground(const QWidget* box) {
    return box ? box->palette().color(backgroundRoleOf(box)) : QColor(Qt::black);
}

QColor boxForeground(const QWidget* box) {
    return box ? box->palette().color(foregroundRoleOf(box)) : QColor(Qt::black);
}

} // namespace zento
