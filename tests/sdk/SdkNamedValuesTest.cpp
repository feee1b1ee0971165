#include "ErrorNumber.h"
#include "sdk/SdkNamedValues.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace vq;
using vq::test::errorNumberOf;

namespace {

QString nameOf(int i) {
    return u"Attr%1"_s.arg(i, 2, 10, QLatin1Char('0'));
}

}  // namespace

// Small sets are searched in place and larger ones through a hash index; both must behave alike.
class SdkNamedValuesSizeTest : public testing::TestWithParam<int> {};

TEST_P(SdkNamedValuesSizeTest, LooksUpAddsRemovesAndSetsByNameWithoutCase) {
    const int n = GetParam();
    SdkNamedValues values;
    QStringList expected;
    for (int i = 1; i <= n; ++i) {
        values.Add(nameOf(i), int32_t(i));
        expected << nameOf(i) + u'=' + QString::number(i);
    }
    EXPECT_EQ(values.toText(), expected.join(u' '));
    for (int i = 1; i <= n; ++i) {
        EXPECT_EQ(values.Item(nameOf(i).toUpper()).Value(), Variant(int32_t(i)));
        EXPECT_EQ(values.Item(i).Name(), nameOf(i));
    }
    EXPECT_EQ(values.Item(Variant(int16_t(2))).Name(), nameOf(2));  // a number is a position
    EXPECT_EQ(values.Item(Variant(nameOf(n).toLower())).Value(), Variant(int32_t(n)));
    EXPECT_EQ(errorNumberOf([&] { values.Item(u"Descriptor"_s); }), errc::NamedValueAbsent);
    EXPECT_EQ(errorNumberOf([&] { values.Item(Variant(u"1"_s)); }), errc::NamedValueAbsent);
    EXPECT_EQ(errorNumberOf([&] { values.Item(0); }), errc::SubscriptOutOfRange);
    EXPECT_EQ(errorNumberOf([&] { values.Item(n + 1); }), errc::SubscriptOutOfRange);

    EXPECT_EQ(errorNumberOf([&] { values.Add(nameOf(1).toLower(), u"dup"_s); }), errc::DuplicateKey);
    EXPECT_EQ(values.Count(), n);
    EXPECT_EQ(values.Value(nameOf(1)), Variant(int32_t(1)));

    // Adding after lookups: the new name is found, whether the set is indexed or not.
    values.Add(u"Extra"_s, true);
    EXPECT_EQ(values.Value(u"EXTRA"_s), Variant(true));

    // Removing shifts the later pairs down; lookups of later names still land on them.
    values.Remove(u"attr02"_s);
    EXPECT_FALSE(values.Contains(nameOf(2)));
    EXPECT_EQ(errorNumberOf([&] { values.Remove(nameOf(2)); }), errc::NamedValueAbsent);
    for (int i = 3; i <= n; ++i) EXPECT_EQ(values.Value(nameOf(i)), Variant(int32_t(i)));
    EXPECT_EQ(values.Value(u"extra"_s), Variant(true));

    values.Set(u"ATTR01"_s, u"one"_s);  // replaces in place, keeping the first spelling
    values.Set(u"Attr02"_s, 2.5);       // appends
    EXPECT_EQ(values.Value(u"ATTR02"_s), Variant(2.5));
    expected[0] = u"Attr01=one"_s;
    expected.removeAt(1);
    EXPECT_EQ(values.toText(), (expected + QStringList{u"Extra=True"_s, u"Attr02=2.5"_s}).join(u' '));

    values.Clear();
    EXPECT_TRUE(values.Count() == 0 && !values.Contains(nameOf(1)));
    values.Add(nameOf(1), 1);
    EXPECT_EQ(values.Value(nameOf(1)), Variant(int32_t(1)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, SdkNamedValuesSizeTest, testing::Values(3, 12, 13, 40));

TEST(SdkNamedValuesTest, MergeAppendsNewNamesInTheOtherOrderAndReplacesOnlyWhenAsked) {
    for (const bool replace : {false, true}) {
        SCOPED_TRACE(replace);
        SdkNamedValues mine;
        mine.Add(u"Tag"_s, u"t1"_s);
        mine.Add(u"Span"_s, 100.0);
        SdkNamedValues other;
        other.Add(u"zero"_s, 5.0);
        other.Add(u"SPAN"_s, 200.0);
        other.Add(u"Descriptor"_s, u"d"_s);
        other.Add(u"TAG"_s, u"t2"_s);
        mine.Merge(other, replace);
        EXPECT_EQ(mine.toText(), replace ? u"Tag=t2 Span=200 zero=5 Descriptor=d"_s
                                         : u"Tag=t1 Span=100 zero=5 Descriptor=d"_s);
        mine.Merge(mine, true);
        EXPECT_EQ(mine.Count(), 4);
    }

    // A large set merged into a large set finds every present name through the index.
    SdkNamedValues big, bigger;
    for (int i = 1; i <= 30; ++i) big.Add(nameOf(i), int32_t(i));
    for (int i = 21; i <= 50; ++i) bigger.Add(nameOf(i).toLower(), int32_t(-i));
    big.Merge(bigger, true);
    EXPECT_EQ(big.Count(), 50);
    EXPECT_EQ(big.Value(nameOf(20)), Variant(int32_t(20)));
    EXPECT_EQ(big.Value(nameOf(21)), Variant(int32_t(-21)));
    EXPECT_EQ(big.Item(21).Name(), nameOf(21));
    EXPECT_EQ(big.Item(31).Name(), u"attr31"_s);
}
