#include "propsheet/PropSheetGridDelegate.h"

#include <QPainter>
#include <QPixmap>

namespace vq {

namespace {

constexpr int kSignColumn = 2;

void paintSign(QPainter* painter, const QRect& cell, const QModelIndex& index) {
    painter->fillRect(cell, index.data(Qt::BackgroundRole).value<QColor>());
    const QPixmap sign = index.data(Qt::DecorationRole).value<QPixmap>();
    if (!sign.isNull())
        painter->drawPixmap(cell.left() + 1, cell.top() + (cell.height() - sign.height()) / 2, sign);
}

}  // namespace

void PropSheetGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    if (index.column() == kSignColumn) return paintSign(painter, option.rect, index);
    QStyleOptionViewItem plain(option);
    plain.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver | QStyle::State_Selected);
    QStyledItemDelegate::paint(painter, plain, index);
}

}  // namespace vq
