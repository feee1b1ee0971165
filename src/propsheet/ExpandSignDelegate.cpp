#include "propsheet/ExpandSignDelegate.h"

#include <QPainter>
#include <QPixmap>

namespace vq {

void ExpandSignDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    painter->fillRect(option.rect, index.data(Qt::BackgroundRole).value<QColor>());
    const QPixmap sign = index.data(Qt::DecorationRole).value<QPixmap>();
    if (sign.isNull()) return;
    const int top = option.rect.top() + (option.rect.height() - sign.height()) / 2;
    painter->drawPixmap(option.rect.left() + 1, top, sign);
}

}  // namespace vq
