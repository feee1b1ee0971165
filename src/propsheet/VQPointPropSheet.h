#pragma once

#include "propsheet/PropsheetExport.h"

#include "propsheet/PropsheetView.h"
#include "sdk/SdkFwd.h"

#include <QModelIndex>
#include <QSize>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace vq {

class PropertyBag;
template <typename Control>
struct PersistedNote;
class PropSheetEntries;

/// Shows every entry of one bound collection in a grid of attribute names and values, sorted by
/// name or grouped under collapsible category rows, and edits a value in place with one attribute
/// editor laid over the clicked value cell. The sheet never writes values itself: it redraws a row
/// when the collection reports an edit. Read-only cells have the fixed-cell background, invalid
/// values are red.
class VQ_PROPSHEET_EXPORT VQPointPropSheet : public QWidget {
    Q_OBJECT
    /// A PropsheetView: rows sorted by name, or grouped under their categories.
    Q_PROPERTY(qint32 View READ View WRITE SetView NOTIFY ViewChanged)
    /// Whether every value is read-only, whatever its entry allows.
    Q_PROPERTY(bool Readonly READ Readonly WRITE SetReadonly NOTIFY ReadonlyChanged)

public:
    /// The smallest size of the sheet, in twips.
    static constexpr QSize kMinimumSize{2000, 825};
    /// The width of the expand-sign column in the categorized view, in twips.
    static constexpr int kSignWidth = 275;
    /// The width of the attribute name column, in twips.
    static constexpr int kNameWidth = 1725;
    /// The height of the header row and of every row, in twips.
    static constexpr int kRowHeight = 275;
    /// The help topic of a value cell that was given none with SetHelpContextID().
    static constexpr int32_t kDefaultHelpContextID = 21002;

    /// The control's size (never below the minimum) and the grid's column widths, in twips.
    struct Layout {
        QSize control;                                               ///< the sheet's size
        std::array<int, PropSheetColumn::columnCount> columnWidths;  ///< 0 for a hidden column
    };
    /// The layout of a sheet of `size` twips in that PropsheetView.
    static Layout layoutFor(QSize size, int32_t view);

    /// An empty, unbound sheet sorted by name.
    explicit VQPointPropSheet(QWidget* parent = nullptr);
    ~VQPointPropSheet() override;

    /// What a layout gives a sheet it is not told otherwise: kDefaultSize, about a dozen rows.
    QSize sizeHint() const override;
    /// The size a new sheet asks a layout for, in twips.
    static constexpr QSize kDefaultSize{4800, 3600};

    /// @{
    /// View; setting it lays the rows out again.
    int32_t View() const;
    void SetView(int32_t view);  ///< any value is stored; 2 shows the categories
    /// @}
    /// @{
    /// Readonly; setting it recolours the value cells.
    bool Readonly() const;
    void SetReadonly(bool readonly);
    /// @}
    /// @{
    /// A per-attribute read-only override, on top of the entry's own state and Readonly; false for
    /// an attribute never set.
    bool GetEntryReadOnly(const QString& AttributeName) const;
    void SetEntryReadOnly(const QString& AttributeName, bool New_Readonly);
    /// @}
    /// The help topic the sheet gives its container while the value of `AttributeName` is edited.
    void SetHelpContextID(const QString& AttributeName, int32_t New_HelpContextID);
    /// Binds a collection (null unbinds) and fills the grid from it.
    void SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries);
    /// The bound collection, or null.
    std::shared_ptr<vq::PropSheetEntries> propSheetEntries() const;
    /// Empties the grid and hides the editor; the collection stays bound.
    void Clear();

    /// Gives both saved properties their defaults, then lays the grid out and colours it.
    void InitProperties();
    /// Takes the saved properties from `bag`, then lays the grid out and colours it once.
    void ReadProperties(const PropertyBag& bag);
    /// Saves the properties that differ from their defaults into `bag`.
    void WriteProperties(PropertyBag& bag) const;

    /// The sheet's help context as its container sees it: the value cell being edited decides it.
    int32_t HelpContextID() const;
    /// The grid's index of a cell of an entry's row, by the entry's primary attribute name, in the
    /// grid's model (a PropSheetColumn); invalid when the grid does not show the entry.
    QModelIndex cellIndex(const QString& primaryAttributeName, int column) const;

Q_SIGNALS:
    /// @{
    /// Property notifications: each goes out once per real change of what its getter reads.
    void ViewChanged();
    void ReadonlyChanged();
    /// @}
    /// View was set or Readonly changed: the host's cue that the saved properties are out of date.
    void PropertyChanged(const QString& name);

protected:
    /// Notes where a click in the grid fell, so that the editor places its caret there.
    bool eventFilter(QObject* watched, QEvent* event) override;
    /// Fits the grid and its columns to the new size; an open editor closes.
    void resizeEvent(QResizeEvent* event) override;
    /// Category rows follow a font change in bold.
    void changeEvent(QEvent* event) override;
    /// Tab and Shift+Tab in an open editor commit and go on to the next or previous attribute's
    /// editor; past the last one, and from the grid itself, they leave the sheet.
    bool focusNextPrevChild(bool next) override;
    /// Keys an open editor leaves to its container: Esc drops the typing, Enter closes it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    static std::span<const PersistedNote<VQPointPropSheet>> persistedNotes();

    std::unique_ptr<class VQPointPropSheetPrivate> const d;
};

}  // namespace vq
