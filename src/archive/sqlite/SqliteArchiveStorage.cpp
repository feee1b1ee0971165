#include "archive/sqlite/SqliteArchiveStorage.h"

#include "archive/dialect/StoredDate.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "archive/sqlite/SqlitePointSearch.h"
#include "archive/sqlite/SqliteSearchSchema.h"
#include "archive/storage/ArchiveMigrations.h"
#include "archive/storage/StoredText.h"
#include "sdk/SdkErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <deque>

namespace vq {

namespace {

const QString source = QStringLiteral("VQArchive");

QString quoted(const QString& identifier) {
    return u'"' + identifier + u'"';
}

QString schemaSql(const QStringList& columns, const std::vector<ArchiveClassInfo>& classes) {
    QStringList defs;
    for (const QString& column : columns) {
        if (column == u"Tag" || column == u"PointType") continue;
        for (const ArchiveClassInfo& info : classes) {
            if (const AttributeDef* def = info.find(column)) {
                defs.append(quoted(column) + u' ' + QString::fromLatin1(ArchiveCatalog::sqlType(def->type)));
                break;
            }
        }
    }
    return QStringLiteral(
               "CREATE TABLE server_info(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
               "CREATE TABLE users(name TEXT PRIMARY KEY COLLATE NOCASE, salt BLOB NOT NULL, hash BLOB NOT "
               "NULL);"
               "CREATE TABLE groups(name TEXT PRIMARY KEY COLLATE NOCASE);"
               "CREATE TABLE memberships(user TEXT NOT NULL COLLATE NOCASE, grp TEXT NOT NULL COLLATE NOCASE,"
               " PRIMARY KEY(user, grp));"
               "CREATE TABLE point_classes(class_id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE "
               "NOCASE,"
               " revision INTEGER NOT NULL);"
               "CREATE TABLE class_attributes(class_id INTEGER NOT NULL, set_position INTEGER NOT NULL,"
               " set_name TEXT NOT NULL, position INTEGER NOT NULL, name TEXT NOT NULL, type TEXT NOT NULL,"
               " default_value TEXT, PRIMARY KEY(class_id, set_position, position));"
               "CREATE TABLE digital_sets(set_id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE COLLATE "
               "NOCASE);"
               "CREATE TABLE digital_states(set_id INTEGER NOT NULL, code INTEGER NOT NULL, name TEXT NOT "
               "NULL,"
               " PRIMARY KEY(set_id, code)) WITHOUT ROWID;"
               "CREATE TABLE archive(point_id INTEGER NOT NULL, time REAL NOT NULL, value, status INTEGER "
               "NOT NULL,"
               " PRIMARY KEY(point_id, time)) WITHOUT ROWID;"
               "CREATE TABLE points(point_id INTEGER PRIMARY KEY, class_id INTEGER NOT NULL, tag_key TEXT "
               "NOT NULL"
               " UNIQUE, \"Tag\" TEXT NOT NULL, \"PointType\" INTEGER NOT NULL, %1);")
        .arg(defs.join(u", "));
}

void writeFacts(SqliteDatabase& db, std::initializer_list<std::pair<const char*, QString>> facts) {
    for (const auto& [key, value] : facts)
        db.statement("INSERT INTO server_info(key, value) VALUES(?, ?)")
            .bind(1, QString::fromLatin1(key))
            .bind(2, value)
            .run();
}

int schemaVersion(SqliteDatabase& db) {
    auto query = db.statement("SELECT value FROM server_info WHERE key = 'schema'");
    return ArchiveMigrations::versionOf(query.next() ? std::optional(query.text(0)) : std::nullopt);
}

// This engine's part of each step, by the schema version the step brings an archive to.
void runStep(SqliteDatabase& db, const ArchiveMigrations::Step& step) {
    switch (step.version) {
        case 3:
            SqliteSearchSchema::install(db);
            return;
        case 4:
            SqliteArchiveStorage::installHistory(db);
            return;
        case 5:
            SqliteArchiveStorage::installPackedHistory(db);
            return;
    }
    throw Error(sdkerr::StorageFailed, QStringLiteral("SqliteArchiveStorage:upgrade"),
                ArchiveMigrations::missingStep("SQLite", step));
}

// Runs the steps the archive lacks. The transaction's BEGIN IMMEDIATE is the write lock; the
// version is read again under it, as another program may have upgraded the file meanwhile.
void upgradeSchema(SqliteDatabase& db) {
    if (ArchiveMigrations::due(schemaVersion(db)).empty()) return;
    SqliteTransaction transaction(db);
    for (const ArchiveMigrations::Step* step : ArchiveMigrations::due(schemaVersion(db))) runStep(db, *step);
    db.statement("INSERT OR REPLACE INTO server_info(key, value) VALUES('schema', ?)")
        .bind(1, QString::number(ArchiveMigrations::currentVersion()))
        .run();
    transaction.commit();
}

void writeClasses(SqliteDatabase& db, std::vector<ArchiveClassInfo>& classes) {
    for (ArchiveClassInfo& info : classes) {
        db.statement("INSERT INTO point_classes(name, revision) VALUES(?, ?)")
            .bind(1, info.name)
            .bind(2, info.revision)
            .run();
        info.id = db.lastInsertId();
        for (size_t s = 0; s < info.sets.size(); ++s) {
            const AttributeSetDef& set = info.sets[s];
            for (size_t a = 0; a < set.attributes.size(); ++a) {
                const AttributeDef& def = set.attributes[a];
                db.statement(
                      "INSERT INTO class_attributes(class_id, set_position, set_name, position, name, type,"
                      " default_value) VALUES(?, ?, ?, ?, ?, ?, ?)")
                    .bind(1, info.id)
                    .bind(2, int(s))
                    .bind(3, set.name)
                    .bind(4, int(a))
                    .bind(5, def.name)
                    .bind(6, ArchiveCatalog::typeText(def.type))
                    .bind(7, ArchiveCatalog::defaultText(def))
                    .run();
            }
        }
    }
}

void bindValue(SqliteStatement& statement, int position, const ArchiveStoredValue& stored) {
    const Variant& value = *stored.value;
    switch (stored.def->type) {
        case AttributeType::Int16:
        case AttributeType::Int32:
            statement.bind(position, qint64(value.toInt32()));
            break;
        case AttributeType::Single:
        case AttributeType::Double:
            statement.bind(position, value.toDouble());
            break;
        case AttributeType::Date:
            statement.bind(position, StoredDate::text(value.toDateTime()));
            break;
        case AttributeType::String:
            statement.bind(position, value.toString());
            break;
    }
}

ArchivePointHeader headerOf(const SqliteStatement& query) {
    return ArchivePointHeader{query.integer(0), query.text(1), query.integer(2),
                              SdkPointType(query.integer(3))};
}

// A bulk load works with a larger page cache, so that the tag index stays in memory while it
// grows; the connection gets its usual cache back however the load ends.
class BulkLoadCache {
public:
    explicit BulkLoadCache(SqliteDatabase& db) : m_db(db) {
        m_db.execute(QStringLiteral("PRAGMA cache_size = -131072"));
    }
    ~BulkLoadCache() {
        try {
            m_db.execute(QStringLiteral("PRAGMA cache_size = -2000"));
        } catch (...) {
        }
    }

private:
    SqliteDatabase& m_db;
};

// The prepared insert of one shape of point row: its class, whether it names the id, and its
// columns. A load of many points has a few shapes, each found again without building its SQL.
struct PointInsert {
    qint64 classId = 0;
    bool withId = false;
    QStringList columns;
    SqliteStatement statement;
    // The text last bound at each position: most texts and dates of a load are the same few, and
    // one kept in UTF-8 is bound without a copy.
    struct LastText {
        QDateTime time;
        QString text;
        QByteArray utf8;
    };
    std::vector<LastText> last;

    bool fits(qint64 classOf, bool id, const std::vector<ArchiveStoredValue>& values) const {
        if (classId != classOf || withId != id || qsizetype(values.size()) != columns.size()) return false;
        for (size_t i = 0; i < values.size(); ++i)
            if (values[i].def->name != columns[qsizetype(i)]) return false;
        return true;
    }

    void bind(int position, size_t column, const ArchiveStoredValue& stored) {
        LastText& kept = last[column];
        switch (stored.def->type) {
            case AttributeType::Date:
                if (const QDateTime time = stored.value->toDateTime();
                    time != kept.time || kept.utf8.isNull()) {
                    kept.time = time;
                    kept.utf8 = StoredDate::text(time).toUtf8();
                }
                break;
            case AttributeType::String:
                if (QString text = stored.value->toString(); text != kept.text || kept.utf8.isNull()) {
                    kept.utf8 = text.toUtf8();
                    kept.text = std::move(text);
                }
                break;
            default:
                return bindValue(statement, position, stored);
        }
        statement.bindUtf8(position, kept.utf8);
    }
};

// A bulk load on the SQLite connection: one prepared insert per shape of row, the search index's
// insert trigger paused and the index filled once for every new point at the end.
class SqliteBulkLoad : public ArchiveStorage::BulkLoad {
public:
    explicit SqliteBulkLoad(SqliteDatabase& db)
        : m_db(db),
          m_cache(db),
          m_transaction(db),
          m_lastId(SqliteSearchSchema::pauseIndexing(db)),
          m_insertValue(db.prepare(
              "INSERT OR REPLACE INTO archive(point_id, time, value, status) VALUES(?, ?, ?, ?)")) {}

    void addPoint(const ArchiveClassInfo& info, const QString& tagKey,
                  const std::vector<ArchiveStoredValue>& values, const std::vector<ArchivedValue>& archived,
                  qint64 pointId) override {
        // New points only: the index is filled for the ids after the last one there was.
        if (pointId > 0 && pointId <= m_lastId)
            throw Error(
                sdkerr::StorageFailed, source,
                QStringLiteral("A bulk load cannot add the point \"%1\" under the id %2 of an earlier point")
                    .arg(tagKey)
                    .arg(pointId));
        StoredText::checkPoint(tagKey, values);
        StoredText::checkArchived(tagKey, archived);
        PointInsert& insert = insertFor(info.id, values, pointId > 0);
        insert.statement.reset();
        insert.statement.bind(1, info.id).bind(2, tagKey);
        int position = 3;
        if (pointId > 0) insert.statement.bind(position++, pointId);
        for (size_t i = 0; i < values.size(); ++i) insert.bind(position++, i, values[i]);
        insert.statement.run();
        if (m_db.changes() == 0) {
            ++m_counts.skipped;
            return;
        }
        const qint64 id = m_db.lastInsertId();
        for (const ArchivedValue& value : archived) {
            m_insertValue.reset();
            m_insertValue.bind(1, id)
                .bind(2, double(value.time.toMSecsSinceEpoch()) / 1000.0)
                .bind(4, value.status);
            if (value.value.isNumberType())
                m_insertValue.bind(3, value.value.toDouble());
            else
                m_insertValue.bind(3, value.value.toString());
            m_insertValue.run();
        }
        ++m_counts.points;
        m_counts.values += qint64(archived.size());
    }

    Counts commit() override {
        SqliteSearchSchema::resumeIndexing(m_db, m_lastId);
        m_transaction.commit();
        return m_counts;
    }

private:
    PointInsert& insertFor(qint64 classId, const std::vector<ArchiveStoredValue>& values, bool withId) {
        for (PointInsert& insert : m_inserts)
            if (insert.fits(classId, withId, values)) return insert;
        QStringList names;
        for (const ArchiveStoredValue& value : values) names.append(value.def->name);
        QStringList columns = {QStringLiteral("class_id"), QStringLiteral("tag_key")};
        if (withId) columns.append(QStringLiteral("point_id"));
        for (const QString& name : names) columns.append(quoted(name));
        const QByteArray sql =
            QStringLiteral("INSERT OR IGNORE INTO points(%1) VALUES(%2)")
                .arg(columns.join(u", "), QStringList(columns.size(), QStringLiteral("?")).join(u", "))
                .toUtf8();
        m_inserts.push_back({classId, withId, names, m_db.prepare(sql), {}});
        m_inserts.back().last.resize(values.size());
        return m_inserts.back();
    }

    SqliteDatabase& m_db;
    BulkLoadCache m_cache;
    SqliteTransaction m_transaction;
    const qint64 m_lastId;
    SqliteStatement m_insertValue;
    std::deque<PointInsert> m_inserts;
    Counts m_counts;
};

class SqliteWriteScope : public ArchiveStorage::WriteScope {
public:
    explicit SqliteWriteScope(SqliteDatabase& db) : m_transaction(db) {}
    void commit() override { m_transaction.commit(); }

private:
    SqliteTransaction m_transaction;
};

}  // namespace

SqliteArchiveStorage::SqliteArchiveStorage(const QString& path)
    : m_db(std::make_unique<SqliteDatabase>(path, SqliteDatabase::OpenMode::Existing)) {
    checkIsArchive();
    fact(QStringLiteral("kind"));
    fact(QStringLiteral("version"));
    if (!m_db->readOnly()) upgradeSchema(*m_db);
    loadClasses();
    loadColumns();
    prepareClassQueries();
    m_search = std::make_unique<SqlitePointSearch>(path, m_columns, m_db->immutable());
}

SqliteArchiveStorage::~SqliteArchiveStorage() = default;

SqliteDatabase& SqliteArchiveStorage::databaseOf(ArchiveStorage& storage) {
    auto* sqlite = dynamic_cast<SqliteArchiveStorage*>(&storage);
    if (!sqlite)
        throw Error(sdkerr::ServerUnavailable, source, QStringLiteral("The archive is not an SQLite file"));
    return sqlite->database();
}

std::unique_ptr<SqliteArchiveStorage> SqliteArchiveStorage::create(const QString& path,
                                                                   const ArchiveFacts& facts,
                                                                   std::vector<ArchiveClassInfo> classes,
                                                                   bool shared) {
    if (QFile::exists(path))
        throw Error(sdkerr::ServerUnavailable, source,
                    QStringLiteral("The archive file \"%1\" already exists").arg(path));
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        SqliteDatabase db(path, SqliteDatabase::OpenMode::Create, shared ? 0660 : 0600);
        SqliteTransaction transaction(db);
        db.execute(schemaSql(ArchiveCatalog::storedColumns(classes), classes));
        writeFacts(db, {{"name", facts.name},
                        {"kind", facts.kind},
                        {"version", facts.version},
                        {"created", StoredDate::text(QDateTime::currentDateTimeUtc())}});
        writeClasses(db, classes);
        upgradeSchema(db);
        transaction.commit();
    } catch (const Error&) {
        // A half-made archive would look like a damaged one later: leave nothing behind.
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
        throw;
    }
    return std::make_unique<SqliteArchiveStorage>(path);
}

void SqliteArchiveStorage::checkIsArchive() {
    auto check = m_db->statement(
        "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN ('server_info', 'points')");
    if (!check.next() || check.integer(0) != 2) {
        throw Error(
            sdkerr::ServerUnavailable, source,
            QStringLiteral("The file \"%1\" is an SQLite database but not a VQ archive").arg(m_db->path()));
    }
}

bool SqliteArchiveStorage::hasTable(const char* table) {
    auto query = m_db->statement("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?");
    query.bind(1, QString::fromLatin1(table));
    return query.next();
}

std::unique_ptr<ArchiveStorage::WriteScope> SqliteArchiveStorage::beginWrite() {
    return std::make_unique<SqliteWriteScope>(*m_db);
}

void SqliteArchiveStorage::setBusyTimeout(std::chrono::milliseconds timeout) {
    m_db->setBusyTimeout(timeout);
}

QString SqliteArchiveStorage::fact(const QString& key) {
    if (std::optional<QString> value = findFact(key)) return *value;
    throw Error(sdkerr::ServerUnavailable, source,
                QStringLiteral("The archive \"%1\" lacks its %2").arg(m_db->path(), key));
}

std::optional<QString> SqliteArchiveStorage::findFact(const QString& key) {
    auto query = m_db->statement("SELECT value FROM server_info WHERE key = ?");
    query.bind(1, key);
    if (!query.next()) return std::nullopt;
    return query.text(0);
}

void SqliteArchiveStorage::setFact(const QString& key, const QString& value) {
    StoredText::check(value, QStringLiteral("The archive's %1").arg(key));
    m_db->statement("INSERT OR REPLACE INTO server_info(key, value) VALUES(?, ?)")
        .bind(1, key)
        .bind(2, value)
        .run();
}

void SqliteArchiveStorage::loadClasses() {
    {
        auto query = m_db->statement("SELECT class_id, name, revision FROM point_classes ORDER BY class_id");
        while (query.next()) {
            ArchiveClassInfo info;
            info.id = query.integer(0);
            info.name = query.text(1);
            info.revision = int(query.integer(2));
            m_classes.push_back(std::move(info));
        }
    }
    for (ArchiveClassInfo& info : m_classes) {
        auto query = m_db->statement(
            "SELECT set_position, set_name, name, type, default_value FROM class_attributes WHERE class_id = "
            "?"
            " ORDER BY set_position, position");
        query.bind(1, info.id);
        while (query.next()) {
            const int setPosition = int(query.integer(0));
            if (size_t(setPosition) >= info.sets.size()) info.sets.push_back({query.text(1), {}});
            const AttributeType type = ArchiveCatalog::typeFromText(query.text(3));
            const QString name = query.text(2);
            info.sets.back().attributes.push_back(
                {name, type, ArchiveCatalog::storedDefault(info, name, type, query.text(4))});
        }
        info.buildUnion();
    }
}

void SqliteArchiveStorage::loadColumns() {
    QStringList table;
    auto query = m_db->statement("SELECT name FROM pragma_table_info('points') ORDER BY cid");
    while (query.next()) table.append(query.text(0));
    m_columns = ArchiveCatalog::attributeColumns(table, m_classes);
}

void SqliteArchiveStorage::prepareClassQueries() {
    for (const ArchiveClassInfo& info : m_classes) {
        ClassQuery query;
        const QStringList selected = ArchiveCatalog::pointReadColumns(info, quoted, query.columns);
        query.sql = (QStringLiteral("SELECT ") + selected.join(u", ") +
                     QStringLiteral(" FROM points WHERE point_id = ?"))
                        .toUtf8();
        m_queries.insert(info.id, query);
    }
}

std::vector<ArchiveDigitalSetRecord> SqliteArchiveStorage::digitalSets() {
    auto query = m_db->statement(
        "SELECT s.name, t.code, t.name FROM digital_sets s JOIN digital_states t ON t.set_id = s.set_id"
        " ORDER BY s.set_id, t.code");
    std::vector<ArchiveDigitalSetRecord> sets;
    while (query.next()) {
        const QString setName = query.text(0);
        if (sets.empty() || sets.back().name != setName) sets.push_back({setName, {}});
        sets.back().states.emplace_back(query.text(2), int32_t(query.integer(1)));
    }
    return sets;
}

bool SqliteArchiveStorage::hasDigitalSet(const QString& name) {
    auto query = m_db->statement("SELECT 1 FROM digital_sets WHERE name = ?");
    query.bind(1, name);
    return query.next();
}

void SqliteArchiveStorage::addDigitalSet(const QString& name, const QStringList& states) {
    StoredText::check(name + states.join(QString()), QStringLiteral("The digital state set"));
    m_db->statement("INSERT INTO digital_sets(name) VALUES(?)").bind(1, name).run();
    const qint64 setId = m_db->lastInsertId();
    for (int code = 0; code < states.size(); ++code)
        m_db->statement("INSERT INTO digital_states(set_id, code, name) VALUES(?, ?, ?)")
            .bind(1, setId)
            .bind(2, code)
            .bind(3, states[code])
            .run();
}

void SqliteArchiveStorage::addArchivedValue(qint64 pointId, const ArchivedValue& value) {
    StoredText::checkArchived(QString::number(pointId), {value});
    auto insert =
        m_db->statement("INSERT OR REPLACE INTO archive(point_id, time, value, status) VALUES(?, ?, ?, ?)");
    insert.bind(1, pointId).bind(2, double(value.time.toMSecsSinceEpoch()) / 1000.0).bind(4, value.status);
    if (value.value.isNumberType())
        insert.bind(3, value.value.toDouble());
    else
        insert.bind(3, value.value.toString());
    insert.run();
}

namespace {

ArchivedValue archivedValueOf(const SqliteStatement& query) {
    ArchivedValue value;
    value.time = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(query.real(0) * 1000.0)), Qt::UTC);
    value.value =
        query.columnType(1) == 3 /* SQLITE_TEXT */ ? Variant(query.text(1)) : Variant(query.real(1));
    value.status = int32_t(query.integer(2));
    return value;
}

}  // namespace

std::optional<ArchivedValue> SqliteArchiveStorage::currentValue(qint64 pointId) {
    auto query = m_db->statement(
        "SELECT time, value, status FROM archive WHERE point_id = ? ORDER BY time DESC LIMIT 1");
    query.bind(1, pointId);
    if (!query.next()) return std::nullopt;
    return archivedValueOf(query);
}

std::vector<ArchivedValue> SqliteArchiveStorage::archivedValues(qint64 pointId) {
    auto query =
        m_db->cachedStatement("SELECT time, value, status FROM archive WHERE point_id = ? ORDER BY time");
    query.bind(1, pointId);
    std::vector<ArchivedValue> values;
    while (query.next()) values.push_back(archivedValueOf(query));
    return values;
}

std::optional<ArchivePointHeader> SqliteArchiveStorage::findPoint(const QString& tagKey) {
    auto query =
        m_db->statement("SELECT point_id, \"Tag\", class_id, \"PointType\" FROM points WHERE tag_key = ?");
    query.bind(1, tagKey);
    if (!query.next()) return std::nullopt;
    return headerOf(query);
}

std::optional<ArchivePointHeader> SqliteArchiveStorage::pointHeader(qint64 pointId) {
    auto query =
        m_db->statement("SELECT point_id, \"Tag\", class_id, \"PointType\" FROM points WHERE point_id = ?");
    query.bind(1, pointId);
    if (!query.next()) return std::nullopt;
    return headerOf(query);
}

std::vector<ArchivePointHeader> SqliteArchiveStorage::pointHeaders(int limit) {
    auto query = m_db->statement(
        "SELECT point_id, \"Tag\", class_id, \"PointType\" FROM points ORDER BY tag_key LIMIT ?");
    query.bind(1, qint64(limit));
    std::vector<ArchivePointHeader> headers;
    while (query.next()) headers.push_back(headerOf(query));
    return headers;
}

// Keys that begin with the prefix are the first ones at or after it: the first key that does
// not ends them.
QStringList SqliteArchiveStorage::tagsStartingWith(const QString& keyPrefix, int maxCount) {
    auto query = m_db->cachedStatement(
        "SELECT tag_key, \"Tag\" FROM points WHERE tag_key >= ? ORDER BY tag_key LIMIT ?");
    query.bind(1, keyPrefix).bind(2, qint64(maxCount));
    QStringList tags;
    while (query.next() && query.text(0).startsWith(keyPrefix)) tags << query.text(1);
    return tags;
}

qint64 SqliteArchiveStorage::pointCount() {
    auto query = m_db->statement("SELECT count(*) FROM points");
    return query.next() ? query.integer(0) : 0;
}

bool SqliteArchiveStorage::readPoint(const ArchiveClassInfo& info, ArchivePointHeader& header,
                                     std::vector<Variant>& values) {
    const ClassQuery& classQuery = *m_queries.constFind(info.id);
    auto query = m_db->cachedStatement(classQuery.sql.constData());
    query.bind(1, header.id);
    if (!query.next()) return false;
    header.tag = query.text(0);
    header.pointType = SdkPointType(query.integer(1));
    values.reserve(info.attributes.size());
    for (size_t i = 0; i < info.attributes.size(); ++i) {
        const AttributeDef& def = info.attributes[i];
        const int column = classQuery.columns[i];
        if (column < 0 || query.isNull(column)) {
            values.push_back(def.defaultValue);
            continue;
        }
        switch (def.type) {
            case AttributeType::String:
                values.emplace_back(query.text(column));
                break;
            case AttributeType::Int16:
                values.emplace_back(int16_t(query.integer(column)));
                break;
            case AttributeType::Int32:
                values.emplace_back(int32_t(query.integer(column)));
                break;
            case AttributeType::Single:
                values.emplace_back(float(query.real(column)));
                break;
            case AttributeType::Double:
                values.emplace_back(query.real(column));
                break;
            case AttributeType::Date:
                values.emplace_back(StoredDate::fromText(query.text(column)));
                break;
        }
    }
    return true;
}

qint64 SqliteArchiveStorage::insertPoint(const ArchiveClassInfo& info, const QString& tagKey,
                                         const std::vector<ArchiveStoredValue>& values, qint64 pointId) {
    StoredText::checkPoint(tagKey, values);
    QStringList columns = {QStringLiteral("class_id"), QStringLiteral("tag_key")};
    if (pointId > 0) columns.append(QStringLiteral("point_id"));
    for (const ArchiveStoredValue& value : values) columns.append(quoted(value.def->name));
    const QByteArray sql =
        QStringLiteral("INSERT INTO points(%1) VALUES(%2)")
            .arg(columns.join(u", "), QStringList(columns.size(), QStringLiteral("?")).join(u", "))
            .toUtf8();
    SqliteTransaction transaction(*m_db);
    auto insert = m_db->prepare(sql);
    insert.bind(1, info.id).bind(2, tagKey);
    const int first = pointId > 0 ? 4 : 3;
    if (pointId > 0) insert.bind(3, pointId);
    for (size_t c = 0; c < values.size(); ++c) bindValue(insert, int(c) + first, values[c]);
    insert.run();
    const qint64 id = m_db->lastInsertId();
    transaction.commit();
    return id;
}

std::unique_ptr<ArchiveStorage::BulkLoad> SqliteArchiveStorage::beginBulkLoad() {
    return std::make_unique<SqliteBulkLoad>(*m_db);
}

void SqliteArchiveStorage::updatePoint(qint64 pointId, const QString& tagKey,
                                       const std::vector<ArchiveStoredValue>& values) {
    StoredText::checkPoint(tagKey, values);
    QStringList assignments = {QStringLiteral("tag_key = ?")};
    for (const ArchiveStoredValue& value : values)
        assignments.append(quoted(value.def->name) + QStringLiteral(" = ?"));
    const QByteArray sql =
        QStringLiteral("UPDATE points SET %1 WHERE point_id = ?").arg(assignments.join(u", ")).toUtf8();
    SqliteTransaction transaction(*m_db);
    auto write = m_db->prepare(sql);
    write.bind(1, tagKey);
    for (size_t c = 0; c < values.size(); ++c) bindValue(write, int(c) + 2, values[c]);
    write.bind(int(values.size()) + 2, pointId);
    write.run();
    transaction.commit();
}

}  // namespace vq
