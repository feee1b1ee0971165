// The archive's users, groups and failed log-ons in an SQLite file.
#include "archive/sqlite/SqliteArchiveStorage.h"

#include "archive/sqlite/SqliteDatabase.h"
#include "archive/storage/StoredText.h"

namespace vq {

std::optional<ArchiveUserRecord> SqliteArchiveStorage::findUser(const QString& name) {
    auto query = m_db->statement("SELECT name, salt, hash FROM users WHERE name = ?");
    query.bind(1, name);
    if (!query.next()) return std::nullopt;
    return ArchiveUserRecord{query.text(0), query.blob(1), query.blob(2)};
}

QStringList SqliteArchiveStorage::users() {
    QStringList users;
    auto query = m_db->statement("SELECT name FROM users ORDER BY rowid");
    while (query.next()) users.append(query.text(0));
    return users;
}

QStringList SqliteArchiveStorage::groups() {
    QStringList groups;
    auto query = m_db->statement("SELECT name FROM groups ORDER BY rowid");
    while (query.next()) groups.append(query.text(0));
    return groups;
}

std::optional<QString> SqliteArchiveStorage::findGroup(const QString& name) {
    auto query = m_db->statement("SELECT name FROM groups WHERE name = ?");
    query.bind(1, name);
    if (!query.next()) return std::nullopt;
    return query.text(0);
}

QStringList SqliteArchiveStorage::groupsOf(const QString& user) {
    QStringList groups;
    auto query = m_db->statement(
        "SELECT g.name FROM memberships m JOIN groups g ON g.name = m.grp WHERE m.user = ? ORDER BY g.rowid");
    query.bind(1, user);
    while (query.next()) groups.append(query.text(0));
    return groups;
}

void SqliteArchiveStorage::addGroup(const QString& name) {
    StoredText::check(name, QStringLiteral("The group name"));
    m_db->statement("INSERT OR IGNORE INTO groups(name) VALUES(?)").bind(1, name).run();
}

void SqliteArchiveStorage::addUser(const QString& name, const QByteArray& hash, const QByteArray& salt) {
    StoredText::check(name, QStringLiteral("The user name"));
    m_db->statement("INSERT INTO users(name, salt, hash) VALUES(?, ?, ?)")
        .bind(1, name)
        .bind(2, salt.isNull() ? QByteArray("") : salt)
        .bind(3, hash)
        .run();
}

void SqliteArchiveStorage::addMembership(const QString& user, const QString& group) {
    m_db->statement("INSERT OR IGNORE INTO memberships(user, grp) VALUES(?, ?)")
        .bind(1, user)
        .bind(2, group)
        .run();
}

void SqliteArchiveStorage::removeUser(const QString& name) {
    m_db->statement("DELETE FROM memberships WHERE user = ?").bind(1, name).run();
    m_db->statement("DELETE FROM users WHERE name = ?").bind(1, name).run();
    clearLogonFailures(name);
}

void SqliteArchiveStorage::setPasswordHash(const QString& user, const QByteArray& hash,
                                           const std::optional<QByteArray>& onlyIfHash) {
    if (onlyIfHash) {
        m_db->prepare("UPDATE users SET salt = zeroblob(0), hash = ? WHERE name = ? AND hash = ?")
            .bind(1, hash)
            .bind(2, user)
            .bind(3, *onlyIfHash)
            .run();
        return;
    }
    m_db->statement("UPDATE users SET salt = zeroblob(0), hash = ? WHERE name = ?")
        .bind(1, hash)
        .bind(2, user)
        .run();
}

qint64 SqliteArchiveStorage::pointsOwnedBy(const QString& user) {
    QStringList owners;
    for (const QString& column : m_columns)
        if (column == u"PtOwner" || column == u"DataOwner")
            owners.append(u'"' + column + QStringLiteral("\" = ?1 COLLATE NOCASE"));
    if (owners.isEmpty()) return 0;
    auto owned = m_db->prepare(QStringLiteral("SELECT count(*) FROM points WHERE %1")
                                   .arg(owners.join(QStringLiteral(" OR ")))
                                   .toUtf8());
    owned.bind(1, user);
    return owned.next() ? owned.integer(0) : 0;
}

// The table of failures is made on the first failure, so archives that never had one stay as
// they were; statements on it are prepared each time for the same reason.
std::optional<ArchiveLogonFailures> SqliteArchiveStorage::logonFailures(const QString& user) {
    if (!hasTable("logon_failures")) return std::nullopt;
    auto failures = m_db->prepare("SELECT failures, last_failure FROM logon_failures WHERE user = ?");
    failures.bind(1, user);
    if (!failures.next()) return std::nullopt;
    return ArchiveLogonFailures{int(failures.integer(0)), failures.real(1)};
}

void SqliteArchiveStorage::recordLogonFailure(const QString& user, double when) {
    m_db->execute(
        QStringLiteral("CREATE TABLE IF NOT EXISTS logon_failures(user TEXT PRIMARY KEY COLLATE NOCASE,"
                       " failures INTEGER NOT NULL, last_failure REAL NOT NULL)"));
    m_db->prepare(
            "INSERT INTO logon_failures(user, failures, last_failure) VALUES(?, 1, ?)"
            " ON CONFLICT(user) DO UPDATE SET failures = failures + 1, last_failure = "
            "excluded.last_failure")
        .bind(1, user)
        .bind(2, when)
        .run();
}

void SqliteArchiveStorage::clearLogonFailures(const QString& user) {
    if (hasTable("logon_failures"))
        m_db->prepare("DELETE FROM logon_failures WHERE user = ?").bind(1, user).run();
}

void SqliteArchiveStorage::setLogonFailures(const QString& user, const ArchiveLogonFailures& failures) {
    m_db->execute(
        QStringLiteral("CREATE TABLE IF NOT EXISTS logon_failures(user TEXT PRIMARY KEY COLLATE NOCASE,"
                       " failures INTEGER NOT NULL, last_failure REAL NOT NULL)"));
    m_db->prepare(
            "INSERT INTO logon_failures(user, failures, last_failure) VALUES(?, ?, ?)"
            " ON CONFLICT(user) DO UPDATE SET failures = excluded.failures,"
            " last_failure = excluded.last_failure")
        .bind(1, user)
        .bind(2, failures.count)
        .bind(3, failures.lastFailure)
        .run();
}

}  // namespace vq
