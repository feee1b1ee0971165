#pragma once

#include <cstdint>

namespace vq {

// How the property sheet orders its rows.
enum PropsheetView : int32_t { viewAlphabetic = 1, viewCategorized = 2 };

}  // namespace vq
