#pragma once

// The point table model's private state: the row store, the per-class prototypes that format
// and judge rows without entries of their own, and the helpers the model's files share.

#include "table/PointTableModel.h"

#include "model/CaseInsensitiveMap.h"
#include "model/PropSheetEntries.h"
#include "table/PointTableSaver.h"

#include <QHash>
#include <QString>

#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vq {

struct PointTableCsvRow;

/// One point of the table. Small on purpose: a large table holds thousands of them, and only
/// edited rows get a PropSheetEntries of their own.
struct PointTableRow {
    qint64 pointId = 0;
    QString tag;
    /// The attribute columns' texts as read, in column order; empty until read.
    std::vector<QString> texts;
    std::shared_ptr<PropSheetEntries> entries;
    std::unique_ptr<PointTableRowResult> result;  ///< null while there is none
    uint16_t server = 0;                          ///< into PointTableModelPrivate::servers
    int16_t prototype = -1;                       ///< into prototypes; -1 until read
    bool loaded = false;
    bool unreadable = false;  ///< reading failed: the point is gone or the server refused
};

/// A collection filled from one point of a (server, class, point type): tells which attributes
/// the class has, which are read-only (that follows the point type), and turns loaded values
/// into the texts the property sheet shows.
struct PointTablePrototype {
    uint16_t server = 0;
    QString className;
    SdkPointType pointType = 0;
    std::shared_ptr<PropSheetEntries> entries;
};

/// What one cell edit did.
enum class CellEditOutcome { Set, Invalid, Skipped, Unchanged };

class PointTableModelPrivate {
public:
    explicit PointTableModelPrivate(PointTableModel* model) : q(model) {}

    PointTableModel* const q;
    QStringList columns;
    CaseInsensitiveMap<int> columnIndex;  ///< attribute -> position in columns
    std::vector<SdkServerPtr> servers;
    std::vector<PointTableRow> rows;
    std::vector<PointTablePrototype> prototypes;
    std::unordered_map<quint64, int> rowOfPoint;  ///< (server, point id) -> row
    int unloaded = 0;
    int firstUnloaded = 0;  ///< no row before it is unread
    bool bulkEdit = false;  ///< per-row signals wait for the one after the bulk edit
    PointTableSaveRecord lastSave;
    std::map<int, SdkNamedValuesPtr> savedEdits;  ///< what the last save wrote, by row

    // ---- rows (PointTableModel.cpp) ----
    static quint64 pointKey(uint16_t server, qint64 pointId) {
        return (quint64(server) << 48) ^ quint64(pointId);
    }
    uint16_t serverIndex(const SdkServerPtr& server);
    bool appendRow(const SdkServerPtr& server, qint64 pointId, const QString& tag);
    void ensureLoaded(int row);
    void loadRow(PointTableRow& row);
    int prototypeFor(uint16_t server, const QString& className, const SdkPointPtr& point);
    PropSheetEntries& makeEntries(int row);
    void watchEntries(PropSheetEntries& entries, int row);
    void rowChanged(int row);
    void rowsChanged(int top, int bottom);
    void rebuildColumnIndex();
    void applyColumns(const QStringList& attributes);
    PointTableRow& row(int index) { return rows[size_t(index)]; }

    // ---- cells ----
    /// The entry of a cell: the row's own when it has entries, else its prototype's; null when
    /// the class lacks the attribute (or the row could not be read).
    PropSheetEntry* cellEntry(int row, int column) const;
    QString cellText(int row, int column) const;
    int cellState(int row, int column) const;
    QString formatted(PropSheetEntry& entry, const QString& attribute, const Variant& value) const;
    /// The text a cell of `attribute` shows for the entry's value (its twin's value for a twin name).
    static QString shownText(const PropSheetEntry& entry, const QString& attribute);

    // ---- edits (PointTableEdits.cpp) ----
    CellEditOutcome applyText(int row, int column, const QString& text);
    /// Runs a many-cell edit with the per-row signals held back, then tells the views once.
    PointTableEditReport bulk(const std::function<void(PointTableEditReport&, int& top, int& bottom)>& edit);
    static void count(PointTableEditReport& report, CellEditOutcome outcome);

    // ---- save, undo, CSV (PointTableModelSave.cpp) ----
    /// A saved row's texts become what was stored; a new point gets its id.
    void retakeTexts(PointTableRow& saved);
    void reread(int row);
    /// The row a CSV line edits, added when needed; -1 when the line's point is unknown.
    int importRow(const PointTableCsvRow& line, const SdkServerPtr& fallback, bool createUnknown,
                  QHash<QString, int>& rowOfTag, PointTableImportReport& report);
};

/// @{
/// Tab-separated blocks as spreadsheets copy them: a cell holding a tab, a line break or a quote
/// is quoted, a quote inside doubled. A trailing line break ends the last row, not a new one.
std::vector<QStringList> parseTabSeparated(const QString& text);
QString tabSeparated(const std::vector<QStringList>& rows);
/// @}
/// The value an editor would hand to `entry` for typed or pasted text, and the name it is
/// expressed under (empty: the entry's current name).
std::pair<Variant, QString> valueFromText(PropSheetEntry& entry, const QString& text);

}  // namespace vq
