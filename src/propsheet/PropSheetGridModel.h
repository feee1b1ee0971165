#pragma once

#include "model/CaseInsensitiveMap.h"
#include "model/PropSheetCategories.h"
#include "propsheet/PropsheetView.h"

#include <QAbstractItemModel>
#include <QFont>

#include <functional>
#include <memory>
#include <vector>

namespace vq {

class PropSheetEntries;
class PropSheetEntry;

// The bound collection as a tree: its categories at the top in their stored order, each holding
// its entries in collection order; an entry whose category is missing sits at the top after them.
// Every cell is read from the entry itself. Only the expand state, the latched validity colour and
// the value's display text are kept here: a category starts as its Collapsed flag says, and a value
// turns red, and shows its new text, when an event about its entry arrives.
class PropSheetGridModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // What the order of the views reads from a cell.
    enum Role {
        GroupRole = Qt::UserRole,  // the category a row sorts under
        SortKeyRole,               // a category's name, an entry's SortKey
        VisibleRole,               // false for a hidden entry
        KeyRole                    // an entry's primary attribute name
    };
    // Whether an entry's value is read-only in the sheet, on top of what the entry says.
    using ReadOnlyTest = std::function<bool(const PropSheetEntry&)>;

    explicit PropSheetGridModel(ReadOnlyTest isReadOnly, QObject* parent = nullptr);

    // Refills from `entries` (null empties) in one reset. An error while reading them leaves the
    // rows read so far and goes on to the caller.
    void setEntries(PropSheetEntries* entries);
    // Redraws an entry's row after an event; its value turns red when it is invalid now.
    void entryChanged(const PropSheetEntry& entry);
    // Redraws every row: the read-only state of the values changed.
    void allChanged();
    void setCategoryFont(const QFont& font) { m_categoryFont = font; }

    bool isCollapsed(const QModelIndex& category) const;
    void setCollapsed(const QModelIndex& category, bool collapsed);
    static bool isCategory(const QModelIndex& index) {
        return index.isValid() && index.data(KeyRole).isNull();
    }

    // The entries in collection order, for a flat list of them.
    int entryCount() const { return int(m_entries.size()); }
    QModelIndex entryIndex(int position, int column) const;
    int entryPosition(const QModelIndex& index) const;  // -1 for a category
    QModelIndex indexOf(const QString& primaryAttributeName, int column) const;
    const PropSheetEntry* entryAt(const QModelIndex& index) const;
    // What the views order a row by (Qt::DisplayRole, GroupRole or SortKeyRole), read without a
    // QVariant: sorting asks for it many times per refill.
    const QString& orderText(const QModelIndex& index, int role) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Category {
        PropSheetCategoryPtr category;
        std::vector<int> entries;  // positions in m_entries
        bool collapsed = false;
    };
    struct Entry {
        std::shared_ptr<PropSheetEntry> entry;
        int category = -1;  // position in m_categories, -1 at the top
        int row = 0;        // under its parent
        bool shownInvalid = false;
        // Formatting a value (a number, a list's name for it) is the dearest read of a cell, and
        // every paint reads it: it is read when the entry is and when an event says it changed.
        QString shownValue{};
        // The name and visibility last shown: only a change of them moves the row.
        QString shownName{};
        bool shownVisible = false;
    };
    void read(PropSheetEntries& entries);
    static void readValue(Entry& row);
    static bool readOrder(Entry& row);
    QVariant categoryData(const Category& category, int column, int role) const;
    QVariant entryData(const Entry& entry, int column, int role) const;
    bool isValueEditable(const Entry& entry, int column) const;

    ReadOnlyTest m_isReadOnly;
    std::vector<Category> m_categories;
    std::vector<Entry> m_entries;
    std::vector<int> m_topEntries;  // entries without a category row
    CaseInsensitiveMap<int> m_byName;
    QFont m_categoryFont;
};

}  // namespace vq
