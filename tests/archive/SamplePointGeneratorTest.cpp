#include "archive/SamplePointGenerator.h"
#include "sdk/SdkPointType.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

#include <map>

using namespace vq;

namespace {

// Every field, so that equal summaries mean equal points.
QString summary(const SamplePoint& p) {
    QStringList parts{p.tag,         p.className,  p.descriptor, p.engUnits,
                      p.pointSource, p.digitalSet, p.sourceTag,  p.instrumentTag};
    for (double number : {double(p.pointType), p.zero, p.span, p.typicalValue, p.compDev, p.excDev})
        parts << QString::number(number);
    for (const SampleValue& v : p.values)
        parts << QStringLiteral("%1@%2/%3").arg(v.value.toString()).arg(v.secondsBeforeNow).arg(v.status);
    return parts.join(u'|');
}

std::map<QString, int> stateCounts() {
    std::map<QString, int> counts;
    for (const SampleDigitalSet& set : SamplePointGenerator::digitalSets())
        counts[set.name] = int(set.states.size());
    return counts;
}

}  // namespace

// Tags are unique and plain over the whole index range (the far end of a ten-million archive,
// where the loop numbers wrap, included), and a point depends on kind, seed and index alone.
TEST(SamplePointGenerator, PointsArePureFunctionsWithUniquePlainTags) {
    const QRegularExpression plain(QRegularExpression::anchoredPattern(u"[A-Za-z0-9._-]+"));
    for (const QString& kind : {QStringLiteral("VQ3"), QStringLiteral("VQ2")}) {
        const SamplePointGenerator generator(kind, 11);
        QSet<QString> seen;
        for (int64_t i = 0; i < 220000; ++i) {
            const int64_t index = i < 200000 ? i : 9990000 + (i - 200000) * 3;
            const QString tag = generator.point(index, 0).tag;
            ASSERT_TRUE(plain.match(tag).hasMatch()) << qPrintable(tag);
            ASSERT_FALSE(seen.contains(tag.toUpper())) << qPrintable(kind) << " index " << index;
            seen.insert(tag.toUpper());
        }
    }
    const SamplePointGenerator a(QStringLiteral("VQ3"), 5), otherSeed(QStringLiteral("VQ3"), 6);
    int differing = 0;
    for (int64_t i : {9999999, 123457, 0, 19, 20, 999, 123456, 1}) {
        EXPECT_EQ(summary(SamplePointGenerator(QStringLiteral("VQ3"), 5).point(i, 4)),
                  summary(a.point(i, 4)));
        differing += summary(otherSeed.point(i, 4)) != summary(a.point(i, 4));
    }
    EXPECT_GE(differing, 6);
}

class SamplePointGeneratorKinds : public ::testing::TestWithParam<const char*> {};

// A value of a point in its range and of its type; for whole-number and digital points the
// status carries the value too.
::testing::AssertionResult valueFits(const SamplePoint& p, const SampleValue& v) {
    const bool inRange = v.value.toDouble() >= p.zero && v.value.toDouble() <= p.zero + p.span;
    switch (p.pointType) {
        case pointtype::Float16:
        case pointtype::Float32:
        case pointtype::Float64:
            if (v.value.type() == Variant::Type::Double && v.status == 0 && inRange)
                return ::testing::AssertionSuccess();
            break;
        case pointtype::Int16:
        case pointtype::Int32:
        case pointtype::Digital:
            if (v.value.toInt32() == v.status && inRange) return ::testing::AssertionSuccess();
            break;
        default:
            if (v.value.isString() && !v.value.toString().isEmpty() && v.status == 0)
                return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << qPrintable(summary(p));
}

// Totalizers name an earlier flow point as their source.
TEST_P(SamplePointGeneratorKinds, AttributesAndValuesFitThePointType) {
    const bool vq2 = QLatin1String(GetParam()) == QLatin1String("VQ2");
    const SamplePointGenerator generator(QString::fromLatin1(GetParam()), 3);
    const auto states = stateCounts();
    const QSet<int32_t> allowedTypes =
        vq2 ? QSet<int32_t>{6, 11, 12, 101} : QSet<int32_t>{6, 8, 11, 12, 13, 101, 105};
    const int count = 20000, valuesPerPoint = 5;
    std::map<int32_t, int> types;
    std::map<QString, int> classes;
    int noData = 0, totalizers = 0, withSource = 0, level = 0;
    QHash<QString, SamplePoint> byTag;

    for (int i = 0; i < count; ++i) {
        SamplePoint p = generator.point(i, valuesPerPoint);
        const QString what = summary(p);
        ++types[p.pointType];
        ++classes[p.className];
        ASSERT_TRUE(allowedTypes.contains(p.pointType)) << qPrintable(what);
        ASSERT_EQ(p.className == u"totalizer", !vq2 && p.pointSource == u"T") << qPrintable(what);
        ASSERT_EQ(p.className == u"alarm", p.digitalSet == u"AlarmState" && !vq2) << qPrintable(what);
        if (pointtype::isNumeric(p.pointType)) {
            ASSERT_TRUE(p.span > 0 && p.typicalValue >= p.zero && p.typicalValue <= p.zero + p.span &&
                        p.compDev > 0 && p.compDev <= 0.02 * p.span && p.excDev > 0 && p.excDev <= p.compDev)
                << qPrintable(what);
        } else if (p.pointType == pointtype::Digital) {
            ASSERT_EQ(states.count(p.digitalSet), 1u) << qPrintable(what);
            ASSERT_TRUE(p.zero == 0 && p.span == states.at(p.digitalSet) - 1) << qPrintable(what);
        }

        // Oldest first, within a day; only the current value may lack data.
        ASSERT_EQ(int(p.values.size()), valuesPerPoint);
        ASSERT_TRUE(p.values.front().secondsBeforeNow <= 86400 && p.values.back().secondsBeforeNow <= 60);
        for (int k = 0; k < valuesPerPoint; ++k) {
            const SampleValue& v = p.values[k];
            if (k > 0) {
                ASSERT_LT(v.secondsBeforeNow, p.values[k - 1].secondsBeforeNow) << qPrintable(what);
            }
            if (v.status == SamplePointGenerator::NoDataStatus && k == valuesPerPoint - 1) {
                ++noData;
                continue;
            }
            ASSERT_TRUE(valueFits(p, v));
        }

        totalizers += p.pointSource == u"T";
        level += p.descriptor.contains(u"level", Qt::CaseInsensitive);
        if (p.pointSource != u"T") {
            ASSERT_TRUE(p.sourceTag.isEmpty()) << qPrintable(what);
        } else if (!p.sourceTag.isEmpty()) {
            ++withSource;
            ASSERT_TRUE(byTag.contains(p.sourceTag)) << qPrintable(what);
            const SamplePoint& source = byTag[p.sourceTag];
            ASSERT_TRUE(source.engUnits.endsWith(u"/h") || source.engUnits.endsWith(u"/min"));
            ASSERT_TRUE(source.pointSource != u"T" && p.descriptor.startsWith(source.descriptor))
                << qPrintable(summary(source));
        }
        byTag.insert(p.tag, std::move(p));
    }

    // Mostly Float32 and classic, a few percent of each other kind, about one point in 200 without data.
    EXPECT_GT(types[pointtype::Float32], count / 2);
    for (int32_t type : allowedTypes) EXPECT_GT(types[type], count / 100) << "type " << type;
    EXPECT_TRUE(noData > count / 400 && noData < count / 100) << noData;
    EXPECT_EQ(classes.size(), vq2 ? 1u : 4u);
    for (const auto& [name, n] : classes) EXPECT_GT(n, count / 100) << qPrintable(name);
    EXPECT_GT(totalizers, count / 100);
    EXPECT_GT(withSource, totalizers * 9 / 10);
    // Descriptor searches of the benchmarks find a believable share.
    EXPECT_TRUE(level > count / 50 && level < count / 5) << level;
}

INSTANTIATE_TEST_SUITE_P(, SamplePointGeneratorKinds, ::testing::Values("VQ3", "VQ2"));

// The seeder stores the sets as they are: nothing else notices a repeated name or state.
TEST(SamplePointGenerator, DigitalSetsHaveDistinctNamesAndDistinctUpperCaseStates) {
    QSet<QString> names;
    for (const SampleDigitalSet& set : SamplePointGenerator::digitalSets()) {
        EXPECT_FALSE(names.contains(set.name.toUpper())) << qPrintable(set.name);
        names.insert(set.name.toUpper());
        EXPECT_EQ(QSet<QString>(set.states.begin(), set.states.end()).size(), set.states.size());
        for (const QString& state : set.states)
            EXPECT_TRUE(state == state.toUpper() && !state.contains(u' '));
    }
    EXPECT_GE(names.size(), 6);
}
