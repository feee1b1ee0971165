#pragma once

#include <QStyledItemDelegate>

namespace vq {

// Paints the property sheet's cells in their own colours only: the current cell and the cell under
// the mouse get no highlight, and a category row's expand sign sits at the left edge of the narrow
// sign column, centred in its height, without the margins a decoration normally gets.
class PropSheetGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

}  // namespace vq
