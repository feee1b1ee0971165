#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vq {

class PointTableModel;
struct PointTableChange;

// The review of a point table's pending changes: one line per changed attribute of a point
// (server, tag, attribute, before, after), invalid ones first and marked; "Drop" or Delete puts
// the selected changes back; a line says how much a save will write. It follows the model while
// it is shown and catches up when shown again.
class PointTableReviewPane : public QWidget {
    Q_OBJECT
public:
    enum Column { ServerColumn, TagColumn, AttributeColumn, BeforeColumn, AfterColumn, ColumnCount };

    explicit PointTableReviewPane(PointTableModel* model, QWidget* parent = nullptr);

    QTreeWidget* list() const { return m_list; }
    // "12 points, 30 attributes will be written".
    QString summaryText() const;
    // Drops the selected changes from the table's edits.
    void dropSelected();
    // Lists the changes again.
    void refresh();

Q_SIGNALS:
    // The user asked to go to a change's cell (Enter or a double-click).
    void goToChange(int row, const QString& attribute);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addChange(const PointTableChange& change);

    PointTableModel* m_model;
    QTreeWidget* m_list;
    QLabel* m_summary;
    QPushButton* m_drop;
    bool m_stale = true;
};

}  // namespace vq
