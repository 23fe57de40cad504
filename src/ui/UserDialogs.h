#pragma once

#include <QColor>
#include <QPoint>
#include <QString>

#include <optional>

class QAction;
class QMenu;
class QWidget;

namespace zento {

/// Everything that waits for the user in a modal loop: message boxes (always titled "Zento"),
/// the colour and file dialogs and menus shown at the pointer. Windows ask through this seam
/// so that tests answer without a real modal loop.
class UserDialogs {
public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~UserDialogs() = default;

    /// A message with an OK button.
    virtual void message(QWidget* parent, const QString& text, Icon icon) = 0;
    /// A question with Yes and No buttons, Enter choosing Yes unless `yesByDefault` is false;
    /// true for Yes.
    virtual bool ask(QWidget* parent, const QString& text, Icon icon = Icon::None, bool yesByDefault = true) = 0;
    /// The colour dialog preset to `initial`; nullopt when cancelled.
    virtual std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) = 0;
    /// The file-open dialog with that title (and that filter, e.g. "Calendriers (*.ics)"); the
    /// chosen file's full path, or nullopt when cancelled.
    virtual std::optional<QString> chooseFileToOpen(QWidget* parent, const QString& title,
                                                    const QString& filter = {}) = 0;
    /// The file-save dialog with that title, proposing `suggested`; the chosen path, or nullopt
    /// when cancelled. Replacing an existing file has been confirmed.
    virtual std::optional<QString> chooseFileToSave(QWidget* parent, const QString& title,
                                                    const QString& suggested, const QString& filter) = 0;
    /// Shows the menu at a screen position and returns once an entry was chosen (its handler
    /// has then run) or the menu was dismissed; returns the chosen action or null.
    virtual QAction* popupMenu(QMenu* menu, const QPoint& globalPos) = 0;
};

/// The real dialogs.
class QtUserDialogs final : public UserDialogs {
public:
    void message(QWidget* parent, const QString& text, Icon icon) override;
    bool ask(QWidget* parent, const QString& text, Icon icon, bool yesByDefault) override;
    std::optional<QColor> chooseColor(QWidget* parent, const QColor& initial) override;
    std::optional<QString> chooseFileToOpen(QWidget* parent, const QString& title, const QString& filter) override;
    std::optional<QString> chooseFileToSave(QWidget* parent, const QString& title, const QString& suggested,
                                            const QString& filter) override;
    QAction* popupMenu(QMenu* menu, const QPoint& globalPos) override;
};

/// The title of every message box.
QString applicationTitle();

} // namespace zento
