#pragma once

#include "archive/ArchiveExport.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace vq {

// The time texts of the dialect's DATE function and time columns: "*" now, "t" today, "y"
// yesterday (midnight, local time), each optionally followed by offsets such as "-1h" or
// "+30m" (units s, m, h, d, w), and absolute local times such as "2024-03-01 08:00",
// "1-Mar-24 08:00:00" or "3/1/2024". Times are seconds since 1970 (UTC).
class VQ_ARCHIVE_EXPORT TimeText {
public:
    static std::optional<double> seconds(const QString& text, const QDateTime& now);
    // A span such as "1h", "30m" or "1h30m"; none unless positive.
    static std::optional<double> span(const QString& text);
};

}  // namespace vq
