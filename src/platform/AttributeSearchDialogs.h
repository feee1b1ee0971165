#pragma once

#include "platform/PlatformExport.h"

#include "sdk/SdkFwd.h"

#include <QString>

#include <cstdint>

namespace vq {

/// The point search and digital set search dialogs as the attribute editor's search buttons see
/// them. The dialog layer provides them through the services context; until a context carries
/// them a search button finds nothing and changes nothing.
class VQ_PLATFORM_EXPORT AttributeSearchDialogs {
public:
    virtual ~AttributeSearchDialogs() = default;
    /// The chosen points, or null when the dialog was cancelled. `options` is a bit set: 1 hides the
    /// server pick list, 2 lets the user choose one point only.
    virtual SdkPointListPtr ShowTagSearchDialog(const SdkServerPtr& selectedServer, int32_t options) = 0;
    /// The chosen sets (name -> 0), or null when the dialog was cancelled.
    virtual SdkNamedValuesPtr ShowDigsetSearchDialog(const SdkServerPtr& selectedServer,
                                                     bool searchOnlyOnSelectedServer,
                                                     bool searchResultsMultiselect) = 0;
    /// As ShowDigsetSearchDialog on the selected server only, multi-select, with `currentSet` (the
    /// set the attribute holds now) in view and its states listed. By default it is not shown.
    virtual SdkNamedValuesPtr ShowDigsetSearchDialogShowing(const SdkServerPtr& selectedServer,
                                                            const QString& /*currentSet*/) {
        return ShowDigsetSearchDialog(selectedServer, true, true);
    }
};

}  // namespace vq
