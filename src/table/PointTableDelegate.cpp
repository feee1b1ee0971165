#include "table/PointTableDelegate.h"

#include "core/Error.h"
#include "editors/VQPointAttributeEdit.h"
#include "editors/enumBorderStyle.h"
#include "model/PropSheetEntries.h"
#include "platform/SystemColors.h"
#include "platform/Twips.h"
#include "table/PointTableModel.h"
#include "table/PointTableResults.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace vq {

namespace {

using Outcome = PointTableRowResult::Outcome;

QColor blend(const QColor& over, const QColor& under, double share) {
    return QColor::fromRgbF(float(over.redF() * share + under.redF() * (1 - share)),
                            float(over.greenF() * share + under.greenF() * (1 - share)),
                            float(over.blueF() * share + under.blueF() * (1 - share)));
}

QColor invalidColor() {
    return QColor(0xC0, 0x00, 0x00);
}

// A result cell says at a glance whether the row went through.
QColor outcomeColor(int outcome) {
    switch (Outcome(outcome)) {
        case Outcome::Saved:
        case Outcome::Restored:
            return QColor(0x00, 0x70, 0x20);
        case Outcome::Refused:
        case Outcome::ChangedMeanwhile:
        case Outcome::ChangedSince:
            return invalidColor();
        case Outcome::NotReached:
            return systemColor(SystemColor::GrayText);
        case Outcome::None:
            break;
    }
    return {};
}

void styleByState(QStyleOptionViewItem& cell, int state) {
    const QColor base = cell.palette.color(QPalette::Base);
    if (state & PointTableModel::Unavailable) {
        cell.text.clear();
        cell.backgroundBrush = blend(systemColor(SystemColor::ButtonFace), base, 0.5);
        return;
    }
    if (state & PointTableModel::ReadOnly) {
        cell.palette.setColor(QPalette::Text, systemColor(SystemColor::GrayText));
        cell.backgroundBrush = blend(systemColor(SystemColor::ButtonFace), base, 0.35);
    }
    if (state & PointTableModel::Edited) {
        cell.font.setBold(true);
        cell.backgroundBrush = blend(systemColor(SystemColor::Highlight), base, 0.14);
    }
    if (state & PointTableModel::Invalid) {
        cell.palette.setColor(QPalette::Text, invalidColor());
        cell.palette.setColor(QPalette::HighlightedText, QColor(0xFF, 0xD0, 0xD0));
        cell.backgroundBrush = blend(invalidColor(), base, 0.12);
    }
}

}  // namespace

PointTableDelegate::PointTableDelegate(VQPointAttributeEdit* editor, PointTableModel* model, QObject* parent)
    : QStyledItemDelegate(parent), m_editor(editor), m_model(model) {}

int PointTableDelegate::rowHeight() {
    return twipsToPixels(
        VQPointAttributeEdit::layoutFor(VQPointAttributeEdit::kDefaultWidth, NoBorder).controlHeight);
}

QSize PointTableDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    return {QStyledItemDelegate::sizeHint(option, index).width(), rowHeight()};
}

void PointTableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionViewItem cell(option);
    initStyleOption(&cell, index);
    cell.state &= ~QStyle::State_HasFocus;
    if (index.column() < PointTableModel::ResultColumn) {
        // Tag and server read as the rows' headings, never greyed.
        cell.palette.setColor(QPalette::Text, cell.palette.color(QPalette::WindowText));
        cell.backgroundBrush =
            blend(systemColor(SystemColor::ButtonFace), cell.palette.color(QPalette::Base), 0.6);
    } else if (index.column() == PointTableModel::ResultColumn) {
        const QColor colour = outcomeColor(index.data(PointTableModel::ResultOutcomeRole).toInt());
        if (colour.isValid()) cell.palette.setColor(QPalette::Text, colour);
    } else {
        styleByState(cell, index.data(PointTableModel::CellStateRole).toInt());
    }
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    // The current cell gets a frame of its own, visible over a tinted or selected background.
    const auto* view = qobject_cast<const QAbstractItemView*>(widget);
    if (view && view->currentIndex() == index && view->hasFocus()) {
        painter->save();
        painter->setPen(QPen(cell.palette.color(QPalette::Text), 1, Qt::DotLine));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

// A row whose entries cannot be read opens no editor: the view then stays as it was.
QWidget* PointTableDelegate::createEditor(QWidget*, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    const bool bound = silently(false, [&] {
        m_editor->SetAttributeName(QString());
        m_editor->SetPropSheetEntries(m_model->entriesAt(index.row()));
        m_editor->SetAttributeName(m_model->attributeAt(index.column()));
        return true;
    });
    if (!bound) return nullptr;
    m_open = true;
    m_index = index;
    return m_editor;
}

void PointTableDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
    editor->setGeometry(option.rect.adjusted(0, 0, 0, 0));
}

void PointTableDelegate::destroyEditor(QWidget* editor, const QModelIndex&) const {
    m_open = false;
    editor->hide();
}

void PointTableDelegate::closeOpenEditor() {
    if (!m_open || m_editor->isHidden()) return;
    m_open = false;
    Q_EMIT closeEditor(m_editor, NoHint);
}

}  // namespace vq
