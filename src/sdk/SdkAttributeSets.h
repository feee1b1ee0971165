#pragma once

#include "SdkFwd.h"

#include <QString>

#include <vector>

namespace vq {

// The ordered attribute sets of a point class.
class SdkAttributeSets {
public:
    virtual ~SdkAttributeSets() = default;

    virtual int Count() const = 0;
    // By name without regard to case; an absent name raises.
    virtual SdkPointAttributesPtr Item(const QString& name) const = 0;
    virtual SdkPointAttributesPtr Item(int position) const = 0;
    virtual std::vector<SdkPointAttributesPtr> All() const = 0;
};

}  // namespace vq
