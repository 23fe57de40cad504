#include "editor/AlarmGrid.h"

#include "ui/Twips.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace zento {

AlarmGrid::AlarmGrid(QWidget* parent) : QTableView(parent) {
    setObjectName(QStringLiteral("flexAlarmes"));
    setAccessibleName(tr("Liste des alertes"));
    setModel(&m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    const int widths[AlarmGridModel::ColumnCount] = {0, 1150, 650, 3200, 1000, 0};
    for (int c = 0; c < AlarmGridModel::ColumnCount; ++c)
        setColumnWidth(c, twips::px(widths[c]));
    setColumnHidden(AlarmGridModel::ColId, true);
    setColumnHidden(AlarmGridModel::ColPosition, true);
}

void AlarmGrid::ListeAlertes(const AlertTable& table) {
    m_gridUpdating = true;
    m_model.fill(table);
    // After a refill no data row is current: the user picks one again.
    selectionModel()->clear();
    setCurrentIndex(QModelIndex());
    m_gridUpdating = false;
}

const AlarmGridModel::Row* AlarmGrid::currentRow() const {
    const QModelIndex cur = currentIndex();
    if (!cur.isValid() || cur.row() >= m_model.rowCount())
        return nullptr;
    return &m_model.row(cur.row());
}

std::optional<std::int32_t> AlarmGrid::currentRowId() const {
    if (const auto* r = currentRow())
        return r->id;
    return std::nullopt;
}

QString AlarmGrid::currentRowMessage() const {
    const auto* r = currentRow();
    return r ? r->message : QString();
}

void AlarmGrid::selectRow(int r) {
    if (r < 0 || r >= m_model.rowCount())
        return;
    setCurrentIndex(m_model.index(r, AlarmGridModel::ColDate));
}

void AlarmGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (m_gridUpdating)
        return;
    m_selectedAlertId =
        current.isValid() && current.row() < m_model.rowCount() ? m_model.row(current.row()).id : 0;
}

void AlarmGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The menu acts on the row that was current, not on the one under the pointer.
        if (m_selectedAlertId >= 1)
            Q_EMIT contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void AlarmGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(event);
    if (m_selectedAlertId > 0 && indexAt(event->position().toPoint()).isValid())
        Q_EMIT modifyRequested();
}

void AlarmGrid::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard && m_selectedAlertId >= 1) {
        QRect r = visualRect(currentIndex());
        Q_EMIT contextMenuRequested(viewport()->mapToGlobal(r.isValid() ? r.center() : QPoint(0, 0)));
    }
    event->accept();
}

void AlarmGrid::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_selectedAlertId > 0 &&
        currentRow()) {
        Q_EMIT modifyRequested();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace zento
