// The change history in an SQLite file: one row per change set, one per attribute it changed.
#include "archive/sqlite/SqliteArchiveStorage.h"

#include "archive/sqlite/SqliteDatabase.h"
#include "archive/storage/StoredText.h"

#include <optional>

namespace vq {

namespace {

// Attribute changes are kept in the order they were made, clustered by their change set, so a
// change set reads as one range; the point index finds a point's history without a scan.
const char* const kHistorySchema =
    "CREATE TABLE IF NOT EXISTS change_sets(change_id INTEGER PRIMARY KEY, time INTEGER NOT NULL,"
    " archive_user TEXT NOT NULL, program TEXT NOT NULL, os_user TEXT NOT NULL, kind TEXT NOT NULL,"
    " note TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS attribute_changes(change_id INTEGER NOT NULL, position INTEGER NOT NULL,"
    " point_id INTEGER NOT NULL, tag TEXT NOT NULL, attribute TEXT NOT NULL, before TEXT NOT NULL,"
    " after TEXT NOT NULL, PRIMARY KEY(change_id, position)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS attribute_changes_point ON attribute_changes(point_id, change_id);"
    "CREATE INDEX IF NOT EXISTS change_sets_time ON change_sets(time);"
    "CREATE INDEX IF NOT EXISTS change_sets_user ON change_sets(archive_user COLLATE NOCASE, change_id);";

// The SELECT of the change sets a query asks for, its values bound in order.
QByteArray changeSetsSql(const ArchiveHistoryQuery& query) {
    QString sql = QStringLiteral(
        "SELECT change_id, time, archive_user, program, os_user, kind, note FROM change_sets WHERE 1");
    if (query.changeId > 0) sql += QStringLiteral(" AND change_id = ?");
    if (query.pointId > 0)
        sql +=
            QStringLiteral(" AND change_id IN (SELECT change_id FROM attribute_changes WHERE point_id = ?)");
    if (query.since) sql += QStringLiteral(" AND time >= ?");
    if (query.until) sql += QStringLiteral(" AND time <= ?");
    if (!query.user.isEmpty()) sql += QStringLiteral(" AND archive_user = ? COLLATE NOCASE");
    if (query.beforeId > 0) sql += QStringLiteral(" AND change_id < ?");
    return (sql + QStringLiteral(" ORDER BY change_id DESC LIMIT ?")).toUtf8();
}

void bindQuery(SqliteStatement& select, const ArchiveHistoryQuery& query) {
    int position = 1;
    if (query.changeId > 0) select.bind(position++, query.changeId);
    if (query.pointId > 0) select.bind(position++, query.pointId);
    if (query.since) select.bind(position++, query.since->toMSecsSinceEpoch());
    if (query.until) select.bind(position++, query.until->toMSecsSinceEpoch());
    if (!query.user.isEmpty()) select.bind(position++, query.user);
    if (query.beforeId > 0) select.bind(position++, query.beforeId);
    select.bind(position, qint64(query.limit));
}

}  // namespace

void SqliteArchiveStorage::installHistory(SqliteDatabase& db) {
    db.execute(QString::fromLatin1(kHistorySchema));
}

qint64 SqliteArchiveStorage::recordChangeSet(const ArchiveChangeRecord& record) {
    StoredText::check(record.user + record.program + record.osUser + record.kind + record.note,
                      QStringLiteral("The change set"));
    if (findFact(QStringLiteral("history")) == QStringLiteral("off")) return 0;
    // Inside a write the write itself keeps the record with the change or drops both; only a
    // record made on its own needs a transaction of its own.
    std::optional<SqliteTransaction> transaction;
    if (!m_db->inTransaction()) transaction.emplace(*m_db);
    auto set = m_db->statement(
        "INSERT INTO change_sets(change_id, time, archive_user, program, os_user, kind, note)"
        " VALUES(?, ?, ?, ?, ?, ?, ?)");
    if (record.id > 0) set.bind(1, record.id);
    set.bind(2, record.time.toMSecsSinceEpoch())
        .bind(3, record.user)
        .bind(4, record.program)
        .bind(5, record.osUser)
        .bind(6, record.kind)
        .bind(7, record.note)
        .run();
    const qint64 id = m_db->lastInsertId();
    auto change = m_db->statement(
        "INSERT INTO attribute_changes(change_id, position, point_id, tag, attribute, before, after)"
        " VALUES(?, ?, ?, ?, ?, ?, ?)");
    for (size_t i = 0; i < record.changes.size(); ++i) {
        const ArchiveAttributeChange& c = record.changes[i];
        change.reset();
        change.bind(1, id)
            .bind(2, qint64(i))
            .bind(3, c.pointId)
            .bind(4, c.tag)
            .bind(5, c.attribute)
            .bind(6, c.before)
            .bind(7, c.after)
            .run();
    }
    if (transaction) transaction->commit();
    return id;
}

std::vector<ArchiveChangeRecord> SqliteArchiveStorage::changeSets(const ArchiveHistoryQuery& query) {
    auto select = m_db->prepare(changeSetsSql(query));
    bindQuery(select, query);
    std::vector<ArchiveChangeRecord> sets;
    while (select.next())
        sets.push_back({select.integer(0),
                        QDateTime::fromMSecsSinceEpoch(select.integer(1), Qt::UTC),
                        select.text(2),
                        select.text(3),
                        select.text(4),
                        select.text(5),
                        select.text(6),
                        {}});
    for (ArchiveChangeRecord& set : sets) {
        auto changes = m_db->statement(
            "SELECT point_id, tag, attribute, before, after FROM attribute_changes WHERE change_id = ?"
            " ORDER BY position");
        changes.bind(1, set.id);
        while (changes.next())
            set.changes.push_back(
                {changes.integer(0), changes.text(1), changes.text(2), changes.text(3), changes.text(4)});
    }
    return sets;
}

qint64 SqliteArchiveStorage::pruneChangeSets(const QDateTime& before) {
    const qint64 cut = before.toMSecsSinceEpoch();
    SqliteTransaction transaction(*m_db);
    m_db->statement(
            "DELETE FROM attribute_changes WHERE change_id IN (SELECT change_id FROM change_sets WHERE time "
            "< ?)")
        .bind(1, cut)
        .run();
    m_db->statement("DELETE FROM change_sets WHERE time < ?").bind(1, cut).run();
    const qint64 removed = m_db->changes();
    transaction.commit();
    return removed;
}

}  // namespace vq
