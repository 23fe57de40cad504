#include "editor/AlarmGridModel.h"

#include "appearance/QtColor.h"
#include "store/DateText.h"

#include <algorithm>
#include <limits>

namespace zento {
namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

AlarmGridModel::AlarmGridModel(QObject* parent) : QAbstractTableModel(parent) {}

QString AlarmGridModel::soundLabel(const QString& sound) {
    return sound.size() > 4 ? sound.chopped(4) : sound;
}

void AlarmGridModel::fill(const AlertTable& table) {
    struct Keyed {
        long long day;
        Row row;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(static_cast<std::size_t>(table.AlertCount()));
    for (std::int32_t pos = 1; pos <= table.AlertCount(); ++pos) {
        const Alerte& a = table.at(pos);
        Keyed k;
        k.row.id = a.Id;
        k.row.position = pos;
        if (const auto d = ParseDate(a.AlertDate)) {
            k.day = std::chrono::sys_days{*d}.time_since_epoch().count();
            k.row.date = qs(FormatDate(*d));
        } else {
            k.day = std::numeric_limits<long long>::max();
            k.row.date = qs(a.AlertDate);
        }
        k.row.time = qs(a.AlertTime);
        k.row.message = qs(a.Message);
        k.row.sound = a.Sound.empty() ? QString() : soundLabel(qs(a.Sound));
        k.row.back = parseQColor(a.BackColor);
        k.row.fore = parseQColor(a.ForeColor);
        keyed.push_back(std::move(k));
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& x, const Keyed& y) { return x.day < y.day; });

    beginResetModel();
    m_rows.clear();
    m_rows.reserve(keyed.size());
    for (auto& k : keyed)
        m_rows.push_back(std::move(k.row));
    endResetModel();
}

int AlarmGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AlarmGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AlarmGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Row& r = m_rows[static_cast<std::size_t>(index.row())];
    const int col = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        switch (col) {
        case ColId:
            return QString::number(r.id);
        case ColDate:
            return r.date;
        case ColTime:
            return r.time;
        case ColMessage:
            return r.message;
        case ColSound:
            return r.sound;
        case ColPosition:
            return QString::number(r.position);
        default:
            return {};
        }
    case Qt::BackgroundRole:
        if (col != ColPosition && r.back)
            return *r.back;
        return {};
    case Qt::ForegroundRole:
        if (col != ColPosition && r.fore)
            return *r.fore;
        return {};
    case Qt::TextAlignmentRole:
        if (col == ColDate || col == ColTime)
            return int(Qt::AlignHCenter | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant AlarmGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole) {
        switch (section) {
        case ColDate:
            return tr("Date");
        case ColTime:
            return tr("Heure");
        case ColMessage:
            return tr("Message");
        case ColSound:
            return tr("Son");
        default:
            return QString();
        }
    }
    if (role == Qt::TextAlignmentRole)
        return int((section == ColDate || section == ColTime ? Qt::AlignHCenter : Qt::AlignLeft) |
                   Qt::AlignVCenter);
    return {};
}

} // namespace zento
