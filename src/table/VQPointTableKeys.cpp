// The control's keys and its in-place editor.
#include "table/VQPointTablePrivate.h"

#include "core/Error.h"
#include "editors/VQPointAttributeEdit.h"
#include "table/PointTableDelegate.h"
#include "table/PointTableGrid.h"
#include "table/PointTableModel.h"

#include <QApplication>
#include <QKeyEvent>

namespace vq {

namespace {

bool isTyping(const QKeyEvent* event) {
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool isEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

bool VQPointTable::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool handled = silently(true, [&] {
            if (watched == d->m_grid) return d->gridKey(key);
            if (watched == d->m_editor) return d->editorKey(key);
            return false;
        });
        if (handled) return true;
    }
    return QWidget::eventFilter(watched, event);
}

// Keys on the grid itself; the arrows, Tab, Page Up/Down, Home and End are the view's own.
bool VQPointTablePrivate::gridKey(QKeyEvent* event) {
    // Keys an item editor left alone come up to the grid as well; they are not the grid's.
    if (QApplication::focusWidget() != m_grid) return false;
    const QModelIndex current = m_grid->currentIndex();
    const int key = event->key();
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (control && !(event->modifiers() & (Qt::AltModifier | Qt::ShiftModifier))) {
        switch (key) {
            case Qt::Key_D:
                fillDown();
                return true;
            case Qt::Key_C:
                copyCells();
                return true;
            case Qt::Key_V:
                pasteCells();
                return true;
            case Qt::Key_O:
                openPoint(current);
                return true;
            default:
                break;
        }
    }
    if (!current.isValid()) return false;
    if (!control && (key == Qt::Key_F2 || isEnter(key))) return openEditor(current);
    return isTyping(event) && openEditor(current, event);
}

// Keys the editor's child leaves alone come up to the editor: Esc cancels, Enter has committed.
bool VQPointTablePrivate::editorKey(QKeyEvent* event) {
    if (!m_editor->isVisible()) return false;
    if (event->key() == Qt::Key_Escape) {
        cancelEditor();
        return true;
    }
    if (isEnter(event->key())) {
        hideEditor();
        return true;
    }
    return false;
}

// A cell that cannot be edited stays current with no editor; a typed character goes on to the editor.
bool VQPointTablePrivate::openEditor(const QModelIndex& index, const QKeyEvent* typed) {
    if (!index.isValid() || !(index.flags() & Qt::ItemIsEditable)) return typed != nullptr;
    m_delegate->closeOpenEditor();
    if (m_grid->currentIndex() != index)
        m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_grid->scrollTo(index);
    m_grid->edit(index);
    if (!m_delegate->isEditing()) return typeIntoPlainEditor(typed);
    m_editor->raise();
    m_editor->SetInternalFocus();
    // An editor whose entry refuses edits keeps its child disabled: nothing to type into.
    if (!m_editor->isAncestorOf(QApplication::focusWidget())) {
        hideEditor();
        return true;
    }
    m_editor->SetSelStart(0);
    m_editor->SetSelLength(int32_t(m_editor->Text().size()));
    if (typed) {
        QKeyEvent again(QEvent::KeyPress, typed->key(), typed->modifiers(), typed->text());
        QCoreApplication::sendEvent(QApplication::focusWidget(), &again);
    }
    return true;
}

// The tag's plain editor takes the focus when it opens; a typed character goes on to it.
bool VQPointTablePrivate::typeIntoPlainEditor(const QKeyEvent* typed) {
    QWidget* focus = QApplication::focusWidget();
    if (typed && focus && focus != m_grid && m_grid->isAncestorOf(focus)) {
        QKeyEvent again(QEvent::KeyPress, typed->key(), typed->modifiers(), typed->text());
        QCoreApplication::sendEvent(focus, &again);
    }
    return true;
}

// Taking the focus commits the editor's value; the grid gets it rather than the next widget of the form.
void VQPointTablePrivate::hideEditor() {
    if (m_editor->isAncestorOf(QApplication::focusWidget())) m_grid->setFocus(Qt::OtherFocusReason);
    m_delegate->closeOpenEditor();
    m_editor->hide();
}

void VQPointTablePrivate::cancelEditor() {
    m_editor->CancelEdit();
    hideEditor();
}

bool VQPointTablePrivate::editNeighbour(bool next) {
    const QModelIndex from =
        m_delegate->isEditing() ? QModelIndex(m_delegate->editedIndex()) : m_grid->currentIndex();
    hideEditor();
    const QModelIndex to = neighbourEditable(from, next);
    if (!to.isValid()) return true;
    return openEditor(to);
}

// The next or previous editable cell, along the row and then on to the next or previous row.
QModelIndex VQPointTablePrivate::neighbourEditable(const QModelIndex& from, bool next) const {
    const int columns = m_model->columnCount();
    int position = from.row() * columns + from.column();
    const int end = m_model->rowCount() * columns;
    while ((position += next ? 1 : -1) >= 0 && position < end) {
        const QModelIndex cell = m_model->index(position / columns, position % columns);
        if (cell.flags() & Qt::ItemIsEditable) return cell;
    }
    return {};
}

}  // namespace vq
