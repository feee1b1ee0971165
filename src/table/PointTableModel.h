#pragma once

#include "table/TableExport.h"

#include "sdk/SdkFwd.h"
#include "table/PointTableResults.h"
#include "table/PointTableSaver.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QTextStream;

namespace vq {

class PropSheetEntries;
struct PointTableCsvFile;

/// One pending edit of one cell, as the review pane lists it.
struct VQ_TABLE_EXPORT PointTableChange {
    int row = 0;        ///< the table row of the point
    QString server;     ///< the name of the point's server
    QString tag;        ///< the tag as loaded
    QString attribute;  ///< the primary attribute name
    QString before;     ///< the text shown before the edit
    QString after;      ///< the text shown now
    bool valid = true;  ///< false when the new value fails the attribute's validation rule
};

/// What a many-cell edit did, for the status line.
struct VQ_TABLE_EXPORT PointTableEditReport {
    int set = 0;      ///< cells given a new value
    int invalid = 0;  ///< of them, cells whose new value is invalid (kept, shown red)
    int skipped = 0;  ///< cells left alone: read-only, or the point's class lacks the attribute
};

/// What loading a CSV file for review did.
struct VQ_TABLE_EXPORT PointTableImportReport {
    int rows = 0;                ///< rows taken as pending edits
    int addedPoints = 0;         ///< points not in the table before, added as rows
    int newPoints = 0;           ///< rows for points to create (only when asked)
    QStringList unknown;         ///< tags no server has, not created
    QStringList refused;         ///< "line N: tag: reason"
    PointTableEditReport cells;  ///< what the file's cells did to the table's cells
};

/// Points as rows and attributes as columns, for editing many points at once. Columns 0, 1 and 2
/// are the tag, the server and the last save's result; the attribute columns follow. A row keeps
/// the texts of its columns as loaded; its edits live in that point's own PropSheetEntries, made
/// when the row is first edited, so validation, dependent attributes and saving are the model's.
/// Nothing is written until save().
class VQ_TABLE_EXPORT PointTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    /// The columns before the attribute columns.
    enum FixedColumn { TagColumn = 0, ServerColumn = 1, ResultColumn = 2, FirstAttributeColumn = 3 };
    /// Bits of CellStateRole.
    enum CellState {
        Unavailable = 1,  ///< the point's class lacks the attribute: blank, not editable
        ReadOnly = 2,     ///< shown grey, not editable
        Edited = 4,       ///< differs from the value as loaded or last saved
        Invalid = 8,      ///< fails the attribute's validation rule: red
        NotLoaded = 16    ///< the row's values are not read yet
    };
    /// What data() gives besides Qt's roles.
    enum Role {
        CellStateRole = Qt::UserRole + 1,  ///< CellState bits
        AttributeRole,                     ///< the column's attribute name (for the editor)
        ResultOutcomeRole                  ///< the row's PointTableRowResult::Outcome as int
    };

    /// An empty table with the default columns.
    explicit PointTableModel(QObject* parent = nullptr);
    ~PointTableModel() override;

    /// The attribute columns a new table shows.
    static QStringList defaultColumns();

    /// @{
    /// The attribute columns, after the three fixed ones. Unknown names are kept (blank cells).
    QStringList columns() const;
    void setColumns(const QStringList& attributes);
    /// @}
    /// The attributes the rows' classes have, grouped under the property sheet's categories in
    /// its order: (category, attribute names) pairs, for the column chooser.
    std::vector<std::pair<QString, QStringList>> columnGroups() const;

    /// @{
    /// Rows. Adding takes the points' handles only; their values are read when a row is first
    /// drawn or by loadRows(). A point already in the table is not added twice.
    int addPoints(const SdkPointList& points);
    bool addPoint(const SdkPointPtr& point);
    /// The point with that tag on that server; false (and nothing added) when it has none.
    bool addPointByTag(const SdkServerPtr& server, const QString& tag);
    void clear();
    /// @}
    /// Reads the values of up to `count` rows not read yet, in row order; returns how many rows
    /// are still unread. For loading a large table in slices while the window stays responsive.
    int loadRows(int count);
    int unloadedRows() const;  ///< rows whose values are not read yet

    /// The point of a row, made from its handle.
    SdkPointPtr pointAt(int row) const;
    SdkServerPtr serverAt(int row) const;  ///< the server of a row's point
    /// The row's collection of entries, made (and read from the server) when first asked for.
    std::shared_ptr<PropSheetEntries> entriesAt(int row);
    /// The attribute of a column; empty for the fixed columns except the tag ("Tag").
    QString attributeAt(int column) const;
    int columnOf(const QString& attribute) const;  ///< -1 when not shown

    /// @{
    /// Edits, each validated by the row's entries. Text is what the user types or pastes: for a
    /// list attribute, a list entry's name or its value.
    bool setCellText(const QModelIndex& index, const QString& text);
    /// Ctrl+Enter: `text` into every cell of `cells`.
    PointTableEditReport setCells(const QModelIndexList& cells, const QString& text);
    /// Ctrl+D: the top cell of each column of `cells` into the cells below it in the selection.
    PointTableEditReport fillDown(const QModelIndexList& cells);
    /// Tab-separated rows as spreadsheets copy them, from `topLeft` rightwards and downwards;
    /// a single value fills every cell of `selection` when that holds more than one cell.
    PointTableEditReport paste(const QModelIndex& topLeft, const QString& text,
                               const QModelIndexList& selection = {});
    /// The cells' texts as tab-separated rows (their bounding block; absent cells empty).
    QString copy(const QModelIndexList& cells) const;
    /// Replaces `find` by `replace` in the text of each of `cells` (plain text).
    PointTableEditReport replace(const QModelIndexList& cells, const QString& find, const QString& replace,
                                 Qt::CaseSensitivity caseSensitivity);
    /// @}

    /// @{
    /// Review: every pending change, invalid ones first, then in row and column order.
    std::vector<PointTableChange> pendingChanges() const;
    /// Puts the attribute of that row back to its value before edits.
    void dropChange(int row, const QString& attribute);
    int pendingPointCount() const;
    int pendingAttributeCount() const;
    /// @}

    /// Saves every row with edits (see PointTableSaver); rows show their results, saved rows what
    /// was stored, failed rows keep their edits. Remembers the save for undoLastSave().
    PointTableSaveSummary save(const PointTableSaver::Progress& progress = {});
    /// True while the last save can be undone.
    bool canUndo() const;
    /// Puts back the values before the last save, point by point, through the change history;
    /// the undone values come back as pending edits, so saving again redoes the save.
    PointTableUndoSummary undoLastSave();
    /// The row's last result.
    const PointTableRowResult& resultAt(int row) const;

    /// @{
    /// CSV. The file's rows become pending edits of the matching points: rows of the table by
    /// tag (and server when the file names it), else points of `server` added as rows; unknown
    /// tags are listed, or become new points of the row's class when `createUnknown`.
    PointTableImportReport importCsv(QTextStream& in, const SdkServerPtr& server, bool createUnknown);
    /// Writes the rows with the tag and the attribute columns as shown (edits included); a
    /// "Server" column last when the rows come from more than one server. Returns the row count.
    int exportCsv(QTextStream& out);
    /// @}

    /// @{
    /// Qt's table model: the points as rows; the fixed columns, then the attribute columns.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    /// @}

    /// Bytes the rows hold, for the memory benchmark.
    size_t memoryUsage() const;

Q_SIGNALS:
    /// The pending changes changed: an edit, a drop, a save or an undo.
    void pendingChanged();

private:
    std::unique_ptr<class PointTableModelPrivate> const d;
};

}  // namespace vq
