#pragma once

#include <QStyledItemDelegate>

namespace vq {

class PointTableModel;
class VQPointAttributeEdit;

// Paints the point table's cells by their state (blank where the point's class lacks the
// attribute, grey when read-only, bold on a tint when edited, red when invalid) and hands out the
// property sheet's attribute editor, bound to the row's entries and the column's attribute. The
// editor edits the entries itself: the delegate neither reads nor writes values, and closing the
// edit only hides the editor.
class PointTableDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    PointTableDelegate(VQPointAttributeEdit* editor, PointTableModel* model, QObject* parent);

    // Rows as high as the editor, so that it covers a cell exactly.
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

    bool isEditing() const { return m_open; }
    // The cell the editor was opened on.
    QPersistentModelIndex editedIndex() const { return m_index; }
    // Ends the open edit, if any, as the view's own closing would.
    void closeOpenEditor();

    // The row height for the editor's fixed height.
    static int rowHeight();

protected:
    // The editor ends its edit itself (Enter, Esc, focus loss), not on the view's keys.
    bool eventFilter(QObject*, QEvent*) override { return false; }

private:
    VQPointAttributeEdit* m_editor;
    PointTableModel* m_model;
    mutable bool m_open = false;
    mutable QPersistentModelIndex m_index;
};

}  // namespace vq
