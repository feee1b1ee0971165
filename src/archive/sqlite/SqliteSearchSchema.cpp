#include "archive/sqlite/SqliteSearchSchema.h"

#include "archive/sqlite/SqliteDatabase.h"
#include "core/Error.h"

namespace vq {

namespace {

const char* const kInsertTrigger =
    "CREATE TRIGGER IF NOT EXISTS trigrams_insert AFTER INSERT ON points BEGIN"
    " INSERT INTO tag_trigrams(rowid, Tag) VALUES(new.point_id, new.\"Tag\");"
    " INSERT INTO descriptor_trigrams(rowid, Descriptor) VALUES(new.point_id, new.\"Descriptor\"); "
    "END;";

// The index of the first search schema: one table over both texts, with positions.
const char* const kOldIndex =
    "DROP TRIGGER IF EXISTS points_text_insert;"
    "DROP TRIGGER IF EXISTS points_text_update;"
    "DROP TRIGGER IF EXISTS points_text_delete;"
    "DROP TABLE IF EXISTS points_text;";

// One trigram index per text, each folding case itself and holding no copy of the texts. The
// search asks them only whether a text holds every one of a few trigrams and then checks the
// mask itself, so they keep neither positions nor sizes (detail=none, columnsize=0): a third of
// the size, and about a third of the time to build.
const char* const kSearchSchema =
    "CREATE TABLE IF NOT EXISTS aliases(point_id INTEGER NOT NULL, alias TEXT NOT NULL, unit TEXT,"
    " PRIMARY KEY(point_id, alias)) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS batches(batch_id TEXT NOT NULL, point_id INTEGER, unit TEXT, product TEXT,"
    " start_time REAL, end_time REAL);"
    "CREATE VIRTUAL TABLE IF NOT EXISTS tag_trigrams USING fts5(Tag, content='points', "
    "content_rowid='point_id',"
    " tokenize='trigram', detail=none, columnsize=0);"
    "CREATE VIRTUAL TABLE IF NOT EXISTS descriptor_trigrams USING fts5(Descriptor, content='points',"
    " content_rowid='point_id', tokenize='trigram', detail=none, columnsize=0);"
    "%1";

// Pending trigrams are written out as a new segment each time they fill this much memory (1 MB
// unless set): 8 MB makes fewer segments to merge, a fifth less time for a large load. The
// setting is a tuning knob of the index engine, not part of its documented interface, so an
// engine that refuses it leaves the default in place instead of failing the archive.
const char* const kIndexTuning[] = {
    "INSERT INTO tag_trigrams(tag_trigrams, rank) VALUES('hashsize', 8388608)",
    "INSERT INTO descriptor_trigrams(descriptor_trigrams, rank) VALUES('hashsize', 8388608)",
};

const char* const kIndexUpkeep =
    "CREATE TRIGGER IF NOT EXISTS trigrams_delete AFTER DELETE ON points BEGIN"
    " INSERT INTO tag_trigrams(tag_trigrams, rowid, Tag) VALUES('delete', old.point_id, old.\"Tag\");"
    " INSERT INTO descriptor_trigrams(descriptor_trigrams, rowid, Descriptor)"
    " VALUES('delete', old.point_id, old.\"Descriptor\"); END;"
    "CREATE TRIGGER IF NOT EXISTS trigrams_update_tag AFTER UPDATE OF \"Tag\" ON points BEGIN"
    " INSERT INTO tag_trigrams(tag_trigrams, rowid, Tag) VALUES('delete', old.point_id, old.\"Tag\");"
    " INSERT INTO tag_trigrams(rowid, Tag) VALUES(new.point_id, new.\"Tag\"); END;"
    "CREATE TRIGGER IF NOT EXISTS trigrams_update_descriptor AFTER UPDATE OF \"Descriptor\" ON points BEGIN"
    " INSERT INTO descriptor_trigrams(descriptor_trigrams, rowid, Descriptor)"
    " VALUES('delete', old.point_id, old.\"Descriptor\");"
    " INSERT INTO descriptor_trigrams(rowid, Descriptor) VALUES(new.point_id, new.\"Descriptor\"); END;"
    "INSERT INTO tag_trigrams(tag_trigrams) VALUES('rebuild');"
    "INSERT INTO descriptor_trigrams(descriptor_trigrams) VALUES('rebuild');";

}  // namespace

void SqliteSearchSchema::install(SqliteDatabase& db) {
    db.execute(QString::fromLatin1(kOldIndex));
    db.execute(QString::fromLatin1(kSearchSchema).arg(QLatin1String(kInsertTrigger)));
    for (const char* tuning : kIndexTuning) {
        silently(false, [&] {
            db.execute(QString::fromLatin1(tuning));
            return true;
        });
    }
    db.execute(QString::fromLatin1(kIndexUpkeep));
}

qint64 SqliteSearchSchema::pauseIndexing(SqliteDatabase& db) {
    db.execute(QStringLiteral("DROP TRIGGER IF EXISTS trigrams_insert"));
    auto last = db.statement("SELECT coalesce(max(point_id), 0) FROM points");
    return last.next() ? last.integer(0) : 0;
}

void SqliteSearchSchema::resumeIndexing(SqliteDatabase& db, qint64 sinceId) {
    // One pass per index writes few, large segments: merging them further ('optimize') costs a
    // second per million points and makes no lookup measurably faster.
    db.statement(
          "INSERT INTO tag_trigrams(rowid, Tag) SELECT point_id, \"Tag\" FROM points WHERE point_id > ?")
        .bind(1, sinceId)
        .run();
    db.statement(
          "INSERT INTO descriptor_trigrams(rowid, Descriptor)"
          " SELECT point_id, \"Descriptor\" FROM points WHERE point_id > ?")
        .bind(1, sinceId)
        .run();
    db.execute(QString::fromLatin1(kInsertTrigger));
}

}  // namespace vq
