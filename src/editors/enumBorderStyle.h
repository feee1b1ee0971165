#pragma once

#include <cstdint>

namespace vq {

/// The frame an attribute editor draws around its child.
enum enumBorderStyle : int32_t {
    NoBorder = 0,    ///< none: the child fills the control
    FixedBorder = 1  ///< a sunken border
};

}  // namespace vq
