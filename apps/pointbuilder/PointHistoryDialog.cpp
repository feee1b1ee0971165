#include "PointHistoryDialog.h"

#include "platform/Twips.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vq {

using namespace Qt::Literals::StringLiterals;

namespace {

QTreeWidget* listOf(const QString& name, const QStringList& columns) {
    auto* list = new QTreeWidget;
    list->setObjectName(name);
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->header()->setStretchLastSection(true);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

QString attributeNames(const std::vector<SdkAttributeChange>& changes) {
    QStringList names;
    for (const SdkAttributeChange& change : changes) names << change.attribute;
    return names.join(u", "_s);
}

// An edit says nothing a reader needs beyond its attributes; other kinds (import, revert) do.
QString noteOf(const SdkChangeSet& set) {
    if (!set.note.isEmpty()) return set.note;
    return set.kind == u"edit" ? QString() : set.kind;
}

}  // namespace

PointHistoryDialog::PointHistoryDialog(const QString& title, qint64 pointId, std::vector<SdkChangeSet> sets,
                                       QWidget* parent)
    : QDialog(parent), m_pointId(pointId), m_sets(std::move(sets)) {
    setObjectName(u"dlgPointHistory"_s);
    setWindowTitle(u"History of %1"_s.arg(title));
    m_lblPoint = new QLabel;
    m_lblPoint->setObjectName(u"lblPoint"_s);
    m_lblPoint->setTextFormat(Qt::PlainText);
    m_lblPoint->setText(m_sets.empty() ? u"No changes of %1 are recorded."_s.arg(title)
                                       : u"&Changes of %1, newest first:"_s.arg(title));
    m_lstChangeSets =
        listOf(u"lstChangeSets"_s, {u"Time"_s, u"User"_s, u"Attributes"_s, u"Program"_s, u"Note"_s});
    m_lstAttributes = listOf(u"lstAttributes"_s, {u"Attribute"_s, u"Before"_s, u"After"_s});
    m_lblPoint->setBuddy(m_lstChangeSets);
    m_cmdRestore = new QPushButton(u"&Restore these values"_s);
    m_cmdRestore->setObjectName(u"cmdRestore"_s);
    m_cmdRestore->setDefault(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->addButton(m_cmdRestore, QDialogButtonBox::AcceptRole);
    // Enter restores wherever the focus is; a focused Close would otherwise take it over.
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_lstChangeSets, &QTreeWidget::currentItemChanged, this, [this] { showChosen(); });

    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_lstChangeSets);
    split->addWidget(m_lstAttributes);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblPoint);
    layout->addWidget(split, 1);
    layout->addWidget(buttons);
    resize(twipsToPixels(QSize(10000, 6000)));
    fillChangeSets();
    m_lstChangeSets->setFocus();
}

void PointHistoryDialog::fillChangeSets() {
    for (const SdkChangeSet& set : m_sets) {
        const SdkPointChange* point = pointChange(set);
        const QString changed = point ? attributeNames(point->attributes) : QString();
        new QTreeWidgetItem(m_lstChangeSets, {set.time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s),
                                              set.user, changed, set.program, noteOf(set)});
    }
    m_lstChangeSets->setCurrentItem(m_lstChangeSets->topLevelItem(0));
    showChosen();
}

void PointHistoryDialog::showChosen() {
    m_lstAttributes->clear();
    const std::vector<SdkAttributeChange> changes = chosenChanges();
    for (const SdkAttributeChange& change : changes)
        new QTreeWidgetItem(m_lstAttributes, {change.attribute, change.before, change.after});
    const bool created = createdThePoint(changes);
    m_cmdRestore->setEnabled(!changes.empty() && !created);
    m_cmdRestore->setToolTip(created ? u"This change created the point: there are no values before it"_s
                                     : u"Loads the values before this change as edits; Save writes them"_s);
}

const SdkChangeSet* PointHistoryDialog::chosenSet() const {
    const int row = m_lstChangeSets->indexOfTopLevelItem(m_lstChangeSets->currentItem());
    return row < 0 ? nullptr : &m_sets[size_t(row)];
}

const SdkPointChange* PointHistoryDialog::pointChange(const SdkChangeSet& set) const {
    for (const SdkPointChange& point : set.points)
        if (point.pointId == m_pointId) return &point;
    return nullptr;
}

std::vector<SdkAttributeChange> PointHistoryDialog::chosenChanges() const {
    const SdkChangeSet* set = chosenSet();
    const SdkPointChange* point = set ? pointChange(*set) : nullptr;
    return point ? point->attributes : std::vector<SdkAttributeChange>();
}

QString PointHistoryDialog::unavailableText(const QString& serverName, bool pointStored,
                                            const SdkChangeHistoryPtr& history) {
    if (!pointStored) return u"Open a stored point to see its history"_s;
    if (!history) return u"The server %1 keeps no change history"_s.arg(serverName);
    return {};
}

bool PointHistoryDialog::createdThePoint(const std::vector<SdkAttributeChange>& changes) {
    for (const SdkAttributeChange& change : changes)
        if (change.attribute.compare(u"Tag", Qt::CaseInsensitive) == 0 && change.before.isEmpty())
            return true;
    return false;
}

}  // namespace vq
