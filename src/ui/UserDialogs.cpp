#include "ui/UserDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace zento {
namespace {

QMessageBox::Icon toQt(UserDialogs::Icon icon) {
    switch (icon) {
    case UserDialogs::Icon::Information:
        return QMessageBox::Information;
    case UserDialogs::Icon::Warning:
        return QMessageBox::Warning;
    case UserDialogs::Icon::Critical:
        return QMessageBox::Critical;
    case UserDialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString applicationTitle() {
    return QStringLiteral("Zento");
}

void QtUserDialogs::message(QWidget* parent, const QString& text, Icon icon) {
    QMessageBox box(toQt(icon), applicationTitle(), text, QMessageBox::Ok, parent);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool QtUserDialogs::ask(QWidget* parent, const QString& text, Icon icon) {
    QMessageBox box(toQt(icon), applicationTitle(), text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QColor> QtUserDialogs::chooseColor(QWidget* parent, const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QString> QtUserDialogs::chooseFileToOpen(QWidget* parent, const QString& title) {
    const QString path = QFileDialog::getOpenFileName(parent, title);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

QAction* QtUserDialogs::popupMenu(QMenu* menu, const QPoint& globalPos) {
    return menu->exec(globalPos);
}

} // namespace zento
