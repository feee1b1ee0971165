#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QString>

namespace vq {

/// A point class. On "VQ2" servers it offers one attribute collection of defaults
/// (PointAttributes); on "VQ3" servers named attribute sets, the first being "base".
class VQ_SDK_EXPORT SdkPointClass {
public:
    virtual ~SdkPointClass() = default;

    /// The class name ("base", "classic", ...).
    virtual QString Name() const = 0;
    /// Null on "VQ3" servers.
    virtual SdkPointAttributesPtr PointAttributes() const = 0;
    /// Null on "VQ2" servers.
    virtual SdkAttributeSetsPtr AttributeSets() const = 0;
};

}  // namespace vq
