// The open point's change history: File > History... lists its change sets, and "Restore these
// values" loads the values before one of them as edits. Only the server library's history
// interface is used, so any server that keeps a history serves, and one that keeps none says so.
#include "PointBuilderMessages.h"
#include "PointBuilderWindow.h"
#include "PointHistoryDialog.h"
#include "core/Error.h"
#include "model/PropSheetEntries.h"
#include "model/PropSheetEntry.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkServer.h"

#include <QAction>

namespace vq {

using namespace Qt::Literals::StringLiterals;

namespace {

// Reading the history needs a log-on, as a save does; a cancelled log-on window ends the read.
void logOnForHistory(SdkServerPtr server) {
    if (!server->IsConnected())
        SdkConnectDialog::create()->Logon(server, u"vqadmin"_s, QString(), true, false);
}

}  // namespace

SdkChangeHistoryPtr PointBuilderWindow::openPointHistory() const {
    if (!m_entries || m_entries->Mode() != modeEditPoint) return nullptr;
    return silently(SdkChangeHistoryPtr(), [this] { return m_entries->Server()->changeHistory(); });
}

void PointBuilderWindow::updateHistoryAction() {
    const bool stored = m_entries && m_entries->Mode() == modeEditPoint;
    const QString server = m_entries ? m_entries->Server()->Name() : QString();
    const QString why = PointHistoryDialog::unavailableText(server, stored, openPointHistory());
    QAction* history = action(u"actHistory"_s);
    history->setEnabled(why.isEmpty());
    history->setToolTip(why.isEmpty() ? u"Shows who changed the open point, when, and from what to what"_s
                                      : why);
    history->setStatusTip(history->toolTip());
}

bool PointBuilderWindow::showHistory() {
    const SdkChangeHistoryPtr history = openPointHistory();
    if (!history) return false;
    const PointBuilderMessages::Doing doing(u"reading the history of %1"_s.arg(pointTitle()));
    const SdkPointPtr point = m_entries->Point();
    std::optional<std::vector<SdkChangeSet>> sets = reporting(
        u"PointBuilderWindow:History"_s, ReportLayout::Long, std::optional<std::vector<SdkChangeSet>>(), [&] {
            logOnForHistory(m_entries->Server());
            SdkHistoryFilter filter;
            filter.tag = point->Name();
            return std::optional(history->changeSets(filter));
        });
    if (!sets) return false;
    PointHistoryDialog dialog(pointTitle(), point->PointID(), std::move(*sets), this);
    if (dialog.exec() != QDialog::Accepted) return false;
    return restoreValues(*dialog.chosenSet(), dialog.chosenChanges());
}

// The values go in as if typed: the sheets mark them edited, and Save writes them with its checks.
bool PointBuilderWindow::restoreValues(const SdkChangeSet& set,
                                       const std::vector<SdkAttributeChange>& changes) {
    QStringList restored, skipped;
    const bool done = reporting(u"PointBuilderWindow:Restore"_s, ReportLayout::Long, false, [&] {
        for (const SdkAttributeChange& change : changes) {
            const PropSheetEntryPtr entry = m_entries->find(change.attribute);
            if (!entry || entry->GetReadOnly()) {
                skipped << change.attribute;
                continue;
            }
            // Stored text reads back as typed text would: numbers compare as numbers, and the only
            // dates are the archive's own stamps, which are read-only.
            entry->SetValue(Variant(change.before), change.attribute);
            restored << change.attribute;
        }
        return true;
    });
    const QString when = set.time.toLocalTime().toString(u"yyyy-MM-dd HH:mm:ss"_s);
    QString text = restored.isEmpty() ? u"Nothing restored from %1 (%2)"_s.arg(when, set.user)
                                      : u"Restored %1 from %2 (%3); review and save"_s.arg(
                                            restored.join(u", "_s), when, set.user);
    if (!skipped.isEmpty()) text += u"; not restored (read-only): %1"_s.arg(skipped.join(u", "_s));
    showSaveResult(text);
    refreshStatus();
    return done && !restored.isEmpty();
}

}  // namespace vq
