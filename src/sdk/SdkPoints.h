#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"
#include "SdkPointType.h"

#include <QString>

namespace vq {

/// The points of one server.
class VQ_SDK_EXPORT SdkPoints {
public:
    virtual ~SdkPoints() = default;

    /// The number of points on the server.
    virtual int Count() const = 0;
    /// The point with that tag (any letter case); an unknown tag raises.
    virtual SdkPointPtr Item(const QString& tag) = 0;
    /// True when the server has a point with that tag, without regard to case.
    virtual bool Contains(const QString& tag) const = 0;
    /// Creates a point of a class. Every attribute is checked and either all are stored or none;
    /// a refusal raises and, when `failed` is given, lists each refused attribute with its reason.
    virtual SdkPointPtr Add(const QString& tag, const QString& className, SdkPointType pointType,
                            const SdkNamedValues& attributes, SdkNamedValues* failed = nullptr) = 0;
};

}  // namespace vq
