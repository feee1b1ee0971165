#include "archive/server/ArchiveStorageFactory.h"

#include "archive/postgres/PostgresArchiveStorage.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "core/Error.h"
#include "sdk/SdkErrors.h"

#include <QUrl>

namespace vq {

namespace {

bool isPostgres(const QString& scheme) {
    return scheme == u"postgresql" || scheme == u"postgres";
}

QString shownUri(const QString& location) {
    return QUrl(location.trimmed()).toDisplayString(QUrl::RemovePassword);
}

// A location of another engine is refused before it could be taken for a file name. The message
// never repeats a password given in the location.
void refuseOtherServers(const QString& location) {
    const QString scheme = ArchiveStorage::schemeOf(location);
    if (scheme.isEmpty() || isPostgres(scheme)) return;
    throw Error(
        sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
        QStringLiteral("Archives at \"%1:\" locations are not supported: cannot open \"%2\"; an archive "
                       "is an SQLite file path or a postgresql:// URI")
            .arg(scheme, shownUri(location)));
}

}  // namespace

std::unique_ptr<ArchiveStorage> ArchiveStorageFactory::open(const QString& location) {
    refuseOtherServers(location);
    if (isPostgres(ArchiveStorage::schemeOf(location)))
        return std::make_unique<PostgresArchiveStorage>(location.trimmed());
    return std::make_unique<SqliteArchiveStorage>(location);
}

std::unique_ptr<ArchiveStorage> ArchiveStorageFactory::create(const QString& location,
                                                              const ArchiveFacts& facts,
                                                              std::vector<ArchiveClassInfo> classes,
                                                              bool sharedFile) {
    refuseOtherServers(location);
    if (!isPostgres(ArchiveStorage::schemeOf(location)))
        return SqliteArchiveStorage::create(location, facts, std::move(classes), sharedFile);
    if (sharedFile)
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("Only an archive file can be shared with its owner's group: the access to "
                                   "\"%1\" is the database's own")
                        .arg(shownUri(location)));
    return PostgresArchiveStorage::create(location.trimmed(), facts, std::move(classes));
}

std::unique_ptr<ArchiveStorage> ArchiveStorageFactory::createUnfinished(
    const QString& location, const ArchiveFacts& facts, std::vector<ArchiveClassInfo> classes) {
    refuseOtherServers(location);
    if (!isPostgres(ArchiveStorage::schemeOf(location)))
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("\"%1\" is no database location").arg(location));
    return PostgresArchiveStorage::createUnfinished(location.trimmed(), facts, std::move(classes));
}

void ArchiveStorageFactory::markComplete(ArchiveStorage& storage) {
    if (auto* postgres = dynamic_cast<PostgresArchiveStorage*>(&storage)) postgres->markComplete();
}

}  // namespace vq
