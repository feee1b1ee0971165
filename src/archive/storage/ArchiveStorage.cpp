#include "archive/storage/ArchiveStorage.h"

#include "archive/postgres/PostgresArchiveStorage.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "sdk/SdkErrors.h"

#include <QRegularExpression>
#include <QUrl>

namespace vq {

namespace {

// A location such as "postgresql://host/db" names a database server, not a file.
QString schemeOf(const QString& location) {
    static const QRegularExpression uri(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    const QRegularExpressionMatch match = uri.match(location.trimmed());
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

bool isPostgres(const QString& scheme) {
    return scheme == u"postgresql" || scheme == u"postgres";
}

// A location of another engine is refused before it could be taken for a file name. The message
// never repeats a password given in the location.
void refuseOtherServers(const QString& location) {
    const QString scheme = schemeOf(location);
    if (scheme.isEmpty() || isPostgres(scheme)) return;
    const QString shown = QUrl(location.trimmed()).toDisplayString(QUrl::RemovePassword);
    throw Error(
        sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
        QStringLiteral("Archives at \"%1:\" locations are not supported: cannot open \"%2\"; an archive "
                       "is an SQLite file path or a postgresql:// URI")
            .arg(scheme, shown));
}

}  // namespace

QString ArchiveStorage::shownLocation(const QString& location) {
    if (!isServerLocation(location)) return location;
    return QUrl(location.trimmed()).toDisplayString(QUrl::RemovePassword);
}

void ArchiveStorage::scanPoints(const std::function<void(const ScannedPoint&)>& visit) {
    const std::vector<ArchiveClassInfo> all = classes();
    for (const ArchivePointHeader& header : pointHeaders()) {
        ScannedPoint point;
        point.header = header;
        for (const ArchiveClassInfo& info : all)
            if (info.id == header.classId) point.info = &info;
        if (!point.info)
            throw Error(sdkerr::StorageFailed, QStringLiteral("VQArchive"),
                        QStringLiteral("The point \"%1\" is of a class the archive does not have (%2)")
                            .arg(header.tag)
                            .arg(header.classId));
        if (!readPoint(*point.info, point.header, point.values)) continue;
        point.archived = archivedValues(header.id);
        visit(point);
    }
}

bool ArchiveStorage::isServerLocation(const QString& location) {
    return !schemeOf(location).isEmpty();
}

std::unique_ptr<ArchiveStorage> ArchiveStorage::open(const QString& location) {
    refuseOtherServers(location);
    if (isPostgres(schemeOf(location))) return std::make_unique<PostgresArchiveStorage>(location.trimmed());
    return std::make_unique<SqliteArchiveStorage>(location);
}

std::unique_ptr<ArchiveStorage> ArchiveStorage::create(const QString& location, const ArchiveFacts& facts,
                                                       std::vector<ArchiveClassInfo> classes, bool shared) {
    refuseOtherServers(location);
    if (isPostgres(schemeOf(location)))
        return PostgresArchiveStorage::create(location.trimmed(), facts, std::move(classes));
    return SqliteArchiveStorage::create(location, facts, std::move(classes), shared);
}

}  // namespace vq
