#include "archive/dialect/SqlDialectError.h"

#include "sdk/SdkErrors.h"

namespace vq {

Error SqlDialectError::at(int position, const QString& what) {
    return Error(
        sdkerr::QueryInvalid, QStringLiteral("VQArchive"),
        QStringLiteral("Syntax error in the where clause at position %1: %2").arg(position).arg(what));
}

Error SqlDialectError::invalid(const QString& what) {
    return Error(sdkerr::QueryInvalid, QStringLiteral("VQArchive"),
                 QStringLiteral("Invalid where clause: ") + what);
}

}  // namespace vq
