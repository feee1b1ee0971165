#include "editors/AttributeChild.h"

#include "core/Error.h"

namespace vq {

namespace {
constexpr int32_t kNotSupported = 438;  // the object has no such property
}

void AttributeChild::refuseSelection() {
    throw Error(kNotSupported, QStringLiteral("VQPointAttributeEdit"),
                QStringLiteral("The child editor has no text selection"));
}

}  // namespace vq
