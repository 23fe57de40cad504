#pragma once

#include "store/AlertTable.h"

#include <QAbstractTableModel>
#include <QColor>

#include <cstdint>
#include <optional>
#include <vector>

namespace zento {

/// The rows of the alarm grid: one per loaded alert, sorted by day (alerts of one day keep
/// their table order; a date that is not a date sorts after the others), in the alert's colours.
/// Columns: 0 Id (hidden), 1 "Date", 2 "Heure", 3 "Message", 4 "Son", 5 table position (hidden).
class AlarmGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColId = 0, ColDate, ColTime, ColMessage, ColSound, ColPosition, ColumnCount };

    struct Row {
        std::int32_t id = 0;
        std::int32_t position = 0;
        QString date; ///< dd/MM/yyyy, or the stored text when it is not a date
        QString time;
        QString message;
        QString sound; ///< without its extension
        std::optional<QColor> back;
        std::optional<QColor> fore;
    };

    explicit AlarmGridModel(QObject* parent = nullptr);

    /// Rebuilds every row from the table.
    void fill(const AlertTable& table);

    const Row& row(int r) const { return m_rows.at(static_cast<std::size_t>(r)); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    /// "Defaut.wav" shows "Defaut": the name less its last four characters (its extension);
    /// a name of four characters or fewer is shown as it is.
    static QString soundLabel(const QString& sound);

private:
    std::vector<Row> m_rows;
};

} // namespace zento
