#include "ErrorNumber.h"
#include "core/KeyedCollection.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace vq;
using vq::test::errorNumberOf;

namespace {

QString keysOf(const KeyedCollection<int>& c) {
    QStringList out;
    for (const auto& [key, value] : c) out.append(key + u'=' + QString::number(value));
    return out.join(u' ');
}

}  // namespace

TEST(KeyedCollectionTest, LooksUpByKeyWithoutCaseAndByPositionFromOne) {
    KeyedCollection<int> c;
    c.add(u"Tag"_s, 1);
    c.add(u"2"_s, 2);
    c.add(u"Ärger"_s, 3);
    EXPECT_EQ(keysOf(c), u"Tag=1 2=2 Ärger=3"_s);

    EXPECT_EQ(c.keyAt(2), u"2"_s);
    // A number selects by position, text (even numeric text) by key.
    EXPECT_EQ(QList<int>({c.item(u"TAG"_s), c.item(u"äRGER"_s), c.item(1), c.item(3),
                          c.item(Variant(int32_t(2))), c.item(Variant(int16_t(3))), c.item(Variant(1.0)),
                          c.item(Variant(u"2"_s)), c.item(Variant(u"tag"_s))}),
              QList<int>({1, 3, 1, 3, 2, 3, 1, 2, 1}));

    EXPECT_EQ(errorNumberOf([&] { c.item(u"Span"_s); }), errc::InvalidArgument);
    EXPECT_EQ(errorNumberOf([&] { c.item(Variant(u"3"_s)); }), errc::InvalidArgument);
    EXPECT_EQ(errorNumberOf([&] { c.remove(u"Span"_s); }), errc::InvalidArgument);
    for (int position : {0, -1, 4})
        EXPECT_EQ(errorNumberOf([&] { c.item(position); }), errc::SubscriptOutOfRange) << position;
    EXPECT_EQ(errorNumberOf([&] { c.remove(4); }), errc::SubscriptOutOfRange);

    EXPECT_EQ(errorNumberOf([&] { c.add(u"tAG"_s, 9); }), errc::DuplicateKey);
    EXPECT_EQ(keysOf(c), u"Tag=1 2=2 Ärger=3"_s);
}

TEST(KeyedCollectionTest, RemoveKeepsTheIndexOfLaterKeys) {
    KeyedCollection<int> c;
    for (int i = 1; i <= 6; ++i) c.add(u"K"_s + QString::number(i), i);
    c.remove(u"k2"_s);
    c.remove(1);  // K1
    EXPECT_EQ(keysOf(c), u"K3=3 K4=4 K5=5 K6=6"_s);
    for (int i = 3; i <= 6; ++i) {
        EXPECT_EQ(c.item(u"k"_s + QString::number(i)), i);
        EXPECT_EQ(c.indexOf(u"K"_s + QString::number(i)), i - 3);
    }
    EXPECT_FALSE(c.contains(u"K2"_s));
    c.add(u"K2"_s, 20);  // a removed key may come back, at the end
    EXPECT_EQ(c.item(5), 20);
    c.remove(u"K6"_s);
    EXPECT_EQ(c.item(u"K2"_s), 20);
    EXPECT_EQ(keysOf(c), u"K3=3 K4=4 K5=5 K2=20"_s);
}
