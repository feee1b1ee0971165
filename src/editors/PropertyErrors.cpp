#include "editors/PropertyErrors.h"

#include "core/Error.h"

namespace vq {

void raiseInvalidPropertyValue(const QString& source) {
    throw Error(kInvalidPropertyValue, source, QStringLiteral("Invalid property value"));
}

void raiseInvalidProcedureCall(const QString& source) {
    throw Error(kInvalidProcedureCall, source, QStringLiteral("Invalid procedure call or argument"));
}

}  // namespace vq
