#include "table/VQPointTable.h"

#include "core/Error.h"
#include "core/MessageService.h"
#include "editors/VQPointAttributeEdit.h"
#include "editors/enumBorderStyle.h"
#include "platform/PropertyBag.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkServer.h"
#include "table/PointTableColumnsDialog.h"
#include "table/PointTableDelegate.h"
#include "table/PointTableFindDialog.h"
#include "table/PointTableGrid.h"
#include "table/PointTableModel.h"
#include "table/PointTableProgress.h"
#include "table/PointTableReviewPane.h"
#include "table/VQPointTablePrivate.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace vq {

namespace {

const QString kColumns = QStringLiteral("Columns");
constexpr int kLoadSlice = 250;  // rows read per turn of the event loop while loading
constexpr int kListedAtMost = 12;
constexpr int kFitSample = 60;    // rows whose values size the columns
constexpr int kColumnChars = 30;  // the widest a column is made, in average characters
constexpr int kResultChars = 40;

QString editReportText(const QString& what, const PointTableEditReport& report) {
    QString text = what + QStringLiteral(": ") + QString::number(report.set) +
                   (report.set == 1 ? QStringLiteral(" cell set") : QStringLiteral(" cells set"));
    if (report.invalid) text += QStringLiteral(", %1 invalid").arg(report.invalid);
    if (report.skipped)
        text += QStringLiteral(", %1 skipped (read-only or not in the point's class)").arg(report.skipped);
    return text;
}

// A long list is cut, saying how many more there are.
QString listed(const QStringList& items) {
    QStringList shown = items.mid(0, kListedAtMost);
    if (items.size() > kListedAtMost) shown << QStringLiteral("%1 more").arg(items.size() - kListedAtMost);
    return shown.join(QStringLiteral(", "));
}

QString importReportText(const PointTableImportReport& report) {
    QString text = QStringLiteral("Import: %1 rows as pending edits").arg(report.rows);
    if (report.addedPoints) text += QStringLiteral(", %1 points added").arg(report.addedPoints);
    if (report.cells.invalid) text += QStringLiteral(", %1 invalid values").arg(report.cells.invalid);
    if (!report.unknown.isEmpty())
        text +=
            QStringLiteral("; %1 unknown tags: %2").arg(report.unknown.size()).arg(listed(report.unknown));
    if (!report.refused.isEmpty())
        text += QStringLiteral("; %1 refused: %2").arg(report.refused.size()).arg(listed(report.refused));
    return text;
}

}  // namespace

VQPointTablePrivate::VQPointTablePrivate(VQPointTable* table)
    : q(table),
      m_model(new PointTableModel(table)),
      m_grid(new PointTableGrid(table)),
      m_editor(new VQPointAttributeEdit(m_grid)),
      m_delegate(new PointTableDelegate(m_editor, m_model, m_grid)),
      m_review(new PointTableReviewPane(m_model, table)),
      m_progress(new PointTableProgress(table)),
      m_status(new QLabel(table)),
      m_toolBar(new QToolBar(table)),
      m_splitter(new QSplitter(Qt::Vertical, table)),
      m_loadTimer(new QTimer(table)) {}

VQPointTable::VQPointTable(QWidget* parent)
    : QWidget(parent), d(std::make_unique<VQPointTablePrivate>(this)) {
    setObjectName(QStringLiteral("VQPointTable"));
    d->setUpGrid();
    d->setUpEditor();
    d->setUpActions();
    d->setUpLayout();
    d->fitColumns();
    d->updateActions();
}

VQPointTable::~VQPointTable() {
    d->m_loadTimer->stop();
    disconnect(d->m_editor, nullptr, this, nullptr);
    d->m_delegate->closeOpenEditor();
}

void VQPointTablePrivate::setUpGrid() {
    PointTableGrid* grid = m_grid;
    grid->setModel(m_model);
    grid->setItemDelegate(m_delegate);
    grid->setRowHeight(PointTableDelegate::rowHeight());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setAccessibleName(QStringLiteral("Points"));
    grid->setAccessibleDescription(
        QStringLiteral("Points as rows, attributes as columns; F2, Enter or typing edits the current cell"));
    grid->installEventFilter(q);
    grid->tabFromEditor = [this](bool next) { return editNeighbour(next); };
    for (QTableView* view : {static_cast<QTableView*>(grid), grid->frozenView()})
        QObject::connect(view, &QAbstractItemView::doubleClicked, q, [this](const QModelIndex& index) {
            if (index.column() == PointTableModel::TagColumn)
                openPoint(index);
            else
                openEditor(index);
        });
    QObject::connect(m_model, &PointTableModel::pendingChanged, q, [this] { updateActions(); });
    QObject::connect(m_review, &PointTableReviewPane::goToChange, q,
                     [this](int row, const QString& attribute) { goToChange(row, attribute); });
    QObject::connect(m_loadTimer, &QTimer::timeout, q, [this] { loadSlice(); });
    // Scrolling takes the focus to the grid, so an open editor commits and closes.
    for (QScrollBar* bar : {grid->verticalScrollBar(), grid->horizontalScrollBar()})
        QObject::connect(bar, &QScrollBar::valueChanged, grid, [this] {
            if (m_editor->isVisible() && m_editor->isAncestorOf(QApplication::focusWidget())) hideEditor();
        });
}

void VQPointTablePrivate::setUpEditor() {
    m_editor->setObjectName(QStringLiteral("VQPointAttributeEdit1"));
    m_editor->SetBorderStyle(NoBorder);
    m_editor->hide();
    m_editor->installEventFilter(q);
    QObject::connect(m_editor, &VQPointAttributeEdit::focusLeft, q, [this] { hideEditor(); });
    QObject::connect(m_editor, &VQPointAttributeEdit::OnEnterKeyPress, q, [this] { hideEditor(); });
    // Ctrl+Enter reaches the shortcut before the editor's child takes it for a plain Enter.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Return),
          QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Enter))}) {
        auto* shortcut = new QShortcut(keys, m_editor);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, q, [this] { setIntoColumn(); });
    }
}

QAction* VQPointTablePrivate::addAction(const QString& name, const QString& text, const QKeySequence& key,
                                        const std::function<void()>& run) {
    auto* action = new QAction(text, q);
    action->setObjectName(name);
    if (!key.isEmpty()) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        action->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + u')');
    }
    // An action's work reports its own errors; none leaves the slot.
    QObject::connect(action, &QAction::triggered, q, [text, run] {
        reporting(QStringLiteral("VQPointTable:") + QString(text).remove(u'&').remove(QStringLiteral("...")),
                  ReportLayout::Short, run);
    });
    q->addAction(action);
    m_toolBar->addAction(action);
    return action;
}

void VQPointTablePrivate::setUpActions() {
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addAction(QStringLiteral("Columns"), QStringLiteral("Columns..."), {}, [this] { q->ChooseColumns(); });
    addAction(QStringLiteral("FindReplace"), QStringLiteral("Find and Replace..."),
              QKeySequence(Qt::CTRL | Qt::Key_H), [this] { q->FindReplace(); });
    m_toolBar->addSeparator();
    addAction(QStringLiteral("ImportCsv"), QStringLiteral("Import CSV..."), {}, [this] { q->ImportCsv(); });
    addAction(QStringLiteral("ExportCsv"), QStringLiteral("Export..."), {}, [this] { q->ExportCsv(); });
    m_toolBar->addSeparator();
    m_reviewAction =
        addAction(QStringLiteral("Review"), QStringLiteral("Review"), QKeySequence(Qt::CTRL | Qt::Key_R),
                  [this] { showReview(m_reviewAction->isChecked()); });
    m_reviewAction->setCheckable(true);
    m_save = addAction(QStringLiteral("Save"), QStringLiteral("Save"), QKeySequence(Qt::CTRL | Qt::Key_S),
                       [this] { q->Save(); });
    m_undo = addAction(QStringLiteral("UndoLastSave"), QStringLiteral("Undo Last Save"),
                       QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { q->UndoLastSave(); });
}

void VQPointTablePrivate::setUpLayout() {
    m_status->setObjectName(QStringLiteral("Status"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setMinimumWidth(1);
    m_review->hide();
    m_splitter->addWidget(m_grid);
    m_splitter->addWidget(m_review);
    m_splitter->setStretchFactor(0, 3);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(q);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(m_progress);
    layout->addWidget(m_status);
    q->setFocusProxy(m_grid);
}

void VQPointTablePrivate::updateActions() {
    // Save stays available with nothing pending: an open edit is committed by it first.
    m_save->setEnabled(!m_saving);
    m_undo->setEnabled(!m_saving && m_model->canUndo());
}

void VQPointTablePrivate::setStatus(const QString& text) {
    m_status->setText(text);
    m_status->setToolTip(text);
    Q_EMIT q->StatusChanged(text);
}

// Columns fit their header and the values of the first rows read, within bounds, so that a
// screenful shows several attributes and most values whole.
void VQPointTablePrivate::fitColumns() {
    const int sampled = std::min(m_model->rowCount() - m_model->unloadedRows(), kFitSample);
    for (int column = 0; column < m_model->columnCount(); ++column) fitColumn(column, sampled);
    m_fitted = sampled > 0;
}

void VQPointTablePrivate::fitColumn(int column, int sampled) {
    QFont bold = m_grid->font();
    bold.setBold(true);  // edited values are bold
    const QFontMetrics metrics(bold);
    const int character = metrics.averageCharWidth();
    int width = metrics.horizontalAdvance(m_model->headerData(column, Qt::Horizontal).toString());
    for (int row = 0; row < sampled; ++row)
        width = std::max(width, metrics.horizontalAdvance(m_model->index(row, column).data().toString()));
    const int widest = column == PointTableModel::ResultColumn ? kResultChars : kColumnChars;
    m_grid->setColumnWidth(column, std::clamp(width + 2 * character, 6 * character, widest * character));
}

// ---- rows ----

void VQPointTable::AddPoints(const SdkPointList& points) {
    reporting(QStringLiteral("VQPointTable:AddPoints"), ReportLayout::Short, [&] {
        d->m_model->addPoints(points);
        d->startLoading();
    });
}

bool VQPointTable::AddPointByTag(const SdkServerPtr& server, const QString& tag) {
    return reporting(QStringLiteral("VQPointTable:AddPointByTag"), ReportLayout::Short, false, [&] {
        const bool added = d->m_model->addPointByTag(server, tag);
        if (!added)
            d->setStatus(
                QStringLiteral("No point \"%1\" on %2").arg(tag, server ? server->Name() : QString()));
        d->startLoading();
        return added;
    });
}

void VQPointTable::Clear() {
    d->hideEditor();
    d->m_loadTimer->stop();
    d->m_progress->finish();
    d->m_model->clear();
    d->m_fitted = false;
    d->setStatus(QString());
}

void VQPointTablePrivate::startLoading() {
    m_loadTotal = m_model->rowCount();
    if (m_model->unloadedRows() == 0) return;
    if (!m_saving) m_progress->start(QStringLiteral("Loading"), m_loadTotal);
    m_loadTimer->start(0);
}

// One slice per turn of the event loop: the window keeps answering while the rest is read.
void VQPointTablePrivate::loadSlice() {
    if (m_saving) return;  // the save's own progress is showing; loading resumes after it
    int left = 0;
    if (!m_progress->stopRequested())
        left = reporting(QStringLiteral("VQPointTable:Load"), ReportLayout::Short, 0,
                         [&] { return m_model->loadRows(kLoadSlice); });
    m_progress->step(m_loadTotal - left, m_loadTotal);
    if (!m_fitted) fitColumns();
    if (left > 0 && !m_progress->stopRequested()) return;
    m_loadTimer->stop();
    m_progress->finish();
}

PointTableModel* VQPointTable::model() const {
    return d->m_model;
}

QTableView* VQPointTable::view() const {
    return d->m_grid;
}

// ---- columns ----

QStringList VQPointTable::Columns() const {
    return d->m_model->columns();
}

void VQPointTable::SetColumns(const QStringList& columns) {
    if (columns == d->m_model->columns()) return;
    d->hideEditor();
    d->m_model->setColumns(columns);
    d->fitColumns();
    Q_EMIT ColumnsChanged();
    Q_EMIT PropertyChanged(kColumns);
}

QString VQPointTable::ColumnsText() const {
    return Columns().join(u',');
}

void VQPointTable::SetColumnsText(const QString& columns) {
    QStringList names;
    for (const QString& name : columns.split(u',', Qt::SkipEmptyParts))
        if (!name.trimmed().isEmpty()) names << name.trimmed();
    SetColumns(names);
}

void VQPointTable::ChooseColumns() {
    d->hideEditor();
    PointTableColumnsDialog dialog(d->m_model->columnGroups(), Columns(), PointTableModel::defaultColumns(),
                                   this);
    if (dialog.exec() == QDialog::Accepted) SetColumns(dialog.columns());
}

// ---- properties ----

void VQPointTable::InitProperties() {
    SetColumns(PointTableModel::defaultColumns());
}

void VQPointTable::ReadProperties(const PropertyBag& bag) {
    const QString defaults = PointTableModel::defaultColumns().join(u',');
    SetColumnsText(bag.ReadProperty(kColumns, Variant(defaults)).toString());
}

void VQPointTable::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty(kColumns, Variant(ColumnsText()),
                      Variant(PointTableModel::defaultColumns().join(u',')));
}

// ---- save, undo ----

// The progress callback lets events through so that Stop can be pressed; the grid and the
// commands are disabled meanwhile, and a second Save is refused rather than nested.
void VQPointTable::Save() {
    if (d->m_saving) return;
    d->hideEditor();
    const int total = d->m_model->pendingPointCount();
    d->m_saving = true;
    d->updateActions();
    d->m_grid->setEnabled(false);
    d->m_progress->start(QStringLiteral("Saving"), total);
    PointTableSaveSummary summary;
    const bool done = reporting(QStringLiteral("VQPointTable:Save"), ReportLayout::Short, false, [&] {
        summary = d->m_model->save([this](int count, int of) {
            d->m_progress->step(count, of);
            QCoreApplication::processEvents();
            return !d->m_progress->stopRequested();
        });
        return true;
    });
    d->m_progress->finish();
    d->m_saving = false;
    d->m_grid->setEnabled(true);
    d->m_grid->setFocus();
    d->updateActions();
    if (done) d->setStatus(summary.text());
    d->fitColumn(PointTableModel::ResultColumn, std::min(d->m_model->rowCount(), kFitSample));
    if (d->m_loadTimer->isActive()) d->startLoading();
}

// Ctrl+Z while a cell is being edited belongs to the editor (a text editor undoes its typing; an
// on/off or list editor does nothing), never to the last save.
void VQPointTable::UndoLastSave() {
    if (d->m_saving || d->m_delegate->isEditing()) return;
    const PointTableUndoSummary summary = d->m_model->undoLastSave();
    d->updateActions();
    QString text = summary.text();
    if (!summary.leftAlone.isEmpty()) text += QStringLiteral(": ") + listed(summary.leftAlone);
    d->setStatus(text);
}

// ---- many cells ----

QModelIndexList VQPointTablePrivate::selectedCells() const {
    QModelIndexList cells = m_grid->selectionModel()->selectedIndexes();
    if (cells.isEmpty() && m_grid->currentIndex().isValid()) cells << m_grid->currentIndex();
    std::sort(cells.begin(), cells.end(), [](const QModelIndex& a, const QModelIndex& b) {
        return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
    });
    return cells;
}

// What the editor holds goes into every selected cell of its column, the edited one included.
void VQPointTablePrivate::setIntoColumn() {
    if (!m_delegate->isEditing()) return;
    const QModelIndex edited = m_delegate->editedIndex();
    const QString text = m_editor->Text();
    m_editor->CancelEdit();
    hideEditor();
    QModelIndexList cells;
    for (const QModelIndex& cell : selectedCells())
        if (cell.column() == edited.column()) cells << cell;
    if (!cells.contains(edited)) cells << edited;
    const PointTableEditReport report =
        reporting(QStringLiteral("VQPointTable:SetCells"), ReportLayout::Short, PointTableEditReport{},
                  [&] { return m_model->setCells(cells, text); });
    setStatus(editReportText(QStringLiteral("Set"), report));
}

void VQPointTablePrivate::fillDown() {
    setStatus(editReportText(QStringLiteral("Fill down"), m_model->fillDown(selectedCells())));
}

void VQPointTablePrivate::copyCells() {
    const QModelIndexList cells = selectedCells();
    QApplication::clipboard()->setText(m_model->copy(cells));
    setStatus(QStringLiteral("Copied %1 cells").arg(cells.size()));
}

void VQPointTablePrivate::pasteCells() {
    const QModelIndexList cells = selectedCells();
    if (cells.isEmpty()) return;
    const QString text = QApplication::clipboard()->text();
    setStatus(editReportText(QStringLiteral("Paste"), m_model->paste(cells.first(), text, cells)));
}

void VQPointTable::FindReplace() {
    d->hideEditor();
    const QModelIndexList selected = d->selectedCells();
    PointTableFindDialog dialog(selected.size() > 1, this);
    if (dialog.exec() != QDialog::Accepted || dialog.findText().isEmpty()) return;
    QModelIndexList cells;
    if (dialog.withinSelection()) {
        cells = selected;
    } else {
        const int column = d->m_grid->currentIndex().isValid() ? d->m_grid->currentIndex().column()
                                                               : int(PointTableModel::FirstAttributeColumn);
        for (int row = 0; row < d->m_model->rowCount(); ++row) cells << d->m_model->index(row, column);
    }
    const PointTableEditReport report =
        d->m_model->replace(cells, dialog.findText(), dialog.replaceText(), dialog.caseSensitivity());
    d->setStatus(editReportText(QStringLiteral("Replace"), report));
}

// ---- CSV ----

// `path`, or the CSV file the user chooses, opened as text; false when none is chosen, and after
// telling the user why when it cannot be opened.
bool VQPointTablePrivate::openChosenFile(QFile& file, const QString& path, QIODevice::OpenMode mode) {
    const bool reading = mode & QIODevice::ReadOnly;
    const QString filter = QStringLiteral("CSV files (*.csv);;All files (*)");
    QString name = path;
    if (name.isEmpty())
        name = reading ? QFileDialog::getOpenFileName(q, QStringLiteral("Import CSV"), QString(), filter)
                       : QFileDialog::getSaveFileName(q, QStringLiteral("Export"), QString(), filter);
    if (name.isEmpty()) return false;
    file.setFileName(name);
    if (file.open(mode | QIODevice::Text)) return true;
    messageService().show(
        (reading ? QStringLiteral("Cannot read \"%1\": %2") : QStringLiteral("Cannot write \"%1\": %2"))
            .arg(name, file.errorString()),
        MessageButtons::Ok, QString());
    return false;
}

void VQPointTable::ImportCsv(const QString& path) {
    d->hideEditor();
    QFile in;
    if (!d->openChosenFile(in, path, QIODevice::ReadOnly)) return;
    QTextStream stream(&in);
    const SdkServerPtr server = d->m_model->rowCount() > 0
                                    ? d->m_model->serverAt(std::max(d->m_grid->currentIndex().row(), 0))
                                    : SdkServerPtr();
    const PointTableImportReport report = d->m_model->importCsv(stream, server, false);
    d->startLoading();
    d->setStatus(importReportText(report));
}

void VQPointTable::ExportCsv(const QString& path) {
    d->hideEditor();
    QFile out;
    if (!d->openChosenFile(out, path, QIODevice::WriteOnly | QIODevice::Truncate)) return;
    QTextStream stream(&out);
    const int rows = d->m_model->exportCsv(stream);
    d->setStatus(
        QStringLiteral("%1 rows exported to %2").arg(rows).arg(QDir::toNativeSeparators(out.fileName())));
}

// ---- keyboard and editor ----

void VQPointTablePrivate::openPoint(const QModelIndex& index) {
    if (!index.isValid()) return;
    const SdkPointPtr point = m_model->pointAt(index.row());
    if (point) Q_EMIT q->OpenPoint(point);
}

void VQPointTablePrivate::showReview(bool shown) {
    m_reviewAction->setChecked(shown);
    m_review->setVisible(shown);
    if (shown)
        m_review->list()->setFocus(Qt::ShortcutFocusReason);
    else
        m_grid->setFocus(Qt::ShortcutFocusReason);
}

void VQPointTablePrivate::goToChange(int row, const QString& attribute) {
    const int column = m_model->columnOf(attribute);
    if (column < 0 || row >= m_model->rowCount()) return;
    const QModelIndex cell = m_model->index(row, column);
    m_grid->setCurrentIndex(cell);
    m_grid->scrollTo(cell);
    m_grid->setFocus(Qt::OtherFocusReason);
}

}  // namespace vq
