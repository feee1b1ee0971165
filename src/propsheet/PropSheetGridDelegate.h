#pragma once

#include <QStyledItemDelegate>

#include <functional>

namespace vq {

class VQPointAttributeEdit;

// Paints the property sheet's cells in their own colours only (the current cell and the cell under
// the mouse get no highlight) with a grid line along their right and bottom edges; a category
// row's expand sign sits at the left edge of the narrow sign column, centred in its height.
// Editing a value hands out the sheet's one attribute editor, which edits the entry itself: the
// delegate neither reads nor writes values, and closing the edit only hides the editor.
class PropSheetGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // Where the editor goes for a value cell, from the cell's rectangle in the view's viewport.
    using Placement = std::function<QRect(const QModelIndex& index, const QRect& cell)>;

    PropSheetGridDelegate(VQPointAttributeEdit* editor, Placement placement, QObject* parent);

    // Rows of 275 twips, of which the grid line takes the last pixel.
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
    void setEditorData(QWidget*, const QModelIndex&) const override {}
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    // Ends the open edit, if any, as the view's own closing would.
    void closeOpenEditor();

protected:
    // The editor ends its edit itself (on Enter or losing the focus), not on the view's keys.
    bool eventFilter(QObject*, QEvent*) override { return false; }

private:
    VQPointAttributeEdit* m_editor;
    Placement m_placement;
    mutable bool m_open = false;
};

}  // namespace vq
