#pragma once

#include <cstdint>

namespace vq {

// Whether a collection holds a point to be created or an existing one; 0 until it is filled.
enum enumPointMode : int32_t {
    modeNewPoint = 1,
    modeEditPoint = 2,
};

}  // namespace vq
