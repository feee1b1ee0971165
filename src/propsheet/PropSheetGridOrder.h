#pragma once

#include "propsheet/PropsheetView.h"

#include <QAbstractProxyModel>
#include <QSortFilterProxyModel>

namespace vq {

class PropSheetGridModel;

// The entries of the sheet's tree as one flat list in collection order, without the categories.
class PropSheetEntryList : public QAbstractProxyModel {
    Q_OBJECT
public:
    explicit PropSheetEntryList(PropSheetGridModel* tree, QObject* parent = nullptr);

    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;

private:
    PropSheetGridModel* tree() const;
    void forwardDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                            const QList<int>& roles);
};

// The rows as a view shows them: hidden entries left out, and sorted as text ignoring case. Over the
// tree, categories by name and each category's entries by sort key; over the flat list, entries by
// display name. Rows that compare equal keep the collection's order.
class PropSheetGridOrder : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit PropSheetGridOrder(PropSheetGridModel* tree, QObject* parent = nullptr);

    // Groups the rows under their categories, or lists the entries alone by name.
    void setCategorized(bool categorized);
    bool isCategorized() const { return m_categorized; }
    // The tree's index of a row shown here.
    QModelIndex treeIndex(const QModelIndex& shown) const;
    QModelIndex shownIndex(const QModelIndex& treeIndex) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    int compareText(const QModelIndex& left, const QModelIndex& right, int role) const;

    PropSheetGridModel* m_tree;
    PropSheetEntryList* m_list;
    bool m_categorized = false;
};

}  // namespace vq
