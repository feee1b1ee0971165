#include "propsheet/PropSheetGridOrder.h"

#include "propsheet/PropSheetGridModel.h"

#include <algorithm>

namespace vq {

PropSheetEntryList::PropSheetEntryList(PropSheetGridModel* tree, QObject* parent)
    : QAbstractProxyModel(parent) {
    setSourceModel(tree);
    // The tree only ever resets or changes cells: rows come and go with a refill.
    connect(tree, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
    connect(tree, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
    connect(tree, &QAbstractItemModel::dataChanged, this, &PropSheetEntryList::forwardDataChanged);
}

// The entries among the changed rows, as one range of the list.
void PropSheetEntryList::forwardDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                                            const QList<int>& roles) {
    int first = rowCount(), last = -1;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const int position = tree()->entryPosition(topLeft.siblingAtRow(row));
        if (position < 0) continue;
        first = std::min(first, position);
        last = std::max(last, position);
    }
    if (last >= 0)
        Q_EMIT dataChanged(index(first, topLeft.column()), index(last, bottomRight.column()), roles);
}

PropSheetGridModel* PropSheetEntryList::tree() const {
    return static_cast<PropSheetGridModel*>(sourceModel());
}

QModelIndex PropSheetEntryList::mapToSource(const QModelIndex& proxyIndex) const {
    return proxyIndex.isValid() ? tree()->entryIndex(proxyIndex.row(), proxyIndex.column()) : QModelIndex();
}

QModelIndex PropSheetEntryList::mapFromSource(const QModelIndex& sourceIndex) const {
    const int position = sourceIndex.isValid() ? tree()->entryPosition(sourceIndex) : -1;
    return position < 0 ? QModelIndex() : createIndex(position, sourceIndex.column());
}

QModelIndex PropSheetEntryList::index(int row, int column, const QModelIndex& parent) const {
    return hasIndex(row, column, parent) ? createIndex(row, column) : QModelIndex();
}

QModelIndex PropSheetEntryList::parent(const QModelIndex&) const {
    return {};
}

int PropSheetEntryList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : tree()->entryCount();
}

int PropSheetEntryList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PropSheetColumn::columnCount;
}

bool PropSheetEntryList::hasChildren(const QModelIndex& parent) const {
    return !parent.isValid() && rowCount() > 0;
}

PropSheetGridOrder::PropSheetGridOrder(PropSheetGridModel* tree, QObject* parent)
    : QSortFilterProxyModel(parent), m_tree(tree), m_list(new PropSheetEntryList(tree, this)) {
    setSourceModel(m_list);
    sort(columnName);
}

void PropSheetGridOrder::setCategorized(bool categorized) {
    if (categorized == m_categorized) return;
    m_categorized = categorized;
    setSourceModel(categorized ? static_cast<QAbstractItemModel*>(m_tree) : m_list);
    sort(columnName);
}

QModelIndex PropSheetGridOrder::treeIndex(const QModelIndex& shown) const {
    const QModelIndex source = mapToSource(shown);
    return m_categorized ? source : m_list->mapToSource(source);
}

QModelIndex PropSheetGridOrder::shownIndex(const QModelIndex& treeIndex) const {
    return mapFromSource(m_categorized ? treeIndex : m_list->mapFromSource(treeIndex));
}

bool PropSheetGridOrder::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const {
    return sourceModel()->index(sourceRow, 0, sourceParent).data(PropSheetGridModel::VisibleRole).toBool();
}

int PropSheetGridOrder::compareText(const QModelIndex& left, const QModelIndex& right, int role) const {
    const auto text = [&](const QModelIndex& source) -> const QString& {
        return m_tree->orderText(m_categorized ? source : m_list->mapToSource(source), role);
    };
    return text(left).compare(text(right), Qt::CaseInsensitive);
}

// Categories and the entries without one sort by category name, the entries of one category by
// sort key.
bool PropSheetGridOrder::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (!m_categorized) return compareText(left, right, Qt::DisplayRole) < 0;
    if (const int byGroup = compareText(left, right, PropSheetGridModel::GroupRole)) return byGroup < 0;
    return compareText(left, right, PropSheetGridModel::SortKeyRole) < 0;
}

}  // namespace vq
