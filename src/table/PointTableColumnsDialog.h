#pragma once

#include <QDialog>
#include <QStringList>

#include <utility>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace vq {

// The column chooser: every attribute of the rows' classes under its category, checked when it is
// shown. The columns kept stay in their order and the newly checked ones follow in the order of
// the list; "Default" checks the default set again.
class PointTableColumnsDialog : public QDialog {
    Q_OBJECT
public:
    using Groups = std::vector<std::pair<QString, QStringList>>;

    PointTableColumnsDialog(const Groups& groups, const QStringList& columns, const QStringList& defaults,
                            QWidget* parent = nullptr);

    // The columns as checked now.
    QStringList columns() const;
    // Checks exactly `attributes`, in that order.
    void setColumns(const QStringList& attributes);
    // The attribute's item, for tests and for the keyboard.
    QTreeWidgetItem* itemOf(const QString& attribute) const;

private:
    void fill(const Groups& groups, const QStringList& columns);
    void noteCheck(QTreeWidgetItem* item);

    QTreeWidget* m_tree;
    QStringList m_defaults;
    QStringList m_order;  // the checked attributes in the order they will show
};

}  // namespace vq
