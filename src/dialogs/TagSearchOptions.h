#pragma once

#include <cstdint>

namespace vq {

/// Bits of the options of TagwrightDlgs::ShowTagSearchDialog.
enum TagSearchOptions : int32_t {
    tsoptDisableVQSrvPickList = 1,        ///< the servers cannot be changed in the dialog
    tsoptAllowOnlyOneTagToBeSelected = 2  ///< one point at most can be chosen
};

}  // namespace vq
