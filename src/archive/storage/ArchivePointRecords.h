#pragma once

#include "archive/ArchiveExport.h"

#include "core/Variant.h"
#include "sdk/SdkPointType.h"

#include <QDateTime>
#include <QString>

namespace vq {

/// The header of one stored point: what a point object needs without loading its attributes.
struct VQ_ARCHIVE_EXPORT ArchivePointHeader {
    /// The point id.
    qint64 id = 0;
    /// The tag as stored.
    QString tag;
    /// The key of the point's class (ArchiveClassInfo::id).
    qint64 classId = 0;
    /// The point-type code.
    SdkPointType pointType = 0;
};

/// One archived event of a point.
struct VQ_ARCHIVE_EXPORT ArchivedValue {
    /// When the value was archived.
    QDateTime time;
    /// The value.
    Variant value;
    /// The status archived with it; 0 is good.
    int32_t status = 0;
};

}  // namespace vq
