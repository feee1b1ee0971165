#pragma once

#include <cstdint>

namespace vq {

// Layout widths never go below zero, however small the control is made.
constexpr int32_t NonNegative(int32_t value) {
    return value < 0 ? 0 : value;
}

}  // namespace vq
