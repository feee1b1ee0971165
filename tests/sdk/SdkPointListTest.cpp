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
    EXPECT_EQ(list.Item(4)->Name(), u"SINUSOID"_s);
    EXPECT_EQ(list.Item(2)->Server(), beta);
    EXPECT_EQ(list.ServerName(3), u"Alpha"_s);
    for (int position : {0, -1, 5})
        EXPECT_EQ(errorNumberOf([&] { list.Item(position); }), errc::SubscriptOutOfRange) << position;

    EXPECT_EQ(list.Item(u"\\\\alpha\\Sinusoid"_s)->PointID(), 1);
    EXPECT_EQ(list.Item(u"\\\\BETA\\SINUSOID"_s)->PointID(), 2);
    EXPECT_EQ(list.Item(u"\\\\Alpha\\CDT158"_s)->ListText(), u"\\\\Alpha\\CDT158"_s);
    for (const QString& path : {u"\\\\Alpha\\cdt15"_s, u"\\\\Beta\\CDT158"_s, u"\\\\Gamma\\sinusoid"_s})
        EXPECT_EQ(errorNumberOf([&] { list.Item(path); }), sdkerr::PointUnknown) << qPrintable(path);
    for (const QString& path : {u""_s, u"sinusoid"_s, u"\\Alpha\\sinusoid"_s, u"\\\\Alpha"_s,
                                u"\\\\\\sinusoid"_s, u"\\\\Alpha\\"_s}) {
        EXPECT_EQ(errorNumberOf([&] { list.Item(path); }), sdkerr::PathInvalid) << qPrintable(path);
    }
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
    EXPECT_EQ(list.Position(u"\\\\BETA\\C"_s), 3);
    EXPECT_EQ(list.Item(3)->Server(), beta);
    list.Append(list);
    EXPECT_EQ(idsOf(list), u"1 2 3 4 1 2 3 4"_s);
    EXPECT_EQ(list.Item(u"\\\\alpha\\A"_s)->PointID(), 1);
    EXPECT_EQ(list.Item(u"\\\\beta\\C"_s)->PointID(), 3);
    EXPECT_EQ(list.Tag(8), u"a"_s);
    EXPECT_EQ(other.Count(), 2);

    SdkPointList picked;  // single points copied by position, from another list or itself
    picked.AddItem(list, 3);
    picked.AddItem(picked, 1);
    EXPECT_EQ(idsOf(picked), u"3 3"_s);
    EXPECT_EQ(picked.Tag(2), u"c"_s);
}

// The path index is built on the first lookup and must follow the points added after it.
TEST_F(SdkPointListTest, PathIndexFollowsPointsAddedAfterALookup) {
    SdkPointList list;
    for (int i = 0; i < 10; ++i) list.AddHandle(alpha, i, u"P%1"_s.arg(i));
    EXPECT_EQ(list.Item(u"\\\\Alpha\\p7"_s)->PointID(), 7);
    for (int i = 10; i < 300; ++i) list.AddHandle(i % 2 ? alpha : beta, i, u"P%1"_s.arg(i));
    list.AddHandle(alpha, 1000, u"p7"_s);  // a duplicate added later does not hide the first
    for (int i = 0; i < 300; ++i) {
        const QString path =
            SdkPointList::Path(i >= 10 && i % 2 == 0 ? u"BETA"_s : u"alpha"_s, u"p%1"_s.arg(i));
        ASSERT_EQ(list.Item(path)->PointID(), i) << qPrintable(path);
    }
    EXPECT_FALSE(list.Contains(u"\\\\Beta\\P11"_s));
    EXPECT_EQ(list.Item(301)->PointID(), 1000);
}

TEST_F(SdkPointListTest, AMillionPointsTakeUnderAHundredBytesEach) {
    constexpr int count = 1'000'000;
    SdkPointList list;
    list.Reserve(count, count * 12);
    for (int i = 0; i < count; ++i)
        list.AddHandle(i % 2 ? alpha : beta, i, u"T%1"_s.arg(i, 11, 10, QLatin1Char('0')));
    EXPECT_EQ(list.Item(u"\\\\alpha\\t00000999999"_s)->PointID(), 999999);  // builds the path index
    EXPECT_EQ(list.Tag(count), u"T00000999999"_s);
    EXPECT_LT(list.MemoryUsage() / size_t(count), 100u);
}
