#pragma once

#include "editor/AlarmGridModel.h"

#include <QTableView>

#include <cstdint>
#include <optional>

namespace zento {

/// The grid "flexAlarmes" of the main window: the loaded alerts, one row each, sorted by day.
///
/// `SelectedAlertId` is the Id of the row the user last moved to (0 when none); a refill keeps
/// it but leaves no row current, so commands that need a row check `currentRowId()` and ask the
/// user to pick one again. A right press opens the context menu without moving the current row.
class AlarmGrid final : public QTableView {
    Q_OBJECT
public:
    explicit AlarmGrid(QWidget* parent = nullptr);

    /// Rebuilds the grid from the table; afterwards no data row is current.
    void ListeAlertes(const AlertTable& table);

    std::int32_t SelectedAlertId() const { return m_selectedAlertId; }
    bool GridUpdating() const { return m_gridUpdating; }

    /// Id of the current row; nullopt when no data row is current.
    std::optional<std::int32_t> currentRowId() const;
    /// Message column of the current row (empty when none).
    QString currentRowMessage() const;

    AlarmGridModel& gridModel() { return m_model; }
    const AlarmGridModel& gridModel() const { return m_model; }

    /// Makes row r current, as a click on it would (tests, keyboard).
    void selectRow(int r);

Q_SIGNALS:
    /// A double click (or Enter) on a row while SelectedAlertId > 0.
    void modifyRequested();
    /// A right press, or the context-menu key, while SelectedAlertId >= 1.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const AlarmGridModel::Row* currentRow() const;

    AlarmGridModel m_model;
    std::int32_t m_selectedAlertId = 0;
    bool m_gridUpdating = false;
};

} // namespace zento
