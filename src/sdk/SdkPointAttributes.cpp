#include "SdkPointAttributes.h"

#include "SdkPointAttribute.h"

namespace vq {

void SdkPointAttributes::ForEach(const std::function<void(const QString&, const Variant&)>& visit) {
    for (const SdkPointAttributePtr& attribute : All()) visit(attribute->Name(), attribute->Value());
}

}  // namespace vq
