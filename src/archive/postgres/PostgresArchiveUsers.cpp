// The archive's users, groups and failed log-ons in a PostgreSQL database.
#include "archive/postgres/PostgresArchiveStorage.h"

#include "archive/postgres/PostgresArchiveSchema.h"
#include "archive/storage/StoredText.h"

namespace vq {

using pg::Param;

std::optional<ArchiveUserRecord> PostgresArchiveStorage::findUser(const QString& name) {
    if (StoredText::hasNul(name)) return std::nullopt;  // the server would look for the name cut there
    const pg::Rows rows =
        run(QStringLiteral("reading its users"),
            "SELECT name, salt, hash FROM users WHERE lower(name) = lower($1)", {Param::text(name)});
    if (rows.count() == 0) return std::nullopt;
    return ArchiveUserRecord{rows.text(0, 0), rows.bytes(0, 1), rows.bytes(0, 2)};
}

QStringList PostgresArchiveStorage::users() {
    return texts(QStringLiteral("reading its users"), "SELECT name FROM users ORDER BY seq");
}

QStringList PostgresArchiveStorage::groups() {
    return texts(QStringLiteral("reading its groups"), "SELECT name FROM groups ORDER BY seq");
}

std::optional<QString> PostgresArchiveStorage::findGroup(const QString& name) {
    const QStringList found =
        texts(QStringLiteral("reading its groups"), "SELECT name FROM groups WHERE lower(name) = lower($1)",
              {Param::text(name)});
    if (found.isEmpty()) return std::nullopt;
    return found.front();
}

QStringList PostgresArchiveStorage::groupsOf(const QString& user) {
    if (StoredText::hasNul(user)) return {};
    return texts(QStringLiteral("reading its groups"),
                 "SELECT g.name FROM memberships m JOIN groups g ON lower(g.name) = lower(m.grp)"
                 " WHERE lower(m.\"user\") = lower($1) ORDER BY g.seq",
                 {Param::text(user)});
}

void PostgresArchiveStorage::addGroup(const QString& name) {
    StoredText::check(name, QStringLiteral("The group name"));
    run(QStringLiteral("adding a group"),
        "INSERT INTO groups(name) VALUES($1) ON CONFLICT (lower(name)) DO NOTHING", {Param::text(name)});
}

void PostgresArchiveStorage::addUser(const QString& name, const QByteArray& hash, const QByteArray& salt) {
    StoredText::check(name, QStringLiteral("The user name"));
    run(QStringLiteral("adding a user"), "INSERT INTO users(name, salt, hash) VALUES($1, $2, $3)",
        {Param::text(name), Param::bytes(salt), Param::bytes(hash)});
}

void PostgresArchiveStorage::addMembership(const QString& user, const QString& group) {
    run(QStringLiteral("adding a membership"),
        "INSERT INTO memberships(\"user\", grp) VALUES($1, $2) ON CONFLICT (lower(\"user\"), lower(grp)) DO "
        "NOTHING",
        {Param::text(user), Param::text(group)});
}

void PostgresArchiveStorage::removeUser(const QString& name) {
    const QString what = QStringLiteral("removing a user");
    run(what, "DELETE FROM memberships WHERE lower(\"user\") = lower($1)", {Param::text(name)});
    run(what, "DELETE FROM users WHERE lower(name) = lower($1)", {Param::text(name)});
    clearLogonFailures(name);
}

void PostgresArchiveStorage::setPasswordHash(const QString& user, const QByteArray& hash,
                                             const std::optional<QByteArray>& onlyIfHash) {
    const QString what = QStringLiteral("storing a password");
    if (onlyIfHash) {
        run(what, "UPDATE users SET salt = ''::bytea, hash = $1 WHERE lower(name) = lower($2) AND hash = $3",
            {Param::bytes(hash), Param::text(user), Param::bytes(*onlyIfHash)});
        return;
    }
    run(what, "UPDATE users SET salt = ''::bytea, hash = $1 WHERE lower(name) = lower($2)",
        {Param::bytes(hash), Param::text(user)});
}

qint64 PostgresArchiveStorage::pointsOwnedBy(const QString& user) {
    QStringList owners;
    for (const QString& column : m_columns)
        if (column == u"PtOwner" || column == u"DataOwner")
            owners.append(QStringLiteral("lower(%1) = lower($1)").arg(PostgresArchiveSchema::quoted(column)));
    if (owners.isEmpty()) return 0;
    const QByteArray sql = QStringLiteral("SELECT count(*) FROM points WHERE %1")
                               .arg(owners.join(QStringLiteral(" OR ")))
                               .toUtf8();
    return run(QStringLiteral("counting the points of a user"), sql, {Param::text(user)}).integer(0, 0);
}

std::optional<ArchiveLogonFailures> PostgresArchiveStorage::logonFailures(const QString& user) {
    if (StoredText::hasNul(user)) return std::nullopt;
    const pg::Rows rows =
        run(QStringLiteral("reading failed log-ons"),
            "SELECT failures, last_failure FROM logon_failures WHERE lower(\"user\") = lower($1)",
            {Param::text(user)});
    if (rows.count() == 0) return std::nullopt;
    return ArchiveLogonFailures{int(rows.integer(0, 0)), rows.number(0, 1)};
}

void PostgresArchiveStorage::recordLogonFailure(const QString& user, double when) {
    if (StoredText::hasNul(user)) return;  // no user has that name; cut, it would count for one
    run(QStringLiteral("counting a failed log-on"),
        "INSERT INTO logon_failures(\"user\", failures, last_failure) VALUES($1, 1, $2)"
        " ON CONFLICT (lower(\"user\")) DO UPDATE SET failures = logon_failures.failures + 1,"
        " last_failure = excluded.last_failure",
        {Param::text(user), Param::number(when)});
}

void PostgresArchiveStorage::clearLogonFailures(const QString& user) {
    if (StoredText::hasNul(user)) return;  // no user has that name; cut, it would count for one
    run(QStringLiteral("clearing failed log-ons"),
        "DELETE FROM logon_failures WHERE lower(\"user\") = lower($1)", {Param::text(user)});
}

void PostgresArchiveStorage::setLogonFailures(const QString& user, const ArchiveLogonFailures& failures) {
    if (StoredText::hasNul(user)) return;  // no user has that name; cut, it would count for one
    run(QStringLiteral("counting a failed log-on"),
        "INSERT INTO logon_failures(\"user\", failures, last_failure) VALUES($1, $2, $3)"
        " ON CONFLICT (lower(\"user\")) DO UPDATE SET failures = excluded.failures,"
        " last_failure = excluded.last_failure",
        {Param::text(user), Param::integer(failures.count), Param::number(failures.lastFailure)});
}

}  // namespace vq
