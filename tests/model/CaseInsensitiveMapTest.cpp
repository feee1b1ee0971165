#include "ModelTestSupport.h"

#include "model/CaseInsensitiveMap.h"

using namespace vq;
using namespace vq::test;

namespace {

// The hash folds four characters at a time on a fast path for plain ASCII; a name that differs
// only in case, or in a character that folds to ASCII, must still land on the same key.
TEST(CaseInsensitiveMapTest, NamesThatDifferOnlyInCaseFindTheSameValue) {
    const std::pair<QString, QString> sameKeys[] = {
        {u"CompDevPercent"_s, u"COMPDEVPERCENT"_s},
        {u"Zero"_s, u"zERO"_s},
        {u"abc"_s, u"ABC"_s},
        {u"Tagk"_s, u"TAG\u212A"_s},          // Kelvin sign folds to k, in the tail
        {u"Park1234"_s, u"PAR\u212A1234"_s},  // and in a full word
        {u"Stra\u00DFe"_s, u"STRA\u00DFE"_s},
        {u"\u00C9t\u00E9Temp"_s, u"\u00E9T\u00C9temp"_s},
    };
    for (const auto& [stored, asked] : sameKeys) {
        // Given a map holding one name
        CaseInsensitiveMap<int> map;
        map.insert(stored, 7);
        // When it is asked for the same name in other case, then it finds it
        const int* found = map.find(asked);
        ASSERT_NE(found, nullptr) << stored.toStdString() << " / " << asked.toStdString();
        EXPECT_EQ(*found, 7);
    }
    // And names that differ in more than case stay apart, whatever their hash
    CaseInsensitiveMap<int> map;
    map.insert(u"Span@"_s, 1);
    EXPECT_FALSE(map.contains(u"Span`"_s));
    EXPECT_FALSE(map.contains(u"Spa"_s));
    EXPECT_FALSE(map.contains(u"Spans"_s));
}

}  // namespace
