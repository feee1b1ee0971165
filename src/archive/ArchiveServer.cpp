#include "ArchiveServer.h"

#include "ArchiveDatabase.h"
#include "ArchiveDigitalStateSets.h"
#include "ArchivePoint.h"
#include "ArchivePointClasses.h"
#include "ArchivePoints.h"
#include "ArchiveSearchSchema.h"
#include "PasswordHash.h"
#include "SqlDialectParser.h"
#include "SqlitePointSearch.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vq {

namespace {

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

bool tableExists(ArchiveDatabase& db, const char* table) {
    auto query = db.statement("SELECT 1 FROM sqlite_schema WHERE type = 'table' AND name = ?");
    query.bind(1, QString::fromLatin1(table));
    return query.next();
}

// No wait for the first failures; then 1 s, doubling per failure, at most the cap.
double logonWaitSeconds(int failures) {
    if (failures < ArchiveServer::kFreeLogonFailures) return 0;
    const int doublings = std::min(failures - ArchiveServer::kFreeLogonFailures, 16);
    return std::min(double(1 << doublings), double(ArchiveServer::kMaxLogonWaitSeconds));
}

QString defaultText(const AttributeDef& def) {
    if (def.type == AttributeType::Date) return ArchiveServer::dateText(def.defaultValue.toDateTime());
    return def.defaultValue.toString();
}

Variant defaultFromText(AttributeType type, const QString& text) {
    switch (type) {
        case AttributeType::Int16:
            return Variant(int16_t(text.toInt()));
        case AttributeType::Int32:
            return Variant(int32_t(text.toInt()));
        case AttributeType::Single:
            return Variant(text.toFloat());
        case AttributeType::Double:
            return Variant(text.toDouble());
        case AttributeType::Date:
            return Variant(ArchiveServer::dateFromText(text));
        case AttributeType::String:
            break;
    }
    return Variant(text);
}

// One column per stored attribute of any class, in first-seen order.
QStringList storedColumns(const std::vector<ArchiveClassInfo>& classes) {
    QStringList columns;
    for (const ArchiveClassInfo& info : classes)
        for (const AttributeDef& def : info.attributes)
            if (!ArchiveCatalog::isComputedAttribute(def.name) &&
                !columns.contains(def.name, Qt::CaseInsensitive))
                columns.append(def.name);
    return columns;
}

void writeFacts(ArchiveDatabase& db, std::initializer_list<std::pair<const char*, QString>> facts) {
    for (const auto& [key, value] : facts)
        db.statement("INSERT INTO server_info(key, value) VALUES(?, ?)")
            .bind(1, QString::fromLatin1(key))
            .bind(2, value)
            .run();
}

void writeClasses(ArchiveDatabase& db, const std::vector<ArchiveClassInfo>& classes) {
    for (const ArchiveClassInfo& info : classes) {
        db.statement("INSERT INTO point_classes(name, revision) VALUES(?, ?)")
            .bind(1, info.name)
            .bind(2, info.revision)
            .run();
        const qint64 classId = db.lastInsertId();
        for (size_t s = 0; s < info.sets.size(); ++s) {
            const AttributeSetDef& set = info.sets[s];
            for (size_t a = 0; a < set.attributes.size(); ++a) {
                const AttributeDef& def = set.attributes[a];
                db.statement(
                      "INSERT INTO class_attributes(class_id, set_position, set_name, position, name, type,"
                      " default_value) VALUES(?, ?, ?, ?, ?, ?, ?)")
                    .bind(1, classId)
                    .bind(2, int(s))
                    .bind(3, set.name)
                    .bind(4, int(a))
                    .bind(5, def.name)
                    .bind(6, ArchiveCatalog::typeText(def.type))
                    .bind(7, defaultText(def))
                    .run();
            }
        }
    }
}

}  // namespace

struct ArchiveServer::Loaded {
    std::unique_ptr<ArchiveDatabase> db;
    QString kind;
    QString version;
    std::vector<ArchiveClassInfo> classes;
    QStringList columns;
    // Per class: the SELECT of its stored attributes, for each class attribute its column in that
    // SELECT (-1 for computed ones), and where the attributes that others derive from stand.
    struct ClassQuery {
        QByteArray sql;
        std::vector<int> columns;
        int compDev = -1, excDev = -1, span = -1;
    };
    QHash<qint64, ClassQuery> queries;
    std::unique_ptr<PointSearchEngine> search;
};

ArchiveServer::ArchiveServer(QString name, QString path) : m_name(std::move(name)), m_path(std::move(path)) {}
ArchiveServer::~ArchiveServer() = default;

std::shared_ptr<ArchiveServer> ArchiveServer::open(const QString& name, const QString& path) {
    return std::shared_ptr<ArchiveServer>(new ArchiveServer(name, path));
}

std::shared_ptr<ArchiveServer> ArchiveServer::openFile(const QString& path) {
    auto server = open(QString(), path);
    server->ensureOpen();
    server->m_name = server->fact("name");
    return server;
}

std::shared_ptr<ArchiveServer> ArchiveServer::create(const QString& path, const QString& name,
                                                     const QString& kind, const QString& version,
                                                     bool shared) {
    if (kind != u"VQ3" && kind != u"VQ2") {
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("Unknown server kind \"%1\": use VQ3 or VQ2").arg(kind));
    }
    if (name.trimmed().isEmpty() || name.contains(u'\\')) {
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("\"%1\" is not a usable server name").arg(name));
    }
    if (QFile::exists(path)) {
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("The archive file \"%1\" already exists").arg(path));
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        ArchiveDatabase db(path, ArchiveDatabase::OpenMode::Create, shared ? 0660 : 0600);
        const std::vector<ArchiveClassInfo> classes = ArchiveCatalog::standardClasses(kind);
        ArchiveTransaction transaction(db);
        db.execute(schemaSql(storedColumns(classes), classes));
        writeFacts(db, {{"name", name},
                        {"kind", kind},
                        {"version", version},
                        {"schema", QString::number(ArchiveSearchSchema::Version)},
                        {"created", dateText(QDateTime::currentDateTimeUtc())}});
        writeClasses(db, classes);
        ArchiveSearchSchema::ensure(db);
        transaction.commit();
    } catch (const Error&) {
        // A half-made archive would look like a damaged one later: leave nothing behind.
        for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
        throw;
    }
    auto server = open(name, path);
    server->addGroup(QStringLiteral("vqadmin"));
    server->addUser(QStringLiteral("vqadmin"), QString(), {QStringLiteral("vqadmin")});
    server->addDigitalSet(
        QStringLiteral("SYSTEM"),
        {QStringLiteral("Shutdown"), QStringLiteral("Bad Input"), QStringLiteral("Scan Off"),
         QStringLiteral("No Data"), QStringLiteral("Pt Created"), QStringLiteral("Under Range"),
         QStringLiteral("Over Range")});
    return server;
}

void ArchiveServer::ensureOpen() const {
    if (m_loaded) return;
    auto loaded = std::make_unique<Loaded>();
    loaded->db = std::make_unique<ArchiveDatabase>(m_path, ArchiveDatabase::OpenMode::Existing);
    bool hasFacts = false;
    {
        auto check = loaded->db->statement(
            "SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name IN ('server_info', 'points')");
        hasFacts = check.next() && check.integer(0) == 2;
    }
    if (!hasFacts) {
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("The file \"%1\" is an SQLite database but not a VQ archive").arg(m_path));
    }
    m_loaded = std::move(loaded);
    try {
        m_loaded->kind = fact("kind");
        m_loaded->version = fact("version");
        if (!m_loaded->db->readOnly()) ArchiveSearchSchema::ensure(*m_loaded->db);
        loadCatalog();
        m_loaded->search =
            std::make_unique<SqlitePointSearch>(m_path, m_loaded->columns, m_loaded->db->immutable());
    } catch (...) {
        m_loaded.reset();
        throw;
    }
}

QString ArchiveServer::fact(const char* key) const {
    auto query = m_loaded->db->statement("SELECT value FROM server_info WHERE key = ?");
    query.bind(1, QString::fromLatin1(key));
    if (!query.next()) {
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("The archive \"%1\" lacks its %2").arg(m_path, QString::fromLatin1(key)));
    }
    return query.text(0);
}

void ArchiveServer::loadCatalog() const {
    ArchiveDatabase& db = *m_loaded->db;
    std::vector<ArchiveClassInfo>& classes = m_loaded->classes;
    {
        auto query = db.statement("SELECT class_id, name, revision FROM point_classes ORDER BY class_id");
        while (query.next()) {
            ArchiveClassInfo info;
            info.id = query.integer(0);
            info.name = query.text(1);
            info.revision = int(query.integer(2));
            classes.push_back(std::move(info));
        }
    }
    for (ArchiveClassInfo& info : classes) {
        auto query = db.statement(
            "SELECT set_position, set_name, name, type, default_value FROM class_attributes WHERE class_id = "
            "?"
            " ORDER BY set_position, position");
        query.bind(1, info.id);
        while (query.next()) {
            const int setPosition = int(query.integer(0));
            if (size_t(setPosition) >= info.sets.size()) info.sets.push_back({query.text(1), {}});
            const AttributeType type = ArchiveCatalog::typeFromText(query.text(3));
            const QString name = query.text(2);
            Variant value = defaultFromText(type, query.text(4));
            // Class facts stand in the class defaults as a server reports them.
            if (name.compare(u"PtClassName", Qt::CaseInsensitive) == 0) value = Variant(info.name);
            if (name.compare(u"PtClassId", Qt::CaseInsensitive) == 0) value = Variant(int32_t(info.id));
            if (name.compare(u"PtClassRev", Qt::CaseInsensitive) == 0)
                value = Variant(int32_t(info.revision));
            info.sets.back().attributes.push_back({name, type, value});
        }
        info.buildUnion();
    }
    {
        auto query = db.statement("SELECT name FROM pragma_table_info('points') WHERE cid > 2");
        while (query.next()) m_loaded->columns.append(query.text(0));
    }
    for (const ArchiveClassInfo& info : classes) {
        Loaded::ClassQuery query;
        QStringList selected = {QStringLiteral("\"Tag\""), QStringLiteral("\"PointType\"")};
        for (size_t i = 0; i < info.attributes.size(); ++i) {
            const QString& name = info.attributes[i].name;
            if (ArchiveCatalog::isComputedAttribute(name)) {
                query.columns.push_back(-1);
            } else {
                query.columns.push_back(int(selected.size()));
                selected.append(quoted(name));
            }
            if (name == u"CompDev") query.compDev = int(i);
            if (name == u"ExcDev") query.excDev = int(i);
            if (name == u"Span") query.span = int(i);
        }
        query.sql = (QStringLiteral("SELECT ") + selected.join(u", ") +
                     QStringLiteral(" FROM points WHERE point_id = ?"))
                        .toUtf8();
        m_loaded->queries.insert(info.id, query);
    }
}

ArchiveDatabase& ArchiveServer::database() const {
    ensureOpen();
    return *m_loaded->db;
}

const std::vector<ArchiveClassInfo>& ArchiveServer::classes() const {
    ensureOpen();
    return m_loaded->classes;
}

const ArchiveClassInfo* ArchiveServer::classById(qint64 id) const {
    for (const ArchiveClassInfo& info : classes())
        if (info.id == id) return &info;
    return nullptr;
}

const ArchiveClassInfo* ArchiveServer::classByName(const QString& name) const {
    for (const ArchiveClassInfo& info : classes())
        if (info.name.compare(name, Qt::CaseInsensitive) == 0) return &info;
    return nullptr;
}

const QStringList& ArchiveServer::pointColumns() const {
    ensureOpen();
    return m_loaded->columns;
}

QString ArchiveServer::ServerKind() const {
    ensureOpen();
    return m_loaded->kind;
}

SdkServerVersion ArchiveServer::ServerVersion() const {
    ensureOpen();
    return SdkServerVersion(m_loaded->version);
}

bool ArchiveServer::IsConnected() const {
    return !m_user.isEmpty();
}

void ArchiveServer::Open(const QString& user, const QString& password) {
    m_user.clear();
    ArchiveDatabase& db = database();
    QString storedName;
    QByteArray salt, hash;
    {
        auto query = db.statement("SELECT name, salt, hash FROM users WHERE name = ?");
        query.bind(1, user.trimmed());
        if (query.next()) {
            storedName = query.text(0);
            salt = query.blob(1);
            hash = query.blob(2);
        }
    }
    const QString refused =
        QStringLiteral("Log-on to server \"%1\" refused: wrong user name or password").arg(m_name);
    if (storedName.isEmpty()) {
        PasswordHash::verifyNothing(password);
        raise(sdkerr::LogonFailed, refused);
    }
    // Failed log-ons are counted in the archive, so that starting new programs does not reset them.
    bool hadFailures = false;
    if (tableExists(db, "logon_failures")) {
        auto failures = db.prepare("SELECT failures, last_failure FROM logon_failures WHERE user = ?");
        failures.bind(1, storedName);
        if (failures.next()) {
            const int count = int(failures.integer(0));
            hadFailures = true;
            const double wait = logonWaitSeconds(count);
            const double since = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0 - failures.real(1);
            if (since >= 0 && since < wait) {
                raise(sdkerr::LogonFailed,
                      QStringLiteral("Log-on to server \"%1\" refused: %2 failed log-ons of \"%3\" in a row; "
                                     "try again in %4 s")
                          .arg(m_name)
                          .arg(count)
                          .arg(storedName)
                          .arg(int(std::ceil(wait - since))));
            }
        }
    }
    if (!PasswordHash::verify(password, salt, hash)) {
        recordLogonFailure(storedName);
        raise(sdkerr::LogonFailed, refused);
    }
    finishLogon(storedName, salt, hash, password, hadFailures);
    m_user = storedName;
    if (m_onOpened) m_onOpened(m_name);
}

// Bookkeeping after a log-on; a read-only archive skips it and the log-on still counts.
void ArchiveServer::finishLogon(const QString& user, const QByteArray& salt, const QByteArray& hash,
                                const QString& password, bool hadFailures) {
    ArchiveDatabase& db = database();
    try {
        if (hadFailures) db.prepare("DELETE FROM logon_failures WHERE user = ?").bind(1, user).run();
        // Hashes of older archives, or made under other limits, are replaced now that the password
        // is known.
        if (PasswordHash::needsRehash(salt, hash))
            db.prepare("UPDATE users SET salt = zeroblob(0), hash = ? WHERE name = ? AND hash = ?")
                .bind(1, PasswordHash::hash(password))
                .bind(2, user)
                .bind(3, hash)
                .run();
    } catch (const Error&) {
    }
}

void ArchiveServer::recordLogonFailure(const QString& user) {
    ArchiveDatabase& db = database();
    try {
        db.execute(
            QStringLiteral("CREATE TABLE IF NOT EXISTS logon_failures(user TEXT PRIMARY KEY COLLATE NOCASE,"
                           " failures INTEGER NOT NULL, last_failure REAL NOT NULL)"));
        db.prepare(
              "INSERT INTO logon_failures(user, failures, last_failure) VALUES(?, 1, ?)"
              " ON CONFLICT(user) DO UPDATE SET failures = failures + 1, last_failure = "
              "excluded.last_failure")
            .bind(1, user)
            .bind(2, double(QDateTime::currentMSecsSinceEpoch()) / 1000.0)
            .run();
    } catch (const Error&) {
        // A read-only archive cannot count; the refusal itself still stands.
    }
}

void ArchiveServer::Close() {
    m_user.clear();
}

QStringList ArchiveServer::Users() const {
    QStringList users;
    auto query = database().statement("SELECT name FROM users ORDER BY rowid");
    while (query.next()) users.append(query.text(0));
    return users;
}

QStringList ArchiveServer::Groups() const {
    QStringList groups;
    auto query = database().statement("SELECT name FROM groups ORDER BY rowid");
    while (query.next()) groups.append(query.text(0));
    return groups;
}

QStringList ArchiveServer::groupsOf(const QString& user) const {
    QStringList groups;
    auto query = database().statement(
        "SELECT g.name FROM memberships m JOIN groups g ON g.name = m.grp WHERE m.user = ? ORDER BY g.rowid");
    query.bind(1, user);
    while (query.next()) groups.append(query.text(0));
    return groups;
}

void ArchiveServer::addGroup(const QString& group) {
    if (group.trimmed().isEmpty()) raise(sdkerr::AttributesRefused, QStringLiteral("A group needs a name"));
    database().statement("INSERT OR IGNORE INTO groups(name) VALUES(?)").bind(1, group.trimmed()).run();
}

QString ArchiveServer::storedUser(const QString& user) const {
    auto query = database().statement("SELECT name FROM users WHERE name = ?");
    query.bind(1, user.trimmed());
    if (!query.next())
        raise(sdkerr::AttributesRefused,
              QStringLiteral("There is no user \"%1\" on server \"%2\"").arg(user.trimmed(), m_name));
    return query.text(0);
}

void ArchiveServer::addUser(const QString& user, const QString& password, const QStringList& groups) {
    const QString name = user.trimmed();
    if (name.isEmpty() || name.contains(u' '))
        raise(sdkerr::AttributesRefused, QStringLiteral("\"%1\" is not a usable user name").arg(user));
    // Hashed before the write lock is taken: it takes a tenth of a second on purpose.
    const QByteArray hash = PasswordHash::hash(password);
    ArchiveDatabase& db = database();
    ArchiveTransaction transaction(db);
    {
        auto exists = db.statement("SELECT 1 FROM users WHERE name = ?");
        exists.bind(1, name);
        if (exists.next())
            raise(sdkerr::AttributesRefused, QStringLiteral("The user \"%1\" already exists").arg(name));
    }
    db.statement("INSERT INTO users(name, salt, hash) VALUES(?, zeroblob(0), ?)")
        .bind(1, name)
        .bind(2, hash)
        .run();
    addToGroups(name, groups);
    transaction.commit();
}

void ArchiveServer::addToGroups(const QString& user, const QStringList& groups) {
    ArchiveDatabase& db = database();
    ArchiveTransaction transaction(db);
    const QString name = storedUser(user);
    for (const QString& group : groups) {
        auto known = db.statement("SELECT name FROM groups WHERE name = ?");
        known.bind(1, group.trimmed());
        if (!known.next())
            raise(sdkerr::AttributesRefused, QStringLiteral("There is no group \"%1\"").arg(group));
        db.statement("INSERT OR IGNORE INTO memberships(user, grp) VALUES(?, ?)")
            .bind(1, name)
            .bind(2, known.text(0))
            .run();
    }
    transaction.commit();
}

void ArchiveServer::setPassword(const QString& user, const QString& password) {
    const QByteArray hash = PasswordHash::hash(password);
    ArchiveDatabase& db = database();
    ArchiveTransaction transaction(db);
    const QString name = storedUser(user);
    db.statement("UPDATE users SET salt = zeroblob(0), hash = ? WHERE name = ?")
        .bind(1, hash)
        .bind(2, name)
        .run();
    if (tableExists(db, "logon_failures"))
        db.prepare("DELETE FROM logon_failures WHERE user = ?").bind(1, name).run();
    transaction.commit();
}

void ArchiveServer::removeUser(const QString& user) {
    ArchiveDatabase& db = database();
    ArchiveTransaction transaction(db);
    const QString name = storedUser(user);
    if (name.compare(u"vqadmin", Qt::CaseInsensitive) == 0)
        raise(sdkerr::AttributesRefused,
              QStringLiteral("The user \"vqadmin\" cannot be removed: the library logs on as it"));
    // A point whose owner is gone could no longer be written: its owner must change first.
    QStringList owners;
    for (const QString& column : pointColumns())
        if (column == u"PtOwner" || column == u"DataOwner")
            owners.append(u'"' + column + QStringLiteral("\" = ?1 COLLATE NOCASE"));
    if (!owners.isEmpty()) {
        auto owned = db.prepare(QStringLiteral("SELECT count(*) FROM points WHERE %1")
                                    .arg(owners.join(QStringLiteral(" OR ")))
                                    .toUtf8());
        owned.bind(1, name);
        if (owned.next() && owned.integer(0) > 0)
            raise(sdkerr::AttributesRefused,
                  QStringLiteral("The user \"%1\" owns %2 points or their data: give them another owner "
                                 "first")
                      .arg(name)
                      .arg(owned.integer(0)));
    }
    db.statement("DELETE FROM memberships WHERE user = ?").bind(1, name).run();
    db.statement("DELETE FROM users WHERE name = ?").bind(1, name).run();
    if (tableExists(db, "logon_failures"))
        db.prepare("DELETE FROM logon_failures WHERE user = ?").bind(1, name).run();
    transaction.commit();
}

bool ArchiveServer::hasPassword(const QString& user) const {
    auto query = database().statement("SELECT length(hash) FROM users WHERE name = ?");
    query.bind(1, user.trimmed());
    return query.next() && query.integer(0) > 0;
}

void ArchiveServer::setBusyTimeout(std::chrono::milliseconds timeout) {
    database().setBusyTimeout(timeout);
}

void ArchiveServer::addDigitalSet(const QString& name, const QStringList& states) {
    if (name.trimmed().isEmpty() || states.isEmpty())
        raise(sdkerr::AttributesRefused,
              QStringLiteral("A digital state set needs a name and at least one state"));
    ArchiveDatabase& db = database();
    ArchiveTransaction transaction(db);
    {
        auto exists = db.statement("SELECT 1 FROM digital_sets WHERE name = ?");
        exists.bind(1, name.trimmed());
        if (exists.next())
            raise(sdkerr::AttributesRefused,
                  QStringLiteral("The digital state set \"%1\" already exists").arg(name));
    }
    db.statement("INSERT INTO digital_sets(name) VALUES(?)").bind(1, name.trimmed()).run();
    const qint64 setId = db.lastInsertId();
    for (int code = 0; code < states.size(); ++code)
        db.statement("INSERT INTO digital_states(set_id, code, name) VALUES(?, ?, ?)")
            .bind(1, setId)
            .bind(2, code)
            .bind(3, states[code])
            .run();
    transaction.commit();
}

bool ArchiveServer::isDigitalSet(const QString& name) const {
    auto query = database().statement("SELECT 1 FROM digital_sets WHERE name = ?");
    query.bind(1, name.trimmed());
    return query.next();
}

void ArchiveServer::addArchivedValue(qint64 pointId, const ArchivedValue& value) {
    auto insert = database().statement(
        "INSERT OR REPLACE INTO archive(point_id, time, value, status) VALUES(?, ?, ?, ?)");
    insert.bind(1, pointId).bind(2, double(value.time.toMSecsSinceEpoch()) / 1000.0).bind(4, value.status);
    if (value.value.isNumberType())
        insert.bind(3, value.value.toDouble());
    else
        insert.bind(3, value.value.toString());
    insert.run();
}

std::optional<ArchivedValue> ArchiveServer::currentValue(qint64 pointId) {
    auto query = database().statement(
        "SELECT time, value, status FROM archive WHERE point_id = ? ORDER BY time DESC LIMIT 1");
    query.bind(1, pointId);
    if (!query.next()) return std::nullopt;
    ArchivedValue value;
    value.time = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(query.real(0) * 1000.0)), Qt::UTC);
    value.value =
        query.columnType(1) == 3 /* SQLITE_TEXT */ ? Variant(query.text(1)) : Variant(query.real(1));
    value.status = int32_t(query.integer(2));
    return value;
}

std::optional<ArchivePointHeader> ArchiveServer::findPoint(const QString& tag) const {
    auto query = database().statement(
        "SELECT point_id, \"Tag\", class_id, \"PointType\" FROM points WHERE tag_key = ?");
    query.bind(1, foldKey(tag.trimmed()));
    if (!query.next()) return std::nullopt;
    return ArchivePointHeader{query.integer(0), query.text(1), query.integer(2),
                              SdkPointType(query.integer(3))};
}

ArchivePointHeader ArchiveServer::pointHeader(qint64 pointId) const {
    auto query = database().statement(
        "SELECT point_id, \"Tag\", class_id, \"PointType\" FROM points WHERE point_id = ?");
    query.bind(1, pointId);
    if (!query.next())
        raise(sdkerr::PointUnknown,
              QStringLiteral("Point %1 does not exist on server \"%2\"").arg(pointId).arg(m_name));
    return ArchivePointHeader{query.integer(0), query.text(1), query.integer(2),
                              SdkPointType(query.integer(3))};
}

std::vector<Variant> ArchiveServer::readAttributes(ArchivePointHeader& header) const {
    const ArchiveClassInfo* info = classById(header.classId);
    if (!info)
        raise(sdkerr::ClassUnknown, QStringLiteral("Point \"%1\" has an unknown class").arg(header.tag));
    const Loaded::ClassQuery& classQuery = *m_loaded->queries.constFind(info->id);
    auto query = m_loaded->db->cachedStatement(classQuery.sql.constData());
    query.bind(1, header.id);
    if (!query.next())
        raise(sdkerr::PointUnknown,
              QStringLiteral("Point \"%1\" does not exist on server \"%2\"").arg(header.tag, m_name));
    header.tag = query.text(0);
    header.pointType = SdkPointType(query.integer(1));
    std::vector<Variant> values;
    values.reserve(info->attributes.size());
    for (size_t i = 0; i < info->attributes.size(); ++i) {
        const AttributeDef& def = info->attributes[i];
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
                values.emplace_back(dateFromText(query.text(column)));
                break;
        }
    }
    // Values derived from the point itself rather than stored.
    const double span = classQuery.span >= 0 ? values[size_t(classQuery.span)].toDouble() : 0;
    for (size_t i = 0; i < info->attributes.size(); ++i) {
        if (classQuery.columns[i] >= 0) continue;
        const QString& name = info->attributes[i].name;
        if (name == u"PointID" || name == u"RecNo" || name == u"PointNumber") {
            values[i] = Variant(int32_t(header.id));
        } else if (name == u"CompDevPercent" || name == u"ExcDevPercent") {
            const int base = name == u"CompDevPercent" ? classQuery.compDev : classQuery.excDev;
            if (base >= 0 && span != 0)
                values[i] = Variant(float(values[size_t(base)].toDouble() * 100.0 / span));
        }
    }
    return values;
}

int ArchiveServer::pointCount() const {
    auto query = database().statement("SELECT count(*) FROM points");
    return query.next() ? int(query.integer(0)) : 0;
}

void ArchiveServer::requireConnection(const QString& what) const {
    if (!IsConnected())
        raise(sdkerr::NotConnected,
              QStringLiteral("Not logged on to server \"%1\": cannot %2").arg(m_name, what));
}

SdkPointsPtr ArchiveServer::Points() {
    ensureOpen();
    return std::make_shared<ArchivePoints>(shared_from_this());
}

SdkPointClassesPtr ArchiveServer::PointClasses() {
    ensureOpen();
    return std::make_shared<ArchivePointClasses>(shared_from_this());
}

SdkDigitalStateSetsPtr ArchiveServer::DigitalStateSets() {
    return std::make_shared<ArchiveDigitalStateSets>(shared_from_this());
}

SdkPointListPtr ArchiveServer::GetPointsSQL(const QString& whereClause, const SdkNamedValues& extraTables,
                                            SdkNamedValues*) {
    ensureOpen();
    // The answer is gathered first, so that the list is allocated once at its final size.
    std::vector<std::pair<qint64, qsizetype>> found;
    QString tags;
    try {
        const SqlNodePtr clause = SqlDialectParser::parse(whereClause);
        checkExtraTables(*clause, extraTables);
        m_loaded->search->search(*clause, [&](qint64 pointId, QStringView tag) {
            found.emplace_back(pointId, tags.size());
            tags.append(tag);
        });
    } catch (Error& error) {
        error.setSource(QStringLiteral("VQArchive(%1)").arg(m_name));
        throw;
    }
    if (found.empty())
        raise(errc::NoPointsFound,
              QStringLiteral("No point on server \"%1\" matches the where clause").arg(m_name));
    auto list = SdkPointList::create();
    list->Reserve(int(found.size()), int(tags.size()));
    const SdkServerPtr self = shared_from_this();
    for (size_t i = 0; i < found.size(); ++i) {
        const qsizetype end = i + 1 < found.size() ? found[i + 1].second : tags.size();
        list->AddHandle(self, found[i].first, QStringView(tags).mid(found[i].second, end - found[i].second));
    }
    return list;
}

QStringList ArchiveServer::TagsStartingWith(const QString& prefix, int maxCount) {
    ensureOpen();
    QStringList tags;
    if (maxCount <= 0) return tags;
    // Keys that begin with the prefix are the first ones at or after it: the first key that does
    // not ends them.
    const QString key = foldKey(prefix);
    auto query = database().cachedStatement(
        "SELECT tag_key, \"Tag\" FROM points WHERE tag_key >= ? ORDER BY tag_key LIMIT ?");
    query.bind(1, key).bind(2, qint64(maxCount));
    while (query.next() && query.text(0).startsWith(key)) tags << query.text(1);
    return tags;
}

void ArchiveServer::checkExtraTables(const SqlNode& clause, const SdkNamedValues& extraTables) const {
    for (const SdkNamedValue& entry : extraTables) {
        SqlTable table;
        if (!SqlDialectVocabulary::findTable(entry.Name(), table))
            raise(sdkerr::QueryInvalid,
                  QStringLiteral("The extra-table set names \"%1\", which is not a table of the "
                                 "archive; the tables are %2")
                      .arg(entry.Name(), SqlDialectVocabulary::tableNames().join(u", ")));
    }
    for (SqlTable table : SqlDialectParser::tablesOf(clause)) {
        if (table == SqlTable::Point || extraTables.Contains(SqlDialectVocabulary::setName(table))) continue;
        raise(sdkerr::QueryInvalid,
              QStringLiteral(
                  "The where clause uses table %1, which is missing from the extra-table set; add \"%2\" "
                  "to the set")
                  .arg(SqlDialectVocabulary::tableName(table), SqlDialectVocabulary::setName(table)));
    }
}

void ArchiveServer::setSearchTimeLimit(std::chrono::milliseconds limit) {
    ensureOpen();
    m_loaded->search->setTimeLimit(limit);
}

void ArchiveServer::cancelSearch() {
    if (m_loaded && m_loaded->search) m_loaded->search->cancel();
}

bool ArchiveServer::isSearching() const {
    return m_loaded && m_loaded->search && m_loaded->search->isRunning();
}

SdkPointPtr ArchiveServer::PointFromHandle(qint64 pointId, const QString& tag) {
    return std::make_shared<ArchivePoint>(shared_from_this(), pointId, tag);
}

QString ArchiveServer::dateText(const QDateTime& time) {
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

namespace {

// The digits of text[from, from + count), or -1 when one is not a digit.
int digitsAt(const QString& text, qsizetype from, qsizetype count) {
    int number = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9') return -1;
        number = number * 10 + (c - u'0');
    }
    return number;
}

// The form dateText writes, read as UTC directly: the general parser reads it as local time
// first, and the time-zone work that takes is most of the cost of loading a point's dates.
std::optional<QDateTime> storedDate(const QString& text) {
    if (text.size() != 19 || text.at(4) != u'-' || text.at(7) != u'-' || text.at(10) != u'T' ||
        text.at(13) != u':' || text.at(16) != u':')
        return std::nullopt;
    const int fields[] = {digitsAt(text, 0, 4),  digitsAt(text, 5, 2),  digitsAt(text, 8, 2),
                          digitsAt(text, 11, 2), digitsAt(text, 14, 2), digitsAt(text, 17, 2)};
    if (std::any_of(std::begin(fields), std::end(fields), [](int field) { return field < 0; }))
        return std::nullopt;
    const QDate date(fields[0], fields[1], fields[2]);
    const QTime time(fields[3], fields[4], fields[5]);
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time, Qt::UTC);
}

}  // namespace

QDateTime ArchiveServer::dateFromText(const QString& text) {
    if (std::optional<QDateTime> stored = storedDate(text)) return *stored;
    QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    time.setTimeSpec(Qt::UTC);
    return time;
}

void ArchiveServer::raise(int32_t number, const QString& description) const {
    throw Error(number, QStringLiteral("VQArchive(%1)").arg(m_name), description);
}

}  // namespace vq
