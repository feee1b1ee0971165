#pragma once

#include "archive/ArchiveExport.h"

#include <QDateTime>
#include <QString>

namespace vq {

// A date as an archive stores it, in either engine: UTC, "yyyy-MM-ddTHH:mm:ss".
class VQ_ARCHIVE_EXPORT StoredDate {
public:
    static QString text(const QDateTime& time);
    // A stored date read back; the reverse of text(). Other ISO forms are read as UTC too.
    static QDateTime fromText(const QString& text);
};

}  // namespace vq
