#pragma once

#include <cstdint>

namespace vq {

/// What a general search looks for. Kept for hosts that store it; no operation takes it.
enum enumGeneralMode : int32_t {
    modePoint = 1,  ///< points
    modeDigset = 2  ///< digital state sets
};

}  // namespace vq
