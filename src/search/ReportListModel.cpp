#include "search/ReportListModel.h"

#include <algorithm>

namespace vq {

ReportListModel::ReportListModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    return text(index.row(), index.column());
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= m_headers.size()) return {};
    return m_headers[section];
}

void ReportListModel::sort(int column, Qt::SortOrder order) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](const QStringList& a, const QStringList& b) {
        const int compared = a.value(column).compare(b.value(column), Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportListModel::setRows(std::vector<QStringList> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

const QString& ReportListModel::text(int row, int column) const {
    static const QString none;
    if (row < 0 || row >= int(m_rows.size())) return none;
    const QStringList& cells = m_rows[size_t(row)];
    return column < cells.size() ? cells[column] : none;
}

}  // namespace vq
