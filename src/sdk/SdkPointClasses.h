#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QString>

#include <vector>

namespace vq {

/// The point classes of one server, in the server's order.
class VQ_SDK_EXPORT SdkPointClasses {
public:
    virtual ~SdkPointClasses() = default;

    /// The number of classes.
    virtual int Count() const = 0;
    /// By name without regard to case; an unknown class raises.
    virtual SdkPointClassPtr Item(const QString& name) const = 0;
    /// By position, counted from 1; out of range raises.
    virtual SdkPointClassPtr Item(int position) const = 0;
    /// Every class, in the server's order.
    virtual std::vector<SdkPointClassPtr> All() const = 0;
};

}  // namespace vq
