#pragma once

#include <cstdint>

namespace vq {

// Bits of an entry's validation rule, combined by addition.
enum enumValidationRule : int32_t {
    ruleNoValidation = 1,
    ruleNumericOnly = 2,
    ruleBetween = 4,
    ruleAbsBetween = 8,
    ruleOutside = 16,
    ruleAbsOutside = 32,
    ruleNonZero = 64,
    ruleStringOnly = 128,
    ruleTagName = 256,
};

}  // namespace vq
