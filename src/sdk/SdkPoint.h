#pragma once

#include "SdkFwd.h"
#include "SdkPointType.h"

#include <QString>

namespace vq {

// One point of a server.
class SdkPoint {
public:
    virtual ~SdkPoint() = default;

    // The tag.
    virtual QString Name() const = 0;
    // The path "\\server\tag".
    virtual QString ListText() const = 0;
    virtual SdkPointType PointType() const = 0;
    virtual qint64 PointID() const = 0;
    virtual SdkServerPtr Server() const = 0;
    virtual SdkPointClassPtr PointClass() const = 0;
    virtual SdkPointAttributesPtr PointAttributes() = 0;
};

}  // namespace vq
