#pragma once

#include <cstdint>

namespace vq {

/// How an attribute editor shows an on/off attribute.
enum enumPointAttributeOnOffViewStyle : int32_t {
    OnOffOptionButtons = 0,  ///< two option buttons, "On" and "Off"
    OnOffComboBox = 1        ///< a drop-down list of the two values
};

}  // namespace vq
