// Making an archive in a database, or a copy of one, and refusing databases that must not hold one.
#include "archive/postgres/PostgresArchiveStorage.h"

#include "archive/postgres/PostgresArchiveSchema.h"
#include "archive/postgres/PostgresArchiveScope.h"
#include "sdk/SdkErrors.h"

namespace vq {

namespace {

const QString source = QStringLiteral("VQArchive");

using pg::Param;

}  // namespace

std::unique_ptr<PostgresArchiveStorage> PostgresArchiveStorage::create(
    const QString& uri, const ArchiveFacts& facts, std::vector<ArchiveClassInfo> classes,
    const std::function<void(ArchiveStorage&)>& fill) {
    std::unique_ptr<PostgresArchiveStorage> storage(new PostgresArchiveStorage(uri, Connect{}));
    storage->refuseTemplate();
    {
        Scope write(*storage);
        storage->refuseExistingTables();
        storage->runScript(QStringLiteral("making its tables"),
                           PostgresArchiveSchema::sql(ArchiveCatalog::storedColumns(classes), classes));
        storage->writeFacts(facts);
        storage->writeClasses(classes);
        storage->upgradeSchema();
        if (fill) fill(*storage);
        write.commit();
    }
    storage->load();
    return storage;
}

std::unique_ptr<PostgresArchiveStorage> PostgresArchiveStorage::createUnfinished(
    const QString& uri, const ArchiveFacts& facts, std::vector<ArchiveClassInfo> classes) {
    std::unique_ptr<PostgresArchiveStorage> storage(new PostgresArchiveStorage(uri, Connect{}));
    storage->takeCopyLock();
    {
        Scope write(*storage);
        storage->dropUnfinishedCopy();
        storage->refuseExistingTables();
        storage->runScript(QStringLiteral("making its tables"),
                           PostgresArchiveSchema::sql(ArchiveCatalog::storedColumns(classes), classes));
        storage->writeFacts(facts);
        storage->setFact(QString::fromLatin1(PostgresArchiveSchema::UnfinishedFact), QStringLiteral("yes"));
        storage->writeClasses(classes);
        storage->upgradeSchema();
        write.commit();
    }
    storage->load();
    return storage;
}

void PostgresArchiveStorage::markComplete() {
    Scope write(*this);
    run(QStringLiteral("completing its copy"), "DELETE FROM server_info WHERE key = $1",
        {Param::text(QString::fromLatin1(PostgresArchiveSchema::UnfinishedFact))});
    write.commit();
}

// Held by the session, so a copy killed on the way lets go of it with its connection. The server
// may notice that only when the killed copy's statement ends, so this waits the busy timeout.
void PostgresArchiveStorage::takeCopyLock() {
    try {
        m_connection->exec("SELECT pg_advisory_lock($1)", {Param::integer(PostgresArchiveSchema::CopyLock)});
    } catch (const pg::Failure& failure) {
        if (!failure.isLockTimeout()) raise(failure, QStringLiteral("waiting for another copy"));
        throw Error(sdkerr::ServerUnavailable, source,
                    QStringLiteral("Another copy is writing into the database \"%1\"; nothing was copied")
                        .arg(m_shown));
    }
}

void PostgresArchiveStorage::dropUnfinishedCopy() {
    const pg::Rows rows =
        run(QStringLiteral("looking for an unfinished copy"),
            "SELECT to_regclass('server_info') IS NOT NULL AND to_regclass('points') IS NOT NULL");
    if (rows.text(0, 0) != u"t" || !findFact(QString::fromLatin1(PostgresArchiveSchema::UnfinishedFact)))
        return;
    const QStringList tables =
        PostgresArchiveSchema::tables() + QStringList{QStringLiteral("aliases"), QStringLiteral("batches")};
    runScript(QStringLiteral("dropping an unfinished copy"),
              "DROP TABLE IF EXISTS " + tables.join(u", ").toUtf8() + " CASCADE");
}

void PostgresArchiveStorage::refuseUnfinished() {
    if (findFact(QString::fromLatin1(PostgresArchiveSchema::UnfinishedFact)))
        throw Error(sdkerr::ServerUnavailable, source,
                    QStringLiteral("The database \"%1\" holds a copy of an archive that was not completed; "
                                   "copy again to replace it")
                        .arg(m_shown));
}

void PostgresArchiveStorage::checkIsArchive() {
    const pg::Rows rows =
        run(QStringLiteral("looking for its tables"),
            "SELECT to_regclass('server_info') IS NOT NULL AND to_regclass('points') IS NOT NULL");
    if (rows.text(0, 0) != u"t")
        throw Error(sdkerr::ServerUnavailable, source,
                    QStringLiteral("The database \"%1\" holds no VQ archive").arg(m_shown));
}

// Every new database copies a template's tables: an archive there would turn up in each of them.
void PostgresArchiveStorage::refuseTemplate() {
    const QStringList names = texts(QStringLiteral("looking at its database"),
                                    "SELECT datname FROM pg_database WHERE datname = current_database() AND "
                                    "datistemplate");
    if (names.isEmpty()) return;
    throw Error(sdkerr::ServerUnavailable, source,
                QStringLiteral("The database \"%1\" is a template that new databases are copied from; no "
                               "archive was made there: create a database of its own for the archive")
                    .arg(names.front()));
}

void PostgresArchiveStorage::refuseExistingTables() {
    const QStringList found = texts(
        QStringLiteral("looking for its tables"),
        "SELECT name FROM unnest(string_to_array($1, ',')) AS name WHERE to_regclass(quote_ident(name)) IS "
        "NOT NULL",
        {Param::text(PostgresArchiveSchema::tables().join(u','))});
    if (found.isEmpty()) return;
    const bool archive = found.contains(u"server_info") && found.contains(u"points");
    throw Error(sdkerr::ServerUnavailable, source,
                archive
                    ? QStringLiteral("The database \"%1\" already holds an archive; it was left as it was")
                          .arg(m_shown)
                    : QStringLiteral("The database \"%1\" already has tables named %2; no archive was made "
                                     "there")
                          .arg(m_shown, found.join(QStringLiteral(", "))));
}

}  // namespace vq
