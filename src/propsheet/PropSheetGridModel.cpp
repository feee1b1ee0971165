#include "propsheet/PropSheetGridModel.h"

#include "platform/SystemColors.h"
#include "propsheet/ExpandSign.h"

#include <algorithm>
#include <numeric>

namespace vq {

namespace {

constexpr int kValueColumn = PropSheetGridRow::kValueColumn;
constexpr int kSignColumn = PropSheetGridRow::kSignColumn;
constexpr int kNameColumn = PropSheetGridRow::kNameColumn;
constexpr uint32_t kValidColor = 0x000000;
constexpr uint32_t kInvalidColor = 0x0000FF;  // red, as a persisted colour value

int compareText(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive);
}

// Alphabetic: by display name. Categorized: each category's row, then its entries by sort key;
// grouping on the category itself keeps entries under their own row even when one category's
// name begins with another's ("Alarm" and "Alarm limits").
bool rowLess(const PropSheetGridRow& a, const PropSheetGridRow& b, PropSheetGridModel::SortOrder order) {
    if (order == PropSheetGridModel::SortOrder::ByDisplayName) return compareText(a.cells[3], b.cells[3]) < 0;
    if (const int byGroup = compareText(a.group, b.group)) return byGroup < 0;
    if (a.tag != b.tag) return a.tag < b.tag;
    return compareText(a.cells[1], b.cells[1]) < 0;
}

}  // namespace

PropSheetGridModel::PropSheetGridModel(QObject* parent) : QAbstractTableModel(parent), m_rows(1) {}

void PropSheetGridModel::setRows(std::vector<PropSheetGridRow> dataRows) {
    beginResetModel();
    dataRows.insert(dataRows.begin(), PropSheetGridRow());
    m_rows = std::move(dataRows);
    endResetModel();
}

// One signal per cell: for a range the view repaints its whole viewport, for a single index only
// that cell's rectangle (nothing for a hidden column).
void PropSheetGridModel::rowChanged(int gridRow) {
    for (int column = 0; column < PropSheetGridRow::kColumnCount; ++column) {
        const QModelIndex cell = cellIndex(gridRow, column);
        Q_EMIT dataChanged(cell, cell);
    }
}

void PropSheetGridModel::allRowsChanged() {
    if (Rows() > kFirstDataRow)
        Q_EMIT dataChanged(cellIndex(kFirstDataRow, 0),
                           cellIndex(Rows() - 1, PropSheetGridRow::kColumnCount - 1));
}

bool PropSheetGridModel::sortRows(SortOrder order) {
    const auto less = [order](const PropSheetGridRow& a, const PropSheetGridRow& b) {
        return rowLess(a, b, order);
    };
    const auto first = m_rows.begin() + 1;
    if (std::is_sorted(first, m_rows.end(), less)) return false;
    // Persistent indexes (the view's current cell) keep their row numbers, as the grid's did.
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::stable_sort(first, m_rows.end(), less);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return true;
}

int PropSheetGridModel::totalHeight() const {
    return std::accumulate(m_rows.begin(), m_rows.end(), kRowHeight,
                           [](int sum, const PropSheetGridRow& row) { return sum + row.height; });
}

bool PropSheetGridModel::isFixedCell(int gridRow, int column) const {
    if (gridRow == kHeaderRow) return true;
    const PropSheetGridRow& r = row(gridRow);
    return !(r.tag == PropSheetGridRow::Entry && column == kValueColumn && r.valueEditable);
}

QColor PropSheetGridModel::CellBackColor(int gridRow, int column) const {
    return systemColor(isFixedCell(gridRow, column) ? SystemColor::ButtonFace : SystemColor::Window);
}

QColor PropSheetGridModel::CellForeColor(int gridRow, int column) const {
    if (column != kValueColumn || gridRow < kFirstDataRow) return systemColor(SystemColor::WindowText);
    return colorFromOle(row(gridRow).valueInvalid ? kInvalidColor : kValidColor);
}

int PropSheetGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PropSheetGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : PropSheetGridRow::kColumnCount;
}

namespace {

// What a screen reader says for a cell: a value cell names its attribute too, since the reader
// moves cell by cell, and an empty cell says so rather than nothing.
QString accessibleText(const PropSheetGridRow& r, int column) {
    const QString& name = r.cells[size_t(PropSheetGridRow::kNameColumn)];
    if (r.tag == PropSheetGridRow::Spare) return QStringLiteral("Blank");
    if (column == PropSheetGridRow::kSignColumn && r.sign != PropSheetGridRow::Sign::None)
        return (r.sign == PropSheetGridRow::Sign::Expanded ? QStringLiteral("Collapse ")
                                                           : QStringLiteral("Expand ")) +
               name;
    if (column == PropSheetGridRow::kValueColumn && r.tag == PropSheetGridRow::Entry) {
        const QString& value = r.cells[size_t(PropSheetGridRow::kValueColumn)];
        return name + QStringLiteral(": ") + (value.isEmpty() ? QStringLiteral("empty") : value);
    }
    return name.isEmpty() ? QStringLiteral("Blank") : name;
}

QString accessibleDescription(const PropSheetGridRow& r) {
    switch (r.tag) {
        case PropSheetGridRow::Category:
            return r.sign == PropSheetGridRow::Sign::Collapsed
                       ? QStringLiteral("Category of attributes, collapsed")
                       : QStringLiteral("Category of attributes, expanded");
        case PropSheetGridRow::Entry:
            if (!r.valueEditable) return QStringLiteral("Attribute, read-only");
            return r.valueInvalid ? QStringLiteral("Attribute, the value is not valid")
                                  : QStringLiteral("Attribute, editable");
        default:
            return QStringLiteral("Spare row of the attribute grid");
    }
}

}  // namespace

QVariant PropSheetGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int gridRow = gridRowOf(index);
    const PropSheetGridRow& r = row(gridRow);
    switch (role) {
        case Qt::DisplayRole:
            return r.cells[size_t(index.column())];
        case Qt::DecorationRole:
            return index.column() == kSignColumn && r.sign != PropSheetGridRow::Sign::None
                       ? QVariant(expandSignPixmap(r.sign))
                       : QVariant();
        case Qt::BackgroundRole:
            return CellBackColor(gridRow, index.column());
        case Qt::ForegroundRole:
            return CellForeColor(gridRow, index.column());
        case Qt::FontRole:
            return r.tag == PropSheetGridRow::Category && index.column() == kNameColumn
                       ? QVariant(m_categoryFont)
                       : QVariant();
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        case Qt::AccessibleTextRole:
            return accessibleText(r, index.column());
        case Qt::AccessibleDescriptionRole:
            return accessibleDescription(r);
        default:
            return {};
    }
}

QVariant PropSheetGridModel::headerData(int, Qt::Orientation, int) const {
    return {};  // the header row stays empty
}

Qt::ItemFlags PropSheetGridModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled : Qt::NoItemFlags;
}

}  // namespace vq
