#include "archive/storage/ArchiveStorage.h"

#include "archive/storage/LocationSecrets.h"
#include "sdk/SdkErrors.h"

#include <QRegularExpression>

namespace vq {

// A location such as "postgresql://host/db" names a database server, not a file.
QString ArchiveStorage::schemeOf(const QString& location) {
    static const QRegularExpression uri(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://"));
    const QRegularExpressionMatch match = uri.match(location.trimmed());
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

QString ArchiveStorage::shownLocation(const QString& location) {
    return isServerLocation(location) ? locationForDisplay(location) : location;
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

}  // namespace vq
