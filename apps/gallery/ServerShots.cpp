#include "ServerShots.h"

#include "DialogShots.h"
#include "ServersPage.h"
#include "core/Error.h"
#include "platform/FormRegistry.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"
#include "servers/ConnectionManagerWindow.h"
#include "servers/MultiServerPickList.h"
#include "servers/MultiServerPickListMenuForm.h"
#include "servers/MultiServerPickListSelectForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeView>

#include <cstdio>

namespace vq {

namespace {

void connectServers(const QStringList& names) {
    for (const QString& name : names)
        SdkApplication::instance()->Servers()->Item(name)->Open(QStringLiteral("vqadmin"), QString());
}

void chooseTwoServers(MultiServerPickList* pickList) {
    auto chosen = SdkNamedValues::create();
    chosen->Add(QStringLiteral("vqsouth"), Variant(int16_t(0)));
    chosen->Add(QStringLiteral("vqlegacy"), Variant(int16_t(0)));
    pickList->SetSelectedServers(chosen);
}

bool saveSelectDialog(const QString& folder) {
    auto* dialog = static_cast<MultiServerPickListSelectForm*>(
        FormRegistry::current().find(QStringLiteral("MultiServerPickListSelectForm")));
    dialog->RefreshSelectForm(*SdkApplication::instance()->Servers());
    dialog->show();
    const bool saved = saveWidgetPicture(dialog, folder, "picklist-dialog.png");
    dialog->hide();
    return saved;
}

bool saveMenu(const QString& folder) {
    auto* form = static_cast<MultiServerPickListMenuForm*>(
        FormRegistry::current().find(QStringLiteral("MultiServerPickListMenuForm")));
    form->RefreshMenu(*SdkApplication::instance()->Servers());
    form->menu()->popup(QPoint(100, 100));
    const bool saved = saveWidgetPicture(form->menu(), folder, "picklist-menu.png");
    form->menu()->hide();
    return saved;
}

// "OPEN" or "AUTO", with the states of Modes on show.
bool saveDigSetSearch(VQDigSetSearch* search, const QString& folder) {
    search->findChild<QComboBox*>(QStringLiteral("cboCondition1"))->setCurrentIndex(1);
    search->findChild<QLineEdit*>(QStringLiteral("txtDigState1"))->setText(QStringLiteral("OPEN"));
    search->findChild<QLineEdit*>(QStringLiteral("txtDigState2"))->setText(QStringLiteral("AUTO"));
    search->findChild<QPushButton*>(QStringLiteral("cmdSearch"))->click();
    auto* sets = search->findChild<QTreeView*>(QStringLiteral("lvDigSets"));
    for (int row = 0; row < sets->model()->rowCount(); ++row) {
        const QModelIndex index = sets->model()->index(row, 0);
        if (index.data().toString() == QStringLiteral("Modes")) sets->setCurrentIndex(index);
    }
    return saveWidgetPicture(search, folder, "digset-search.png");
}

// Both pages of the point search after searching the three sample servers.
bool saveTagSearch(const QString& folder) {
    VQTagSearch search;
    search.resize(900, 640);
    auto all = SdkNamedValues::create();
    for (const char* name : {"vqsouth", "vqnorth", "vqlegacy"})
        all->Add(QString::fromLatin1(name), Variant(int16_t(0)));
    search.SetSelectedServers(all);
    search.show();
    search.SetTagMask(QStringLiteral("B01-F*"));
    search.findChild<QPushButton*>(QStringLiteral("cmdSearch"))->click();
    bool saved = saveWidgetPicture(&search, folder, "tagsearch-simple.png");
    search.SetTagSearchView(1);
    search.SetSQLTableComboIndex(4);      // VQcomp
    search.SetSQLColumnComboIndex(3);     // Value
    search.SetSQLConditionComboIndex(2);  // >
    search.SetAdvancedSQLValue(QStringLiteral("900"));
    search.findChild<QPushButton*>(QStringLiteral("cmdAddWhereClause"))->click();
    search.findChild<QPushButton*>(QStringLiteral("cmdSearch"))->click();
    return saveWidgetPicture(&search, folder, "tagsearch-advanced.png") && saved;
}

bool saveConnectionManager(const QString& folder) {
    ConnectionManagerWindow window(SdkApplication::instance()->Servers());
    window.selectServer(QStringLiteral("vqnorth"));
    window.show();
    return saveWidgetPicture(&window, folder, "connections.png");
}

}  // namespace

bool saveWidgetPicture(QWidget* widget, const QString& folder, const char* name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(QString::fromLatin1(name));
    if (widget->grab().save(path, "PNG")) return true;
    std::fprintf(stderr, "vqgallery: cannot write %s\n", qPrintable(path));
    return false;
}

int saveServerShots(const QString& folder) {
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "vqgallery: cannot make the folder %s\n", qPrintable(folder));
        return 1;
    }
    connectServers({QStringLiteral("vqsouth"), QStringLiteral("vqlegacy")});
    ServersPage page;
    page.resize(720, 560);
    chooseTwoServers(page.pickList());
    page.show();
    page.digSetSearch()->setFocus();  // the pick list as it looks without the focus
    bool saved = saveWidgetPicture(page.pickListRow(), folder, "picklist.png");
    saved = saveSelectDialog(folder) && saved;
    saved = saveMenu(folder) && saved;
    saved = saveDigSetSearch(page.digSetSearch(), folder) && saved;
    saved = saveConnectionManager(folder) && saved;
    saved = saveTagSearch(folder) && saved;
    saved = saveDialogShots(folder) && saved;
    return saved ? 0 : 1;
}

}  // namespace vq
