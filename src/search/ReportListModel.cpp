#include "search/ReportListModel.h"

#include <algorithm>
#include <numeric>

namespace vq {

ReportListModel::ReportListModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), m_headers(std::move(headers)) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
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
    if (column < 0 || column >= int(m_columns.size())) return;
    const QStringList& key = m_columns[size_t(column)];
    std::vector<int> rows(static_cast<size_t>(m_rowCount));
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        const int compared = key[a].compare(key[b], Qt::CaseInsensitive);
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    });
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    for (QStringList& cells : m_columns) {
        QStringList sorted;
        sorted.reserve(cells.size());
        for (int row : rows) sorted << cells[row];
        cells = std::move(sorted);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReportListModel::setColumns(std::vector<QStringList> columns) {
    beginResetModel();
    m_columns = std::move(columns);
    m_rowCount = m_columns.empty() ? 0 : int(m_columns.front().size());
    endResetModel();
}

const QString& ReportListModel::text(int row, int column) const {
    static const QString none;
    if (row < 0 || row >= m_rowCount || column < 0 || column >= int(m_columns.size())) return none;
    return m_columns[size_t(column)][row];
}

}  // namespace vq
