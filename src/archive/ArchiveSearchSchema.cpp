#include "ArchiveSearchSchema.h"

#include "ArchiveDatabase.h"

namespace vq {

namespace {

const char* const kInsertTrigger =
    "CREATE TRIGGER IF NOT EXISTS points_text_insert AFTER INSERT ON points BEGIN"
    " INSERT INTO points_text(rowid, Tag, Descriptor) VALUES(new.point_id, new.\"Tag\", new.\"Descriptor\"); "
    "END;";

// The trigram index folds case itself and holds no copy of the texts: it reads them from the
// point table when it must.
const char* const kSearchSchema =
    "CREATE TABLE IF NOT EXISTS aliases(point_id INTEGER NOT NULL, alias TEXT NOT NULL, unit TEXT,"
    " PRIMARY KEY(point_id, alias)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS batches(batch_id TEXT NOT NULL, point_id INTEGER, unit TEXT, product TEXT,"
    " start_time REAL, end_time REAL);"
    "CREATE VIRTUAL TABLE IF NOT EXISTS points_text USING fts5(Tag, Descriptor, content='points', "
    "content_rowid='point_id',"
    " tokenize='trigram');"
    "%1"
    "CREATE TRIGGER IF NOT EXISTS points_text_delete AFTER DELETE ON points BEGIN"
    " INSERT INTO points_text(points_text, rowid, Tag, Descriptor)"
    " VALUES('delete', old.point_id, old.\"Tag\", old.\"Descriptor\"); END;"
    "CREATE TRIGGER IF NOT EXISTS points_text_update AFTER UPDATE OF \"Tag\", \"Descriptor\" ON points BEGIN"
    " INSERT INTO points_text(points_text, rowid, Tag, Descriptor)"
    " VALUES('delete', old.point_id, old.\"Tag\", old.\"Descriptor\");"
    " INSERT INTO points_text(rowid, Tag, Descriptor) VALUES(new.point_id, new.\"Tag\", new.\"Descriptor\"); "
    "END;"
    "INSERT INTO points_text(points_text) VALUES('rebuild');"
    "INSERT OR REPLACE INTO server_info(key, value) VALUES('schema', '2');";

bool hasSearchSchema(ArchiveDatabase& db) {
    auto query = db.statement("SELECT count(*) FROM sqlite_schema WHERE name = 'points_text'");
    return query.next() && query.integer(0) > 0;
}

}  // namespace

bool ArchiveSearchSchema::ensure(ArchiveDatabase& db) {
    if (hasSearchSchema(db)) return false;
    ArchiveTransaction transaction(db);
    // Another process may have added it while this one waited for the write lock.
    if (hasSearchSchema(db)) return false;
    db.execute(QString::fromLatin1(kSearchSchema).arg(QLatin1String(kInsertTrigger)));
    transaction.commit();
    return true;
}

qint64 ArchiveSearchSchema::pauseIndexing(ArchiveDatabase& db) {
    db.execute(QStringLiteral("DROP TRIGGER IF EXISTS points_text_insert"));
    auto last = db.statement("SELECT coalesce(max(point_id), 0) FROM points");
    return last.next() ? last.integer(0) : 0;
}

void ArchiveSearchSchema::resumeIndexing(ArchiveDatabase& db, qint64 sinceId) {
    db.statement(
          "INSERT INTO points_text(rowid, Tag, Descriptor)"
          " SELECT point_id, \"Tag\", \"Descriptor\" FROM points WHERE point_id > ?")
        .bind(1, sinceId)
        .run();
    // A large load leaves the index in many small segments, each of which every lookup visits.
    if (db.changes() > 50000)
        db.execute(QStringLiteral("INSERT INTO points_text(points_text) VALUES('optimize')"));
    db.execute(QString::fromLatin1(kInsertTrigger));
}

}  // namespace vq
