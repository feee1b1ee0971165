#include "servers/MultiServerPickListMenuForm.h"

#include "core/Error.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "servers/MultiServerPickList.h"

#include <QAction>
#include <QMenu>

namespace vq {

MultiServerPickListMenuForm::MultiServerPickListMenuForm(QWidget* parent)
    : QWidget(parent), mnuMultiServerSelect(new QMenu(QStringLiteral("Select Server"), this)) {
    setObjectName(QStringLiteral("MultiServerPickListMenuForm"));
    setWindowTitle(QStringLiteral("Multi Server Select Pop-up Menu"));
    mnuMultiServerSelect->setObjectName(QStringLiteral("mnuMultiServerSelect"));
    mnuSearchAllConnected = mnuMultiServerSelect->addAction(QStringLiteral("Select All Connected"));
    mnuSearchAllConnected->setObjectName(QStringLiteral("mnuSearchAllConnected"));
    connect(mnuSearchAllConnected, &QAction::triggered, this, [this] { mnuSearchAllConnectedClick(); });
    // The first server item exists from the start; the others come and go with the server list.
    serverItem(0)->setVisible(false);
}

QAction* MultiServerPickListMenuForm::serverItem(size_t index) {
    while (mnuServerArray.size() <= index) {
        const int itemIndex = int(mnuServerArray.size());
        QAction* item = mnuMultiServerSelect->addAction(QString());
        item->setObjectName(QStringLiteral("mnuServerArray%1").arg(itemIndex));
        connect(item, &QAction::triggered, this, [this, itemIndex] { mnuServerArrayClick(itemIndex); });
        mnuServerArray.push_back(item);
    }
    QAction* item = mnuServerArray[index];
    item->setVisible(true);
    return item;
}

void MultiServerPickListMenuForm::RefreshMenu(const SdkServers& servers) {
    size_t used = 0;
    const std::vector<SdkServerPtr> all = servers.All();
    auto addServer = [&](const SdkServerPtr& server) {
        QAction* item = serverItem(used++);
        item->setSeparator(false);
        item->setText(server->Name());
    };
    for (const SdkServerPtr& server : all)
        if (server->IsConnected()) addServer(server);
    if (std::any_of(all.begin(), all.end(),
                    [](const SdkServerPtr& server) { return !server->IsConnected(); })) {
        // The "-" item of the menu is a separator line; it has no text of its own to show.
        QAction* separator = serverItem(used++);
        separator->setText(QString());
        separator->setSeparator(true);
        for (const SdkServerPtr& server : all)
            if (!server->IsConnected()) addServer(server);
    }
    while (mnuServerArray.size() > std::max<size_t>(used, 1)) {
        delete mnuServerArray.back();
        mnuServerArray.pop_back();
    }
    // With no server at all, the first item has nothing to offer.
    if (used == 0) mnuServerArray.front()->setVisible(false);
}

void MultiServerPickListMenuForm::popup(const QPoint& globalPosition) {
    mnuMultiServerSelect->exec(globalPosition);
}

void MultiServerPickListMenuForm::mnuServerArrayClick(int index) {
    reporting(QStringLiteral("MultiServerPickListMenuForm:mnuServerArrayClick"), ReportLayout::Long, [&] {
        const QString caption = mnuServerArray.at(size_t(index))->text();
        const SdkServerPtr server = SdkApplication::instance()->Servers()->Item(caption);
        auto chosen = SdkNamedValues::create();
        chosen->Add(server->Name(), Variant(int16_t(0)));
        if (m_Control) m_Control->SetSelectedServers(chosen);
    });
}

void MultiServerPickListMenuForm::mnuSearchAllConnectedClick() {
    reporting(QStringLiteral("MultiServerPickListMenuForm:mnuSearchAllConnectedClick"), ReportLayout::Long,
              [&] {
                  auto chosen = SdkNamedValues::create();
                  for (const SdkServerPtr& server : SdkApplication::instance()->Servers()->All())
                      if (server->IsConnected()) chosen->Add(server->Name(), Variant(int16_t(0)));
                  if (m_Control) m_Control->SetSelectedServers(chosen);
              });
}

}  // namespace vq
