#pragma once

#include <cstdint>

namespace vq {

/// How the property sheet orders its rows.
enum PropsheetView : int32_t {
    viewAlphabetic = 1,  ///< every entry sorted by display name
    viewCategorized = 2  ///< entries grouped under collapsible category rows
};

}  // namespace vq
