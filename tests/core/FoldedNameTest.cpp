#include "core/FoldedName.h"

#include <gtest/gtest.h>

using namespace vq;
using namespace Qt::StringLiterals;

namespace {

// The hash folds four characters at a time on a fast path for plain ASCII; a name that differs
// only in case, or in a character that folds to ASCII, must still land on the same key.
TEST(FoldedNameTest, NamesThatDifferOnlyInCaseHashAndCompareEqual) {
    const std::pair<QString, QString> sameKeys[] = {
        {u"CompDevPercent"_s, u"COMPDEVPERCENT"_s},
        {u"Zero"_s, u"zERO"_s},
        {u"abc"_s, u"ABC"_s},
        {u"Tagk"_s, u"TAG\u212A"_s},          // Kelvin sign folds to k, in the tail
        {u"Park1234"_s, u"PAR\u212A1234"_s},  // and in a full word
        {u"Stra\u00DFe"_s, u"STRA\u00DFE"_s},
        {u"\u00C9t\u00E9Temp"_s, u"\u00E9T\u00C9temp"_s},
    };
    for (const auto& [stored, asked] : sameKeys)
        EXPECT_TRUE(FoldedNameHash{}(stored) == FoldedNameHash{}(asked) && FoldedNameEqual{}(stored, asked))
            << stored.toStdString() << " / " << asked.toStdString();
    // And names that differ in more than case stay apart, whatever their hash
    for (const QString& other : {u"Span`"_s, u"Spa"_s, u"Spans"_s})
        EXPECT_FALSE(FoldedNameEqual{}(u"Span@"_s, other)) << other.toStdString();
}

}  // namespace
