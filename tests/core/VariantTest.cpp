#include "ErrorNumber.h"
#include "core/Variant.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;
using vq::Variant;
using vq::test::errorNumberOf;
namespace errc = vq::errc;

// The numeric-text test, conversion to text and type names.
TEST(VariantTest, NumericTextTextAndTypeNames) {
    // value, numeric, what toDouble gives, text, type name
    const std::tuple<Variant, bool, double, QString, QString> values[] = {
        {u" 12 "_s, true, 12, u" 12 "_s, u"String"_s},
        {u"1e3"_s, true, 1000, u"1e3"_s, u"String"_s},
        {u"abc"_s, false, 0, u"abc"_s, u"String"_s},
        {u""_s, false, 0, u""_s, u"String"_s},
        {u"1,000"_s, false, 0, u"1,000"_s, u"String"_s},
        {u"1e999"_s, false, 0, u"1e999"_s, u"String"_s},  // beyond Double
        {u"inf"_s, false, 0, u"inf"_s, u"String"_s},
        {u"True"_s, false, 0, u"True"_s, u"String"_s},
        {true, true, -1, u"True"_s, u"Boolean"_s},
        {false, true, 0, u"False"_s, u"Boolean"_s},
        {int16_t(-7), true, -7, u"-7"_s, u"Integer"_s},
        {int32_t(100000), true, 100000, u"100000"_s, u"Long"_s},
        {0.1f, true, double(0.1f), u"0.1"_s, u"Single"_s},
        {1e15, true, 1e15, u"1E+15"_s, u"Double"_s},
        {123456789012345.0, true, 123456789012345.0, u"123456789012345"_s, u"Double"_s},
        {0.00001, true, 0.00001, u"0.00001"_s, u"Double"_s},
        {1e-6, true, 1e-6, u"1E-06"_s, u"Double"_s},
        {-1.25e-7, true, -1.25e-7, u"-1.25E-07"_s, u"Double"_s},
        {0.0, true, 0, u"0"_s, u"Double"_s},
        {Variant::date(999, 7, 4, 9, 5), false, 0, u"7/4/0999 9:05:00 AM"_s, u"Date"_s},
        {Variant(), false, 0, u""_s, u"Empty"_s},
        {Variant::null(), false, 0, u""_s, u"Null"_s},
        {Variant::missing(), false, 0, u""_s, u"Error"_s},
    };
    for (const auto& [value, numeric, number, text, typeName] : values) {
        bool ok = false;
        const double read = value.toDouble(&ok);
        EXPECT_EQ(std::tuple(value.isNumeric(), ok, read, value.toString(), value.typeName()),
                  std::tuple(numeric, numeric, number, text, typeName))
            << qPrintable(vq::debugText(value));
    }
}

// Numbers when both sides are numeric, else text without regard to case; singles in single precision.
TEST(VariantTest, ComparisonRules) {
    const std::tuple<Variant, Variant, int> comparisons[] = {
        // a, b, the sign of a - b
        {u"10"_s, int32_t(9), 1},  // text that reads as a number compares as a number
        {u"10"_s, u"9"_s, 1},      // ... on both sides
        {u" 2 "_s, 2.0, 0},
        {int16_t(3), 3.0f, 0},
        {true, int32_t(-1), 0},   // True is -1
        {u"abc"_s, u"ABC"_s, 0},  // text without regard to case
        {u"abc"_s, u"abd"_s, -1},
        {u"10"_s, u"9x"_s, -1},  // one side not numeric: text
        {Variant(), u""_s, 0},
        {Variant(), int32_t(0), -1},  // Empty is not numeric, so "" < "0"
        {Variant::date(2024, 1, 5), u"1/5/2024"_s, 0},
        {0.2f, u"0.2"_s, 0},  // a single compares in single precision: typing its text back is no change
        {0.2f, u"0.2000001"_s, -1},
        {0.2, u"0.2000001"_s, -1},
    };
    const auto signOf = [](int x) { return (x > 0) - (x < 0); };
    for (const auto& [a, b, sign] : comparisons) {
        SCOPED_TRACE(qPrintable(vq::debugText(a) + u" vs "_s + vq::debugText(b)));
        EXPECT_EQ(signOf(Variant::compare(a, b)), sign);
        EXPECT_EQ(signOf(Variant::compare(b, a)), -sign);
        EXPECT_EQ(Variant::valuesDiffer(a, b), sign != 0);
    }
}

// Collection positions and point ids go through toInt32, which rounds half to even.
TEST(VariantTest, ToInt32RoundsHalfToEvenAndToCheckedInt16RaisesForTextAndOutOfRange) {
    bool ok = false, overflowOk = true;
    EXPECT_EQ(QList<int32_t>({Variant(2.5).toInt32(&ok), Variant(3.5).toInt32(), Variant(u"-1.5"_s).toInt32(),
                              Variant(3e9).toInt32(&overflowOk)}),
              QList<int32_t>({2, 4, -2, 0}));
    EXPECT_TRUE(ok && !overflowOk);
    // An on/off switch shows a 16-bit value; anything else is an error, never a silent 0.
    EXPECT_EQ(QList<int16_t>({Variant(u" -2.5 "_s).toCheckedInt16(), Variant(true).toCheckedInt16(),
                              Variant().toCheckedInt16(), Variant(32767.4).toCheckedInt16()}),
              QList<int16_t>({-2, -1, 0, 32767}));
    for (const auto& [value, number] : {std::pair{Variant(u"On"_s), errc::TypeMismatch},
                                        {u""_s, errc::TypeMismatch},
                                        {Variant::null(), errc::TypeMismatch},
                                        {int32_t(32768), errc::Overflow},
                                        {-32768.6, errc::Overflow}})
        EXPECT_EQ(errorNumberOf([&] { value.toCheckedInt16(); }), number) << qPrintable(vq::debugText(value));
}

TEST(VariantTest, ParseDateReadsWhatFormatDateWrites) {
    // text, what formatDate writes for what parseDate reads ("" when the text itself)
    const std::pair<QString, QString> dates[] = {
        {u"12/31/1899"_s, {}},
        {u"12/30/1899"_s, {}},
        {u"1/5/2024 3:04:05 PM"_s, {}},
        {u"1/5/2024 12:00:01 AM"_s, {}},
        {u"12/25/2024 12:30:00 PM"_s, {}},
        {u"2/29/2024"_s, {}},
        {u" 01/05/2024 15:04 "_s, u"1/5/2024 3:04:00 PM"_s},
        {u"1/5/2024 3:04:05 pm"_s, u"1/5/2024 3:04:05 PM"_s},
        {u"2024-01-05T15:04:05"_s, u"1/5/2024 3:04:05 PM"_s},
        {u"2024-01-05T15:04:05Z"_s, u"1/5/2024 3:04:05 PM"_s},
    };
    for (const auto& [text, formatted] : dates)
        EXPECT_EQ(Variant::formatDate(Variant::parseDate(text)), formatted.isEmpty() ? text : formatted)
            << qPrintable(text);

    const QStringList noDates =
        u"|abc|13/1/2024|2/30/2023|1/5/2024 13:00 PM|1/5/2024 0:30 AM|1/5/24"_s.split(u'|');
    for (const QString& text : noDates) EXPECT_FALSE(Variant::parseDate(text).isValid()) << qPrintable(text);

    // A number as a date counts days from the zero date; the fraction is the time of day.
    EXPECT_EQ(Variant(1.5).toDateTime(), Variant::parseDate(u"12/31/1899 12:00:00 PM"_s));
}
