#pragma once

#include "platform/PlatformExport.h"

#include "sdk/SdkFwd.h"

namespace vq {

/// The point property dialog as the tag search's Pt. Attr... button sees it. The dialog layer
/// provides it through the services context; until a context carries it the button shows nothing.
class VQ_PLATFORM_EXPORT PointPropertyDialogs {
public:
    virtual ~PointPropertyDialogs() = default;
    /// Shows the properties of `points` and returns when the dialog closes.
    virtual void ShowVQPointPropertySheet(const SdkPointListPtr& points) = 0;
};

}  // namespace vq
