#include "archive/sqlite/SqliteDatabase.h"

#include "sdk/SdkErrors.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vq {

namespace {

const QString archiveSource = QStringLiteral("VQArchive");

QString sqliteMessage(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Waits for another writer in short, jittered steps rather than SQLite's growing sleeps, so that
// several busy writers take turns and none starves until its timeout.
int busyHandler(void* context, int attempt) {
    const auto* db = static_cast<const SqliteDatabase*>(context);
    thread_local std::chrono::steady_clock::time_point started;
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) started = now;
    if (now - started >= db->busyTimeout()) return 0;
    const int micros = 200 + int(QRandomGenerator::global()->bounded(std::min(200 + attempt * 100, 5000)));
    std::this_thread::sleep_for(std::chrono::microseconds(micros));
    return 1;
}

// Creates the file with the given permissions whatever the umask, and never over another file.
void createFile(const QString& path, int mode) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0) {
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" cannot be created: %2")
                        .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    ::fchmod(fd, mode_t(mode));
    ::close(fd);
}

// Why a file that SQLite cannot open or write is unusable, in the words of its owner.
QString fileProblem(const QString& path) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!info.exists()) return QStringLiteral("it does not exist");
    if (::access(QFile::encodeName(path).constData(), R_OK) != 0) return QStringLiteral("it cannot be read");
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0)
        return QStringLiteral("its folder \"%1\" is read-only").arg(folder.absoluteFilePath());
    return {};
}

}  // namespace

SqliteDatabase::SqliteDatabase(const QString& path, OpenMode mode, int createMode) : m_path(path) {
    const QFileInfo info(path);
    if (mode == OpenMode::Existing && !info.exists()) {
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" does not exist").arg(path));
    }
    if (mode == OpenMode::Create && info.exists()) {
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" already exists").arg(path));
    }
    if (mode == OpenMode::Create) createFile(path, createMode);
    if (mode == OpenMode::Existing) checkSize(path);
    openConnection(SQLITE_OPEN_READWRITE);
    try {
        // WAL lets readers in other processes work beside one writer; FULL makes every commit durable.
        execute(QStringLiteral("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON;"));
    } catch (const Error&) {
        const int code = sqlite3_errcode(m_db);
        sqlite3_close(m_db);
        m_db = nullptr;
        // A read-only file or folder can still be read: writes then say why they cannot be made.
        if (mode != OpenMode::Existing ||
            (code != SQLITE_READONLY && code != SQLITE_CANTOPEN && code != SQLITE_PERM))
            throw;
        openConnection(SQLITE_OPEN_READONLY);
        m_readOnly = true;
        // In a read-only folder no journal files can be made beside the archive, so SQLite cannot
        // share it; no one can write it there either, so it is read as a file that cannot change.
        if (sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr) !=
                SQLITE_OK &&
            !QFileInfo::exists(path + QStringLiteral("-wal"))) {
            sqlite3_close(m_db);
            m_db = nullptr;
            openConnection(SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, immutableUri(path));
            m_immutable = true;
        }
        try {
            execute(QStringLiteral("PRAGMA foreign_keys=ON; SELECT count(*) FROM sqlite_schema;"));
        } catch (...) {
            sqlite3_close(m_db);
            m_db = nullptr;
            throw;
        }
    }
}

QByteArray SqliteDatabase::immutableUri(const QString& path) {
    return "file:" + QFileInfo(path).absoluteFilePath().toUtf8().toPercentEncoding("/") + "?immutable=1";
}

void SqliteDatabase::openConnection(int access, const QByteArray& name) {
    const QByteArray target = name.isEmpty() ? m_path.toUtf8() : name;
    const int rc = sqlite3_open_v2(target.constData(), &m_db, access | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = m_db ? sqliteMessage(m_db) : QStringLiteral("out of memory");
        sqlite3_close(m_db);
        m_db = nullptr;
        const QString problem = fileProblem(m_path);
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" cannot be opened: %2")
                        .arg(m_path, problem.isEmpty() ? message : problem));
    }
    sqlite3_extended_result_codes(m_db, 1);
    sqlite3_busy_handler(m_db, busyHandler, this);
}

// A file shorter than its header says was cut short (a copy that stopped, a full disk): it is
// refused before SQLite reads into the missing part.
void SqliteDatabase::checkSize(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;  // SQLite says why when it opens it
    const qint64 size = file.size();
    if (size == 0)
        throw Error(sdkerr::ServerUnavailable, archiveSource,
                    QStringLiteral("The archive file \"%1\" is empty: it is not a VQ archive").arg(path));
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith("SQLite format 3")) return;
    auto number = [&](int at, int bytes) {
        quint32 value = 0;
        for (int i = 0; i < bytes; ++i) value = (value << 8) | uchar(header[at + i]);
        return value;
    };
    const quint32 pageSize = number(16, 2) == 1 ? 65536 : number(16, 2);
    const quint32 pages = number(28, 4);
    // The page count is only kept by writers that also stamp it with the change counter.
    if (number(92, 4) != number(24, 4) || QFileInfo::exists(path + QStringLiteral("-wal"))) return;
    const qint64 expected = qint64(pageSize) * pages;
    if (size < expected)
        throw Error(
            sdkerr::ServerUnavailable, archiveSource,
            QStringLiteral("The archive file \"%1\" is damaged: it was cut short (%2 of its %3 bytes)")
                .arg(path)
                .arg(size)
                .arg(expected));
}

SqliteDatabase::~SqliteDatabase() {
    for (sqlite3_stmt* stmt : std::as_const(m_statements)) sqlite3_finalize(stmt);
    sqlite3_close(m_db);
}

void SqliteDatabase::setBusyTimeout(std::chrono::milliseconds timeout) {
    m_busyTimeout = timeout;
}

SqliteStatement SqliteDatabase::cachedStatement(const char* sql) {
    auto it = m_statements.constFind(sql);
    if (it != m_statements.constEnd()) return SqliteStatement(this, it.value());
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK)
        raise(QStringLiteral("preparing a statement"));
    m_statements.insert(sql, stmt);
    return SqliteStatement(this, stmt);
}

SqliteStatement SqliteDatabase::prepare(const QByteArray& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db, sql.constData(), int(sql.size()), &stmt, nullptr) != SQLITE_OK)
        raise(QStringLiteral("preparing a statement"));
    return SqliteStatement(this, stmt, true);
}

void SqliteDatabase::execute(const QString& sql) {
    char* message = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        sqlite3_free(message);
        raise(QStringLiteral("running \"%1\"").arg(sql.left(60)));
    }
}

qint64 SqliteDatabase::lastInsertId() const {
    return sqlite3_last_insert_rowid(m_db);
}
int SqliteDatabase::changes() const {
    return sqlite3_changes(m_db);
}

void SqliteDatabase::begin() {
    execute(QStringLiteral("BEGIN IMMEDIATE"));
}
void SqliteDatabase::commit() {
    execute(QStringLiteral("COMMIT"));
}
void SqliteDatabase::rollback() {
    if (inTransaction()) sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}
bool SqliteDatabase::inTransaction() const {
    return !sqlite3_get_autocommit(m_db);
}

void SqliteDatabase::raise(const QString& what) const {
    const int code = sqlite3_extended_errcode(m_db);
    const QString message = sqliteMessage(m_db);
    const QString problem = fileProblem(m_path);
    switch (code & 0xff) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            throw Error(sdkerr::ServerUnavailable, archiveSource,
                        QStringLiteral("The archive file \"%1\" is damaged or is not a VQ archive (%2)")
                            .arg(m_path, message));
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
            throw Error(
                sdkerr::ServerUnavailable, archiveSource,
                QStringLiteral("The archive file \"%1\" cannot be opened%2 (%3)")
                    .arg(m_path, problem.isEmpty() ? QString() : QStringLiteral(": ") + problem, message));
        case SQLITE_READONLY:
            throw Error(
                sdkerr::ReadOnly, archiveSource,
                QStringLiteral("The archive \"%1\" is read-only%2: nothing was changed (%3)")
                    .arg(m_path, problem.isEmpty() ? QString() : QStringLiteral(" (") + problem + u')',
                         message));
        case SQLITE_FULL:
            throw Error(sdkerr::StorageFailed, archiveSource,
                        QStringLiteral("The archive \"%1\" is full (its disk or its size limit) while %2: "
                                       "nothing was changed")
                            .arg(m_path, what));
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            throw Error(sdkerr::StorageFailed, archiveSource,
                        QStringLiteral("The archive \"%1\" is busy: another program has been writing to it "
                                       "for more than %2 s; nothing was changed, try again")
                            .arg(m_path)
                            .arg(double(m_busyTimeout.count()) / 1000.0));
        case SQLITE_IOERR:
            throw Error(sdkerr::StorageFailed, archiveSource,
                        QStringLiteral("The archive \"%1\" could not be read or written while %2%3 (%4)")
                            .arg(m_path, what, problem.isEmpty() ? QString() : QStringLiteral(": ") + problem,
                                 message));
        default:
            break;
    }
    throw Error(sdkerr::StorageFailed, archiveSource,
                QStringLiteral("The archive \"%1\" failed while %2: %3").arg(m_path, what, message));
}

SqliteStatement::~SqliteStatement() {
    if (m_stmt && m_owned) {
        sqlite3_finalize(m_stmt);
    } else if (m_stmt) {
        sqlite3_reset(m_stmt);
        sqlite3_clear_bindings(m_stmt);
    }
}

SqliteStatement& SqliteStatement::bind(int position, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    sqlite3_bind_text(m_stmt, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int position, qint64 value) {
    sqlite3_bind_int64(m_stmt, position, value);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int position, double value) {
    sqlite3_bind_double(m_stmt, position, value);
    return *this;
}

SqliteStatement& SqliteStatement::bind(int position, const QByteArray& blob) {
    sqlite3_bind_blob(m_stmt, position, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement& SqliteStatement::bindUtf8(int position, const QByteArray& utf8) {
    sqlite3_bind_text(m_stmt, position, utf8.constData(), int(utf8.size()), SQLITE_STATIC);
    return *this;
}

SqliteStatement& SqliteStatement::bindNull(int position) {
    sqlite3_bind_null(m_stmt, position);
    return *this;
}

bool SqliteStatement::next() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    m_db->raise(QStringLiteral("reading or writing"));
}

void SqliteStatement::run() {
    while (next()) {
    }
}

void SqliteStatement::reset() {
    sqlite3_reset(m_stmt);
}

bool SqliteStatement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

QString SqliteStatement::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, column));
}

qint64 SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}
double SqliteStatement::real(int column) const {
    return sqlite3_column_double(m_stmt, column);
}

QByteArray SqliteStatement::blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(m_stmt, column));
    return QByteArray(data, sqlite3_column_bytes(m_stmt, column));
}

int SqliteStatement::columnType(int column) const {
    return sqlite3_column_type(m_stmt, column);
}

SqliteTransaction::SqliteTransaction(SqliteDatabase& db) : m_db(db), m_nested(db.inTransaction()) {
    if (m_nested)
        m_db.execute(QStringLiteral("SAVEPOINT write_step"));
    else
        m_db.begin();
}

void SqliteTransaction::commit() {
    if (m_nested)
        m_db.execute(QStringLiteral("RELEASE write_step"));
    else
        m_db.commit();
    m_done = true;
}

SqliteTransaction::~SqliteTransaction() {
    if (m_done) return;
    if (m_nested) {
        sqlite3_exec(m_db.handle(), "ROLLBACK TO write_step; RELEASE write_step", nullptr, nullptr, nullptr);
    } else {
        m_db.rollback();
    }
}

}  // namespace vq
