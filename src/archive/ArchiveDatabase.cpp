#include "ArchiveDatabase.h"

#include "sdk/SdkErrors.h"

#include <QFileInfo>

#include <sqlite3.h>

namespace vq {

namespace {

const QString archiveSource = QStringLiteral("VQArchive");

QString sqliteMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Errors that mean the file itself is unusable rather than that one statement failed.
bool isFileError(int code) {
    const int primary = code & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT || primary == SQLITE_CANTOPEN ||
           primary == SQLITE_IOERR || primary == SQLITE_PERM;
}

}  // namespace

ArchiveDatabase::ArchiveDatabase(const QString& path, OpenMode mode) : m_path(path) {
    const QFileInfo info(path);
    if (mode == OpenMode::Existing && !info.exists()) {
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" does not exist").arg(path));
    }
    if (mode == OpenMode::Create && info.exists()) {
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" already exists").arg(path));
    }
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::Create) flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? sqliteMessage(m_db) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" cannot be opened: %2").arg(path, message));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_timeout(m_db, 5000);
    try {
        // WAL lets readers in other processes work beside one writer; FULL makes every commit durable.
        execute(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;"));
    } catch (...) {
        sqlite3_close(m_db);
        m_db = nullptr;
        throw;
    }
}

ArchiveDatabase::~ArchiveDatabase() {
    for (sqlite3_stmt* stmt : std::as_const(m_statements)) sqlite3_finalize(stmt);
    sqlite3_close(m_db);
}

ArchiveStatement ArchiveDatabase::cachedStatement(const char* sql) {
    auto it = m_statements.constFind(sql);
    if (it != m_statements.constEnd()) return ArchiveStatement(this, it.value());
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK)
        raise(QStringLiteral("preparing a statement"));
    m_statements.insert(sql, stmt);
    return ArchiveStatement(this, stmt);
}

ArchiveStatement ArchiveDatabase::prepare(const QByteArray& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        raise(QStringLiteral("preparing a statement"));
    return ArchiveStatement(this, stmt, true);
}

void ArchiveDatabase::execute(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        raise(QStringLiteral("running \"%1\"").arg(sql.left(60)));
    }
}

qint64 ArchiveDatabase::lastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}
int ArchiveDatabase::changes() const {
    return sqlite3_changes(m_db);
}

void ArchiveDatabase::begin() {
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}
void ArchiveDatabase::commit() {
    execute(QStringLiteral("COMMIT"));
}
void ArchiveDatabase::rollback() {
    if (inTransaction()) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}
bool ArchiveDatabase::inTransaction() const {
    return !sqlite3_get_autocommit(m_db);
}

void ArchiveDatabase::raise(const QString& what) const {
    const int code = sqlite3_extended_errcode(m_db);
    const QString message = sqliteMessage(m_db);
    if (isFileError(code)) {
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" is damaged or is not a VQ archive (%2)")
                        .arg(m_path, message));
    }
    throw Error(sdkerr::StorageFailed, archiveSource,
                QStringLiteral("The archive \"%1\" failed while %2: %3").arg(m_path, what, message));
}

ArchiveStatement::~ArchiveStatement() {
    if (m_stmt && m_owned) {
        sqlite3_finalize(m_stmt);
    } else if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

ArchiveStatement& ArchiveStatement::bind(int position, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

ArchiveStatement& ArchiveStatement::bind(int position, qint64 value) {
    sqlite3_bind_int64(m_stmt, position, value);
    return *this;
}

ArchiveStatement& ArchiveStatement::bind(int position, double value) {
    sqlite3_bind_double(m_stmt, position, value);
    return *this;
}

ArchiveStatement& ArchiveStatement::bind(int position, const QByteArray& blob) {
    sqlite3_bind_blob(m_stmt, position, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
    return *this;
}

ArchiveStatement& ArchiveStatement::bindNull(int position) {
    sqlite3_bind_null(m_stmt, position);
    return *this;
}

bool ArchiveStatement::next() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    m_db->raise(QStringLiteral("reading or writing"));
}

void ArchiveStatement::run() {
    while (next()) {
    }
}

bool ArchiveStatement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString ArchiveStatement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
}

qint64 ArchiveStatement::integer(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}
double ArchiveStatement::real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

QByteArray ArchiveStatement::blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

int ArchiveStatement::columnType(int column) const {
    return sqlite3_column_type(m_stmt, column);
}

ArchiveTransaction::ArchiveTransaction(ArchiveDatabase& db) : m_db(db), m_nested(db.inTransaction()) {
    if (m_nested)
        m_db.execute(QStringLiteral("SAVEPOINT write_step"));
    else
        m_db.begin();
}

void ArchiveTransaction::commit() {
    if (m_nested)
        m_db.execute(QStringLiteral("RELEASE write_step"));
    else
        m_db.commit();
    m_done = true;
}

ArchiveTransaction::~ArchiveTransaction() {
    if (m_done) return;
    if (m_nested) {
        sqlite3_exec(m_db.handle(), "ROLLBACK TO write_step; RELEASE write_step", nullptr, nullptr, nullptr);
    } else {
        m_db.rollback();
    }
}

}  // namespace vq
