#include "search/TagSearchResultsModel.h"

#include "core/Error.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointList.h"

namespace vq {

namespace {
// A few screens of rows; beyond that the kept descriptors start over.
constexpr size_t kKeptDescriptors = 512;
const QString kDescriptor = QStringLiteral("Descriptor");
}  // namespace

TagSearchResultsModel::TagSearchResultsModel(QObject* parent) : QAbstractTableModel(parent) {}

void TagSearchResultsModel::setList(SdkPointListPtr list) {
    beginResetModel();
    m_list = std::move(list);
    m_descriptors.clear();
    m_failedRows.clear();
    endResetModel();
}

int TagSearchResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_list ? 0 : m_list->Count();
}

int TagSearchResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TagSearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QString headers[ColumnCount] = {QStringLiteral("VQ Server"), QStringLiteral("Tag"),
                                                 QStringLiteral("Description")};
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return headers[section];
}

QVariant TagSearchResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    // A screen reader moves cell by cell: each cell says which column it is, and an empty one
    // says so rather than nothing.
    if (role == Qt::AccessibleDescriptionRole)
        return headerData(index.column(), Qt::Horizontal, Qt::DisplayRole);
    if (role == Qt::AccessibleTextRole) {
        const QString text = data(index, Qt::DisplayRole).toString();
        return text.isEmpty()
                   ? QStringLiteral("No ") +
                         headerData(index.column(), Qt::Horizontal, Qt::DisplayRole).toString().toLower()
                   : text;
    }
    if (role != Qt::DisplayRole) return {};
    const int row = index.row();
    if (index.column() == DescriptorColumn && m_failedRows.count(row)) return {};
    try {
        return cellText(row, index.column());
    } catch (...) {
        // Painting goes on; the handler decides how to tell the user, once for this row.
        if (m_failedRows.insert(row).second && m_rowError) m_rowError(row, currentError());
        return {};
    }
}

QString TagSearchResultsModel::cellText(int row, int column) const {
    if (!m_list) return {};
    switch (column) {
        case ServerColumn:
            return m_list->ServerName(row + 1);
        case TagColumn:
            return m_list->Tag(row + 1);
        case DescriptorColumn:
            return descriptor(row);
        default:
            return {};
    }
}

QString TagSearchResultsModel::descriptor(int row) const {
    if (auto kept = m_descriptors.find(row); kept != m_descriptors.end()) return kept->second;
    const SdkPointPtr point = m_list->Item(row + 1);
    QString text = point->PointAttributes()->Item(kDescriptor)->Value().toString();
    if (m_descriptors.size() >= kKeptDescriptors) m_descriptors.clear();
    m_descriptors.emplace(row, text);
    return text;
}

void TagSearchResultsModel::setRowErrorHandler(std::function<void(int, const Error&)> handler) {
    m_rowError = std::move(handler);
}

}  // namespace vq
