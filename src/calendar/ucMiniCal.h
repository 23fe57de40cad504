#pragma once

#include "calendar/MonthGrid.h"
#include "schedule/Clock.h"
#include "store/DateText.h"

#include <QWidget>

#include <array>
#include <chrono>
#include <optional>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace zento {

/// The date picker "ucMiniCal": a read-only date box with a drop-down button that unfolds a month
/// calendar below it (title with arrows, weekday header, six weeks, "Ce jour").
///
/// The widget sizes itself: 2910 twips wide, 285 high closed and 3045 open. It raises itself on
/// opening so that the calendar covers the controls below it; the host only positions it and must
/// leave room for the unfolded height inside the parent, which would otherwise clip it.
///
/// Every way of moving (arrows, lists, "Ce jour", a day) goes through ChangeJour, so the month
/// shown and the chosen date always move together: stepping a month chooses its 1st.
///
/// Keyboard: Space on the drop-down button, or F4, acts as the button (Alt+Down opens, Alt+Up
/// closes); Tab reaches the title and then the grid, which is one tab stop on the chosen day. In
/// the grid the arrows move the focus within the month shown, Home/End go to its first/last day,
/// Enter or Space picks the focused day. PageUp/PageDown step a month anywhere in the open
/// calendar except in a list (which they scroll). On the title Enter or Space opens the month
/// list, Shift+Enter, Shift+Space or the menu key the year list; Enter in a list picks its current
/// entry (moving in a list chooses nothing). Escape closes like Ferme(). When the calendar closes
/// the focus goes back to the drop-down button.
///
/// The year list runs from 1900 to today's year + 100. When the year shown lies outside it
/// (reached with the arrows or from a distant date), the nearest year of the list is selected
/// and scrolled to, so Enter there jumps to the list's edge.
class ucMiniCal final : public QWidget {
    Q_OBJECT
public:
    explicit ucMiniCal(const Clock& clock, QWidget* parent = nullptr);

    /// Shows d's month, marks d and makes it the chosen date. Raises no event. A date that is not
    /// valid or lies outside years 1 to 9999 (which the dd/MM/yyyy form cannot hold) is ignored.
    void ChangeJour(Date d);
    /// The chosen date; kNoDate (1 January 1800) before the first ChangeJour.
    Date ChoixDate() const;
    /// Closes the calendar without choosing. Raises no event.
    void Ferme();
    bool isOpen() const;

Q_SIGNALS:
    /// The user picked a day, or closed the calendar with the drop-down button or "Ce jour".
    void Change();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void cmdDate_Click();
    void cmdToday_Click();
    void lblJour_Click(int index);
    void lblMoisAnnee_MouseDown(Qt::MouseButton button);
    void lblNext_Click();
    void lblPrevious_Click();
    void lstMois_Click();
    void lstAnnee_Click();

    void openMonthList();
    void openYearList();
    void hideLists();
    /// Hides the calendar and shrinks to one line, keeping the keyboard focus in the widget.
    void fold();
    void unfold();
    void paintCells();
    Date today() const;
    /// Index 1..42 of a day cell, 0 for any other object.
    int cellIndex(const QObject* o) const;
    /// Gives the keyboard focus (and the grid's tab stop) to cell i.
    void focusCell(int index);
    /// Index of the cell of day `day` of the month shown (clamped to the month).
    int cellOfDay(int day) const;
    bool focusInside() const;
    bool handleCellKey(int index, const QKeyEvent& key);
    bool handleTitleKey(const QKeyEvent& key);
    bool handleListKey(QListWidget* list, const QKeyEvent& key);

    const Clock& m_clock;

    QLineEdit* m_txtDate;
    QToolButton* m_cmdDate;
    QFrame* m_fraCal;
    QLabel* m_lblPrevious;
    QLabel* m_lblMoisAnnee;
    QLabel* m_lblNext;
    QLabel* m_lblJours;
    std::array<QLabel*, MonthGrid::kCellCount> m_lblJour{};
    QFrame* m_line1;
    QPushButton* m_cmdToday;
    QListWidget* m_lstMois;
    QListWidget* m_lstAnnee;

    /// The chosen date (nullopt before the first ChangeJour) and the month shown: what the text
    /// box's tag and the hidden month and year labels hold.
    std::optional<Date> m_chosen;
    std::chrono::year_month m_shown{};
    /// The cells drawn for the chosen date.
    std::optional<MonthGrid> m_grid;
    /// The cell that is the grid's tab stop (1..42), 0 before the first ChangeJour.
    int m_tabStopCell = 0;
};

} // namespace zento
