#include "table/PointTableReviewPane.h"

#include "core/Error.h"
#include "table/PointTableModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace vq {

namespace {

constexpr int kRowRole = Qt::UserRole + 1;
constexpr int kAttributeRole = Qt::UserRole + 2;

// Plural-aware counts, "1 point" and "2 points".
QString counted(int count, const QString& one, const QString& many) {
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

}  // namespace

PointTableReviewPane::PointTableReviewPane(PointTableModel* model, QWidget* parent)
    : QWidget(parent),
      m_model(model),
      m_list(new QTreeWidget(this)),
      m_summary(new QLabel(this)),
      m_drop(new QPushButton(QStringLiteral("&Drop"), this)) {
    setObjectName(QStringLiteral("PointTableReview"));
    m_list->setObjectName(QStringLiteral("Changes"));
    m_list->setAccessibleName(QStringLiteral("Pending changes"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setHeaderLabels({QStringLiteral("Server"), QStringLiteral("Tag"), QStringLiteral("Attribute"),
                             QStringLiteral("Before"), QStringLiteral("After")});
    m_list->header()->setStretchLastSection(true);
    m_list->setColumnWidth(ServerColumn, 90);
    m_list->setColumnWidth(TagColumn, 150);
    m_list->setColumnWidth(AttributeColumn, 110);
    m_list->setColumnWidth(BeforeColumn, 160);
    m_list->installEventFilter(this);
    m_summary->setObjectName(QStringLiteral("ReviewSummary"));
    m_drop->setObjectName(QStringLiteral("Drop"));
    m_drop->setToolTip(
        QStringLiteral("Puts the selected changes back to their values before edits (Delete)"));
    connect(m_drop, &QPushButton::clicked, this, &PointTableReviewPane::dropSelected);
    connect(m_list, &QTreeWidget::itemSelectionChanged, this,
            [this] { m_drop->setEnabled(!m_list->selectedItems().isEmpty()); });
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        Q_EMIT goToChange(item->data(0, kRowRole).toInt(), item->data(0, kAttributeRole).toString());
    });
    connect(model, &PointTableModel::pendingChanged, this, [this] {
        m_stale = true;
        if (isVisible()) refresh();
    });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(m_drop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    layout->addLayout(bottom);
}

QString PointTableReviewPane::summaryText() const {
    return counted(m_model->pendingPointCount(), QStringLiteral("point"), QStringLiteral("points")) +
           QStringLiteral(", ") +
           counted(m_model->pendingAttributeCount(), QStringLiteral("attribute"),
                   QStringLiteral("attributes")) +
           QStringLiteral(" will be written");
}

void PointTableReviewPane::refresh() {
    m_stale = false;
    const QTreeWidgetItem* current = m_list->currentItem();
    const int keptPosition = current ? m_list->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(current)) : 0;
    m_list->clear();
    for (const PointTableChange& change : m_model->pendingChanges()) addChange(change);
    m_summary->setText(summaryText());
    m_drop->setEnabled(false);
    // After a drop the next change becomes current, so Delete can go on dropping.
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(std::min(keptPosition, m_list->topLevelItemCount() - 1)));
}

void PointTableReviewPane::addChange(const PointTableChange& change) {
    auto* item = new QTreeWidgetItem(
        m_list, {change.server, change.tag, change.attribute, change.before, change.after});
    item->setData(0, kRowRole, change.row);
    item->setData(0, kAttributeRole, change.attribute);
    for (int column = 0; column < ColumnCount; ++column) item->setToolTip(column, item->text(column));
    if (change.valid) return;
    item->setText(AfterColumn, QStringLiteral("\u26A0 ") + change.after);
    item->setToolTip(AfterColumn, QStringLiteral("Invalid: ") + change.after);
    for (int column = 0; column < ColumnCount; ++column)
        item->setForeground(column, QColor(0xC0, 0x00, 0x00));
}

void PointTableReviewPane::dropSelected() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) return;
    std::vector<std::pair<int, QString>> drops;
    for (const QTreeWidgetItem* item : selected)
        drops.emplace_back(item->data(0, kRowRole).toInt(), item->data(0, kAttributeRole).toString());
    reporting(QStringLiteral("VQPointTable:DropChange"), ReportLayout::Short, [&] {
        for (const auto& [row, attribute] : drops) m_model->dropChange(row, attribute);
    });
    refresh();
}

void PointTableReviewPane::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_stale) refresh();
}

bool PointTableReviewPane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (m_list->selectedItems().isEmpty() && m_list->currentItem())
            m_list->currentItem()->setSelected(true);
        dropSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace vq
