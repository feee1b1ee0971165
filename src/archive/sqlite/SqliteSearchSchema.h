#pragma once

#include <QtGlobal>

namespace vq {

class SqliteDatabase;

// The parts of an archive that point searches need beyond the points themselves: the alias and
// batch tables, and trigram indexes over tag and descriptor kept current by triggers. An
// ArchiveMigrations step: it replaces the older index and adds whatever else is missing.
class SqliteSearchSchema {
public:
    // Runs inside the caller's write transaction.
    static void install(SqliteDatabase& db);

    // For bulk loads inside one transaction: indexing every inserted point one by one costs
    // several times more than indexing the new points in one pass at the end. A rollback undoes
    // both. pauseIndexing returns the last point id before the load.
    static qint64 pauseIndexing(SqliteDatabase& db);
    static void resumeIndexing(SqliteDatabase& db, qint64 sinceId);
};

}  // namespace vq
