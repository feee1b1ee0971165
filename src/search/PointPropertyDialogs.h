#pragma once

#include "sdk/SdkFwd.h"

namespace vq {

/// The point property dialog as the tag search's Pt. Attr... button sees it. The dialog layer
/// installs its implementation; until one is installed the button shows nothing.
class PointPropertyDialogs {
public:
    virtual ~PointPropertyDialogs() = default;
    /// Shows the properties of `points` and returns when the dialog closes.
    virtual void ShowVQPointPropertySheet(const SdkPointListPtr& points) = 0;
};

/// The installed dialogs, or null.
PointPropertyDialogs* pointPropertyDialogs();
/// Installs `dialogs`. The caller keeps ownership; install null to remove them.
void setPointPropertyDialogs(PointPropertyDialogs* dialogs);

}  // namespace vq
