// How the Point Builder window follows the server list while it runs: servers added or removed in
// a connection manager, by the point search's pick list or by another program.
#include "PointBuilderSettings.h"
#include "PointBuilderWindow.h"
#include "core/Error.h"
#include "core/MessageService.h"
#include "editors/VQCompressionSpecs.h"
#include "model/PropSheetEntries.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkServers.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace vq {

using namespace Qt::Literals::StringLiterals;

namespace {
const QString kUnlisted = u" (not in the server list)"_s;
}

void PointBuilderWindow::followServerList() {
    const SdkServersPtr servers =
        silently(SdkServersPtr(), [] { return SdkApplication::instance()->Servers(); });
    if (!servers) return;
    connect(servers.get(), &SdkServers::OnRemove, this, &PointBuilderWindow::serverRemoved);
    connect(servers.get(), &SdkServers::listChanged, this, &PointBuilderWindow::serverListChanged);
}

void PointBuilderWindow::serverListChanged() {
    fillServers();
    fillRecentMenu();
    refreshStatus();
}

// The open point's server left the list. Untouched, the point closes; edited, it stays with its
// edits until the user saves them (its archive stays where it is) or drops them.
void PointBuilderWindow::serverRemoved(const QString& name) {
    if (!m_entries || m_entries->Server()->Name().compare(name, Qt::CaseInsensitive) != 0) return;
    if (!m_entries->AreValuesEdited()) {
        closePoint();
        showSaveResult(u"Closed: %1 was removed from the server list"_s.arg(name));
        return;
    }
    refreshStatus();
    messageService().show(
        u"The server \"%1\" was removed from the server list.\r\n"
        u"The edits of %2 stay here: Save still writes them to its archive; "
        u"Revert or another point drops them."_s.arg(name, pointTitle()),
        MessageButtons::Ok, QString());
}

void PointBuilderWindow::closePoint() {
    disconnect(m_entries.get(), nullptr, this, nullptr);
    m_entries.reset();
    m_lastPending = nullptr;
    m_categorized->SetPropSheetEntries(nullptr);
    m_alphabetic->SetPropSheetEntries(nullptr);
    for (VQCompressionSpecs* panel : {m_compression, m_exception}) panel->SetPropSheetEntries(nullptr);
    for (QGroupBox* frame : {m_compressionFrame, m_exceptionFrame}) frame->setEnabled(false);
    for (QLabel* label : {m_lblEdited, m_lblInvalid}) label->clear();
    setWindowTitle(u"Point Builder[*]"_s);
    setWindowModified(false);
    refreshStatus();
}

// A recent point whose server left the list stays on the menu, disabled, until the server is back.
void PointBuilderWindow::markUnlistedRecentPoints() {
    const QList<RecentPoint> recent = m_settings->recentPoints();
    const QList<QAction*> entries = m_mnuRecent->actions();
    for (int i = 0; i < recent.size() && i < entries.size(); ++i) {
        const bool listed = isListed(recent[i].server);
        entries[i]->setEnabled(listed);
        if (!listed) entries[i]->setText(entries[i]->text() + kUnlisted);
    }
}

bool PointBuilderWindow::isListed(const QString& server) {
    return silently(false, [&] { return SdkApplication::instance()->Servers()->Contains(server); });
}

QString PointBuilderWindow::unlistedNote() const {
    return m_entries && !isListed(m_entries->Server()->Name()) ? kUnlisted : QString();
}

}  // namespace vq
