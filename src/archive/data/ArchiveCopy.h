#pragma once

#include "archive/ArchiveExport.h"

#include <QByteArray>
#include <QString>

namespace vq {

class ArchiveStorage;

// What an archive holds, counted, with a SHA-256 over its points in tag order (tag, class, every
// stored attribute value and every archived value) and its change history (every change set with
// its attribute changes). Made through the storage interface, so the same archive on two storages
// gives the same digest.
struct VQ_ARCHIVE_EXPORT ArchiveDigest {
    qint64 points = 0;
    qint64 values = 0;
    qint64 users = 0;
    qint64 groups = 0;
    qint64 digitalSets = 0;
    qint64 changeSets = 0;
    QByteArray sha256;  // hex

    bool operator==(const ArchiveDigest&) const = default;
    static ArchiveDigest of(ArchiveStorage& storage);
};

// Copies a whole archive between two locations (files or PostgreSQL URIs): facts, classes, users
// with their passwords, groups, memberships, digital state sets, points with all their values and
// archived values, and the change history under its ids. An existing destination archive is refused; both are
// digested and a difference raises. The destination becomes an archive only once the copy is complete and
// matches: a copy killed on the way leaves none, and the next copy succeeds.
class VQ_ARCHIVE_EXPORT ArchiveCopy {
public:
    static ArchiveDigest copy(const QString& source, const QString& destination);
};

}  // namespace vq
