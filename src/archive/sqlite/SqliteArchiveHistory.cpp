// The change history in an SQLite file: a row per change set, a row per point it changed with
// that point's attribute changes packed, and the newest change sets waiting in a table of their own.
#include "archive/sqlite/SqliteArchiveStorage.h"

#include "archive/sqlite/PackedChanges.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "archive/storage/StoredText.h"

#include <algorithm>
#include <optional>

namespace vq {

namespace {

// The first history: a row per attribute change. Archives that have it move to the tables below.
const char* const kFirstHistorySchema =
    "CREATE TABLE IF NOT EXISTS change_sets(change_id INTEGER PRIMARY KEY, time INTEGER NOT NULL,"
    " archive_user TEXT NOT NULL, program TEXT NOT NULL, os_user TEXT NOT NULL, kind TEXT NOT NULL,"
    " note TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS attribute_changes(change_id INTEGER NOT NULL, position INTEGER NOT NULL,"
    " point_id INTEGER NOT NULL, tag TEXT NOT NULL, attribute TEXT NOT NULL, before TEXT NOT NULL,"
    " after TEXT NOT NULL, PRIMARY KEY(change_id, position)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS attribute_changes_point ON attribute_changes(point_id, change_id);"
    "CREATE INDEX IF NOT EXISTS change_sets_time ON change_sets(time);"
    "CREATE INDEX IF NOT EXISTS change_sets_user ON change_sets(archive_user COLLATE NOCASE, change_id);";

// A point's changes in a change set are one row, at the position of its first change, so a change
// set reads as one range in the order it was made; the point index finds a point's history.
//
// A save that wrote its change set into the indexed tables would touch five B-trees and nearly
// double the pages it commits. The newest change sets wait instead in one table, a row each, and
// move into the indexed tables a batch at a time, where a batch's rows and index entries share
// pages.
const char* const kHistorySchema =
    "CREATE TABLE IF NOT EXISTS point_changes(change_id INTEGER NOT NULL, position INTEGER NOT NULL,"
    " point_id INTEGER NOT NULL, tag TEXT NOT NULL, changes BLOB NOT NULL,"
    " PRIMARY KEY(change_id, position)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS point_changes_point ON point_changes(point_id, change_id);"
    "CREATE TABLE IF NOT EXISTS recent_change_sets(change_id INTEGER PRIMARY KEY, time INTEGER NOT NULL,"
    " archive_user TEXT NOT NULL, program TEXT NOT NULL, os_user TEXT NOT NULL, kind TEXT NOT NULL,"
    " note TEXT NOT NULL, changes BLOB NOT NULL);";
constexpr qint64 kRecentBatch = 128;
// A larger change set goes to the indexed tables at once: it fills pages of its own.
constexpr size_t kRecentMostChanges = 64;

// The SELECT of the change sets a query asks for, its values bound in order. The recent table is
// small: its point filter and limit apply once its changes are unpacked.
QByteArray changeSetsSql(const ArchiveHistoryQuery& query, bool recent) {
    QString sql = recent ? QStringLiteral(
                               "SELECT change_id, time, archive_user, program, os_user, kind, note,"
                               " changes FROM recent_change_sets WHERE 1")
                         : QStringLiteral(
                               "SELECT change_id, time, archive_user, program, os_user, kind, note"
                               " FROM change_sets WHERE 1");
    if (query.changeId > 0) sql += QStringLiteral(" AND change_id = ?");
    if (query.pointId > 0 && !recent)
        sql += QStringLiteral(" AND change_id IN (SELECT change_id FROM point_changes WHERE point_id = ?)");
    if (query.since) sql += QStringLiteral(" AND time >= ?");
    if (query.until) sql += QStringLiteral(" AND time <= ?");
    if (!query.user.isEmpty()) sql += QStringLiteral(" AND archive_user = ? COLLATE NOCASE");
    if (query.beforeId > 0) sql += QStringLiteral(" AND change_id < ?");
    sql += QStringLiteral(" ORDER BY change_id DESC");
    return (recent ? sql : sql + QStringLiteral(" LIMIT ?")).toUtf8();
}

void bindQuery(SqliteStatement& select, const ArchiveHistoryQuery& query, bool recent) {
    int position = 1;
    if (query.changeId > 0) select.bind(position++, query.changeId);
    if (query.pointId > 0 && !recent) select.bind(position++, query.pointId);
    if (query.since) select.bind(position++, query.since->toMSecsSinceEpoch());
    if (query.until) select.bind(position++, query.until->toMSecsSinceEpoch());
    if (!query.user.isEmpty()) select.bind(position++, query.user);
    if (query.beforeId > 0) select.bind(position++, query.beforeId);
    if (!recent) select.bind(position, qint64(query.limit));
}

ArchiveChangeRecord headerOf(const SqliteStatement& row) {
    return {row.integer(0), QDateTime::fromMSecsSinceEpoch(row.integer(1), Qt::UTC),
            row.text(2),    row.text(3),
            row.text(4),    row.text(5),
            row.text(6),    {}};
}

bool changesPoint(const ArchiveChangeRecord& set, qint64 pointId) {
    return std::any_of(set.changes.begin(), set.changes.end(),
                       [&](const ArchiveAttributeChange& c) { return c.pointId == pointId; });
}

// Binds the change set's own columns, 1 to 7.
void bindHeader(SqliteStatement& insert, const ArchiveChangeRecord& record, qint64 id) {
    insert.bind(1, id)
        .bind(2, record.time.toMSecsSinceEpoch())
        .bind(3, record.user)
        .bind(4, record.program)
        .bind(5, record.osUser)
        .bind(6, record.kind)
        .bind(7, record.note);
}

// A row per run of changes of one point.
void storePointChanges(SqliteDatabase& db, const std::vector<ArchiveAttributeChange>& changes, qint64 id) {
    auto row = db.statement(
        "INSERT INTO point_changes(change_id, position, point_id, tag, changes) VALUES(?, ?, ?, ?, ?)");
    for (auto run = changes.begin(); run != changes.end();) {
        const auto end = std::find_if(run, changes.end(), [&](const ArchiveAttributeChange& c) {
            return c.pointId != run->pointId || c.tag != run->tag;
        });
        row.reset();
        row.bind(1, id)
            .bind(2, qint64(run - changes.begin()))
            .bind(3, run->pointId)
            .bind(4, run->tag)
            .bind(5, PackedChanges::packAttributes(run, end))
            .run();
        run = end;
    }
}

void storeIndexed(SqliteDatabase& db, const ArchiveChangeRecord& record, qint64 id) {
    auto set = db.statement(
        "INSERT INTO change_sets(change_id, time, archive_user, program, os_user, kind, note)"
        " VALUES(?, ?, ?, ?, ?, ?, ?)");
    bindHeader(set, record, id);
    set.run();
    storePointChanges(db, record.changes, id);
}

void storeRecent(SqliteDatabase& db, const ArchiveChangeRecord& record, qint64 id) {
    auto set = db.statement(
        "INSERT INTO recent_change_sets(change_id, time, archive_user, program, os_user, kind, note, changes)"
        " VALUES(?, ?, ?, ?, ?, ?, ?, ?)");
    bindHeader(set, record, id);
    set.bind(8, PackedChanges::pack(record.changes)).run();
}

std::vector<ArchiveChangeRecord> recentChangeSets(SqliteDatabase& db, const ArchiveHistoryQuery& query) {
    auto select = db.prepare(changeSetsSql(query, true));
    bindQuery(select, query, true);
    std::vector<ArchiveChangeRecord> sets;
    while (select.next()) {
        ArchiveChangeRecord set = headerOf(select);
        set.changes = PackedChanges::unpack(select.blob(7), set.id);
        if (query.pointId <= 0 || changesPoint(set, query.pointId)) sets.push_back(std::move(set));
    }
    return sets;
}

void readPointChanges(SqliteDatabase& db, ArchiveChangeRecord& set) {
    auto rows = db.statement(
        "SELECT point_id, tag, changes FROM point_changes WHERE change_id = ? ORDER BY position");
    rows.bind(1, set.id);
    while (rows.next())
        PackedChanges::unpackAttributes(rows.blob(2), set.id, rows.integer(0), rows.text(1), set.changes);
}

// Moves every waiting change set into the indexed tables, oldest first so that rows are appended.
void settleRecent(SqliteDatabase& db) {
    const std::vector<ArchiveChangeRecord> waiting = recentChangeSets(db, {});
    for (auto set = waiting.rbegin(); set != waiting.rend(); ++set) storeIndexed(db, *set, set->id);
    db.execute(QStringLiteral("DELETE FROM recent_change_sets"));
}

// What recording a change set needs to know: whether the archive keeps history, the newest
// indexed change set's id, and the newest and oldest waiting ones' (0 when none waits).
struct RecordingState {
    bool off = false;
    qint64 newestIndexed = 0;
    qint64 newestWaiting = 0;
    qint64 oldestWaiting = 0;

    qint64 nextId() const { return std::max(newestIndexed, newestWaiting) + 1; }
    // Whether the waiting ones and `id` span a batch: ids are unique, so the span bounds how
    // many wait, whatever order a copy stores them in.
    bool batchFullWith(qint64 id) const {
        return oldestWaiting > 0 &&
               std::max(newestWaiting, id) - std::min(oldestWaiting, id) + 1 >= kRecentBatch;
    }
};

RecordingState recordingState(SqliteDatabase& db) {
    auto state = db.statement(
        "SELECT coalesce((SELECT value FROM server_info WHERE key = 'history'), '') = 'off',"
        " coalesce((SELECT max(change_id) FROM change_sets), 0),"
        " coalesce((SELECT max(change_id) FROM recent_change_sets), 0),"
        " coalesce((SELECT min(change_id) FROM recent_change_sets), 0)");
    state.next();
    return {state.integer(0) != 0, state.integer(1), state.integer(2), state.integer(3)};
}

// The first history's rows, a point's consecutive changes in a change set made one row.
void movePerAttributeRows(SqliteDatabase& db) {
    auto rows = db.statement(
        "SELECT change_id, point_id, tag, attribute, before, after FROM attribute_changes"
        " ORDER BY change_id, position");
    std::vector<ArchiveAttributeChange> changes;
    qint64 id = 0;
    while (rows.next()) {
        if (rows.integer(0) != id && !changes.empty()) storePointChanges(db, std::exchange(changes, {}), id);
        id = rows.integer(0);
        changes.push_back({rows.integer(1), rows.text(2), rows.text(3), rows.text(4), rows.text(5)});
    }
    storePointChanges(db, changes, id);
    db.execute(QStringLiteral("DROP TABLE attribute_changes"));
}

}  // namespace

void SqliteArchiveStorage::installHistory(SqliteDatabase& db) {
    db.execute(QString::fromLatin1(kFirstHistorySchema));
}

void SqliteArchiveStorage::installPackedHistory(SqliteDatabase& db) {
    db.execute(QString::fromLatin1(kHistorySchema));
    movePerAttributeRows(db);
}

qint64 SqliteArchiveStorage::recordChangeSet(const ArchiveChangeRecord& record) {
    StoredText::check(record.user + record.program + record.osUser + record.kind + record.note,
                      QStringLiteral("The change set"));
    // Inside a write the write itself keeps the record with the change or drops both; only a
    // record made on its own needs a transaction of its own.
    std::optional<SqliteTransaction> transaction;
    if (!m_db->inTransaction()) transaction.emplace(*m_db);
    const RecordingState state = recordingState(*m_db);
    if (state.off) return 0;
    const qint64 id = record.id > 0 ? record.id : state.nextId();
    if (record.changes.size() > kRecentMostChanges) {
        storeIndexed(*m_db, record, id);
    } else {
        storeRecent(*m_db, record, id);
        if (state.batchFullWith(id)) settleRecent(*m_db);
    }
    if (transaction) transaction->commit();
    return id;
}

std::vector<ArchiveChangeRecord> SqliteArchiveStorage::changeSets(const ArchiveHistoryQuery& query) {
    std::vector<ArchiveChangeRecord> sets = recentChangeSets(*m_db, query);
    const auto recent = qsizetype(sets.size());
    auto select = m_db->prepare(changeSetsSql(query, false));
    bindQuery(select, query, false);
    while (select.next()) {
        sets.push_back(headerOf(select));
        readPointChanges(*m_db, sets.back());
    }
    // Both parts are newest first; a large change set may be newer than waiting ones.
    std::inplace_merge(
        sets.begin(), sets.begin() + recent, sets.end(),
        [](const ArchiveChangeRecord& a, const ArchiveChangeRecord& b) { return a.id > b.id; });
    if (query.limit >= 0 && sets.size() > size_t(query.limit)) sets.resize(size_t(query.limit));
    return sets;
}

qint64 SqliteArchiveStorage::pruneChangeSets(const QDateTime& before) {
    const qint64 cut = before.toMSecsSinceEpoch();
    SqliteTransaction transaction(*m_db);
    settleRecent(*m_db);
    m_db->statement(
            "DELETE FROM point_changes WHERE change_id IN (SELECT change_id FROM change_sets WHERE time < ?)")
        .bind(1, cut)
        .run();
    m_db->statement("DELETE FROM change_sets WHERE time < ?").bind(1, cut).run();
    const qint64 removed = m_db->changes();
    transaction.commit();
    return removed;
}

}  // namespace vq
