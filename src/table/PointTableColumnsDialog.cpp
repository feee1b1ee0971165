#include "table/PointTableColumnsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vq {

namespace {

const QString kOther = QStringLiteral("Other");

bool isAttribute(const QTreeWidgetItem* item) {
    return item && item->parent();
}

}  // namespace

PointTableColumnsDialog::PointTableColumnsDialog(const Groups& groups, const QStringList& columns,
                                                 const QStringList& defaults, QWidget* parent)
    : QDialog(parent), m_tree(new QTreeWidget(this)), m_defaults(defaults) {
    setObjectName(QStringLiteral("PointTableColumns"));
    setWindowTitle(QStringLiteral("Columns"));
    m_tree->setObjectName(QStringLiteral("Attributes"));
    m_tree->setHeaderHidden(true);
    m_tree->setAccessibleName(QStringLiteral("Attributes by category"));
    auto* label = new QLabel(QStringLiteral("&Attributes shown as columns (Space checks or clears):"), this);
    label->setBuddy(m_tree);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* reset = buttons->addButton(QStringLiteral("&Default"), QDialogButtonBox::ResetRole);
    reset->setObjectName(QStringLiteral("Default"));
    connect(reset, &QPushButton::clicked, this, [this] { setColumns(m_defaults); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_tree);
    layout->addWidget(buttons);
    resize(360, 480);
    fill(groups, columns);
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) { noteCheck(item); });
}

// Names the rows' classes do not have (a column kept from another table) are listed under "Other",
// so that they can be cleared.
void PointTableColumnsDialog::fill(const Groups& groups, const QStringList& columns) {
    QStringList listed;
    auto addGroup = [this, &listed](const QString& category, const QStringList& attributes) {
        auto* group = new QTreeWidgetItem(m_tree, {category});
        group->setFlags(Qt::ItemIsEnabled);
        for (const QString& attribute : attributes) {
            auto* item = new QTreeWidgetItem(group, {attribute});
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
            listed << attribute;
        }
        group->setExpanded(true);
    };
    for (const auto& [category, attributes] : groups) addGroup(category, attributes);
    QStringList others;
    for (const QString& column : columns + m_defaults)
        if (!listed.contains(column, Qt::CaseInsensitive) && !others.contains(column, Qt::CaseInsensitive))
            others << column;
    if (!others.isEmpty()) addGroup(kOther, others);
    setColumns(columns);
    if (QTreeWidgetItem* first = m_tree->topLevelItem(0)) m_tree->setCurrentItem(first->child(0));
}

QTreeWidgetItem* PointTableColumnsDialog::itemOf(const QString& attribute) const {
    for (QTreeWidgetItem* item : m_tree->findItems(attribute, Qt::MatchFixedString | Qt::MatchRecursive))
        if (isAttribute(item)) return item;
    return nullptr;
}

void PointTableColumnsDialog::setColumns(const QStringList& attributes) {
    const QSignalBlocker quiet(m_tree);
    for (int g = 0; g < m_tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = m_tree->topLevelItem(g);
        for (int i = 0; i < group->childCount(); ++i) group->child(i)->setCheckState(0, Qt::Unchecked);
    }
    m_order.clear();
    for (const QString& attribute : attributes) {
        QTreeWidgetItem* item = itemOf(attribute);
        if (!item || m_order.contains(item->text(0))) continue;
        item->setCheckState(0, Qt::Checked);
        m_order << item->text(0);
    }
}

void PointTableColumnsDialog::noteCheck(QTreeWidgetItem* item) {
    if (!isAttribute(item)) return;
    const QString name = item->text(0);
    if (item->checkState(0) == Qt::Checked) {
        if (!m_order.contains(name)) m_order << name;
    } else {
        m_order.removeAll(name);
    }
}

QStringList PointTableColumnsDialog::columns() const {
    return m_order;
}

}  // namespace vq
