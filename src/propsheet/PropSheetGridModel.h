#pragma once

#include "propsheet/PropSheetGridRow.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>

#include <vector>

namespace vq {

// The rows of the property sheet's grid. Rows are numbered as the sheet's algorithms count them:
// grid row 0 is the header (the view's horizontal header), grid row 1 the spare row of height 0
// (model row 0), and data rows start at grid row 2 (model row 1). Both views fill the same model;
// they differ only in how it is sorted.
class PropSheetGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kHeaderRow = 0;
    static constexpr int kSpareRow = 1;
    static constexpr int kFirstDataRow = 2;
    static constexpr int kRowHeight = 275;  // twips, of the header and of a shown row

    enum class SortOrder { ByDisplayName, ByCategory };

    explicit PropSheetGridModel(QObject* parent = nullptr);

    // Replaces every data row in one reset; an empty list leaves the header and the spare row.
    void setRows(std::vector<PropSheetGridRow> dataRows);
    void clear() { setRows({}); }

    // The grid's rows, the header included.
    int Rows() const { return int(m_rows.size()) + 1; }
    const PropSheetGridRow& row(int gridRow) const { return m_rows[size_t(gridRow - 1)]; }
    PropSheetGridRow& row(int gridRow) { return m_rows[size_t(gridRow - 1)]; }
    // Tells the view that a row's cells or colours were rewritten.
    void rowChanged(int gridRow);
    void allRowsChanged();
    // Sorts the data rows, as text ignoring case; False when they were in order already.
    bool sortRows(SortOrder order);
    // The heights of all rows, header and spare row included, in twips.
    int totalHeight() const;

    QString TextMatrix(int gridRow, int column) const { return row(gridRow).cells[size_t(column)]; }
    int RowTag(int gridRow) const { return row(gridRow).tag; }
    int RowHeight(int gridRow) const { return gridRow == kHeaderRow ? kRowHeight : row(gridRow).height; }
    bool isFixedCell(int gridRow, int column) const;
    QColor CellBackColor(int gridRow, int column) const;
    QColor CellForeColor(int gridRow, int column) const;

    static int gridRowOf(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex cellIndex(int gridRow, int column) const { return index(gridRow - 1, column); }

    void setCategoryFont(const QFont& font) { m_categoryFont = font; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    std::vector<PropSheetGridRow> m_rows;  // the spare row first
    QFont m_categoryFont;
};

}  // namespace vq
