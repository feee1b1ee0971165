#include "archive/SamplePointGenerator.h"
#include "sdk/SdkPointType.h"

#include <QHash>
#include <QSet>

#include <gtest/gtest.h>

#include <map>

using namespace vq;

namespace {

bool plainTagCharacters(const QString& tag) {
    for (QChar c : tag) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
                        u == u'-' || u == u'.' || u == u'_';
        if (!ok) return false;
    }
    return !tag.isEmpty();
}

// Every field, so that equal summaries mean equal points.
QString summary(const SamplePoint& p) {
    QStringList parts{p.tag,
                      p.className,
                      QString::number(p.pointType),
                      p.descriptor,
                      p.engUnits,
                      p.pointSource,
                      QString::number(p.zero),
                      QString::number(p.span),
                      QString::number(p.typicalValue),
                      QString::number(p.compDev),
                      QString::number(p.excDev),
                      p.digitalSet,
                      p.sourceTag,
                      p.instrumentTag};
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

TEST(SamplePointGenerator, TagsAreUniqueAndPlainOverTheWholeIndexRange) {
    for (const QString& kind : {QStringLiteral("VQ3"), QStringLiteral("VQ2")}) {
        const SamplePointGenerator generator(kind, 11);
        std::vector<int64_t> indices;
        for (int64_t i = 0; i < 200000; ++i) indices.push_back(i);
        // The far end of a ten-million archive and beyond it, where the loop numbers wrap.
        for (int64_t i = 0; i < 20000; ++i) indices.push_back(9990000 + i * 3);
        QSet<QString> seen;
        for (int64_t index : indices) {
            const QString tag = generator.point(index, 0).tag;
            ASSERT_TRUE(plainTagCharacters(tag)) << qPrintable(tag);
            ASSERT_FALSE(seen.contains(tag.toUpper()))
                << qPrintable(kind) << " index " << index << " " << qPrintable(tag);
            seen.insert(tag.toUpper());
        }
    }
}

TEST(SamplePointGenerator, PointIsAPureFunctionOfKindSeedAndIndex) {
    const SamplePointGenerator a(QStringLiteral("VQ3"), 5);
    const SamplePointGenerator b(QStringLiteral("VQ3"), 5);
    const SamplePointGenerator otherSeed(QStringLiteral("VQ3"), 6);
    const int64_t indices[] = {9999999, 123457, 0, 19, 20, 999, 123456, 1};
    QStringList forward;
    for (int64_t i : indices) forward << summary(a.point(i, 4));
    int differing = 0;
    for (int n = std::size(indices) - 1; n >= 0; --n) {
        EXPECT_EQ(summary(b.point(indices[n], 4)), forward[n]) << indices[n];
        if (summary(otherSeed.point(indices[n], 4)) != forward[n]) ++differing;
    }
    EXPECT_GE(differing, 6);
}

class SamplePointGeneratorKinds : public ::testing::TestWithParam<const char*> {};

TEST_P(SamplePointGeneratorKinds, AttributesAndValuesFitThePointType) {
    const bool vq2 = QLatin1String(GetParam()) == QLatin1String("VQ2");
    const SamplePointGenerator generator(QString::fromLatin1(GetParam()), 3);
    const auto states = stateCounts();
    const QSet<int32_t> allowedTypes =
        vq2 ? QSet<int32_t>{6, 11, 12, 101} : QSet<int32_t>{6, 8, 11, 12, 13, 101, 105};
    const QSet<QString> allowedClasses =
        vq2 ? QSet<QString>{QStringLiteral("classic")}
            : QSet<QString>{QStringLiteral("classic"), QStringLiteral("base"), QStringLiteral("totalizer"),
                            QStringLiteral("alarm")};
    const int count = 20000, valuesPerPoint = 5;
    std::map<int32_t, int> types;
    std::map<QString, int> classes;
    int noData = 0;

    for (int i = 0; i < count; ++i) {
        const SamplePoint p = generator.point(i, valuesPerPoint);
        const QString what = summary(p);
        ++types[p.pointType];
        ++classes[p.className];
        ASSERT_TRUE(allowedTypes.contains(p.pointType)) << qPrintable(what);
        ASSERT_TRUE(allowedClasses.contains(p.className)) << qPrintable(what);
        ASSERT_FALSE(p.descriptor.trimmed().isEmpty());
        ASSERT_TRUE(p.instrumentTag.contains(u'-')) << qPrintable(what);
        ASSERT_EQ(p.className == QStringLiteral("totalizer"), !vq2 && p.pointSource == QStringLiteral("T"))
            << qPrintable(what);

        const bool numeric = pointtype::isNumeric(p.pointType);
        if (numeric) {
            ASSERT_GT(p.span, 0) << qPrintable(what);
            ASSERT_TRUE(p.typicalValue >= p.zero && p.typicalValue <= p.zero + p.span) << qPrintable(what);
            ASSERT_TRUE(p.compDev > 0 && p.compDev <= 0.02 * p.span && p.excDev > 0 && p.excDev <= p.compDev)
                << qPrintable(what);
            ASSERT_TRUE(p.digitalSet.isEmpty());
        } else if (p.pointType == pointtype::Digital) {
            ASSERT_EQ(states.count(p.digitalSet), 1u) << qPrintable(what);
            ASSERT_EQ(p.zero, 0);
            ASSERT_EQ(p.span, states.at(p.digitalSet) - 1) << qPrintable(what);
            ASSERT_TRUE(p.engUnits.isEmpty());
        } else {
            ASSERT_TRUE(p.engUnits.isEmpty() && p.digitalSet.isEmpty()) << qPrintable(what);
        }
        ASSERT_EQ(p.className == QStringLiteral("alarm"),
                  p.digitalSet == QStringLiteral("AlarmState") && !vq2)
            << qPrintable(what);

        ASSERT_EQ(int(p.values.size()), valuesPerPoint);
        ASSERT_LE(p.values.front().secondsBeforeNow, 86400);
        ASSERT_LE(p.values.back().secondsBeforeNow, 60);
        for (int k = 0; k < valuesPerPoint; ++k) {
            const SampleValue& v = p.values[k];
            if (k > 0) {
                ASSERT_LT(v.secondsBeforeNow, p.values[k - 1].secondsBeforeNow) << qPrintable(what);
            }
            if (v.status < 0) {
                ASSERT_EQ(k, valuesPerPoint - 1) << "only the current value lacks data: " << qPrintable(what);
                ASSERT_EQ(v.status, SamplePointGenerator::NoDataStatus);
                ASSERT_TRUE(p.pointType == pointtype::String ? v.value.toString().isEmpty()
                                                             : v.value.toDouble() == 0);
                ++noData;
                continue;
            }
            switch (p.pointType) {
                case pointtype::Float16:
                case pointtype::Float32:
                case pointtype::Float64:
                    ASSERT_EQ(v.value.type(), Variant::Type::Double);
                    ASSERT_EQ(v.status, 0);
                    ASSERT_TRUE(v.value.toDouble() >= p.zero && v.value.toDouble() <= p.zero + p.span)
                        << qPrintable(what);
                    break;
                case pointtype::Int16:
                case pointtype::Int32:
                    ASSERT_EQ(v.value.type(),
                              p.pointType == pointtype::Int16 ? Variant::Type::Int16 : Variant::Type::Int32);
                    ASSERT_EQ(v.value.toInt32(), v.status) << qPrintable(what);
                    ASSERT_TRUE(v.status >= p.zero && v.status <= p.zero + p.span) << qPrintable(what);
                    break;
                case pointtype::Digital:
                    ASSERT_EQ(v.value.toInt32(), v.status);
                    ASSERT_TRUE(v.status >= 0 && v.status <= p.span) << qPrintable(what);
                    break;
                default:
                    ASSERT_TRUE(v.value.isString() && !v.value.toString().isEmpty()) << qPrintable(what);
                    ASSERT_EQ(v.status, 0);
                    break;
            }
        }
    }

    // Mostly Float32, a few percent of each other kind, about one point in 200 without data.
    EXPECT_GT(types[pointtype::Float32], count / 2);
    for (int32_t type : allowedTypes) EXPECT_GT(types[type], count / 100) << "type " << type;
    EXPECT_EQ(types[pointtype::Blob], 0);
    EXPECT_TRUE(noData > count / 400 && noData < count / 100) << noData;
    if (!vq2) {
        for (const auto& [name, n] : classes) EXPECT_GT(n, count / 100) << qPrintable(name);
        EXPECT_GT(classes[QStringLiteral("classic")], count / 2);
    }
}

TEST_P(SamplePointGeneratorKinds, TotalizersNameAnEarlierFlowPoint) {
    const SamplePointGenerator generator(QString::fromLatin1(GetParam()), 9);
    QHash<QString, SamplePoint> byTag;
    QHash<QString, int> indexOf;
    int totalizers = 0, withSource = 0;
    for (int i = 0; i < 30000; ++i) {
        SamplePoint p = generator.point(i, 0);
        if (p.pointSource == QStringLiteral("T")) {
            ++totalizers;
            if (!p.sourceTag.isEmpty()) {
                ++withSource;
                ASSERT_TRUE(indexOf.contains(p.sourceTag))
                    << qPrintable(p.tag) << " -> " << qPrintable(p.sourceTag);
                const SamplePoint& source = byTag[p.sourceTag];
                EXPECT_TRUE(source.engUnits.endsWith(QStringLiteral("/h")) ||
                            source.engUnits.endsWith(QStringLiteral("/min")))
                    << qPrintable(summary(source));
                EXPECT_NE(source.pointSource, QStringLiteral("T"));
                EXPECT_TRUE(p.descriptor.startsWith(source.descriptor)) << qPrintable(p.descriptor);
            }
        } else {
            EXPECT_TRUE(p.sourceTag.isEmpty()) << qPrintable(summary(p));
        }
        indexOf.insert(p.tag, i);
        byTag.insert(p.tag, std::move(p));
    }
    EXPECT_GT(totalizers, 300);
    EXPECT_GT(withSource, totalizers * 9 / 10);
}

INSTANTIATE_TEST_SUITE_P(, SamplePointGeneratorKinds, ::testing::Values("VQ3", "VQ2"));

TEST(SamplePointGenerator, SearchesFindBelievableShares) {
    const SamplePointGenerator generator(QStringLiteral("VQ3"), 1);
    const int count = 200000;
    QHash<QString, std::pair<int, int>> prefixSpan;  // "U110-FIC" -> first and last index
    QHash<QString, int> prefixHits;
    int level = 0, flow = 0, pump = 0;
    QSet<QString> unitsInFirstHundred;
    for (int i = 0; i < count; ++i) {
        const SamplePoint p = generator.point(i, 0);
        const QString prefix = p.tag.section(u'-', 0, 1);
        auto it = prefixSpan.find(prefix);
        if (it == prefixSpan.end())
            prefixSpan.insert(prefix, {i, i});
        else
            it->second = i;
        ++prefixHits[prefix];
        if (i < 100) unitsInFirstHundred.insert(p.tag.section(u'-', 0, 0));
        const QString d = p.descriptor.toLower();
        level += d.contains(QStringLiteral("level"));
        flow += d.contains(QStringLiteral("flow"));
        pump += d.contains(QStringLiteral("pump"));
    }
    // A million points would give at most about a thousand hits for one unit and instrument prefix.
    int most = 0;
    QString mostPrefix;
    for (auto it = prefixHits.cbegin(); it != prefixHits.cend(); ++it) {
        if (it.value() > most) most = it.value(), mostPrefix = it.key();
    }
    EXPECT_LE(most, 200) << qPrintable(mostPrefix);
    EXPECT_GT(prefixHits.size(), 5000);
    // The hits of one prefix are spread over the index range, not bunched at its start.
    EXPECT_GT(prefixSpan[mostPrefix].second - prefixSpan[mostPrefix].first, count / 2);
    EXPECT_GE(unitsInFirstHundred.size(), 4);
    EXPECT_TRUE(level > count / 50 && level < count / 5) << level;
    EXPECT_TRUE(flow > count / 20 && flow < count / 3) << flow;
    EXPECT_GT(pump, count / 50);
}

TEST(SamplePointGenerator, DigitalSetsHaveDistinctUpperCaseStates) {
    const auto sets = SamplePointGenerator::digitalSets();
    EXPECT_GE(sets.size(), 6u);
    QSet<QString> names;
    for (const SampleDigitalSet& set : sets) {
        EXPECT_FALSE(names.contains(set.name.toUpper())) << qPrintable(set.name);
        names.insert(set.name.toUpper());
        EXPECT_GE(set.states.size(), 2);
        EXPECT_EQ(QSet<QString>(set.states.begin(), set.states.end()).size(), set.states.size());
        for (const QString& state : set.states) {
            EXPECT_EQ(state, state.toUpper());
            EXPECT_FALSE(state.isEmpty() || state.contains(u' '));
        }
    }
}
