#pragma once

#include <cstdint>

namespace vq {

/// How the property sheet orders its rows.
enum PropsheetView : int32_t {
    viewAlphabetic = 1,  ///< every entry sorted by display name
    viewCategorized = 2  ///< entries grouped under collapsible category rows
};

/// The columns of the property sheet's grid.
enum PropSheetColumn : int {
    columnSign = 0,   ///< a category row's expand sign; hidden in the alphabetic view
    columnName = 1,   ///< the category's or the attribute's display name
    columnValue = 2,  ///< the attribute's value
    columnCount = 3
};

}  // namespace vq
