#pragma once

#include <cstdint>

namespace vq {

enum enumPointAttributeOnOffViewStyle : int32_t { OnOffOptionButtons = 0, OnOffComboBox = 1 };

}  // namespace vq
