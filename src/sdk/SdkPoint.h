#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"
#include "SdkPointType.h"

#include <QString>

namespace vq {

/// One point of a server.
class VQ_SDK_EXPORT SdkPoint {
public:
    virtual ~SdkPoint() = default;

    /// The tag.
    virtual QString Name() const = 0;
    /// The path "\\server\tag".
    virtual QString ListText() const = 0;
    /// The point-type code (pointtype::Float32, ...).
    virtual SdkPointType PointType() const = 0;
    /// The number the server gave the point when it was created.
    virtual qint64 PointID() const = 0;
    /// The server that holds the point.
    virtual SdkServerPtr Server() const = 0;
    /// The point's class.
    virtual SdkPointClassPtr PointClass() const = 0;
    /// The point's attributes, loaded on first use and written with SetAttributes().
    virtual SdkPointAttributesPtr PointAttributes() = 0;
};

}  // namespace vq
