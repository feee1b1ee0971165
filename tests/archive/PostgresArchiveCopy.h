#pragma once

#include <QString>

namespace vq {
class ArchiveServer;
}

namespace vq::test {

// A PostgreSQL database made for one test program and dropped when it ends; its URI leads to it.
class PostgresTestDatabase {
public:
    // Makes the database on the server of VQ_TEST_POSTGRES_URI; raises when that is not set or
    // the server cannot be reached, so a test that needs it fails rather than passing unseen.
    PostgresTestDatabase();
    ~PostgresTestDatabase();
    PostgresTestDatabase(const PostgresTestDatabase&) = delete;
    PostgresTestDatabase& operator=(const PostgresTestDatabase&) = delete;

    const QString& uri() const { return m_uri; }

private:
    QString m_serverUri;
    QString m_name;
    QString m_uri;
};

// Copies the rows the point search reads (points, archived values, classes, digital states,
// aliases and batches) from an SQLite archive into the PostgreSQL archive tables at `uri`,
// making them first, so that both archives hold the same points with the same ids and times.
void copyToPostgres(ArchiveServer& from, const QString& uri);

}  // namespace vq::test
