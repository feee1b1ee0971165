#pragma once

#include <QString>

namespace vq {
class ArchiveServer;
}

namespace vq::test {

// Replaces the rows the point search reads (points, archived values, classes, digital states,
// aliases and batches) of the PostgreSQL archive at `uri`, made for the same classes, by those of
// an SQLite archive, so that both hold the same points with the same ids and times.
void copyToPostgres(ArchiveServer& from, const QString& uri);

}  // namespace vq::test
