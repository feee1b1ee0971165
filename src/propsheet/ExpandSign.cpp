#include "propsheet/ExpandSign.h"

#include <QPainter>

namespace vq {

namespace {

QPixmap paintSign(bool plus) {
    QPixmap pixmap(16, 15);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    // A 9 by 9 box centred in the picture, as tree views draw their branch signs.
    const QRect box(3, 3, 8, 8);
    painter.fillRect(box, Qt::white);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(box);
    painter.setPen(Qt::black);
    painter.drawLine(5, 7, 9, 7);
    if (plus) painter.drawLine(7, 5, 7, 9);
    return pixmap;
}

}  // namespace

const QPixmap& expandSignPixmap(bool collapsed) {
    static const QPixmap minus = paintSign(false);
    static const QPixmap plus = paintSign(true);
    return collapsed ? plus : minus;
}

}  // namespace vq
