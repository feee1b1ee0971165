#include "propsheet/VQPointPropSheet.h"

#include "core/Error.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/CaseInsensitiveMap.h"
#include "model/PropSheetEntries.h"
#include "platform/ChangeNotice.h"
#include "platform/PersistedProperty.h"
#include "platform/PropertyBag.h"
#include "platform/ScreenServices.h"
#include "platform/TextMetrics.h"
#include "platform/Twips.h"
#include "propsheet/PropSheetGridDelegate.h"
#include "propsheet/PropSheetGridModel.h"
#include "sdk/SdkNamedValues.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace vq {

namespace {

constexpr int kKeyColumn = PropSheetGridRow::kKeyColumn;
constexpr int kSortKeyColumn = PropSheetGridRow::kSortKeyColumn;
constexpr int kSignColumn = PropSheetGridRow::kSignColumn;
constexpr int kNameColumn = PropSheetGridRow::kNameColumn;
constexpr int kValueColumn = PropSheetGridRow::kValueColumn;
constexpr int kRowHeight = PropSheetGridModel::kRowHeight;
constexpr int kTextMargin = 30;  // twips between a text editor's edge and its text

const QString kView = QStringLiteral("View");
const QString kReadOnly = QStringLiteral("ReadOnly");
const QString kHelpContextID = QStringLiteral("HelpContextID");
const QString kBlank = QStringLiteral(" ");

// The header row keeps the grid's fixed height whatever the style would make of an empty header.
class FixedHeightHeader : public QHeaderView {
public:
    using QHeaderView::QHeaderView;
    QSize sizeHint() const override { return {QHeaderView::sizeHint().width(), twipsToPixels(kRowHeight)}; }
};

// Text-like editors get a margin and a caret where the user clicked; lists and switches do not.
bool placesCaretFromMouse(enumDisplayStyle style) {
    return style == styletext || style == styletagsearch || style == styledigsetsearch ||
           style == styletxtcombofortwin;
}

QFont boldOf(QFont font) {
    font.setBold(true);
    return font;
}

SdkNamedValues& ensure(SdkNamedValuesPtr& set) {
    if (!set) set = SdkNamedValues::create();
    return *set;
}

PropSheetGridRow categoryRow(const PropSheetCategory& category) {
    PropSheetGridRow row;
    row.tag = PropSheetGridRow::Category;
    row.cells = {category.Name(), category.Name(), kBlank, category.Name(), kBlank};
    row.group = category.Name();
    row.sign = category.Collapsed() ? PropSheetGridRow::Sign::Collapsed : PropSheetGridRow::Sign::Expanded;
    row.height = kRowHeight;
    return row;
}

}  // namespace

// VQPointPropSheet's state, kept out of its header so that hosts need not rebuild when it changes.
class VQPointPropSheetPrivate {
public:
    int32_t m_View = viewAlphabetic;
    bool m_Readonly = false;
    std::shared_ptr<vq::PropSheetEntries> m_Entries;
    PropSheetEntry* m_CurrentEntry = nullptr;
    CaseInsensitiveMap<int> m_RowIndex;
    bool m_RowIndexValid = false;
    SdkNamedValuesPtr m_ReadOnlyEntries;
    SdkNamedValuesPtr m_HelpContextIDs;
    int m_MouseX = 0;
    std::array<int, PropSheetGridRow::kColumnCount> m_ColWidths{};
    PropSheetGridModel* m_Model = nullptr;
    QTableView* MSHFlexGrid1 = nullptr;
    VQPointAttributeEdit* m_Editor = nullptr;
};

VQPointPropSheet::Layout VQPointPropSheet::layoutFor(QSize size, int32_t view) {
    const QSize control = size.expandedTo(kMinimumSize);
    return {control, {0, 0, view == viewCategorized ? kSignWidth : 0, kNameWidth, control.width()}};
}

VQPointPropSheet::VQPointPropSheet(QWidget* parent)
    : QWidget(parent), d(std::make_unique<VQPointPropSheetPrivate>()) {
    d->m_Model = new PropSheetGridModel(this);
    d->MSHFlexGrid1 = new QTableView(this);
    d->m_Editor = new VQPointAttributeEdit(this);
    setMinimumSize(twipsToPixels(kMinimumSize));
    setUpGrid();
    setUpEditor();
    d->m_ColWidths = layoutFor(pixelsToTwips(size()), d->m_View).columnWidths;
    showRows({});
}

VQPointPropSheet::~VQPointPropSheet() {
    if (d->m_Entries) disconnect(d->m_Entries.get(), nullptr, this, nullptr);
    disconnect(d->m_Editor, nullptr, this, nullptr);
}

void VQPointPropSheet::setUpGrid() {
    d->MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    d->MSHFlexGrid1->setAccessibleDescription(
        QStringLiteral("Attribute names and values of the point; a click on a value edits it"));
    d->MSHFlexGrid1->setHorizontalHeader(new FixedHeightHeader(Qt::Horizontal, d->MSHFlexGrid1));
    d->MSHFlexGrid1->setModel(d->m_Model);
    QHeaderView* header = d->MSHFlexGrid1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(0);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    QHeaderView* rows = d->MSHFlexGrid1->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(0);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(twipsToPixels(kRowHeight));
    d->MSHFlexGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    d->MSHFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The value column is as wide as the control and runs past its edge; the grid never scrolls
    // sideways, whether following the current cell or the mouse wheel.
    d->MSHFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    d->MSHFlexGrid1->setAutoScroll(false);
    QScrollBar* sideways = d->MSHFlexGrid1->horizontalScrollBar();
    connect(sideways, &QScrollBar::rangeChanged, sideways, [sideways](int, int maximum) {
        if (maximum != 0) sideways->setMaximum(0);
    });
    d->MSHFlexGrid1->setWordWrap(false);
    d->MSHFlexGrid1->setCornerButtonEnabled(false);
    d->MSHFlexGrid1->setTabKeyNavigation(false);
    d->MSHFlexGrid1->setGridStyle(Qt::SolidLine);
    d->MSHFlexGrid1->setItemDelegate(new PropSheetGridDelegate(d->MSHFlexGrid1));
    d->MSHFlexGrid1->viewport()->installEventFilter(this);
    d->m_Model->setCategoryFont(boldOf(font()));
    connect(d->MSHFlexGrid1, &QTableView::clicked, this, &VQPointPropSheet::gridClicked);
    // Scrolling takes the focus to the grid, so an open editor commits and hides. Without an open
    // editor the focus stays where it is: a refill or a row hidden also moves the scroll bar, and
    // the user may be typing in another control of the host's form.
    connect(d->MSHFlexGrid1->verticalScrollBar(), &QScrollBar::valueChanged, d->MSHFlexGrid1, [this] {
        if (d->m_Editor->isVisible()) d->MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
    });
}

void VQPointPropSheet::setUpEditor() {
    d->m_Editor->setObjectName(QStringLiteral("VQPointAttributeEdit1"));
    // Without a border the editor fits inside a row.
    d->m_Editor->SetBorderStyle(NoBorder);
    d->m_Editor->hide();
    connect(d->m_Editor, &VQPointAttributeEdit::focusLeft, this, [this] {
        ApplyHelpContext(QString());
        hideEditor();
    });
    connect(d->m_Editor, &VQPointAttributeEdit::OnEnterKeyPress, this, &VQPointPropSheet::hideEditor);
}

int32_t VQPointPropSheet::View() const {
    return d->m_View;
}

bool VQPointPropSheet::Readonly() const {
    return d->m_Readonly;
}

const PropSheetGridModel& VQPointPropSheet::gridModel() const {
    return *d->m_Model;
}

int VQPointPropSheet::ColWidth(int column) const {
    return d->m_ColWidths[size_t(column)];
}

void VQPointPropSheet::SetView(int32_t view) {
    const ChangeNotice notice(this, &VQPointPropSheet::View, &VQPointPropSheet::ViewChanged);
    d->m_View = view;
    Q_EMIT PropertyChanged(kView);
    Relayout();
}

void VQPointPropSheet::SetReadonly(bool readonly) {
    const ChangeNotice notice(this, &VQPointPropSheet::Readonly, &VQPointPropSheet::ReadonlyChanged);
    if (readonly == d->m_Readonly) return;
    d->m_Readonly = readonly;
    Q_EMIT PropertyChanged(kReadOnly);
    RecolourAll();
}

bool VQPointPropSheet::GetEntryReadOnly(const QString& AttributeName) const {
    return silently(false, [&] {
        return d->m_ReadOnlyEntries && d->m_ReadOnlyEntries->Contains(AttributeName) &&
               d->m_ReadOnlyEntries->Value(AttributeName).toBool();
    });
}

void VQPointPropSheet::SetEntryReadOnly(const QString& AttributeName, bool New_Readonly) {
    SdkNamedValues& overrides = ensure(d->m_ReadOnlyEntries);
    if (overrides.Contains(AttributeName)) {
        if (overrides.Value(AttributeName).toString() == Variant(New_Readonly).toString()) return;
        overrides.Set(AttributeName, New_Readonly);
        RecolourAll();
    } else {
        overrides.Add(AttributeName, New_Readonly);
        if (New_Readonly) RecolourAll();
    }
}

void VQPointPropSheet::SetHelpContextID(const QString& AttributeName, int32_t New_HelpContextID) {
    ensure(d->m_HelpContextIDs).Set(AttributeName, New_HelpContextID);
}

std::shared_ptr<PropSheetEntries> VQPointPropSheet::propSheetEntries() const {
    return d->m_Entries;
}

void VQPointPropSheet::SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries) {
    reraising(QStringLiteral("VQPointPropSheet:PropSheetEntries"), [&] {
        if (d->m_Entries) disconnect(d->m_Entries.get(), nullptr, this, nullptr);
        d->m_Entries = std::move(entries);
        d->m_CurrentEntry = nullptr;
        if (d->m_Entries) {
            connect(d->m_Entries.get(), &PropSheetEntries::OnValueEdit, this, &VQPointPropSheet::UpdateGrid);
            connect(d->m_Entries.get(), &PropSheetEntries::OnDisplayEdit, this,
                    &VQPointPropSheet::UpdateGrid);
        }
        d->m_Editor->hide();
        d->m_Editor->SetAttributeName(QString());
        d->m_Editor->SetPropSheetEntries(d->m_Entries);
        CommitEntries();
    });
}

void VQPointPropSheet::Clear() {
    // An editor over a row that is gone would edit nothing visible.
    d->m_Editor->hide();
    showRows({});
}

// Loaded values are only stored; the grid is laid out and coloured once they all are.
std::span<const PersistedProperty<VQPointPropSheet>> VQPointPropSheet::persistedProperties() {
    using Self = VQPointPropSheet;
    static const PersistedProperty<Self> table[] = {
        {kView, int32_t(viewAlphabetic), [](const Self& c) { return Variant(c.d->m_View); },
         [](Self& c, const Variant& v) { c.d->m_View = v.toInt32(); }},
        {kReadOnly, false, [](const Self& c) { return Variant(c.d->m_Readonly); },
         [](Self& c, const Variant& v) { c.d->m_Readonly = v.toBool(); }},
    };
    return table;
}

void VQPointPropSheet::InitProperties() {
    initPersisted(*this, persistedProperties());
    Relayout();
    RecolourAll();
}

void VQPointPropSheet::ReadProperties(const PropertyBag& bag) {
    readPersisted(*this, persistedProperties(), bag);
    Relayout();
    RecolourAll();
}

void VQPointPropSheet::WriteProperties(PropertyBag& bag) const {
    writePersisted(*this, persistedProperties(), bag);
}

int32_t VQPointPropSheet::HelpContextID() const {
    return property(kHelpContextID.toLatin1().constData()).toInt();
}

int VQPointPropSheet::rowOf(const QString& primaryAttributeName) const {
    const int* row = d->m_RowIndex.find(primaryAttributeName);
    return row ? *row : 0;
}

// Filling: one row per category, then one per entry, shown in one model reset. Validity colours
// come with the first update of a row, not here.
void VQPointPropSheet::CommitEntries() {
    std::vector<PropSheetGridRow> rows;
    // A failure stops the filling; the rows made so far are shown.
    reporting(QStringLiteral("VQPointPropsheet:CommitEntries"), ReportLayout::NumberFirst, [&] {
        if (d->m_Entries) appendRows(rows);
    });
    showRows(std::move(rows));
}

void VQPointPropSheet::appendRows(std::vector<PropSheetGridRow>& rows) const {
    PropSheetCategories& categories = d->m_Entries->Categories();
    rows.reserve(size_t(categories.Count() + d->m_Entries->Count()));
    for (int i = 1; i <= categories.Count(); ++i)
        if (const PropSheetCategoryPtr category = categories.Item(int32_t(i)))
            rows.push_back(categoryRow(*category));
    for (int j = 1; j <= d->m_Entries->Count(); ++j)
        rows.push_back(entryRow(*d->m_Entries->Item(int32_t(j))));
}

PropSheetGridRow VQPointPropSheet::entryRow(const PropSheetEntry& entry) const {
    PropSheetGridRow row;
    row.tag = PropSheetGridRow::Entry;
    row.cells = {entry.PrimaryAttributeName(), entry.SortKey(), kBlank, entry.DisplayName(),
                 entry.GetDisplayValue()};
    row.group = entry.CategoryName();
    row.height = kRowHeight;
    row.valueEditable = !isEntryReadOnly(entry);
    return row;
}

void VQPointPropSheet::showRows(std::vector<PropSheetGridRow> rows) {
    d->m_RowIndex.clear();
    d->m_RowIndexValid = false;
    d->m_Model->setRows(std::move(rows));
    Relayout();
}

void VQPointPropSheet::Relayout() {
    // Two sheets side by side are told apart by how they list the attributes.
    d->MSHFlexGrid1->setAccessibleName(d->m_View == viewCategorized ? QStringLiteral("Attributes by category")
                                                                    : QStringLiteral("Attributes by name"));
    SortAndIndex();
    ApplyRowHeights();
    applyColumnWidths();
}

void VQPointPropSheet::SortAndIndex() {
    const auto order = d->m_View == viewAlphabetic ? PropSheetGridModel::SortOrder::ByDisplayName
                                                   : PropSheetGridModel::SortOrder::ByCategory;
    if (!d->m_Model->sortRows(order) && d->m_RowIndexValid) return;
    d->m_RowIndex.clear();
    d->m_RowIndex.reserve(size_t(d->m_Model->Rows()));
    for (int r = PropSheetGridModel::kFirstDataRow; r < d->m_Model->Rows(); ++r)
        if (d->m_Model->RowTag(r) == PropSheetGridRow::Entry)
            d->m_RowIndex.assign(d->m_Model->TextMatrix(r, kKeyColumn), r);
    d->m_RowIndexValid = true;
}

void VQPointPropSheet::ApplyRowHeights() {
    const bool alphabetic = d->m_View == viewAlphabetic;
    bool collapsed = false;
    d->MSHFlexGrid1->setRowHidden(0, true);  // the spare row
    for (int r = PropSheetGridModel::kFirstDataRow; r < d->m_Model->Rows(); ++r) {
        PropSheetGridRow& row = d->m_Model->row(r);
        if (row.tag == PropSheetGridRow::Category) {
            collapsed = row.sign == PropSheetGridRow::Sign::Collapsed;
            row.height = alphabetic ? 0 : kRowHeight;
        } else {
            const PropSheetEntry* entry =
                d->m_Entries ? d->m_Entries->find(row.cells[kKeyColumn]).get() : nullptr;
            row.height = entry && isEntryShown(*entry, collapsed) ? kRowHeight : 0;
        }
        d->MSHFlexGrid1->setRowHidden(r - 1, row.height == 0);
    }
}

bool VQPointPropSheet::isEntryShown(const PropSheetEntry& entry, bool inCollapsedCategory) const {
    return entry.Visible() && (d->m_View == viewAlphabetic || !inCollapsedCategory);
}

// Grouped, an entry row follows its category's row.
bool VQPointPropSheet::isInCollapsedCategory(int row) const {
    if (d->m_View == viewAlphabetic) return false;
    for (int r = row - 1; r >= PropSheetGridModel::kFirstDataRow; --r) {
        const PropSheetGridRow& above = d->m_Model->row(r);
        if (above.tag == PropSheetGridRow::Category) return above.sign == PropSheetGridRow::Sign::Collapsed;
    }
    return false;
}

// One entry's row shown or hidden as the entry now says; the other rows keep their heights.
void VQPointPropSheet::applyEntryRowHeight(int row, const PropSheetEntry& entry) {
    PropSheetGridRow& r = d->m_Model->row(row);
    const int height = isEntryShown(entry, isInCollapsedCategory(row)) ? kRowHeight : 0;
    if (height == r.height) return;
    r.height = height;
    d->MSHFlexGrid1->setRowHidden(row - 1, height == 0);
}

void VQPointPropSheet::applyColumnWidths() {
    d->m_ColWidths = layoutFor(pixelsToTwips(size()), d->m_View).columnWidths;
    for (int c = 0; c < PropSheetGridRow::kColumnCount; ++c) {
        d->MSHFlexGrid1->setColumnHidden(c, d->m_ColWidths[size_t(c)] == 0);
        if (d->m_ColWidths[size_t(c)] > 0)
            d->MSHFlexGrid1->setColumnWidth(c, twipsToPixels(d->m_ColWidths[size_t(c)]));
    }
}

bool VQPointPropSheet::isEntryReadOnly(const PropSheetEntry& entry) const {
    return entry.GetReadOnly() || GetEntryReadOnly(entry.CurrentAttributeName()) || d->m_Readonly;
}

void VQPointPropSheet::recolour(int row) {
    PropSheetGridRow& r = d->m_Model->row(row);
    const PropSheetEntry* entry = r.tag == PropSheetGridRow::Entry && d->m_Entries
                                      ? d->m_Entries->find(r.cells[kKeyColumn]).get()
                                      : nullptr;
    r.valueEditable = entry && !isEntryReadOnly(*entry);
}

void VQPointPropSheet::RecolourRow(int row) {
    recolour(row);
    d->m_Model->rowChanged(row);
}

void VQPointPropSheet::RecolourAll() {
    if (!d->m_Entries) return;
    for (int r = PropSheetGridModel::kFirstDataRow; r < d->m_Model->Rows(); ++r) recolour(r);
    d->m_Model->allRowsChanged();
}

void VQPointPropSheet::UpdateGrid(PropSheetEntry* entry) {
    const int* found = entry ? d->m_RowIndex.find(entry->PrimaryAttributeName()) : nullptr;
    if (!found) return;  // a row the grid does not hold: nothing to rewrite
    const int row = *found;
    try {
        PropSheetGridRow& r = d->m_Model->row(row);
        const bool moves = r.cells[kSortKeyColumn] != entry->SortKey();
        r.cells[kNameColumn] = entry->DisplayName();
        r.cells[kValueColumn] = entry->GetDisplayValue();
        r.cells[kSortKeyColumn] = entry->SortKey();
        // The colours only decorate the row: failing to show them costs it neither text nor place.
        silently(0, [&] {
            r.valueInvalid = !entry->IsValid();
            RecolourRow(row);
            return 0;
        });
        // Only a new display name moves rows; otherwise the row alone is redrawn, and hidden or
        // shown when the entry's visibility flipped. Column widths never follow an entry.
        if (moves) {
            SortAndIndex();
            ApplyRowHeights();
        } else {
            applyEntryRowHeight(row, *entry);
        }
    } catch (...) {
        const Error error = currentError();
        if (error.number() != errc::InvalidArgument)
            report(error, QStringLiteral("VQPointPropsheet:UpdateGrid"), ReportLayout::Short);
    }
}

void VQPointPropSheet::gridClicked(const QModelIndex& index) {
    const int row = PropSheetGridModel::gridRowOf(index);
    PropSheetGridRow& r = d->m_Model->row(row);
    if (r.tag == PropSheetGridRow::Category && index.column() == kSignColumn) {
        r.sign = r.sign == PropSheetGridRow::Sign::Collapsed ? PropSheetGridRow::Sign::Expanded
                                                             : PropSheetGridRow::Sign::Collapsed;
        d->m_Model->rowChanged(row);
        ApplyRowHeights();
        return;
    }
    if (d->m_Model->isFixedCell(row, index.column()) || r.height == 0 || !d->m_Entries) return;
    silently(0, [&] {
        openEditor(row);
        return 0;
    });
}

void VQPointPropSheet::openEditor(int row) {
    const QString key = d->m_Model->TextMatrix(row, kKeyColumn);
    d->m_CurrentEntry = d->m_Entries->Item(key).get();
    d->m_Editor->SetAttributeName(key);
    ApplyHelpContext(key);
    d->MSHFlexGrid1->setCurrentIndex(d->m_Model->cellIndex(row, kValueColumn));
    const bool textLike = placesCaretFromMouse(d->m_CurrentEntry->DisplayStyle());
    const QRect cell = cellRect(row, kValueColumn);
    const int margin = textLike ? kTextMargin : 0;
    const int adjustment = textLike ? -2 * kTextMargin : -10;
    const int width = pixelsToTwips(this->width()) - ColWidth(kSignColumn) - ColWidth(kNameColumn) -
                      scrollAllowance() + adjustment;
    d->m_Editor->setGeometry(
        twipsToPixels(QRect(cell.left() + margin, cell.top(), std::max(width, 0), kRowHeight)));
    d->m_Editor->raise();
    d->m_Editor->show();
    d->m_Editor->SetInternalFocus();
    d->m_Editor->SetSelStart(textLike ? CaretFromMouse() : 0);
    d->m_Editor->SetSelLength(0);
}

QRect VQPointPropSheet::cellRect(int row, int column) const {
    QRect pixels = d->MSHFlexGrid1->visualRect(d->m_Model->cellIndex(row, column));
    pixels.translate(d->MSHFlexGrid1->viewport()->mapTo(this, QPoint(0, 0)));
    return QRect(QPoint(pixelsToTwips(pixels.left()), pixelsToTwips(pixels.top())),
                 QSize(pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())));
}

int VQPointPropSheet::scrollAllowance() const {
    return d->m_Model->totalHeight() > pixelsToTwips(height()) ? GetScrollBarWidth() : 0;
}

// The caret goes before the first character whose end lies at or past the click, measured from
// the value column's text in the sheet's font.
int VQPointPropSheet::CaretFromMouse() const {
    const int click = d->m_MouseX - ColWidth(kSignColumn) - ColWidth(kNameColumn) - kTextMargin;
    const QString text = d->m_Editor->Text();
    int i = 1;
    while (i <= text.size() && textWidthTwips(text.left(i), font()) < click) ++i;
    return i - 1;
}

void VQPointPropSheet::ApplyHelpContext(const QString& name) {
    const int32_t id = d->m_HelpContextIDs && d->m_HelpContextIDs->Contains(name)
                           ? d->m_HelpContextIDs->Value(name).toInt32()
                           : kDefaultHelpContextID;
    setProperty(kHelpContextID.toLatin1().constData(), id);
}

void VQPointPropSheet::hideEditor() {
    // The focus returns to the grid rather than to whichever widget of the form comes next.
    if (d->m_Editor->isAncestorOf(QApplication::focusWidget()))
        d->MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
    d->m_Editor->hide();
}

bool VQPointPropSheet::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == d->MSHFlexGrid1->viewport() &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease))
        d->m_MouseX = pixelsToTwips(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    return QWidget::eventFilter(watched, event);
}

void VQPointPropSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->MSHFlexGrid1->setGeometry(rect());
    applyColumnWidths();
    // An open editor no longer fits its cell; taking the focus closes it. Focus elsewhere in the
    // host's form stays where it is.
    if (d->m_Editor->isVisible() && isAncestorOf(QApplication::focusWidget())) d->MSHFlexGrid1->setFocus();
}

void VQPointPropSheet::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) d->m_Model->setCategoryFont(boldOf(font()));
}

}  // namespace vq
