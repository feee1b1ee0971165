#include "RuleCatalog.h"

#include "AttributeCatalog.h"
#include "CaseInsensitiveMap.h"
#include "enumValidationRule.h"

#include <cmath>

namespace vq {

namespace {

enum class When { Always, ZeroAndSpanNumeric, Digital, DigitalAndSpanNumeric, NumericValueType };
enum class Range { None, AbsSpanToZero, SpanToZero, ZeroPlusSpanToZero };

struct RuleRow {
    std::initializer_list<const char16_t*> attributes;  // empty: any other attribute
    When when;
    int32_t rule;
    Range range;
};

constexpr int32_t numericBetween = ruleNumericOnly + ruleBetween;

// First matching row wins. Rows of the same attributes end with an unconditional one, so the
// rows for any other attribute are reached only by attributes named nowhere above them.
const RuleRow ruleRows[] = {
    {{u"CompDev", u"ExcDev"}, When::ZeroAndSpanNumeric, numericBetween, Range::AbsSpanToZero},
    {{u"CompDev", u"ExcDev"}, When::Always, ruleNumericOnly, Range::None},
    {{u"Span"}, When::Digital, ruleNumericOnly, Range::None},
    {{u"Span"}, When::Always, ruleNumericOnly + ruleNonZero, Range::None},
    {{u"Tag", u"SourceTag"}, When::Always, ruleTagName, Range::None},
    {{u"TypicalValue"}, When::DigitalAndSpanNumeric, numericBetween, Range::SpanToZero},
    {{u"TypicalValue"}, When::Digital, ruleNumericOnly, Range::None},
    {{u"TypicalValue"}, When::ZeroAndSpanNumeric, numericBetween, Range::ZeroPlusSpanToZero},
    {{u"TypicalValue"}, When::Always, ruleNumericOnly, Range::None},
    {{}, When::NumericValueType, ruleNumericOnly, Range::None},
    {{}, When::Always, ruleNoValidation, Range::None},
};

bool names(const RuleRow& row, const QString& attribute) {
    return row.attributes.size() == 0 || isAnyOf(attribute, row.attributes);
}

bool holds(When when, const RuleInputs& in) {
    switch (when) {
        case When::Always:
            return true;
        case When::ZeroAndSpanNumeric:
            return in.zero.isNumeric() && in.span.isNumeric();
        case When::Digital:
            return AttributeCatalog::isDigital(in.pointType);
        case When::DigitalAndSpanNumeric:
            return AttributeCatalog::isDigital(in.pointType) && in.span.isNumeric();
        case When::NumericValueType:
            for (const char16_t* type : {u"Integer", u"Long", u"Single", u"Double"})
                if (in.attributePointType == QStringView(type)) return true;
            return false;
    }
    return false;
}

RuleChoice withRange(int32_t rule, Range range, const RuleInputs& in) {
    const float span = float(in.span.toDouble());
    const float zero = float(in.zero.toDouble());
    switch (range) {
        case Range::None:
            return {rule, Variant::missing(), Variant::missing()};
        case Range::AbsSpanToZero:
            return {rule, Variant(std::fabs(span)), Variant(int16_t(0))};
        case Range::SpanToZero:
            return {rule, Variant(span), Variant(0.0f)};
        case Range::ZeroPlusSpanToZero:
            return {rule, Variant(zero + span), Variant(zero)};
    }
    return {rule, Variant::missing(), Variant::missing()};
}

}  // namespace

RuleChoice RuleCatalog::ruleFor(const QString& attributeName, const RuleInputs& inputs) {
    for (const RuleRow& row : ruleRows)
        if (names(row, attributeName) && holds(row.when, inputs))
            return withRange(row.rule, row.range, inputs);
    return {ruleNoValidation, Variant::missing(), Variant::missing()};
}

}  // namespace vq
