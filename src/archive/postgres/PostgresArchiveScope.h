#pragma once

// The PostgreSQL engine's write scope, for the files that make up PostgresArchiveStorage.

#include "archive/postgres/PostgresArchiveSchema.h"
#include "archive/postgres/PostgresArchiveStorage.h"

#include <QScopeGuard>

namespace vq {

// A transaction, or a savepoint inside one. The outermost scope takes the archive's write lock
// first, so what it reads afterwards is what no other writer is changing.
// A connection lost before the write begins is made anew; one lost inside it never is, as the
// transaction went with it.
class PostgresArchiveStorage::Scope : public ArchiveStorage::WriteScope {
public:
    explicit Scope(PostgresArchiveStorage& storage) : m_storage(storage), m_depth(storage.m_depth + 1) {
        if (m_depth == 1) m_storage.reconnectIfLost();
        m_storage.m_depth = m_depth;
        try {
            if (m_depth == 1) {
                m_storage.run(QStringLiteral("starting a write"), "BEGIN");
                m_storage.run(QStringLiteral("waiting for other writers"), "SELECT pg_advisory_xact_lock($1)",
                              {pg::Param::integer(PostgresArchiveSchema::WriteLock)});
            } else {
                m_storage.run(QStringLiteral("starting a write"), "SAVEPOINT " + savepoint());
            }
        } catch (...) {
            m_storage.m_depth = m_depth - 1;
            if (m_depth == 1) m_storage.rollBack();
            throw;
        }
    }

    ~Scope() override {
        if (m_done) return;
        m_storage.m_depth = m_depth - 1;
        m_storage.dropDeferredRecords(m_depth);
        try {
            if (m_depth == 1)
                m_storage.m_connection->execScript("ROLLBACK");
            else
                m_storage.m_connection->execScript("ROLLBACK TO SAVEPOINT " + savepoint() +
                                                   "; RELEASE SAVEPOINT " + savepoint());
        } catch (const pg::Failure&) {
            // A lost connection undoes the transaction by itself.
        }
    }

    void commit() override {
        m_storage.m_committing = m_depth == 1;
        const auto sent = qScopeGuard([this] { m_storage.m_committing = false; });
        if (m_depth == 1)
            m_storage.commitWithRecords();
        else
            m_storage.run(QStringLiteral("keeping a write"), "RELEASE SAVEPOINT " + savepoint());
        m_storage.keepDeferredRecords(m_depth);
        m_done = true;
        m_storage.m_depth = m_depth - 1;
    }

private:
    QByteArray savepoint() const { return "vq_write_" + QByteArray::number(m_depth); }

    PostgresArchiveStorage& m_storage;
    int m_depth;
    bool m_done = false;
};

}  // namespace vq
