#include "ui/UserDialogs.h"

#include <QAbstractButton>
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

/// A message box titled "Zento" showing `text` as written: it is often the user's own (an
/// alert's message) and "<b>" in it is not markup. The buttons get their French texts here,
/// since Qt's come from a translation package that may not be installed.
void prepare(QMessageBox& box, const QString& text) {
    static const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } kFrench[] = {{QMessageBox::Ok, "OK"},
                   {QMessageBox::Yes, "&Oui"},
                   {QMessageBox::No, "&Non"},
                   {QMessageBox::Cancel, "Annuler"}};
    box.setWindowTitle(applicationTitle());
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    for (const auto& f : kFrench)
        if (QAbstractButton* b = box.button(f.button))
            b->setText(QString::fromUtf8(f.text));
}

} // namespace

QString applicationTitle() {
    return QStringLiteral("Zento");
}

void QtUserDialogs::message(QWidget* parent, const QString& text, Icon icon) {
    QMessageBox box(toQt(icon), {}, {}, QMessageBox::Ok, parent);
    prepare(box, text);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool QtUserDialogs::ask(QWidget* parent, const QString& text, Icon icon, bool yesByDefault) {
    QMessageBox box(toQt(icon), {}, {}, QMessageBox::Yes | QMessageBox::No, parent);
    prepare(box, text);
    box.setDefaultButton(yesByDefault ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QColor> QtUserDialogs::chooseColor(QWidget* parent, const QColor& initial) {
    const QColor c = QColorDialog::getColor(initial, parent);
    if (!c.isValid())
        return std::nullopt;
    return c;
}

std::optional<QString> QtUserDialogs::chooseFileToOpen(QWidget* parent, const QString& title,
                                                       const QString& filter) {
    const QString path = QFileDialog::getOpenFileName(parent, title, {}, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> QtUserDialogs::chooseFileToSave(QWidget* parent, const QString& title,
                                                       const QString& suggested, const QString& filter) {
    const QString path = QFileDialog::getSaveFileName(parent, title, suggested, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

QAction* QtUserDialogs::popupMenu(QMenu* menu, const QPoint& globalPos) {
    return menu->exec(globalPos);
}

} // namespace zento
