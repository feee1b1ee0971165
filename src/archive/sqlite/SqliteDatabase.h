#pragma once

#include "core/Variant.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <chrono>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace vq {

class SqliteStatement;

// One SQLite connection to an archive file: opening with the durability settings, cached
// prepared statements, transactions, and SQLite failures turned into Errors that name the file.
// The SQLite storage (SqliteArchiveStorage) works through it; another storage engine is another
// ArchiveStorage, not a change here.
class SqliteDatabase {
public:
    enum class OpenMode { Existing, Create };

    // Opens (or creates, with the file permissions `createMode`) the file; a missing, unreadable
    // or foreign file raises.
    SqliteDatabase(const QString& path, OpenMode mode, int createMode = 0600);
    ~SqliteDatabase();
    SqliteDatabase(const SqliteDatabase&) = delete;
    SqliteDatabase& operator=(const SqliteDatabase&) = delete;

    const QString& path() const { return m_path; }
    // True when the file or its folder could not be written at opening: reads work, writes raise.
    bool readOnly() const { return m_readOnly; }
    // True when it is read as a file nobody can change (it lies in a read-only folder).
    bool immutable() const { return m_immutable; }
    // The name under which SQLite opens `path` as a file nobody changes.
    static QByteArray immutableUri(const QString& path);
    sqlite3* handle() const { return m_db; }

    // A cached statement, reset and with its bindings cleared. The cache is keyed by the text's
    // address (no hashing of long SQL on every call), so only literals are taken here...
    template <size_t N>
    SqliteStatement statement(const char (&sql)[N]);
    // ...and text that lives as long as the database does, such as SQL built once per class.
    SqliteStatement cachedStatement(const char* keptSql);
    // A statement used once (SQL built for one write); finalized when it goes out of scope.
    SqliteStatement prepare(const QByteArray& sql);
    // Runs SQL without results (several statements allowed).
    void execute(const QString& sql);

    // How long a write waits for another writer before it gives up.
    void setBusyTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds busyTimeout() const { return m_busyTimeout; }

    qint64 lastInsertId() const;
    int changes() const;

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;

    // Raises the current SQLite error with `what` saying what was being done.
    [[noreturn]] void raise(const QString& what) const;

private:
    void openConnection(int access, const QByteArray& name = {});
    static void checkSize(const QString& path);

    QString m_path;
    sqlite3* m_db = nullptr;
    bool m_readOnly = false;
    bool m_immutable = false;
    QHash<const char*, sqlite3_stmt*> m_statements;
    std::chrono::milliseconds m_busyTimeout{5000};
};

// A prepared statement in use; resets itself when it goes out of scope.
class SqliteStatement {
public:
    SqliteStatement(SqliteDatabase* db, sqlite3_stmt* stmt, bool owned = false)
        : m_db(db), m_stmt(stmt), m_owned(owned) {}
    ~SqliteStatement();
    SqliteStatement(SqliteStatement&& other) noexcept
        : m_db(other.m_db), m_stmt(other.m_stmt), m_owned(other.m_owned) {
        other.m_stmt = nullptr;
    }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Bind positions count from 1.
    SqliteStatement& bind(int position, const QString& value);
    SqliteStatement& bind(int position, qint64 value);
    SqliteStatement& bind(int position, int value) { return bind(position, qint64(value)); }
    SqliteStatement& bind(int position, double value);
    SqliteStatement& bind(int position, const QByteArray& blob);
    // Binds text already in UTF-8 without copying it: `utf8` must outlive the statement's next run.
    SqliteStatement& bindUtf8(int position, const QByteArray& utf8);
    SqliteStatement& bindNull(int position);

    // Steps once; true while a row is available.
    bool next();
    // Steps to completion of a statement without rows.
    void run();
    // Makes a statement that ran ready to be bound and run again.
    void reset();

    // Column positions count from 0.
    bool isNull(int column) const;
    QString text(int column) const;
    qint64 integer(int column) const;
    double real(int column) const;
    QByteArray blob(int column) const;
    int columnType(int column) const;

    sqlite3_stmt* handle() const { return m_stmt; }

private:
    SqliteDatabase* m_db;
    sqlite3_stmt* m_stmt;
    bool m_owned;
};

template <size_t N>
SqliteStatement SqliteDatabase::statement(const char (&sql)[N]) {
    return cachedStatement(sql);
}

// Commits when `commit()` is called, rolls back otherwise. Inside another transaction it is a
// savepoint, so a batch of writes can share one commit and still undo one of them.
class SqliteTransaction {
public:
    explicit SqliteTransaction(SqliteDatabase& db);
    ~SqliteTransaction();
    void commit();

private:
    SqliteDatabase& m_db;
    bool m_nested;
    bool m_done = false;
};

}  // namespace vq
