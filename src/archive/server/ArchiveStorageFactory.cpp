#include "archive/server/ArchiveStorageFactory.h"

#include "archive/postgres/PostgresArchiveStorage.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "core/Error.h"
#include "sdk/SdkErrors.h"

#include <QFile>
#include <QRandomGenerator>
#include <QUrl>

namespace vq {

namespace {

bool isPostgres(const QString& scheme) {
    return scheme == u"postgresql" || scheme == u"postgres";
}

QString shownUri(const QString& location) {
    return ArchiveStorage::shownLocation(location);
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

void removeFile(const QString& path) {
    for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(path + suffix);
}

[[noreturn]] void refuseExisting(const QString& path) {
    throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                QStringLiteral("The archive file \"%1\" already exists").arg(path));
}

// The file is made and filled under a name of its own beside `path`, closed, and then takes
// `path` unless something is there by now: a creation cut short leaves no file at `path`.
std::unique_ptr<ArchiveStorage> createFile(const QString& path, const ArchiveFacts& facts,
                                           std::vector<ArchiveClassInfo> classes, bool shared,
                                           const std::function<void(ArchiveStorage&)>& fill) {
    if (QFile::exists(path)) refuseExisting(path);
    const QString unfinished =
        path + QStringLiteral(".unfinished-") + QString::number(QRandomGenerator::system()->generate(), 16);
    try {
        {
            auto storage = SqliteArchiveStorage::create(unfinished, facts, std::move(classes), shared);
            const auto write = storage->beginWrite();
            if (fill) fill(*storage);
            write->commit();
        }
        if (QFile::exists(unfinished + QStringLiteral("-wal")))
            throw Error(sdkerr::StorageFailed, QStringLiteral("VQArchive"),
                        QStringLiteral("The new archive \"%1\" could not be closed whole").arg(path));
        if (!QFile::rename(unfinished, path)) refuseExisting(path);
    } catch (const Error&) {
        removeFile(unfinished);
        throw;
    }
    return std::make_unique<SqliteArchiveStorage>(path);
}

}  // namespace

std::unique_ptr<ArchiveStorage> ArchiveStorageFactory::open(const QString& location) {
    refuseOtherServers(location);
    if (isPostgres(ArchiveStorage::schemeOf(location)))
        return std::make_unique<PostgresArchiveStorage>(location.trimmed());
    return std::make_unique<SqliteArchiveStorage>(location);
}

std::unique_ptr<ArchiveStorage> ArchiveStorageFactory::create(
    const QString& location, const ArchiveFacts& facts, std::vector<ArchiveClassInfo> classes,
    bool sharedFile, const std::function<void(ArchiveStorage&)>& fill) {
    refuseOtherServers(location);
    if (!isPostgres(ArchiveStorage::schemeOf(location)))
        return createFile(location, facts, std::move(classes), sharedFile, fill);
    if (sharedFile)
        throw Error(sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
                    QStringLiteral("Only an archive file can be shared with its owner's group: the access to "
                                   "\"%1\" is the database's own")
                        .arg(shownUri(location)));
    return PostgresArchiveStorage::create(location.trimmed(), facts, std::move(classes), fill);
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
