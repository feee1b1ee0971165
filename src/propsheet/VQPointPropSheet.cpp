#include "propsheet/VQPointPropSheet.h"

#include "core/Error.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/PropSheetEntries.h"
#include "platform/PersistedProperty.h"
#include "platform/PropertyBag.h"
#include "platform/TextMetrics.h"
#include "platform/Twips.h"
#include "propsheet/PropSheetGridDelegate.h"
#include "propsheet/PropSheetGridModel.h"
#include "sdk/SdkNamedValues.h"
#include "servers/Environment.h"

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

VQPointPropSheet::Layout VQPointPropSheet::layoutFor(QSize size, int32_t view) {
    const QSize control = size.expandedTo(kMinimumSize);
    return {control, {0, 0, view == viewCategorized ? kSignWidth : 0, kNameWidth, control.width()}};
}

VQPointPropSheet::VQPointPropSheet(QWidget* parent)
    : QWidget(parent),
      m_Model(new PropSheetGridModel(this)),
      MSHFlexGrid1(new QTableView(this)),
      m_Editor(new VQPointAttributeEdit(this)) {
    setMinimumSize(twipsToPixels(kMinimumSize));
    setUpGrid();
    setUpEditor();
    m_ColWidths = layoutFor(pixelsToTwips(size()), m_View).columnWidths;
    showRows({});
}

VQPointPropSheet::~VQPointPropSheet() {
    if (m_Entries) disconnect(m_Entries.get(), nullptr, this, nullptr);
    disconnect(m_Editor, nullptr, this, nullptr);
}

void VQPointPropSheet::setUpGrid() {
    MSHFlexGrid1->setObjectName(QStringLiteral("MSHFlexGrid1"));
    MSHFlexGrid1->setHorizontalHeader(new FixedHeightHeader(Qt::Horizontal, MSHFlexGrid1));
    MSHFlexGrid1->setModel(m_Model);
    QHeaderView* header = MSHFlexGrid1->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(0);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    QHeaderView* rows = MSHFlexGrid1->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(0);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(twipsToPixels(kRowHeight));
    MSHFlexGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    MSHFlexGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The value column is as wide as the control and runs past its edge; the grid never scrolls
    // sideways, whether following the current cell or the mouse wheel.
    MSHFlexGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MSHFlexGrid1->setAutoScroll(false);
    QScrollBar* sideways = MSHFlexGrid1->horizontalScrollBar();
    connect(sideways, &QScrollBar::rangeChanged, sideways, [sideways](int, int maximum) {
        if (maximum != 0) sideways->setMaximum(0);
    });
    MSHFlexGrid1->setWordWrap(false);
    MSHFlexGrid1->setCornerButtonEnabled(false);
    MSHFlexGrid1->setTabKeyNavigation(false);
    MSHFlexGrid1->setGridStyle(Qt::SolidLine);
    MSHFlexGrid1->setItemDelegate(new PropSheetGridDelegate(MSHFlexGrid1));
    MSHFlexGrid1->viewport()->installEventFilter(this);
    m_Model->setCategoryFont(boldOf(font()));
    connect(MSHFlexGrid1, &QTableView::clicked, this, &VQPointPropSheet::gridClicked);
    // Scrolling takes the focus to the grid, so an open editor commits and hides. Without an open
    // editor the focus stays where it is: a refill or a row hidden also moves the scroll bar, and
    // the user may be typing in another control of the host's form.
    connect(MSHFlexGrid1->verticalScrollBar(), &QScrollBar::valueChanged, MSHFlexGrid1, [this] {
        if (m_Editor->isVisible()) MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
    });
}

void VQPointPropSheet::setUpEditor() {
    m_Editor->setObjectName(QStringLiteral("VQPointAttributeEdit1"));
    // Without a border the editor fits inside a row.
    m_Editor->SetBorderStyle(NoBorder);
    m_Editor->hide();
    connect(m_Editor, &VQPointAttributeEdit::focusLeft, this, [this] {
        ApplyHelpContext(QString());
        hideEditor();
    });
    connect(m_Editor, &VQPointAttributeEdit::OnEnterKeyPress, this, &VQPointPropSheet::hideEditor);
}

void VQPointPropSheet::SetView(int32_t view) {
    m_View = view;
    Q_EMIT PropertyChanged(kView);
    Relayout();
}

void VQPointPropSheet::SetReadonly(bool readonly) {
    if (readonly == m_Readonly) return;
    m_Readonly = readonly;
    Q_EMIT PropertyChanged(kReadOnly);
    RecolourAll();
}

bool VQPointPropSheet::GetEntryReadOnly(const QString& AttributeName) const {
    return silently(false, [&] {
        return m_ReadOnlyEntries && m_ReadOnlyEntries->Contains(AttributeName) &&
               m_ReadOnlyEntries->Value(AttributeName).toBool();
    });
}

void VQPointPropSheet::SetEntryReadOnly(const QString& AttributeName, bool New_Readonly) {
    SdkNamedValues& overrides = ensure(m_ReadOnlyEntries);
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
    ensure(m_HelpContextIDs).Set(AttributeName, New_HelpContextID);
}

void VQPointPropSheet::SetPropSheetEntries(std::shared_ptr<vq::PropSheetEntries> entries) {
    reraising(QStringLiteral("VQPointPropSheet:PropSheetEntries"), [&] {
        if (m_Entries) disconnect(m_Entries.get(), nullptr, this, nullptr);
        m_Entries = std::move(entries);
        m_CurrentEntry = nullptr;
        if (m_Entries) {
            connect(m_Entries.get(), &PropSheetEntries::OnValueEdit, this, &VQPointPropSheet::UpdateGrid);
            connect(m_Entries.get(), &PropSheetEntries::OnDisplayEdit, this, &VQPointPropSheet::UpdateGrid);
        }
        m_Editor->hide();
        m_Editor->SetAttributeName(QString());
        m_Editor->SetPropSheetEntries(m_Entries);
        CommitEntries();
    });
}

void VQPointPropSheet::Clear() {
    // An editor over a row that is gone would edit nothing visible.
    m_Editor->hide();
    showRows({});
}

// Loaded values are only stored; the grid is laid out and coloured once they all are.
std::span<const PersistedProperty<VQPointPropSheet>> VQPointPropSheet::persistedProperties() {
    using Self = VQPointPropSheet;
    static const PersistedProperty<Self> table[] = {
        {kView, int32_t(viewAlphabetic), [](const Self& c) { return Variant(c.m_View); },
         [](Self& c, const Variant& v) { c.m_View = v.toInt32(); }},
        {kReadOnly, false, [](const Self& c) { return Variant(c.m_Readonly); },
         [](Self& c, const Variant& v) { c.m_Readonly = v.toBool(); }},
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
    const int* row = m_RowIndex.find(primaryAttributeName);
    return row ? *row : 0;
}

// Filling: one row per category, then one per entry, shown in one model reset. Validity colours
// come with the first update of a row, not here.
void VQPointPropSheet::CommitEntries() {
    std::vector<PropSheetGridRow> rows;
    // A failure stops the filling; the rows made so far are shown.
    reporting(QStringLiteral("VQPointPropsheet:CommitEntries"), ReportLayout::NumberFirst, [&] {
        if (m_Entries) appendRows(rows);
    });
    showRows(std::move(rows));
}

void VQPointPropSheet::appendRows(std::vector<PropSheetGridRow>& rows) const {
    PropSheetCategories& categories = m_Entries->Categories();
    rows.reserve(size_t(categories.Count() + m_Entries->Count()));
    for (int i = 1; i <= categories.Count(); ++i)
        if (const PropSheetCategoryPtr category = categories.Item(int32_t(i)))
            rows.push_back(categoryRow(*category));
    for (int j = 1; j <= m_Entries->Count(); ++j) rows.push_back(entryRow(*m_Entries->Item(int32_t(j))));
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
    m_RowIndex.clear();
    m_RowIndexValid = false;
    m_Model->setRows(std::move(rows));
    Relayout();
}

void VQPointPropSheet::Relayout() {
    SortAndIndex();
    ApplyRowHeights();
    applyColumnWidths();
}

void VQPointPropSheet::SortAndIndex() {
    const auto order = m_View == viewAlphabetic ? PropSheetGridModel::SortOrder::ByDisplayName
                                                : PropSheetGridModel::SortOrder::ByCategory;
    if (!m_Model->sortRows(order) && m_RowIndexValid) return;
    m_RowIndex.clear();
    m_RowIndex.reserve(size_t(m_Model->Rows()));
    for (int r = PropSheetGridModel::kFirstDataRow; r < m_Model->Rows(); ++r)
        if (m_Model->RowTag(r) == PropSheetGridRow::Entry)
            m_RowIndex.assign(m_Model->TextMatrix(r, kKeyColumn), r);
    m_RowIndexValid = true;
}

void VQPointPropSheet::ApplyRowHeights() {
    const bool alphabetic = m_View == viewAlphabetic;
    bool collapsed = false;
    MSHFlexGrid1->setRowHidden(0, true);  // the spare row
    for (int r = PropSheetGridModel::kFirstDataRow; r < m_Model->Rows(); ++r) {
        PropSheetGridRow& row = m_Model->row(r);
        if (row.tag == PropSheetGridRow::Category) {
            collapsed = row.sign == PropSheetGridRow::Sign::Collapsed;
            row.height = alphabetic ? 0 : kRowHeight;
        } else {
            const PropSheetEntry* entry = m_Entries ? m_Entries->find(row.cells[kKeyColumn]).get() : nullptr;
            row.height = entry && isEntryShown(*entry, collapsed) ? kRowHeight : 0;
        }
        MSHFlexGrid1->setRowHidden(r - 1, row.height == 0);
    }
}

bool VQPointPropSheet::isEntryShown(const PropSheetEntry& entry, bool inCollapsedCategory) const {
    return entry.Visible() && (m_View == viewAlphabetic || !inCollapsedCategory);
}

// Grouped, an entry row follows its category's row.
bool VQPointPropSheet::isInCollapsedCategory(int row) const {
    if (m_View == viewAlphabetic) return false;
    for (int r = row - 1; r >= PropSheetGridModel::kFirstDataRow; --r) {
        const PropSheetGridRow& above = m_Model->row(r);
        if (above.tag == PropSheetGridRow::Category) return above.sign == PropSheetGridRow::Sign::Collapsed;
    }
    return false;
}

// One entry's row shown or hidden as the entry now says; the other rows keep their heights.
void VQPointPropSheet::applyEntryRowHeight(int row, const PropSheetEntry& entry) {
    PropSheetGridRow& r = m_Model->row(row);
    const int height = isEntryShown(entry, isInCollapsedCategory(row)) ? kRowHeight : 0;
    if (height == r.height) return;
    r.height = height;
    MSHFlexGrid1->setRowHidden(row - 1, height == 0);
}

void VQPointPropSheet::applyColumnWidths() {
    m_ColWidths = layoutFor(pixelsToTwips(size()), m_View).columnWidths;
    for (int c = 0; c < PropSheetGridRow::kColumnCount; ++c) {
        MSHFlexGrid1->setColumnHidden(c, m_ColWidths[size_t(c)] == 0);
        if (m_ColWidths[size_t(c)] > 0)
            MSHFlexGrid1->setColumnWidth(c, twipsToPixels(m_ColWidths[size_t(c)]));
    }
}

bool VQPointPropSheet::isEntryReadOnly(const PropSheetEntry& entry) const {
    return entry.GetReadOnly() || GetEntryReadOnly(entry.CurrentAttributeName()) || m_Readonly;
}

void VQPointPropSheet::recolour(int row) {
    PropSheetGridRow& r = m_Model->row(row);
    const PropSheetEntry* entry =
        r.tag == PropSheetGridRow::Entry && m_Entries ? m_Entries->find(r.cells[kKeyColumn]).get() : nullptr;
    r.valueEditable = entry && !isEntryReadOnly(*entry);
}

void VQPointPropSheet::RecolourRow(int row) {
    recolour(row);
    m_Model->rowChanged(row);
}

void VQPointPropSheet::RecolourAll() {
    if (!m_Entries) return;
    for (int r = PropSheetGridModel::kFirstDataRow; r < m_Model->Rows(); ++r) recolour(r);
    m_Model->allRowsChanged();
}

void VQPointPropSheet::UpdateGrid(PropSheetEntry* entry) {
    const int* found = entry ? m_RowIndex.find(entry->PrimaryAttributeName()) : nullptr;
    if (!found) return;  // a row the grid does not hold: nothing to rewrite
    const int row = *found;
    try {
        PropSheetGridRow& r = m_Model->row(row);
        const bool moves = r.cells[kSortKeyColumn] != entry->SortKey();
        r.cells[kNameColumn] = entry->DisplayName();
        r.cells[kValueColumn] = entry->GetDisplayValue();
        r.cells[kSortKeyColumn] = entry->SortKey();
        r.valueInvalid = !entry->IsValid();
        RecolourRow(row);
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
    PropSheetGridRow& r = m_Model->row(row);
    if (r.tag == PropSheetGridRow::Category && index.column() == kSignColumn) {
        r.sign = r.sign == PropSheetGridRow::Sign::Collapsed ? PropSheetGridRow::Sign::Expanded
                                                             : PropSheetGridRow::Sign::Collapsed;
        m_Model->rowChanged(row);
        ApplyRowHeights();
        return;
    }
    if (m_Model->isFixedCell(row, index.column()) || r.height == 0 || !m_Entries) return;
    silently(0, [&] {
        openEditor(row);
        return 0;
    });
}

void VQPointPropSheet::openEditor(int row) {
    const QString key = m_Model->TextMatrix(row, kKeyColumn);
    m_CurrentEntry = m_Entries->Item(key).get();
    m_Editor->SetAttributeName(key);
    ApplyHelpContext(key);
    MSHFlexGrid1->setCurrentIndex(m_Model->cellIndex(row, kValueColumn));
    const bool textLike = placesCaretFromMouse(m_CurrentEntry->DisplayStyle());
    const QRect cell = cellRect(row, kValueColumn);
    const int margin = textLike ? kTextMargin : 0;
    const int adjustment = textLike ? -2 * kTextMargin : -10;
    const int width = pixelsToTwips(this->width()) - ColWidth(kSignColumn) - ColWidth(kNameColumn) -
                      scrollAllowance() + adjustment;
    m_Editor->setGeometry(
        twipsToPixels(QRect(cell.left() + margin, cell.top(), std::max(width, 0), kRowHeight)));
    m_Editor->raise();
    m_Editor->show();
    m_Editor->SetInternalFocus();
    m_Editor->SetSelStart(textLike ? CaretFromMouse() : 0);
    m_Editor->SetSelLength(0);
}

QRect VQPointPropSheet::cellRect(int row, int column) const {
    QRect pixels = MSHFlexGrid1->visualRect(m_Model->cellIndex(row, column));
    pixels.translate(MSHFlexGrid1->viewport()->mapTo(this, QPoint(0, 0)));
    return QRect(QPoint(pixelsToTwips(pixels.left()), pixelsToTwips(pixels.top())),
                 QSize(pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height())));
}

int VQPointPropSheet::scrollAllowance() const {
    return m_Model->totalHeight() > pixelsToTwips(height()) ? GetScrollBarWidth() : 0;
}

// The caret goes before the first character whose end lies at or past the click, measured from
// the value column's text in the sheet's font.
int VQPointPropSheet::CaretFromMouse() const {
    const int click = m_MouseX - ColWidth(kSignColumn) - ColWidth(kNameColumn) - kTextMargin;
    const QString text = m_Editor->Text();
    int i = 1;
    while (i <= text.size() && textWidthTwips(text.left(i), font()) < click) ++i;
    return i - 1;
}

void VQPointPropSheet::ApplyHelpContext(const QString& name) {
    const int32_t id = m_HelpContextIDs && m_HelpContextIDs->Contains(name)
                           ? m_HelpContextIDs->Value(name).toInt32()
                           : kDefaultHelpContextID;
    setProperty(kHelpContextID.toLatin1().constData(), id);
}

void VQPointPropSheet::hideEditor() {
    // The focus returns to the grid rather than to whichever widget of the form comes next.
    if (m_Editor->isAncestorOf(QApplication::focusWidget())) MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
    m_Editor->hide();
}

bool VQPointPropSheet::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == MSHFlexGrid1->viewport() &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease))
        m_MouseX = pixelsToTwips(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    return QWidget::eventFilter(watched, event);
}

void VQPointPropSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    MSHFlexGrid1->setGeometry(rect());
    applyColumnWidths();
    // An open editor no longer fits its cell; taking the focus closes it. Focus elsewhere in the
    // host's form stays where it is.
    if (m_Editor->isVisible() && isAncestorOf(QApplication::focusWidget())) MSHFlexGrid1->setFocus();
}

void VQPointPropSheet::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) m_Model->setCategoryFont(boldOf(font()));
}

}  // namespace vq
