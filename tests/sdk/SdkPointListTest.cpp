#include "ErrorNumber.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointList.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace vq;
using vq::test::errorNumberOf;

namespace {

QString idsOf(const SdkPointList& list) {
    QStringList out;
    for (const SdkPointPtr& point : list) out.append(QString::number(point->PointID()));
    return out.join(u' ');
}

class SdkPointListTest : public testing::Test {
protected:
    // Archives known by name only: a point list never opens their files.
    std::shared_ptr<ArchiveServer> alpha = ArchiveServer::open(u"Alpha"_s, u"alpha.vqa"_s);
    std::shared_ptr<ArchiveServer> beta = ArchiveServer::open(u"Beta"_s, u"beta.vqa"_s);
};

}  // namespace

TEST_F(SdkPointListTest, FindsPointsByPositionAndByPath) {
    SdkPointList list;
    list.Add(alpha->PointFromHandle(1, u"sinusoid"_s));
    list.Add(beta->PointFromHandle(2, u"sinusoid"_s));  // the same tag on another server
    list.Add(alpha->PointFromHandle(3, u"CDT158"_s));
    list.Add(alpha->PointFromHandle(4, u"SINUSOID"_s));  // the first one again, in other letters
    EXPECT_EQ(idsOf(list), u"1 2 3 4"_s);
    EXPECT_TRUE(list.Item(4)->Name() == u"SINUSOID"_s && list.Item(2)->Server() == beta);
    EXPECT_EQ(list.ServerName(3), u"Alpha"_s);
    for (int position : {0, -1, 5})
        EXPECT_EQ(errorNumberOf([&] { list.Item(position); }), errc::SubscriptOutOfRange) << position;

    EXPECT_EQ(list.Item(u"\\\\alpha\\Sinusoid"_s)->PointID(), 1);
    EXPECT_EQ(list.Item(u"\\\\BETA\\SINUSOID"_s)->PointID(), 2);
    EXPECT_EQ(list.Item(u"\\\\Alpha\\CDT158"_s)->ListText(), u"\\\\Alpha\\CDT158"_s);
    for (const QString& path : {u"\\\\Alpha\\cdt15"_s, u"\\\\Beta\\CDT158"_s, u"\\\\Gamma\\sinusoid"_s})
        EXPECT_EQ(errorNumberOf([&] { list.Item(path); }), sdkerr::PointUnknown) << qPrintable(path);
    for (const QString& path : {u""_s, u"sinusoid"_s, u"\\Alpha\\sinusoid"_s, u"\\\\Alpha"_s,
                                u"\\\\\\sinusoid"_s, u"\\\\Alpha\\"_s})
        EXPECT_EQ(errorNumberOf([&] { list.Item(path); }), sdkerr::PathInvalid) << qPrintable(path);
    EXPECT_EQ(errorNumberOf([&] { SdkPointList().Item(u"\\\\Alpha\\sinusoid"_s); }), sdkerr::PointUnknown);
    EXPECT_EQ(errorNumberOf([&] { list.Add(nullptr); }), sdkerr::PointUnknown);
    EXPECT_EQ(list.Count(), 4);

    // One server reached through two objects (looked up twice): still the first point in list order.
    list.Add(ArchiveServer::open(u"ALPHA"_s, u"alpha.vqa"_s)->PointFromHandle(5, u"New"_s));
    list.Add(alpha->PointFromHandle(6, u"NEW"_s));
    EXPECT_EQ(list.Item(u"\\\\alpha\\new"_s)->PointID(), 5);
}

TEST_F(SdkPointListTest, AppendCopiesAnotherListOrItself) {
    SdkPointList list, other;
    list.Add(alpha->PointFromHandle(1, u"a"_s));
    list.Add(beta->PointFromHandle(2, u"b"_s));
    other.Add(beta->PointFromHandle(3, u"c"_s));
    other.Add(alpha->PointFromHandle(4, u"a"_s));
    EXPECT_FALSE(list.Contains(u"\\\\beta\\c"_s));  // builds the path index before appending
    list.Append(other);
    EXPECT_EQ(idsOf(list), u"1 2 3 4"_s);
    EXPECT_TRUE(list.Position(u"\\\\BETA\\C"_s) == 3 && list.Item(3)->Server() == beta);
    list.Append(list);
    EXPECT_EQ(idsOf(list), u"1 2 3 4 1 2 3 4"_s);
    EXPECT_TRUE(list.Item(u"\\\\alpha\\A"_s)->PointID() == 1 && list.Item(u"\\\\beta\\C"_s)->PointID() == 3);
    EXPECT_EQ(list.Tag(8), u"a"_s);
    EXPECT_EQ(other.Count(), 2);

    SdkPointList picked;  // single points copied by position, from another list or itself
    picked.AddItem(list, 3);
    picked.AddItem(picked, 1);
    EXPECT_EQ(idsOf(picked) + u' ' + picked.Tag(2), u"3 3 c"_s);
}

// Taking lists over keeps each one's storage: positions, servers, tags and the first of two equal
// paths must read across those blocks as if the points had been copied.
TEST_F(SdkPointListTest, AppendTakingListsOverReadsAcrossTheirBlocks) {
    SdkPointList list, middle, last;
    list.Add(alpha->PointFromHandle(1, u"a"_s));
    middle.Add(beta->PointFromHandle(2, u"b"_s));
    middle.Add(alpha->PointFromHandle(3, u"c"_s));
    last.Add(beta->PointFromHandle(4, u"A"_s));
    last.Add(alpha->PointFromHandle(5, u"C"_s));    // the same path as 3
    middle.Append(std::move(last));                 // a list of two blocks, taken over whole below
    EXPECT_FALSE(list.Contains(u"\\\\beta\\b"_s));  // builds the path index before appending
    list.Append(std::move(middle));
    list.AddHandle(beta, 6, u"f"_s);
    EXPECT_TRUE(middle.Count() == 0 && last.Count() == 0);
    QStringList read;  // each point and the position its path finds
    for (int position = 1; position <= 6; ++position) {
        const QString path = SdkPointList::Path(list.ServerName(position), list.Tag(position));
        read << path.mid(2) + u'@' + QString::number(list.Position(path));
    }
    EXPECT_EQ(read.join(u' '), u"Alpha\\a@1 Beta\\b@2 Alpha\\c@3 Beta\\A@4 Alpha\\C@3 Beta\\f@6"_s);
    list.Append(std::move(list));  // copies a list of several blocks, block by block
    EXPECT_EQ(idsOf(list), u"1 2 3 4 5 6 1 2 3 4 5 6"_s);
}

// The path index is built on the first lookup and must follow the points added after it through
// every growth, up to a million points of under a hundred bytes each.
TEST_F(SdkPointListTest, PathIndexFollowsPointsAddedAfterALookupUpToAMillionOfUnderAHundredBytesEach) {
    constexpr int count = 1'000'000;
    const auto tag = [](int i) { return u"T%1"_s.arg(i, 11, 10, QLatin1Char('0')); };
    SdkPointList list;
    list.Reserve(count + 1, (count + 1) * 12);
    for (int i = 0; i < count; ++i) {
        list.AddHandle(i % 2 ? alpha : beta, i, tag(i));
        if (i == 9) {
            EXPECT_EQ(list.Item(u"\\\\Alpha\\t00000000007"_s)->PointID(), 7);
        }
    }
    list.AddHandle(alpha, count, tag(7).toLower());  // a duplicate added later does not hide the first
    for (int i = 7; i < count; i += 1994) {
        ASSERT_EQ(list.Item(SdkPointList::Path(u"alpha"_s, tag(i).toLower()))->PointID(), i);
        ASSERT_EQ(list.Item(SdkPointList::Path(u"BETA"_s, tag(i - 1)))->PointID(), i - 1);
    }
    EXPECT_FALSE(list.Contains(u"\\\\Beta\\T00000000011"_s));
    EXPECT_TRUE(list.Item(count + 1)->PointID() == count && list.Tag(count) == tag(count - 1));
    EXPECT_LT(list.MemoryUsage() / size_t(count), 100u);
}
