#include "ServersPage.h"

#include "core/Error.h"
#include "platform/Twips.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServers.h"
#include "search/VQDigSetSearch.h"
#include "servers/MultiServerPickList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace vq {

namespace {
constexpr int kPickListWidth = 1500;  // twips: narrow, so that two names are abbreviated
}

ServersPage::ServersPage(QWidget* parent)
    : QWidget(parent),
      m_pickList(new MultiServerPickList),
      m_pickListRow(new QWidget),
      m_chosen(new QLabel),
      m_digSetSearch(new VQDigSetSearch) {
    m_pickList->SetEnabled(true);
    m_pickList->setFixedWidth(twipsToPixels(kPickListWidth));
    m_chosen->setForegroundRole(QPalette::PlaceholderText);
    connect(m_pickList, &MultiServerPickList::OnSelection, this,
            [this] { m_chosen->setText(QStringLiteral("OnSelection: ") + m_pickList->toolTip()); });
    auto* row = new QHBoxLayout(m_pickListRow);
    row->addWidget(new QLabel(QStringLiteral("Servers:")));
    row->addWidget(m_pickList);
    row->addWidget(m_chosen, 1);

    m_digSetSearch->SetMultiSelect(true);
    m_digSetSearch->SetCurrentServer(
        silently(SdkServerPtr(), [] { return SdkApplication::instance()->Servers()->DefaultServer(); }));
    m_digSetSearch->Reset();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pickListRow);
    layout->addWidget(m_digSetSearch, 1);
}

}  // namespace vq
