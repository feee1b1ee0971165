#pragma once

#include <QtGlobal>

namespace vq {

class SqliteDatabase;

// The parts of an archive that point searches need beyond the points themselves: the alias and
// batch tables, and trigram indexes over tag and descriptor kept current by triggers. New
// archives get them at creation; archives made before, or with an older index, open with them
// added (or the index rebuilt) once.
class SqliteSearchSchema {
public:
    // The archive's schema version once the search schema is in place.
    static constexpr int Version = 3;

    // Adds whatever is missing, in one transaction; true when something was added.
    static bool ensure(SqliteDatabase& db);

    // For bulk loads inside one transaction: indexing every inserted point one by one costs
    // several times more than indexing the new points in one pass at the end. A rollback undoes
    // both. pauseIndexing returns the last point id before the load.
    static qint64 pauseIndexing(SqliteDatabase& db);
    static void resumeIndexing(SqliteDatabase& db, qint64 sinceId);
};

}  // namespace vq
