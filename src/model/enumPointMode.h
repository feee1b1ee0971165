#pragma once

#include <cstdint>

namespace vq {

/// Whether a collection holds a point to be created or an existing one; 0 until it is filled.
enum enumPointMode : int32_t {
    modeNewPoint = 1,   ///< a point to be created, filled from its class's defaults
    modeEditPoint = 2,  ///< an existing point, or a new one once saved
};

}  // namespace vq
