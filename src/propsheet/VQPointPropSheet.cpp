#include "propsheet/VQPointPropSheet.h"

#include "core/Error.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/PropSheetEntries.h"
#include "platform/ChangeNotice.h"
#include "platform/PropertyBag.h"
#include "platform/ScreenServices.h"
#include "platform/StoredProperties.h"
#include "platform/TextMetrics.h"
#include "platform/Twips.h"
#include "propsheet/PropSheetGridDelegate.h"
#include "propsheet/PropSheetGridModel.h"
#include "propsheet/PropSheetGridOrder.h"
#include "sdk/SdkNamedValues.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>

namespace vq {

namespace {

constexpr int kRowHeight = VQPointPropSheet::kRowHeight;
constexpr int kTextMargin = 30;  // twips between a text editor's edge and its text

const QString kView = QStringLiteral("View");
const QString kReadOnly = QStringLiteral("ReadOnly");
const QString kHelpContextID = QStringLiteral("HelpContextID");

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

}  // namespace

// VQPointPropSheet's state and helpers, kept out of its header so that hosts need not rebuild when
// they change.
class VQPointPropSheetPrivate {
public:
    explicit VQPointPropSheetPrivate(VQPointPropSheet* sheet);

    void setUpGrid();
    void setUpEditor();
    void commitEntries();
    void relayout();
    void applyFolds();
    void applyColumnWidths();
    int columnWidth(int column) const { return m_ColWidths[size_t(column)]; }
    bool isEntryReadOnly(const PropSheetEntry& entry) const;
    void recolourAll();
    void updateGrid(PropSheetEntry* entry);
    void gridClicked(const QModelIndex& index);
    void setFolded(const QModelIndex& category, bool collapse);
    void openEditor(const QModelIndex& value, bool fromMouse);
    QRect editorGeometry(const QModelIndex& value, const QRect& cell) const;
    int shownRowCount() const;
    int scrollAllowance() const;
    int caretFromMouse() const;
    void applyHelpContext(const QString& name);
    void hideEditor();

    // Keyboard
    void setUpKeys();
    void followCurrent(const QModelIndex& current);
    bool gridKey(QKeyEvent* event);
    bool foldKey(const QModelIndex& current, int key);
    bool openEditorByKey(const QModelIndex& current, const QKeyEvent* typed);
    bool editorHasFocus() const;
    bool editNeighbour(bool next);
    QModelIndex neighbourEditable(const QModelIndex& from, bool next) const;
    void cancelEditor();

    VQPointPropSheet* const q;
    int32_t m_View = viewAlphabetic;
    bool m_Readonly = false;
    std::shared_ptr<vq::PropSheetEntries> m_Entries;
    PropSheetEntry* m_CurrentEntry = nullptr;
    SdkNamedValuesPtr m_ReadOnlyEntries;
    SdkNamedValuesPtr m_HelpContextIDs;
    int m_MouseX = 0;
    std::array<int, PropSheetColumn::columnCount> m_ColWidths{};
    PropSheetGridModel* m_Model;
    PropSheetGridOrder* m_Order;
    QTreeView* MSHFlexGrid1;
    VQPointAttributeEdit* m_Editor;
    PropSheetGridDelegate* m_Delegate;
};

VQPointPropSheetPrivate::VQPointPropSheetPrivate(VQPointPropSheet* sheet)
    : q(sheet),
      m_Model(new PropSheetGridModel([this](const PropSheetEntry& e) { return isEntryReadOnly(e); }, sheet)),
      m_Order(new PropSheetGridOrder(m_Model, sheet)),
      MSHFlexGrid1(new QTreeView(sheet)),
      m_Editor(new VQPointAttributeEdit(sheet)),
      m_Delegate(new PropSheetGridDelegate(
          m_Editor,
          [this](const QModelIndex& value, const QRect& cell) { return editorGeometry(value, cell); },
          MSHFlexGrid1)) {}

VQPointPropSheet::Layout VQPointPropSheet::layoutFor(QSize size, int32_t view) {
    const QSize control = size.expandedTo(kMinimumSize);
    return {control, {view == viewCategorized ? kSignWidth : 0, kNameWidth, control.width()}};
}

VQPointPropSheet::VQPointPropSheet(QWidget* parent)
    : QWidget(parent), d(std::make_unique<VQPointPropSheetPrivate>(this)) {
    setMinimumSize(twipsToPixels(kMinimumSize));
    d->setUpGrid();
    d->setUpEditor();
    d->setUpKeys();
    d->relayout();
}

QSize VQPointPropSheet::sizeHint() const {
    return twipsToPixels(kDefaultSize);
}

VQPointPropSheet::~VQPointPropSheet() {
    if (d->m_Entries) disconnect(d->m_Entries.get(), nullptr, this, nullptr);
    disconnect(d->m_Editor, nullptr, this, nullptr);
    d->m_Delegate->closeOpenEditor();
}

void VQPointPropSheetPrivate::setUpGrid() {
    QTreeView* grid = MSHFlexGrid1;
    grid->setObjectName(QStringLiteral("MSHFlexGrid1"));
    grid->setAccessibleDescription(
        QStringLiteral("Attribute names and values of the point; F2, Enter or a click on a value edits it"));
    grid->setHeader(new FixedHeightHeader(Qt::Horizontal, grid));
    grid->setModel(m_Order);
    QHeaderView* header = grid->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setMinimumSectionSize(0);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    // Categories fold only by a click on their sign, never by the tree's own keys or double-click.
    grid->setRootIsDecorated(false);
    grid->setIndentation(0);
    grid->setItemsExpandable(false);
    grid->setExpandsOnDoubleClick(false);
    grid->setUniformRowHeights(true);
    grid->setSelectionMode(QAbstractItemView::NoSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The value column is as wide as the control and runs past its edge; the grid never scrolls
    // sideways, whether following the current cell or the mouse wheel.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setAutoScroll(false);
    QScrollBar* sideways = grid->horizontalScrollBar();
    QObject::connect(sideways, &QScrollBar::rangeChanged, sideways, [sideways](int, int maximum) {
        if (maximum != 0) sideways->setMaximum(0);
    });
    grid->setWordWrap(false);
    grid->setItemDelegate(m_Delegate);
    grid->viewport()->installEventFilter(q);
    m_Model->setCategoryFont(boldOf(q->font()));
    QObject::connect(grid, &QTreeView::clicked, q, [this](const QModelIndex& index) { gridClicked(index); });
    // Scrolling takes the focus to the grid, so an open editor commits and hides. Without an open
    // editor the focus stays where it is: a refill or a row hidden also moves the scroll bar, and
    // the user may be typing in another control of the host's form.
    QObject::connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, grid, [this] {
        if (m_Editor->isVisible()) MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
    });
}

void VQPointPropSheetPrivate::setUpEditor() {
    m_Editor->setObjectName(QStringLiteral("VQPointAttributeEdit1"));
    // Without a border the editor fits inside a row.
    m_Editor->SetBorderStyle(NoBorder);
    m_Editor->hide();
    QObject::connect(m_Editor, &VQPointAttributeEdit::focusLeft, q, [this] {
        applyHelpContext(QString());
        hideEditor();
    });
    QObject::connect(m_Editor, &VQPointAttributeEdit::OnEnterKeyPress, q, [this] { hideEditor(); });
}

int32_t VQPointPropSheet::View() const {
    return d->m_View;
}

bool VQPointPropSheet::Readonly() const {
    return d->m_Readonly;
}

void VQPointPropSheet::SetView(int32_t view) {
    const ChangeNotice notice(this, &VQPointPropSheet::View, &VQPointPropSheet::ViewChanged);
    d->m_View = view;
    Q_EMIT PropertyChanged(kView);
    d->relayout();
}

void VQPointPropSheet::SetReadonly(bool readonly) {
    const ChangeNotice notice(this, &VQPointPropSheet::Readonly, &VQPointPropSheet::ReadonlyChanged);
    if (readonly == d->m_Readonly) return;
    d->m_Readonly = readonly;
    Q_EMIT PropertyChanged(kReadOnly);
    d->recolourAll();
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
        d->recolourAll();
    } else {
        overrides.Add(AttributeName, New_Readonly);
        if (New_Readonly) d->recolourAll();
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
            const auto update = [this](PropSheetEntry* entry) { d->updateGrid(entry); };
            connect(d->m_Entries.get(), &PropSheetEntries::OnValueEdit, this, update);
            connect(d->m_Entries.get(), &PropSheetEntries::OnDisplayEdit, this, update);
        }
        d->m_Delegate->closeOpenEditor();
        d->m_Editor->hide();
        d->m_Editor->SetAttributeName(QString());
        d->m_Editor->SetPropSheetEntries(d->m_Entries);
        d->commitEntries();
    });
}

void VQPointPropSheet::Clear() {
    // An editor over a row that is gone would edit nothing visible.
    d->m_Delegate->closeOpenEditor();
    d->m_Editor->hide();
    d->m_Model->setEntries(nullptr);
}

// Loaded values are only stored; the grid is laid out and coloured once they all are.
std::span<const PersistedNote<VQPointPropSheet>> VQPointPropSheet::persistedNotes() {
    using Self = VQPointPropSheet;
    static const PersistedNote<Self> notes[] = {
        {"View", int32_t(viewAlphabetic), [](Self& c, const Variant& v) { c.d->m_View = v.toInt32(); }},
        {"Readonly", false, [](Self& c, const Variant& v) { c.d->m_Readonly = v.toBool(); }, nullptr, true,
         "ReadOnly"},
    };
    return notes;
}

void VQPointPropSheet::InitProperties() {
    initStoredProperties(*this, persistedNotes());
    d->relayout();
    d->recolourAll();
}

void VQPointPropSheet::ReadProperties(const PropertyBag& bag) {
    readStoredProperties(*this, bag, persistedNotes());
    d->relayout();
    d->recolourAll();
}

void VQPointPropSheet::WriteProperties(PropertyBag& bag) const {
    writeStoredProperties(*this, bag, persistedNotes());
}

int32_t VQPointPropSheet::HelpContextID() const {
    return property(kHelpContextID.toLatin1().constData()).toInt();
}

QModelIndex VQPointPropSheet::cellIndex(const QString& primaryAttributeName, int column) const {
    return d->m_Order->shownIndex(d->m_Model->indexOf(primaryAttributeName, column));
}

// Filling: the categories, then the entries, in one model reset. Validity colours come with the
// first event about an entry, not here. A failure stops the filling; the rows read so far show.
void VQPointPropSheetPrivate::commitEntries() {
    reporting(QStringLiteral("VQPointPropsheet:CommitEntries"), ReportLayout::NumberFirst,
              [&] { m_Model->setEntries(m_Entries.get()); });
    applyFolds();
}

void VQPointPropSheetPrivate::relayout() {
    // Two sheets side by side are told apart by how they list the attributes.
    MSHFlexGrid1->setAccessibleName(m_View == viewCategorized ? QStringLiteral("Attributes by category")
                                                              : QStringLiteral("Attributes by name"));
    // Only the alphabetic view lists the entries alone; any other value groups them.
    if ((m_View != viewAlphabetic) != m_Order->isCategorized()) {
        m_Order->setCategorized(m_View != viewAlphabetic);
        applyFolds();
    }
    applyColumnWidths();
}

// The view unfolds each category as its row records it.
void VQPointPropSheetPrivate::applyFolds() {
    if (!m_Order->isCategorized()) return;
    for (int row = 0; row < m_Order->rowCount(); ++row) {
        const QModelIndex shown = m_Order->index(row, 0);
        const QModelIndex category = m_Order->treeIndex(shown);
        if (PropSheetGridModel::isCategory(category))
            MSHFlexGrid1->setExpanded(shown, !m_Model->isCollapsed(category));
    }
}

void VQPointPropSheetPrivate::applyColumnWidths() {
    m_ColWidths = VQPointPropSheet::layoutFor(pixelsToTwips(q->size()), m_View).columnWidths;
    for (int c = 0; c < PropSheetColumn::columnCount; ++c) {
        MSHFlexGrid1->setColumnHidden(c, columnWidth(c) == 0);
        if (columnWidth(c) > 0) MSHFlexGrid1->setColumnWidth(c, twipsToPixels(columnWidth(c)));
    }
}

bool VQPointPropSheetPrivate::isEntryReadOnly(const PropSheetEntry& entry) const {
    return entry.GetReadOnly() || q->GetEntryReadOnly(entry.CurrentAttributeName()) || m_Readonly;
}

void VQPointPropSheetPrivate::recolourAll() {
    if (m_Entries) m_Model->allChanged();
}

// The order follows the entry by itself: the view re-sorts and re-filters the rows it is told about.
void VQPointPropSheetPrivate::updateGrid(PropSheetEntry* entry) {
    if (!entry || !m_Model->indexOf(entry->PrimaryAttributeName(), 0).isValid()) return;
    try {
        m_Model->entryChanged(*entry);
    } catch (...) {
        const Error error = currentError();
        if (error.number() != errc::InvalidArgument)
            report(error, QStringLiteral("VQPointPropsheet:UpdateGrid"), ReportLayout::Short);
    }
}

void VQPointPropSheetPrivate::gridClicked(const QModelIndex& index) {
    const QModelIndex row = m_Order->treeIndex(index);
    if (PropSheetGridModel::isCategory(row)) {
        if (index.column() == columnSign) setFolded(index, !m_Model->isCollapsed(row));
        return;
    }
    if (!(index.flags() & Qt::ItemIsEditable) || !m_Entries) return;
    silently(0, [&] {
        openEditor(index, true);
        return 0;
    });
}

// The sign records the fold; the view follows it.
void VQPointPropSheetPrivate::setFolded(const QModelIndex& category, bool collapse) {
    m_Model->setCollapsed(m_Order->treeIndex(category), collapse);
    MSHFlexGrid1->setExpanded(category.siblingAtColumn(0), !collapse);
}

void VQPointPropSheetPrivate::openEditor(const QModelIndex& value, bool fromMouse) {
    const QString key = value.data(PropSheetGridModel::KeyRole).toString();
    m_CurrentEntry = m_Entries->Item(key).get();
    applyHelpContext(key);
    m_Delegate->closeOpenEditor();
    MSHFlexGrid1->setCurrentIndex(value);
    MSHFlexGrid1->edit(value);
    const bool textLike = placesCaretFromMouse(m_CurrentEntry->DisplayStyle());
    m_Editor->raise();
    m_Editor->SetInternalFocus();
    if (!fromMouse) {  // from the keyboard the whole value is selected, to be typed over
        m_Editor->SetSelStart(0);
        m_Editor->SetSelLength(int32_t(m_Editor->Text().size()));
        return;
    }
    m_Editor->SetSelStart(textLike ? caretFromMouse() : 0);
    m_Editor->SetSelLength(0);
}

// The editor covers the value cell but for a text margin, as wide as the sheet shows it.
QRect VQPointPropSheetPrivate::editorGeometry(const QModelIndex& value, const QRect& cell) const {
    const PropSheetEntry* entry = m_Model->entryAt(m_Order->treeIndex(value));
    const bool textLike = entry && placesCaretFromMouse(entry->DisplayStyle());
    const int margin = textLike ? kTextMargin : 0;
    const int adjustment = textLike ? -2 * kTextMargin : -10;
    const QPoint topLeft = MSHFlexGrid1->viewport()->mapTo(q, cell.topLeft());
    const int width = pixelsToTwips(q->width()) - columnWidth(columnSign) - columnWidth(columnName) -
                      scrollAllowance() + adjustment;
    return twipsToPixels(QRect(pixelsToTwips(topLeft.x()) + margin, pixelsToTwips(topLeft.y()),
                               std::max(width, 0), kRowHeight));
}

int VQPointPropSheetPrivate::shownRowCount() const {
    int rows = m_Order->rowCount();
    for (int row = 0; row < m_Order->rowCount(); ++row) {
        const QModelIndex shown = m_Order->index(row, 0);
        if (MSHFlexGrid1->isExpanded(shown)) rows += m_Order->rowCount(shown);
    }
    return rows;
}

// The header row and the shown rows, against the sheet's height.
int VQPointPropSheetPrivate::scrollAllowance() const {
    return (shownRowCount() + 1) * kRowHeight > pixelsToTwips(q->height()) ? GetScrollBarWidth() : 0;
}

// The caret goes before the first character whose end lies at or past the click, measured from
// the value column's text in the sheet's font.
int VQPointPropSheetPrivate::caretFromMouse() const {
    const int click = m_MouseX - columnWidth(columnSign) - columnWidth(columnName) - kTextMargin;
    const QString text = m_Editor->Text();
    int i = 1;
    while (i <= text.size() && textWidthTwips(text.left(i), q->font()) < click) ++i;
    return i - 1;
}

void VQPointPropSheetPrivate::applyHelpContext(const QString& name) {
    const int32_t id = m_HelpContextIDs && m_HelpContextIDs->Contains(name)
                           ? m_HelpContextIDs->Value(name).toInt32()
                           : VQPointPropSheet::kDefaultHelpContextID;
    q->setProperty(kHelpContextID.toLatin1().constData(), id);
}

void VQPointPropSheetPrivate::hideEditor() {
    // The focus returns to the grid rather than to whichever widget of the form comes next.
    if (m_Editor->isAncestorOf(QApplication::focusWidget())) MSHFlexGrid1->setFocus(Qt::OtherFocusReason);
    m_Delegate->closeOpenEditor();
    m_Editor->hide();
}

bool VQPointPropSheet::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == d->MSHFlexGrid1 && type == QEvent::KeyPress && d->gridKey(static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == d->MSHFlexGrid1->viewport() &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease))
        d->m_MouseX = pixelsToTwips(static_cast<QMouseEvent*>(event)->position().toPoint().x());
    return QWidget::eventFilter(watched, event);
}

void VQPointPropSheet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    d->MSHFlexGrid1->setGeometry(rect());
    d->applyColumnWidths();
    // An open editor no longer fits its cell; taking the focus closes it. Focus elsewhere in the
    // host's form stays where it is.
    if (d->m_Editor->isVisible() && isAncestorOf(QApplication::focusWidget())) d->MSHFlexGrid1->setFocus();
}

void VQPointPropSheet::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) d->m_Model->setCategoryFont(boldOf(font()));
}

bool VQPointPropSheet::focusNextPrevChild(bool next) {
    if (d->editorHasFocus() && d->editNeighbour(next)) return true;
    return QWidget::focusNextPrevChild(next);
}

void VQPointPropSheet::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (d->m_Editor->isVisible() && (event->key() == Qt::Key_Escape || enter)) {
        if (enter)
            d->hideEditor();
        else
            d->cancelEditor();
        return;
    }
    QWidget::keyPressEvent(event);
}

// ---- keyboard ----

void VQPointPropSheetPrivate::setUpKeys() {
    QTreeView* grid = MSHFlexGrid1;
    grid->setFocusPolicy(Qt::StrongFocus);
    // The whole row is redrawn when it becomes current, so its name shows the highlight.
    grid->setAllColumnsShowFocus(true);
    grid->installEventFilter(q);
    QObject::connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, q,
                     [this](const QModelIndex& current) { followCurrent(current); });
    // The current row is highlighted only while the sheet holds the focus.
    QObject::connect(qApp, &QApplication::focusChanged, q, [this](QWidget* from, QWidget* to) {
        if (q->isAncestorOf(from) || q->isAncestorOf(to)) MSHFlexGrid1->viewport()->update();
    });
}

// The current cell is always a value cell, in view: the keys move rows, and F2 edits that cell.
void VQPointPropSheetPrivate::followCurrent(const QModelIndex& current) {
    if (!current.isValid()) return;
    if (current.column() != columnValue) {
        MSHFlexGrid1->selectionModel()->setCurrentIndex(current.siblingAtColumn(columnValue),
                                                        QItemSelectionModel::NoUpdate);
        return;
    }
    MSHFlexGrid1->scrollTo(current);
}

// Keys on the grid itself; the arrows, Page Up/Down, Home and End are the view's own.
bool VQPointPropSheetPrivate::gridKey(QKeyEvent* event) {
    const QModelIndex current = MSHFlexGrid1->currentIndex();
    if (!current.isValid() || !m_Entries) return false;
    const bool category = PropSheetGridModel::isCategory(m_Order->treeIndex(current));
    const int key = event->key();
    if (key == Qt::Key_Left || key == Qt::Key_Right ||
        (category && (key == Qt::Key_Plus || key == Qt::Key_Minus)))
        return foldKey(current, key);
    if (key == Qt::Key_F2 || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!category) return openEditorByKey(current, nullptr);
        setFolded(current, !m_Model->isCollapsed(m_Order->treeIndex(current)));
        return true;
    }
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    return typed && !category && openEditorByKey(current, event);
}

// On a category Left or - folds and Right or + unfolds; on an attribute Left goes to its category.
bool VQPointPropSheetPrivate::foldKey(const QModelIndex& current, int key) {
    if (PropSheetGridModel::isCategory(m_Order->treeIndex(current))) {
        setFolded(current, key == Qt::Key_Left || key == Qt::Key_Minus);
    } else if (key == Qt::Key_Left && current.parent().isValid()) {
        MSHFlexGrid1->setCurrentIndex(current.parent().siblingAtColumn(columnValue));
    }
    return true;
}

// A read-only attribute stays current with no editor; a typed character goes on to the editor.
bool VQPointPropSheetPrivate::openEditorByKey(const QModelIndex& current, const QKeyEvent* typed) {
    if (!(current.flags() & Qt::ItemIsEditable)) return typed != nullptr;
    const bool opened = silently(false, [&] {
        openEditor(current, false);
        return true;
    });
    if (opened && typed && QApplication::focusWidget()) {
        QKeyEvent again(QEvent::KeyPress, typed->key(), typed->modifiers(), typed->text());
        QCoreApplication::sendEvent(QApplication::focusWidget(), &again);
    }
    return true;
}

bool VQPointPropSheetPrivate::editorHasFocus() const {
    return m_Editor->isVisible() && m_Editor->isAncestorOf(QApplication::focusWidget());
}

// Taking the focus commits and closes the editor; the neighbour's editor opens, if there is one.
bool VQPointPropSheetPrivate::editNeighbour(bool next) {
    const QModelIndex from = MSHFlexGrid1->currentIndex();
    MSHFlexGrid1->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    const QModelIndex to = neighbourEditable(from, next);
    if (!to.isValid()) return false;
    MSHFlexGrid1->setCurrentIndex(to);
    return openEditorByKey(to, nullptr);
}

// The next or previous attribute shown that may be edited, in the order the rows are shown.
QModelIndex VQPointPropSheetPrivate::neighbourEditable(const QModelIndex& from, bool next) const {
    QModelIndex row = from;
    while ((row = next ? MSHFlexGrid1->indexBelow(row) : MSHFlexGrid1->indexAbove(row)).isValid()) {
        const QModelIndex value = row.siblingAtColumn(columnValue);
        if (value.flags() & Qt::ItemIsEditable) return value;
    }
    return {};
}

void VQPointPropSheetPrivate::cancelEditor() {
    m_Editor->CancelEdit();
    hideEditor();
}

}  // namespace vq
