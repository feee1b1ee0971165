#include "propsheet/PropSheetGridModel.h"

#include "core/Error.h"
#include "model/PropSheetEntries.h"
#include "platform/SystemColors.h"
#include "propsheet/ExpandSign.h"

namespace vq {

namespace {

constexpr uint32_t kValidColor = 0x000000;
constexpr uint32_t kInvalidColor = 0x0000FF;  // red, as a persisted colour value
constexpr quintptr kTopLevel = 0;

const QString kBlank = QStringLiteral(" ");

QColor backgroundOf(bool fixed) {
    return systemColor(fixed ? SystemColor::ButtonFace : SystemColor::Window);
}

QColor foregroundOf(int column, bool invalid) {
    if (column != columnValue) return systemColor(SystemColor::WindowText);
    return colorFromOle(invalid ? kInvalidColor : kValidColor);
}

QString categoryAccessibleText(const QString& name, bool collapsed, int column) {
    if (column == columnSign)
        return (collapsed ? QStringLiteral("Expand ") : QStringLiteral("Collapse ")) + name;
    return name.isEmpty() ? QStringLiteral("Blank") : name;
}

// A value cell names its attribute too, since a screen reader moves cell by cell.
QString entryAccessibleText(const QString& name, int column, const QString& value) {
    if (column == columnValue)
        return name + QStringLiteral(": ") + (value.isEmpty() ? QStringLiteral("empty") : value);
    return name.isEmpty() ? QStringLiteral("Blank") : name;
}

}  // namespace

PropSheetGridModel::PropSheetGridModel(ReadOnlyTest isReadOnly, QObject* parent)
    : QAbstractItemModel(parent), m_isReadOnly(std::move(isReadOnly)) {}

void PropSheetGridModel::setEntries(PropSheetEntries* entries) {
    beginResetModel();
    m_categories.clear();
    m_entries.clear();
    m_topEntries.clear();
    m_byName.clear();
    try {
        if (entries) read(*entries);
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

void PropSheetGridModel::read(PropSheetEntries& collection) {
    PropSheetCategories& categories = collection.Categories();
    CaseInsensitiveMap<int> categoryByName;
    m_categories.reserve(size_t(categories.Count()));
    for (int i = 1; i <= categories.Count(); ++i)
        if (PropSheetCategoryPtr category = categories.Item(int32_t(i))) {
            categoryByName.insert(category->Name(), int(m_categories.size()));
            m_categories.push_back({category, {}, category->Collapsed()});
        }
    m_entries.reserve(size_t(collection.Count()));
    for (int j = 1; j <= collection.Count(); ++j) {
        Entry entry{collection.Item(int32_t(j))};
        const int position = int(m_entries.size());
        if (const int* category = categoryByName.find(entry.entry->CategoryName())) {
            entry.category = *category;
            entry.row = int(m_categories[size_t(*category)].entries.size());
            m_categories[size_t(*category)].entries.push_back(position);
        } else {
            entry.row = int(m_categories.size() + m_topEntries.size());
            m_topEntries.push_back(position);
        }
        m_byName.assign(entry.entry->PrimaryAttributeName(), position);
        readValue(entry);
        readOrder(entry);
        m_entries.push_back(std::move(entry));
    }
}

// Reading a value can fail for an entry whose list is gone; the cell then shows nothing.
void PropSheetGridModel::readValue(Entry& row) {
    row.shownValue = silently(QString(), [&] { return row.entry->GetDisplayValue(); });
}

void PropSheetGridModel::entryChanged(const PropSheetEntry& entry) {
    const int* position = m_byName.find(entry.PrimaryAttributeName());
    if (!position) return;
    // The colour only decorates the row: failing to read the validity keeps the one shown.
    Entry& row = m_entries[size_t(*position)];
    row.shownInvalid = silently(row.shownInvalid, [&] { return !entry.IsValid(); });
    readValue(row);
    // One cell at a time: for a range the view repaints its whole viewport. The sign cell of an
    // entry stays blank; the name cell, and with it the row's place in the order, changes only
    // with the name or the visibility, which an edit of the value leaves alone.
    const bool renamed = readOrder(row);
    for (const int column : {columnName, columnValue}) {
        if (column == columnName && !renamed) continue;
        const QModelIndex cell = entryIndex(*position, column);
        Q_EMIT dataChanged(cell, cell);
    }
}

bool PropSheetGridModel::readOrder(Entry& row) {
    const PropSheetEntry& entry = *row.entry;
    const bool visible = entry.Visible();
    if (visible == row.shownVisible && entry.DisplayName() == row.shownName) return false;
    row.shownName = entry.DisplayName();
    row.shownVisible = visible;
    return true;
}

void PropSheetGridModel::allChanged() {
    const auto changed = [this](const QModelIndex& parent) {
        if (const int rows = rowCount(parent))
            Q_EMIT dataChanged(index(0, 0, parent),
                               index(rows - 1, PropSheetColumn::columnCount - 1, parent));
    };
    changed({});
    for (size_t c = 0; c < m_categories.size(); ++c) changed(index(int(c), 0));
}

bool PropSheetGridModel::isCollapsed(const QModelIndex& category) const {
    return m_categories[size_t(category.row())].collapsed;
}

void PropSheetGridModel::setCollapsed(const QModelIndex& category, bool collapsed) {
    m_categories[size_t(category.row())].collapsed = collapsed;
    const QModelIndex sign = category.siblingAtColumn(columnSign);
    Q_EMIT dataChanged(sign, sign);
}

QModelIndex PropSheetGridModel::entryIndex(int position, int column) const {
    const Entry& entry = m_entries[size_t(position)];
    return createIndex(entry.row, column, quintptr(entry.category + 1));
}

int PropSheetGridModel::entryPosition(const QModelIndex& index) const {
    const quintptr parent = index.internalId();
    if (parent != kTopLevel) return m_categories[parent - 1].entries[size_t(index.row())];
    const int top = index.row() - int(m_categories.size());
    return top < 0 ? -1 : m_topEntries[size_t(top)];
}

QModelIndex PropSheetGridModel::indexOf(const QString& primaryAttributeName, int column) const {
    const int* position = m_byName.find(primaryAttributeName);
    return position ? entryIndex(*position, column) : QModelIndex();
}

const QString& PropSheetGridModel::orderText(const QModelIndex& index, int role) const {
    const int position = entryPosition(index);
    if (position < 0) return m_categories[size_t(index.row())].category->Name();
    const PropSheetEntry& entry = *m_entries[size_t(position)].entry;
    if (role == GroupRole) return entry.CategoryName();
    return role == SortKeyRole ? entry.SortKey() : entry.DisplayName();
}

const PropSheetEntry* PropSheetGridModel::entryAt(const QModelIndex& index) const {
    const int position = index.isValid() ? entryPosition(index) : -1;
    return position < 0 ? nullptr : m_entries[size_t(position)].entry.get();
}

QModelIndex PropSheetGridModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) return {};
    return createIndex(row, column, parent.isValid() ? quintptr(parent.row() + 1) : kTopLevel);
}

QModelIndex PropSheetGridModel::parent(const QModelIndex& child) const {
    const quintptr parent = child.isValid() ? child.internalId() : kTopLevel;
    return parent == kTopLevel ? QModelIndex() : createIndex(int(parent - 1), 0, kTopLevel);
}

int PropSheetGridModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return int(m_categories.size() + m_topEntries.size());
    const bool isCategoryRow = parent.internalId() == kTopLevel && parent.row() < int(m_categories.size());
    return isCategoryRow && parent.column() == 0 ? int(m_categories[size_t(parent.row())].entries.size()) : 0;
}

int PropSheetGridModel::columnCount(const QModelIndex&) const {
    return PropSheetColumn::columnCount;
}

QVariant PropSheetGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    const int position = entryPosition(index);
    if (position < 0) return categoryData(m_categories[size_t(index.row())], index.column(), role);
    return entryData(m_entries[size_t(position)], index.column(), role);
}

QVariant PropSheetGridModel::categoryData(const Category& category, int column, int role) const {
    const QString& name = category.category->Name();
    switch (role) {
        case Qt::DisplayRole:
            return column == columnName ? name : kBlank;
        case Qt::DecorationRole:
            return column == columnSign ? QVariant(expandSignPixmap(category.collapsed)) : QVariant();
        case Qt::BackgroundRole:
            return backgroundOf(true);
        case Qt::ForegroundRole:
            return foregroundOf(column, false);
        case Qt::FontRole:
            return column == columnName ? QVariant(m_categoryFont) : QVariant();
        case Qt::AccessibleTextRole:
            return categoryAccessibleText(name, category.collapsed, column);
        case Qt::AccessibleDescriptionRole:
            return category.collapsed ? QStringLiteral("Category of attributes, collapsed")
                                      : QStringLiteral("Category of attributes, expanded");
        case GroupRole:
        case SortKeyRole:
            return name;
        case VisibleRole:
            return true;
        default:
            return {};
    }
}

QVariant PropSheetGridModel::entryData(const Entry& row, int column, int role) const {
    const PropSheetEntry& entry = *row.entry;
    switch (role) {
        case Qt::DisplayRole:
            return column == columnName    ? entry.DisplayName()
                   : column == columnValue ? row.shownValue
                                           : kBlank;
        case Qt::BackgroundRole:
            return backgroundOf(!isValueEditable(row, column));
        case Qt::ForegroundRole:
            return foregroundOf(column, row.shownInvalid);
        case Qt::AccessibleTextRole:
            return entryAccessibleText(entry.DisplayName(), column,
                                       column == columnValue ? row.shownValue : QString());
        case Qt::AccessibleDescriptionRole:
            if (!isValueEditable(row, columnValue)) return QStringLiteral("Attribute, read-only");
            return row.shownInvalid ? QStringLiteral("Attribute, the value is not valid")
                                    : QStringLiteral("Attribute, editable");
        case GroupRole:
            return entry.CategoryName();
        case SortKeyRole:
            return entry.SortKey();
        case VisibleRole:
            return entry.Visible();
        case KeyRole:
            return entry.PrimaryAttributeName();
        default:
            return {};
    }
}

bool PropSheetGridModel::isValueEditable(const Entry& entry, int column) const {
    return column == columnValue && !silently(true, [&] { return m_isReadOnly(*entry.entry); });
}

QVariant PropSheetGridModel::headerData(int, Qt::Orientation, int) const {
    return {};  // the header row stays empty
}

Qt::ItemFlags PropSheetGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    const int position = entryPosition(index);
    if (position < 0) return Qt::ItemIsEnabled;
    const Qt::ItemFlags editable =
        isValueEditable(m_entries[size_t(position)], index.column()) ? Qt::ItemIsEditable : Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren | editable;
}

}  // namespace vq
