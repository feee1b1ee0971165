#include "archive/server/ArchiveWriteBatch.h"

#include "archive/server/ArchiveServer.h"
#include "core/Error.h"

namespace vq {

ArchiveWriteBatch::ArchiveWriteBatch(std::shared_ptr<ArchiveServer> server, const QString& kind,
                                     const QString& note)
    : m_server(std::move(server)), m_changes(*m_server, kind, note) {
    m_changes.collectWrites();
    m_server->setWriteBatch(this);
}

// The transaction goes first, undoing the writes, before the change set collecting them.
ArchiveWriteBatch::~ArchiveWriteBatch() {
    m_write.reset();
    m_server->setWriteBatch(nullptr);
}

// Only a write the batch collects begins it: a revert or an import collects its own, and its
// point writes belong to its write.
void ArchiveWriteBatch::beginPointWrite() {
    if (!m_write && m_server->collectingChanges() == &m_changes) m_write = m_server->storage().beginWrite();
}

qint64 ArchiveWriteBatch::commit() {
    if (!m_write) return 0;  // no point written since the last commit
    // Taken out first: a failure below drops it, which undoes this part, and the recorder has
    // let go of its changes already.
    const auto write = std::move(m_write);
    const qint64 id = m_changes.recordWithId();
    write->commit();
    return id;
}

SdkWriteBatchPtr ArchiveServer::beginWriteBatch(const QString& kind, const QString& note) {
    requireConnection(QStringLiteral("write points"));
    if (m_writeBatch)
        raise(errc::InvalidArgument,
              QStringLiteral("A write batch is open on server \"%1\" already; commit and close it before "
                             "beginning another")
                  .arg(m_name));
    return std::make_unique<ArchiveWriteBatch>(shared_from_this(), kind, note);
}

void ArchiveServer::joinWriteBatch() {
    if (m_writeBatch) m_writeBatch->beginPointWrite();
}

}  // namespace vq
