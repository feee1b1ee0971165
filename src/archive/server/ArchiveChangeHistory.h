#pragma once

#include "archive/storage/ArchiveHistoryRecords.h"
#include "sdk/SdkChangeHistory.h"

#include <QHash>

namespace vq {

class ArchiveServer;

// The archive's change history as a host reads it: change sets newest first, each listing only
// the points the logged-on user may read, and reverts that write the values before a change set
// back through the same checks as any edit.
class ArchiveChangeHistory : public SdkChangeHistory {
public:
    explicit ArchiveChangeHistory(std::shared_ptr<ArchiveServer> server) : m_server(std::move(server)) {}

    std::vector<SdkChangeSet> changeSets(const SdkHistoryFilter& filter) override;
    std::vector<SdkRevertResult> revert(qint64 changeId, bool force) override;

private:
    // Whether the logged-on user may read the point now: the read right of its access string.
    bool mayRead(qint64 pointId);
    SdkChangeSet shown(const ArchiveChangeRecord& record);
    SdkRevertResult revertPoint(const ArchiveChangeRecord& record,
                                const std::vector<ArchiveAttributeChange>& changes, bool force);
    QString changedSince(const ArchiveChangeRecord& record,
                         const std::vector<ArchiveAttributeChange>& changes);

    std::shared_ptr<ArchiveServer> m_server;
    QHash<qint64, bool> m_readable;  // for one call
};

}  // namespace vq
