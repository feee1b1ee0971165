#pragma once

#include <cstdint>

namespace vq {

// Which editor shows an entry.
enum enumDisplayStyle : int32_t {
    styletext = 1,
    stylecombo = 2,
    styleonoffswitch = 3,
    styletagsearch = 4,
    styledigsetsearch = 5,
    styletxtcombofortwin = 6,
    stylesecuritycontrol = 7,
    styleCustom = 8,
};

}  // namespace vq
