#pragma once

#include <cstdint>

namespace vq {

enum enumBorderStyle : int32_t { NoBorder = 0, FixedBorder = 1 };

}  // namespace vq
