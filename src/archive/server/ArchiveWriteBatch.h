#pragma once

#include "archive/ArchiveExport.h"

#include "archive/server/ArchiveChangeRecorder.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkWriteBatch.h"

#include <memory>

namespace vq {

class ArchiveServer;

// Point writes of one server sharing a transaction and a change set. The transaction begins with
// the first point write, not with the batch, so an idle batch keeps no other writer waiting; each
// point write is a savepoint inside it (PointWriter), so a refused point undoes only itself.
class VQ_ARCHIVE_EXPORT ArchiveWriteBatch : public SdkWriteBatch {
public:
    ArchiveWriteBatch(std::shared_ptr<ArchiveServer> server, const QString& kind, const QString& note);
    ~ArchiveWriteBatch() override;
    ArchiveWriteBatch(const ArchiveWriteBatch&) = delete;
    ArchiveWriteBatch& operator=(const ArchiveWriteBatch&) = delete;

    qint64 commit() override;

    // Begins the batch's transaction unless a point write has begun it already.
    void beginPointWrite();

private:
    std::shared_ptr<ArchiveServer> m_server;
    ArchiveChangeRecorder m_changes;
    std::unique_ptr<ArchiveStorage::WriteScope> m_write;
};

}  // namespace vq
