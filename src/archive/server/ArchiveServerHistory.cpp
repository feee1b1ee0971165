// The archive server's change history: the interface a host reads and reverts through, pruning,
// and the switch that keeps an archive without history.
#include "archive/server/ArchiveChangeHistory.h"
#include "archive/server/ArchiveServer.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkErrors.h"

#include <QCoreApplication>

namespace vq {

namespace {

const QString historyFact = QStringLiteral("history");

}  // namespace

SdkChangeHistoryPtr ArchiveServer::changeHistory() {
    return std::make_shared<ArchiveChangeHistory>(shared_from_this());
}

qint64 ArchiveServer::pruneHistory(const QDateTime& before) {
    requireAdministrator(QStringLiteral("prune the change history"));
    return storage().pruneChangeSets(before);
}

bool ArchiveServer::recordsHistory() const {
    if (!m_recordsHistory) m_recordsHistory = storage().findFact(historyFact) != QStringLiteral("off");
    return *m_recordsHistory;
}

void ArchiveServer::setRecordsHistory(bool on) {
    requireAdministrator(QStringLiteral("switch the change history on or off"));
    const auto write = storage().beginWrite();
    storage().setFact(historyFact, on ? QStringLiteral("on") : QStringLiteral("off"));
    write->commit();
    m_recordsHistory = on;
}

QString ArchiveServer::programName() const {
    return m_program.isEmpty() ? QCoreApplication::applicationName() : m_program;
}

void ArchiveServer::requireAdministrator(const QString& what) const {
    requireConnection(what);
    if (!groupsOf(m_user).contains(QStringLiteral("vqadmin"), Qt::CaseInsensitive))
        raise(
            sdkerr::AttributesRefused,
            QStringLiteral("Only members of the group \"vqadmin\" may %1 on server \"%2\"; \"%3\" is not one")
                .arg(what, m_name, m_user));
}

}  // namespace vq
