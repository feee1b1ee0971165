#include "servers/MultiServerPickListSelectForm.h"

#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "servers/MultiServerPickList.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vq {

namespace {
// A selected line this far below the top is scrolled up to this many lines below it.
constexpr int kScrollWhenBelow = 8;
constexpr int kLinesAboveSelection = 5;
}  // namespace

QString MultiServerPickListSelectForm::separatorLine() {
    return QString(kSeparatorLength, u'-');
}

MultiServerPickListSelectForm::MultiServerPickListSelectForm(QWidget* parent)
    : QDialog(parent),
      lstServerList(new QListWidget(this)),
      Label1(new QLabel(QStringLiteral("CTRL+Click or SHIFT+Click to Multi-Select"), this)),
      cmdOK(new QPushButton(QStringLiteral("OK"), this)),
      cmdCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setObjectName(QStringLiteral("MultiServerPickListSelectForm"));
    setWindowTitle(QStringLiteral("Multi-Server Pick List"));
    lstServerList->setObjectName(QStringLiteral("lstServerList"));
    Label1->setObjectName(QStringLiteral("Label1"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    lstServerList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstServerList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    cmdOK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1, 1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstServerList, 1);
    layout->addLayout(buttons);
    // Settled before it is first shown, as the dialog is placed by its size.
    resize(sizeHint().expandedTo(QSize(360, 240)));

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOKClick(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancelClick(); });
    connect(lstServerList, &QListWidget::itemDoubleClicked, this, [this] { cmdOKClick(); });
}

void MultiServerPickListSelectForm::addServerLine(const QString& name) {
    auto* item = new QListWidgetItem(name, lstServerList);
    item->setSelected(m_Control && m_Control->IsServerSelected(name));
}

void MultiServerPickListSelectForm::RefreshSelectForm(const SdkServers& servers) {
    lstServerList->clear();
    const std::vector<SdkServerPtr> all = servers.All();
    for (const SdkServerPtr& server : all)
        if (server->IsConnected()) addServerLine(server->Name());
    lstServerList->addItem(separatorLine());
    for (const SdkServerPtr& server : all)
        if (!server->IsConnected()) addServerLine(server->Name());
    lstServerList->scrollToTop();
    if (isVisible()) scrollToFirstSelected();
}

int MultiServerPickListSelectForm::topLine() const {
    const QModelIndex top = lstServerList->indexAt(QPoint(1, 1));
    return top.isValid() ? top.row() : 0;
}

void MultiServerPickListSelectForm::scrollToFirstSelected() {
    for (int row = 0; row < lstServerList->count(); ++row) {
        if (!lstServerList->item(row)->isSelected()) continue;
        if (row - topLine() > kScrollWhenBelow)
            lstServerList->scrollToItem(lstServerList->item(row - kLinesAboveSelection),
                                        QAbstractItemView::PositionAtTop);
        return;
    }
}

// The list has its size only once the form is shown, and scrolling needs it.
void MultiServerPickListSelectForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    scrollToFirstSelected();
}

void MultiServerPickListSelectForm::cmdOKClick() {
    reporting(QStringLiteral("MultiServerPickListSelectForm:cmdOKClick"), ReportLayout::Long, [this] {
        auto chosen = SdkNamedValues::create();
        for (int row = 0; row < lstServerList->count(); ++row) {
            const QListWidgetItem* item = lstServerList->item(row);
            if (!item->isSelected() || item->text().compare(separatorLine(), Qt::CaseInsensitive) == 0)
                continue;
            chosen->Add(item->text(), Variant(int16_t(0)));
        }
        if (chosen->Count() > 0 && m_Control) m_Control->SetSelectedServers(chosen);
    });
    hide();
}

void MultiServerPickListSelectForm::cmdCancelClick() {
    hide();
}

void MultiServerPickListSelectForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    cmdOKClick();
}

}  // namespace vq
