#pragma once

#include "ui/UserDialogs.h"

#include <QAction>
#include <QMenu>
#include <QStringList>

#include <deque>
#include <optional>

namespace zento::test {

/// Answers the program's modal questions from a script and records what was shown.
class FakeDialogs final : public UserDialogs {
public:
    struct Shown {
        QString text;
        Icon icon;
        bool question;
        bool yesByDefault = true;
    };
    std::vector<Shown> shown;
    std::deque<bool> answers;                 ///< for ask(); No when empty
    std::deque<std::optional<QColor>> colors; ///< for chooseColor(); cancel when empty
    std::deque<QString> files;                ///< for chooseFileToOpen(); cancel when empty or ""
    std::deque<QString> menuChoices;          ///< entry texts to pick in popupMenu(); dismiss when empty
    QStringList menusShown;                   ///< titles (or object names) of the menus shown
    std::vector<QColor> colorDialogInitials;

    void message(QWidget*, const QString& text, Icon icon) override { shown.push_back({text, icon, false}); }
    bool ask(QWidget*, const QString& text, Icon icon, bool yesByDefault) override {
        shown.push_back({text, icon, true, yesByDefault});
        return take(answers, false);
    }
    std::optional<QColor> chooseColor(QWidget*, const QColor& initial) override {
        colorDialogInitials.push_back(initial);
        return take(colors);
    }
    std::optional<QString> chooseFileToSave(QWidget* parent, const QString& title, const QString&,
                                            const QString& filter) override {
        return chooseFileToOpen(parent, title, filter);
    }
    std::optional<QString> chooseFileToOpen(QWidget*, const QString&, const QString& = {}) override {
        const QString file = take(files);
        return file.isEmpty() ? std::nullopt : std::optional(file);
    }
    QAction* popupMenu(QMenu* menu, const QPoint&) override {
        menusShown << (menu->title().isEmpty() ? menu->objectName() : menu->title());
        const QString want = take(menuChoices);
        for (QAction* a : menu->actions()) {
            if (!want.isEmpty() && a->isVisible() && a->isEnabled() && a->text() == want) {
                a->trigger();
                return a;
            }
        }
        return nullptr;
    }

private:
    template <class T>
    static T take(std::deque<T>& script, T none = {}) {
        if (script.empty())
            return none;
        T next = std::move(script.front());
        script.pop_front();
        return next;
    }
};

} // namespace zento::test
