#pragma once

#include <QStyledItemDelegate>

namespace vq {

// Draws a category row's expand sign in the narrow sign column: on the cell's background, at the
// cell's left edge and centred in its height, without the margins a decoration normally gets.
class ExpandSignDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace vq
