#pragma once

#include "SdkFwd.h"

#include <QString>

#include <vector>

namespace vq {

// The point classes of one server, in the server's order.
class SdkPointClasses {
public:
    virtual ~SdkPointClasses() = default;

    virtual int Count() const = 0;
    // By name without regard to case; an unknown class raises.
    virtual SdkPointClassPtr Item(const QString& name) const = 0;
    virtual SdkPointClassPtr Item(int position) const = 0;
    virtual std::vector<SdkPointClassPtr> All() const = 0;
};

}  // namespace vq
