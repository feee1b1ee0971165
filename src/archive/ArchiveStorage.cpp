#include "ArchiveStorage.h"

#include "SqliteArchiveStorage.h"
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

// Only file archives are built in; a server location is refused before it could be taken for a
// file name. The message never repeats a password given in the location.
void refuseServerLocation(const QString& location) {
    const QString scheme = schemeOf(location);
    if (scheme.isEmpty()) return;
    const QString shown = QUrl(location.trimmed()).toDisplayString(QUrl::RemovePassword);
    const QString what = scheme == u"postgresql" || scheme == u"postgres"
                             ? QStringLiteral("PostgreSQL archives are not supported by this build")
                             : QStringLiteral("Archives at \"%1:\" locations are not supported").arg(scheme);
    throw Error(
        sdkerr::ServerUnavailable, QStringLiteral("VQArchive"),
        QStringLiteral("%1: cannot open \"%2\"; an archive here is an SQLite file path").arg(what, shown));
}

}  // namespace

bool ArchiveStorage::isServerLocation(const QString& location) {
    return !schemeOf(location).isEmpty();
}

std::unique_ptr<ArchiveStorage> ArchiveStorage::open(const QString& location) {
    refuseServerLocation(location);
    return std::make_unique<SqliteArchiveStorage>(location);
}

std::unique_ptr<ArchiveStorage> ArchiveStorage::create(const QString& location, const ArchiveFacts& facts,
                                                       std::vector<ArchiveClassInfo> classes, bool shared) {
    refuseServerLocation(location);
    return SqliteArchiveStorage::create(location, facts, std::move(classes), shared);
}

}  // namespace vq
