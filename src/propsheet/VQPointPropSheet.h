#pragma once

#include "propsheet/PropSheetGridRow.h"
#include "propsheet/PropsheetView.h"
#include "sdk/SdkFwd.h"

#include <QSize>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

class QModelIndex;
class QTableView;

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedProperty;
class PropSheetEntries;
class PropSheetEntry;
class PropSheetGridModel;
class VQPointAttributeEdit;

// Shows every entry of one bound collection in a grid of attribute names and values, sorted by
// name or grouped under collapsible category rows, and edits a value in place with one attribute
// editor laid over the clicked value cell. The sheet never writes values itself: it rewrites a row
// when the collection reports an edit. Read-only cells have the fixed-cell background, invalid
// values are red.
class VQPointPropSheet : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qint32 View READ View WRITE SetView NOTIFY ViewChanged)
    Q_PROPERTY(bool Readonly READ Readonly WRITE SetReadonly NOTIFY ReadonlyChanged)

public:
    static constexpr QSize kMinimumSize{2000, 825};
    static constexpr int kSignWidth = 275;
    static constexpr int kNameWidth = 1725;
    static constexpr int32_t kDefaultHelpContextID = 21002;

    // The control's size (never below the minimum) and the grid's column widths, in twips.
    struct Layout {
        QSize control;
        std::array<int, PropSheetGridRow::kColumnCount> columnWidths;
    };
    static Layout layoutFor(QSize size, int32_t view);

    explicit VQPointPropSheet(QWidget* parent = nullptr);
    ~VQPointPropSheet() override;

    int32_t View() const;
    void SetView(int32_t view);  // any value is stored; 2 shows the categories
    bool Readonly() const;
    void SetReadonly(bool readonly);
    bool GetEntryReadOnly(const QString& AttributeName) const;
    void SetEntryReadOnly(const QString& AttributeName, bool New_Readonly);
    void SetHelpContextID(const QString& AttributeName, int32_t New_HelpContextID);
    // Binds a collection (null unbinds) and fills the grid from it.
    void SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries);
    void Clear();

    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The sheet's help context as its container sees it: the value cell being edited decides it.
    int32_t HelpContextID() const;
    // The grid's rows as the sheet numbers them (header 0, spare row 1, data from 2).
    const PropSheetGridModel& gridModel() const;
    int ColWidth(int column) const;
    // The grid row of an entry by its primary attribute name; 0 when it has none.
    int rowOf(const QString& primaryAttributeName) const;

Q_SIGNALS:
    // Property notifications: each goes out once per real change of what its getter reads.
    void ViewChanged();
    void ReadonlyChanged();
    void PropertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    static std::span<const PersistedProperty<VQPointPropSheet>> persistedProperties();
    void setUpGrid();
    void setUpEditor();
    void CommitEntries();
    void appendRows(std::vector<PropSheetGridRow>& rows) const;
    PropSheetGridRow entryRow(const PropSheetEntry& entry) const;
    void showRows(std::vector<PropSheetGridRow> rows);
    void Relayout();
    void SortAndIndex();
    void ApplyRowHeights();
    bool isEntryShown(const PropSheetEntry& entry, bool inCollapsedCategory) const;
    bool isInCollapsedCategory(int row) const;
    void applyEntryRowHeight(int row, const PropSheetEntry& entry);
    void applyColumnWidths();
    bool isEntryReadOnly(const PropSheetEntry& entry) const;
    void recolour(int row);
    void RecolourRow(int row);
    void RecolourAll();
    void UpdateGrid(PropSheetEntry* entry);
    void gridClicked(const QModelIndex& index);
    void openEditor(int row);
    QRect cellRect(int row, int column) const;  // twips, in the sheet
    int scrollAllowance() const;
    int CaretFromMouse() const;
    void ApplyHelpContext(const QString& name);
    void hideEditor();

    std::unique_ptr<class VQPointPropSheetPrivate> const d;
};

}  // namespace vq
