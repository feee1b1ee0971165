#include "propsheet/PropSheetGridDelegate.h"

#include "editors/VQPointAttributeEdit.h"
#include "platform/Twips.h"
#include "propsheet/PropSheetGridModel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QPixmap>

namespace vq {

namespace {

constexpr int kRowHeight = 275;  // twips

void paintSign(QPainter* painter, const QRect& cell, const QModelIndex& index) {
    painter->fillRect(cell, index.data(Qt::BackgroundRole).value<QColor>());
    const QPixmap sign = index.data(Qt::DecorationRole).value<QPixmap>();
    if (!sign.isNull())
        painter->drawPixmap(cell.left() + 1, cell.top() + (cell.height() - sign.height()) / 2, sign);
}

// The current row's name is highlighted while the sheet holds the focus, so that a keyboard user
// sees which attribute the keys act on; the value cell keeps its own colours.
bool showsAsCurrent(const QStyleOptionViewItem& option, const QModelIndex& index) {
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    if (!view || index.column() != columnName) return false;
    const QModelIndex current = view->currentIndex();
    const QWidget* holder = view->parentWidget() ? view->parentWidget() : view;
    const QWidget* focus = QApplication::focusWidget();
    return current.isValid() && current.row() == index.row() && current.parent() == index.parent() && focus &&
           (focus == holder || holder->isAncestorOf(focus));
}

void paintGridLines(QPainter* painter, const QStyleOptionViewItem& option) {
    const QStyle* style = option.widget ? option.widget->style() : nullptr;
    if (!style) return;
    const QColor line = QColor::fromRgba(
        static_cast<QRgb>(style->styleHint(QStyle::SH_Table_GridLineColor, &option, option.widget)));
    // One-pixel fills along the cell's bottom and right edges: at any scale they cover the same
    // pixels as lines on the pixels' centres, without a pen to set up for every cell.
    const QRect& r = option.rect;
    painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), line);
    painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), line);
}

}  // namespace

PropSheetGridDelegate::PropSheetGridDelegate(VQPointAttributeEdit* editor, Placement placement,
                                             QObject* parent)
    : QStyledItemDelegate(parent), m_editor(editor), m_placement(std::move(placement)) {}

QSize PropSheetGridDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {0, twipsToPixels(kRowHeight)};
}

void PropSheetGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    QStyleOptionViewItem cell(option);
    cell.rect.adjust(0, 0, -1, -1);
    if (index.column() == columnSign) {
        paintSign(painter, cell.rect, index);
    } else {
        cell.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Selected);
        if (showsAsCurrent(option, index)) cell.state |= QStyle::State_Selected | QStyle::State_Active;
        QStyledItemDelegate::paint(painter, cell, index);
    }
    paintGridLines(painter, option);
}

QWidget* PropSheetGridDelegate::createEditor(QWidget*, const QStyleOptionViewItem&,
                                             const QModelIndex& index) const {
    m_editor->SetAttributeName(index.data(PropSheetGridModel::KeyRole).toString());
    m_open = true;
    return m_editor;
}

void PropSheetGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) const {
    editor->setGeometry(m_placement(index, option.rect));
}

void PropSheetGridDelegate::destroyEditor(QWidget* editor, const QModelIndex&) const {
    m_open = false;
    editor->hide();
}

// An editor being hidden is being closed already, by the view or by the sheet: hiding moves the
// focus, and the editor reports that it lost it.
void PropSheetGridDelegate::closeOpenEditor() {
    if (!m_open || m_editor->isHidden()) return;
    m_open = false;
    Q_EMIT closeEditor(m_editor, NoHint);
}

}  // namespace vq
