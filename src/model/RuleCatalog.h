#pragma once

#include "core/Variant.h"

#include <cstdint>

namespace vq {

// A validation rule (bits of enumValidationRule) with its two range values.
struct RuleChoice {
    int32_t rule;
    Variant rangeValue1;
    Variant rangeValue2;
};

// The values a rule may depend on: the own values of the Zero, Span and PointType entries
// (Empty where the collection has no such entry) and the data-type name of the entry's value.
struct RuleInputs {
    Variant zero;
    Variant span;
    Variant pointType;
    QString attributePointType;
};

// Which validation rule and range each attribute gets.
class RuleCatalog {
public:
    static RuleChoice ruleFor(const QString& attributeName, const RuleInputs& inputs);
};

}  // namespace vq
