#pragma once

#include "table/TableExport.h"

#include "sdk/SdkFwd.h"

#include <QStringList>
#include <QWidget>

#include <memory>

class QTableView;

namespace vq {

class PointTableModel;
class PropertyBag;

/// The point table control: found points as rows, chosen attributes as columns, every cell edited
/// in place with the property sheet's attribute editors and validated by the point's model; many
/// cells at once (Ctrl+Enter, fill down, paste and copy of spreadsheet blocks, find and replace);
/// a review pane of every pending change; a save with a result per row, a progress bar and Stop;
/// undo of the last save; CSV import for review and export. The tag and server columns stay in
/// view while the others scroll sideways.
class VQ_TABLE_EXPORT VQPointTable : public QWidget {
    Q_OBJECT
    /// The attribute columns, comma-separated; persisted.
    Q_PROPERTY(QString Columns READ ColumnsText WRITE SetColumnsText NOTIFY ColumnsChanged)

public:
    /// An empty table with the default columns.
    explicit VQPointTable(QWidget* parent = nullptr);
    ~VQPointTable() override;

    /// The rows, columns and edits, for hosts that read or edit them without the grid.
    PointTableModel* model() const;
    /// The grid, for a host's own keys and for tests.
    QTableView* view() const;

    /// @{
    /// Rows: points found by a search (any servers), a selection, or one tag.
    void AddPoints(const SdkPointList& points);
    bool AddPointByTag(const SdkServerPtr& server, const QString& tag);
    void Clear();
    /// @}

    /// @{
    /// The attribute columns.
    QStringList Columns() const;
    void SetColumns(const QStringList& columns);
    QString ColumnsText() const;
    void SetColumnsText(const QString& columns);
    /// The column chooser, grouped by the attributes' categories.
    void ChooseColumns();
    /// @}

    /// @{
    /// The commands of the toolbar, for hosts that put them in their own menus.
    void Save();
    void UndoLastSave();
    void FindReplace();
    /// "Import CSV...": asks for a file (or reads `path`) and loads its rows as pending edits.
    void ImportCsv(const QString& path = QString());
    /// "Export...": asks for a file (or writes `path`).
    void ExportCsv(const QString& path = QString());
    /// @}

    /// @{
    /// Persisted properties, as the other controls keep them.
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    /// @}

Q_SIGNALS:
    /// The user asked to open a row's point in the single-point view (double-click on its tag,
    /// or Ctrl+O).
    void OpenPoint(vq::SdkPointPtr point);
    /// The status line changed: a summary of a save or an edit, or a message.
    void StatusChanged(const QString& text);
    /// The attribute columns changed.
    void ColumnsChanged();
    /// A persisted property changed, as the other controls report it.
    void PropertyChanged(const QString& name);

protected:
    /// The grid's and the editor's keys.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class VQPointTablePrivate;
    std::unique_ptr<class VQPointTablePrivate> const d;
};

}  // namespace vq
