#pragma once

#include <cstdint>

namespace vq {

/// Bits of an entry's validation rule, combined by addition.
enum enumValidationRule : int32_t {
    ruleNoValidation = 1,  ///< every value is valid
    ruleNumericOnly = 2,   ///< only numbers; the bits below narrow them further
    ruleBetween = 4,       ///< between the range values, both included
    ruleAbsBetween = 8,    ///< the absolute value between the range values
    ruleOutside = 16,      ///< outside the range values, both excluded
    ruleAbsOutside = 32,   ///< the absolute value outside the range values
    ruleNonZero = 64,      ///< anything but 0
    ruleStringOnly = 128,  ///< only text that is no number
    ruleTagName = 256,     ///< a valid tag name
};

}  // namespace vq
