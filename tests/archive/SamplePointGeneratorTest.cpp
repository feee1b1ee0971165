#include "archive/data/SamplePointGenerator.h"
#include "sdk/SdkPointType.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using namespace vq;
using namespace Qt::Literals::StringLiterals;

namespace {

// Every field, so that equal summaries mean equal points.
QString summary(const SamplePoint& p) {
    QStringList parts{p.tag,         p.className,  p.descriptor, p.engUnits,
                      p.pointSource, p.digitalSet, p.sourceTag,  p.instrumentTag};
    for (double number : {double(p.pointType), p.zero, p.span, p.typicalValue, p.compDev, p.excDev})
        parts << QString::number(number);
    for (const SampleValue& v : p.values)
        parts << u"%1@%2/%3"_s.arg(v.value.toString()).arg(v.secondsBeforeNow).arg(v.status);
    return parts.join(u'|');
}

}  // namespace

// Tags are unique and plain over the whole index range (the far end of a ten-million archive,
// where the loop numbers wrap, included), and a point depends on kind, seed and index alone. What
// the points hold is checked where they are stored: seeded points must pass the archive's write
// checks (ArchiveServerTest).
TEST(SamplePointGenerator, PointsArePureFunctionsWithUniquePlainTags) {
    const QRegularExpression plain(QRegularExpression::anchoredPattern(u"[A-Za-z0-9._-]+"));
    for (const QString& kind : {u"VQ3"_s, u"VQ2"_s}) {
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
    const SamplePointGenerator a(u"VQ3"_s, 5), otherSeed(u"VQ3"_s, 6);
    int differing = 0;
    for (int64_t i : {9999999, 123457, 0, 19, 20, 999, 123456, 1}) {
        EXPECT_EQ(summary(SamplePointGenerator(u"VQ3"_s, 5).point(i, 4)), summary(a.point(i, 4)));
        differing += summary(otherSeed.point(i, 4)) != summary(a.point(i, 4));
    }
    EXPECT_GE(differing, 6);
}

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
