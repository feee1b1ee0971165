#pragma once

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

namespace vq {

// The rows of a report-style list: a few text columns a row, held column by column. The view asks
// only for the rows it draws, so a list of ten thousand rows costs one shared string a cell.
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit ReportListModel(QStringList headers, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // Sorts by the column's text, letter case ignored; equal texts keep their order.
    void sort(int column, Qt::SortOrder order) override;

    // Replaces every row at once; each column lists its cells top to bottom.
    void setColumns(std::vector<QStringList> columns);
    void clear() { setColumns({}); }
    const QString& text(int row, int column = 0) const;

private:
    QStringList m_headers;
    std::vector<QStringList> m_columns;
    int m_rowCount = 0;
};

}  // namespace vq
