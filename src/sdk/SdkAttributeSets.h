#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QString>

#include <vector>

namespace vq {

/// The ordered attribute sets of a point class.
class VQ_SDK_EXPORT SdkAttributeSets {
public:
    virtual ~SdkAttributeSets() = default;

    /// The number of sets.
    virtual int Count() const = 0;
    /// By name without regard to case; an absent name raises.
    virtual SdkPointAttributesPtr Item(const QString& name) const = 0;
    /// By position, counted from 1; out of range raises.
    virtual SdkPointAttributesPtr Item(int position) const = 0;
    /// Every set, in order.
    virtual std::vector<SdkPointAttributesPtr> All() const = 0;
};

}  // namespace vq
