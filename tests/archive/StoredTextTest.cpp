// Texts that would be stored wrongly are refused before they are written: a NUL (which one engine
// cuts a text at) wherever a text is stored or searched, a CSV cell that is no UTF-8, a tag that
// repeats an earlier row's in another case, and a header naming a column twice.
#include "ArchiveTestSupport.h"

#include "archive/data/ArchiveCopy.h"
#include "archive/data/PointCsv.h"
#include "sdk/SdkPointList.h"

#include <QTextStream>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

const QString nul = QString(QChar(u'\0'));

class StoredTextTest : public BackendTest {};
VQ_ON_BOTH_BACKENDS(StoredTextTest);

// The refusals of a CSV import ("LINE: TAG: REASON; ..."), or what it raised.
std::string imported(ArchiveServer& server, QByteArray csv) {
    QTextStream in(&csv);
    QStringList parts;
    const Error error = raised([&] {
        for (const PointCsv::Refusal& r : PointCsv::importPoints(server, in).refused)
            parts << u"%1: %2: %3"_s.arg(QString::number(r.line), r.tag, r.reason);
    });
    return (error.number() ? u"raised: "_s + error.description() : parts.join(u"; "_s)).toStdString();
}

// Every way a text reaches the archive refuses a NUL and names what held it, on both engines; the
// search refuses one in a clause's text instead of matching every point. Other control characters
// are stored as they are.
TEST_P(StoredTextTest, NulIsRefusedWhereverATextIsStoredOrSearched) {
    const QString old = filePath(u"old.vqa"_s);  // an archive file that holds a NUL from before
    auto before = ArchiveServer::create(old, u"old"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    before->Open(u"vqadmin"_s, QString());
    before->Points()->Add(u"OLD-1"_s, u"classic"_s, pointtype::Float32, {});
    before.reset();
    SqliteDatabase(old, SqliteDatabase::OpenMode::Existing)
        .execute(u"UPDATE points SET \"Descriptor\" = 'a' || char(0) || 'b'"_s);
    createArchive();
    auto server = logOn();
    server->Points()->Add(u"P-1"_s, u"classic"_s, pointtype::Float32,
                          namedValues({{"Descriptor", "\a\x1b[31m"}}));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"The user name \"al\\0ice\"", [&] { server->addUser(u"al"_s + nul + u"ice"_s, u"pw"_s, {}); }},
        {"The group name \"ops\\0\"", [&] { server->addGroup(u"ops"_s + nul); }},
        {"The digital state set", [&] { server->addDigitalSet(u"Valve"_s, {u"Shut"_s + nul}); }},
        {"An archived value of the point",
         [&] {
             server->addArchivedValue(1, {QDateTime::currentDateTimeUtc(), Variant(u"v"_s + nul), 0});
         }},
        {"a text cannot contain a NUL",
         [&] { server->GetPointsSQL(u"VQPOINT.TAG = '*\0X*'"_s, {}, nullptr); }},
        {"The attribute Descriptor of the point \"OLD-1\"",
         [&] { ArchiveCopy::copy(old, otherLocation(u"to"_s)); }},
    };
    for (const auto& [message, write] : cases)
        EXPECT_TRUE(raised(write).description().contains(QString::fromUtf8(message))) << message;
    EXPECT_EQ(imported(*server, "Tag,Descriptor\r\nP-2,a\0b\r\n"_ba),
              "2: P-2: Descriptor (column 2) holds a NUL character (\\0), which an archive does not store");
    EXPECT_EQ(pointValues(stored(u"P-1"_s), {u"Descriptor"_s}), "Descriptor=\a\x1b[31m");
    EXPECT_EQ(reopen()->pointCount(), 1);
    EXPECT_FALSE(server->Points()->Contains(u"P-1"_s + nul + u"x"_s));
}

// A row whose text would not be stored as written is refused with its line; a header naming a
// column twice is refused before any row is read.
using CsvImportTest = ArchiveTest;
TEST_F(CsvImportTest, RowsThatWouldBeStoredWronglyAreRefused) {
    createArchive();
    auto server = logOn();
    const std::pair<QByteArray, std::string> cases[] = {
        {"Tag,Descriptor,TAG\r\nA,x,B\r\n",
         "raised: The header row names the column \"TAG\" twice (columns 1 and 3); column names do not "
         "differ by "
         "case"},
        {"Tag,Descriptor,descriptor\r\n",
         "raised: The header row names the column \"descriptor\" twice (columns 2 "
         "and 3); column names do not differ by case"},
        {"Tag,Descriptor\r\nCase-1,first\r\ncase-1,second\r\nCase-1,again\r\n",
         "3: case-1: Tag: a duplicate of the tag \"Case-1\" on line 2 (tags do not differ by "
         "case)"},
        {"Tag,Descriptor\r\nLatin-\xe9,x\r\nGood,caf\xc3\xa9 \xff\r\n",
         "2: Latin-\xef\xbf\xbd: Tag (column 1) is not valid UTF-8 text (it reads as U+FFFD); "
         "3: Good: Descriptor (column 2) is not valid UTF-8 text (it reads as U+FFFD)"},
    };
    for (const auto& [csv, report] : cases) EXPECT_EQ(imported(*server, csv), report) << csv.toStdString();
    EXPECT_EQ(pointValues(stored(u"Case-1"_s), {u"Descriptor"_s}), "Descriptor=again");
    EXPECT_EQ(reopen()->pointCount(), 1);
}

}  // namespace
