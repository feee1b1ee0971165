#pragma once

#include "archive/ArchiveExport.h"

#include "archive/storage/ArchiveStorage.h"

namespace vq {

// PostgreSQL ends a text at a NUL where SQLite keeps the rest, so neither engine stores one: an
// archive then reads the same on both, and copies between them. Other control characters stay
// storable, as existing archives hold them. Each engine checks what it is handed before it writes.
class VQ_ARCHIVE_EXPORT StoredText {
public:
    static bool hasNul(QStringView text) { return text.contains(QChar(u'\0')); }
    // Raises AttributesRefused when `text` holds a NUL; `what` names it ("The user name").
    static void check(const QString& text, const QString& what);
    // Raises when the tag key or a text value of the point holds a NUL, naming point and attribute.
    static void checkPoint(const QString& tagKey, const std::vector<ArchiveStoredValue>& values);
    // Raises when a text among the archived values of the point holds a NUL.
    static void checkArchived(const QString& tagKey, const std::vector<ArchivedValue>& archived);
    // The reason given for a NUL, as a refused attribute reports it.
    static QString nulReason();
};

}  // namespace vq
