#include "table/PointTableGrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>

namespace vq {

PointTableGrid::PointTableGrid(QWidget* parent) : QTableView(parent), m_frozen(new QTableView(this)) {
    setObjectName(QStringLiteral("PointTableGrid"));
    m_frozen->setObjectName(QStringLiteral("FrozenColumns"));
    verticalHeader()->hide();
    setHorizontalScrollMode(ScrollPerPixel);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setUpFrozen();
}

void PointTableGrid::setUpFrozen() {
    QTableView* frozen = m_frozen;
    frozen->setFocusPolicy(Qt::NoFocus);
    frozen->verticalHeader()->hide();
    frozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen->horizontalHeader()->setHighlightSections(false);
    frozen->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    frozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen->setVerticalScrollMode(verticalScrollMode());
    frozen->setWordWrap(false);
    frozen->setTextElideMode(Qt::ElideRight);
    frozen->setEditTriggers(NoEditTriggers);
    frozen->setStyleSheet(QString());
    viewport()->stackUnder(frozen);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &PointTableGrid::followSection);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, frozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(frozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
}

void PointTableGrid::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    m_frozen->setModel(model);
    m_frozen->setSelectionModel(selectionModel());
    hideUnfrozenColumns();
    // Attribute columns come and go with the column chooser.
    connect(model, &QAbstractItemModel::columnsInserted, this, &PointTableGrid::hideUnfrozenColumns);
    connect(model, &QAbstractItemModel::columnsRemoved, this, &PointTableGrid::hideUnfrozenColumns);
    connect(model, &QAbstractItemModel::modelReset, this, &PointTableGrid::hideUnfrozenColumns);
    connect(model, &QAbstractItemModel::layoutChanged, this, &PointTableGrid::hideUnfrozenColumns);
    placeFrozen();
}

void PointTableGrid::setItemDelegate(QAbstractItemDelegate* delegate) {
    QTableView::setItemDelegate(delegate);
    m_frozen->setItemDelegate(delegate);
    // The frozen view only paints: the grid alone opens and closes the editor.
    disconnect(delegate, &QAbstractItemDelegate::closeEditor, m_frozen, nullptr);
    disconnect(delegate, &QAbstractItemDelegate::commitData, m_frozen, nullptr);
}

void PointTableGrid::setRowHeight(int height) {
    for (QHeaderView* rows : {verticalHeader(), m_frozen->verticalHeader()}) {
        rows->setSectionResizeMode(QHeaderView::Fixed);
        rows->setMinimumSectionSize(height);
        rows->setDefaultSectionSize(height);
    }
    horizontalHeader()->setFixedHeight(horizontalHeader()->sizeHint().height());
    m_frozen->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
}

void PointTableGrid::hideUnfrozenColumns() {
    if (!model()) return;
    for (int column = 0; column < model()->columnCount(); ++column) {
        const bool frozen = column < kFrozenColumns;
        m_frozen->setColumnHidden(column, !frozen);
        if (frozen) m_frozen->setColumnWidth(column, columnWidth(column));
    }
    placeFrozen();
}

int PointTableGrid::frozenWidth() const {
    int width = 0;
    for (int column = 0; column < kFrozenColumns; ++column) width += columnWidth(column);
    return width;
}

void PointTableGrid::followSection(int logicalIndex, int, int newSize) {
    if (logicalIndex >= kFrozenColumns) return;
    m_frozen->setColumnWidth(logicalIndex, newSize);
    placeFrozen();
}

void PointTableGrid::placeFrozen() {
    const int frame = frameWidth();
    m_frozen->setGeometry(frame, frame, frozenWidth() + m_frozen->frameWidth() * 2,
                          viewport()->height() + horizontalHeader()->height());
    m_frozen->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void PointTableGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    placeFrozen();
}

void PointTableGrid::updateGeometries() {
    QTableView::updateGeometries();
    placeFrozen();
}

// Moving left into a column under the frozen ones scrolls it out from beneath them.
QModelIndex PointTableGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    if (cursorAction == MoveLeft && current.column() >= kFrozenColumns &&
        visualRect(current).topLeft().x() < frozenWidth()) {
        const int shift = visualRect(current).topLeft().x() - frozenWidth();
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift);
    }
    return current;
}

// The frozen columns are always in view: going to one of them never scrolls sideways.
void PointTableGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    if (index.column() >= kFrozenColumns) {
        QTableView::scrollTo(index, hint);
        const QRect cell = visualRect(index);
        if (cell.left() < frozenWidth())
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cell.left() - frozenWidth());
        return;
    }
    const int x = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    horizontalScrollBar()->setValue(x);
}

bool PointTableGrid::focusNextPrevChild(bool next) {
    const QWidget* focus = QApplication::focusWidget();
    const bool fromEditor = focus && focus != this && isAncestorOf(focus) && !m_frozen->isAncestorOf(focus);
    if (fromEditor && tabFromEditor && tabFromEditor(next)) return true;
    return QTableView::focusNextPrevChild(next);
}

}  // namespace vq
