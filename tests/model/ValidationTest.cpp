#include "ModelTestSupport.h"

#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;

namespace {

TEST(ValidationTest, IsValidValueFollowsTheRuleBitsAndUnorderedRanges) {
    // rule, range, values valid and invalid (separated by ',')
    const std::tuple<int32_t, Variant, Variant, const char*, const char*> cases[] = {
        {ruleNumericOnly + ruleBetween, 0, 100, "0,100,50, 7 ", "100.5,-1,abc"},
        {ruleNumericOnly + ruleBetween, 100, 0, "0,100", "100.5,-1"},
        {ruleNumericOnly + ruleOutside, 0, 100, "-0.1,100.1", "0,100,50"},
        {ruleNumericOnly + ruleAbsBetween, 5, 10, "-7,7,10", "-4,11"},
        {ruleNumericOnly + ruleAbsOutside, 5, 10, "-4,11", "-7,5"},
        {ruleNumericOnly + ruleNonZero, Variant::missing(), Variant::missing(), "1e3,-2,0.001", "0,abc, "},
        {ruleNumericOnly + ruleBetween, u"x"_s, 10, "500", "abc"},
        {ruleBetween, 0, 1, "abc,500", ""},
        {ruleStringOnly, Variant::missing(), Variant::missing(), "abc", "12"},
        {ruleNoValidation + ruleNumericOnly, Variant::missing(), Variant::missing(), "abc", ""},
        {ruleTagName, Variant::missing(), Variant::missing(), "Boiler-1.Temp",
         "a*b,a;b,a?b,a[b,a\\b,a]b,a{b,a|b,a}b"},
    };
    for (const auto& [rule, range1, range2, valid, invalid] : cases) {
        // Given an entry with the rule
        PropSheetEntry entry;
        entry.SetValidationRules(rule, range1, range2);
        // Then the values are judged as listed
        for (const QString& value : QString::fromUtf8(valid).split(u',', Qt::SkipEmptyParts))
            EXPECT_TRUE(entry.IsValidValue(value)) << rule << " " << value.toStdString();
        for (const QString& value : QString::fromUtf8(invalid).split(u',', Qt::SkipEmptyParts))
            EXPECT_FALSE(entry.IsValidValue(value)) << rule << " " << value.toStdString();
    }
    // An empty tag is a valid tag name
    PropSheetEntry tag;
    tag.SetValidationRules(ruleTagName);
    EXPECT_TRUE(tag.IsValidValue(Variant()) && tag.IsValidValue(Variant::null()));
}

using RuleCatalogueTest = ModelTest;

TEST_F(RuleCatalogueTest, LoadingAppliesNoRuleAndEditsApplyTheCatalogueRules) {
    // Given an existing point whose descriptor is blank
    auto server = makeServer();
    storePoint(*server, u"Temp"_s, u"classic"_s, pointtype::Float32);
    PropSheetEntries entries;
    entries.AddAttributesForPoint(reconnect()->Points()->Item(u"Temp"_s));

    // Then every entry is valid after loading
    EXPECT_EQ(rules(entries, "Tag Span CompDev TypicalValue Location1 Descriptor"),
              "Tag=1 Span=1 CompDev=1 TypicalValue=1 Location1=1 Descriptor=1");

    // When each is edited
    edit(entries, "Tag=Temp.2 Span=-50 CompDev=7 Location1=3 Descriptor=x Zero=10");

    // Then each gets its own rule, and ranges follow span and zero
    EXPECT_EQ(
        rules(entries, "Tag Span CompDev ExcDev TypicalValue Location1 Descriptor"),
        "Tag=256 Span=66 CompDev=6[50..0] ExcDev=6[50..0] TypicalValue=6[-40..10] Location1=2 Descriptor=1");
    EXPECT_EQ(which(entries, "Tag Span CompDev Location1", &PropSheetEntry::IsValid),
              "Tag Span CompDev Location1");

    // When a numeric entry is blanked, then it holds 0 and is invalid where zero is refused
    edit(entries, "Span= Location1=");
    EXPECT_EQ(values(entries, "Span Location1"), "Span=0 Location1=0");
    EXPECT_EQ(which(entries, "Span Location1", [](const PropSheetEntry& e) { return !e.IsValid(); }), "Span");
    // And a small span is no zero span
    edit(entries, "Span=0.001");
    EXPECT_TRUE(entries.Item(Variant(u"Span"_s))->IsValid());
}

}  // namespace
