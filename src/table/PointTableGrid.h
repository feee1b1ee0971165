#pragma once

#include <QTableView>

#include <functional>

namespace vq {

// The point table's grid: a table view with the tag and server columns frozen at its left edge.
// A second view over those columns shares the model, the selection and the delegate, and follows
// the grid's rows and column widths; the grid keeps its current cell clear of it when scrolling
// sideways. Tab and Shift+Tab from an open editor go to a handler of the owner.
class PointTableGrid : public QTableView {
    Q_OBJECT
public:
    explicit PointTableGrid(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void setItemDelegate(QAbstractItemDelegate* delegate);
    void setRowHeight(int height);

    // The view over the frozen columns.
    QTableView* frozenView() const { return m_frozen; }
    // How many columns from the left stay in view.
    static constexpr int kFrozenColumns = 2;
    int frozenWidth() const;

    // Tab or Shift+Tab while an editor of the grid has the focus; true when handled.
    std::function<bool(bool next)> tabFromEditor;

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;
    bool focusNextPrevChild(bool next) override;

private:
    void setUpFrozen();
    void followSection(int logicalIndex, int oldSize, int newSize);
    void placeFrozen();
    void hideUnfrozenColumns();

    QTableView* m_frozen;
};

}  // namespace vq
