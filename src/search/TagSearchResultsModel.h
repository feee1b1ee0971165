#pragma once

#include "sdk/SdkFwd.h"

#include <QAbstractTableModel>

#include <functional>
#include <unordered_map>
#include <unordered_set>

namespace vq {

class Error;

// The rows of the point search's results: server, tag and descriptor of each point of a point
// list. Rows are read from the list only when the view draws them; the descriptors of recently
// drawn rows are kept, never more than a few screens of them.
class TagSearchResultsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { ServerColumn, TagColumn, DescriptorColumn, ColumnCount };

    explicit TagSearchResultsModel(QObject* parent = nullptr);

    // Shows `list`; null shows no row. Every row is asked for again afterwards.
    void setList(SdkPointListPtr list);
    const SdkPointListPtr& list() const { return m_list; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The text of a cell; raises when the point cannot be read.
    QString cellText(int row, int column) const;

    // Told once per row and list when a row cannot be read; the row shows what could be read.
    void setRowErrorHandler(std::function<void(int row, const Error& error)> handler);

private:
    QString descriptor(int row) const;

    SdkPointListPtr m_list;
    mutable std::unordered_map<int, QString> m_descriptors;
    mutable std::unordered_set<int> m_failedRows;
    std::function<void(int, const Error&)> m_rowError;
};

}  // namespace vq
