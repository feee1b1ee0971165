// Texts that would be stored wrongly are refused before they are written: a NUL (which one engine
// cuts a text at), a CSV cell that is no UTF-8, a tag that repeats an earlier row's in another
// case, a header naming a column twice, and a new tag made different only by invisible characters.
#include "ArchiveTestSupport.h"

#include "archive/data/ArchiveCopy.h"
#include "archive/data/PointCsv.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkPointList.h"

#include <QTextStream>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// An archive with the point P-1; `Base` says where it lives.
template <class Base>
class TextTest : public Base {
protected:
    void SetUp() override {
        Base::SetUp();
        this->createArchive();
        m_admin = this->logOn();
        m_admin->Points()->Add(u"P-1"_s, u"classic"_s, pointtype::Float32,
                               namedValues({{"Descriptor", "kept"}}));
    }
    // What a CSV import reports: "created N; LINE: TAG: REASON; ..."; or what it raised.
    std::string import(const QByteArray& csv) {
        QByteArray bytes = csv;
        QTextStream in(&bytes);
        try {
            const PointCsv::ImportReport report = PointCsv::importPoints(*m_admin, in);
            QStringList parts = {u"created %1"_s.arg(report.created)};
            for (const PointCsv::Refusal& refusal : report.refused)
                parts << u"%1: %2: %3"_s.arg(refusal.line).arg(refusal.tag, refusal.reason);
            return parts.join(u"; "_s).toStdString();
        } catch (const Error& error) {
            return "raised: " + error.description().toStdString();
        }
    }
    std::shared_ptr<ArchiveServer> m_admin;
};
using StoredTextTest = TextTest<BackendTest>;
VQ_ON_BOTH_BACKENDS(StoredTextTest);
using CsvAndTagTextTest = TextTest<ArchiveTest>;

const QString nul = QString(QChar(u'\0'));

// Every way a text reaches the archive refuses a NUL and names what held it, on both engines;
// the search refuses one in a clause's text instead of matching every point.
TEST_P(StoredTextTest, NulIsRefusedWhereverATextIsStoredOrSearched) {
    struct Case {
        const char* what;
        std::function<void()> write;
        const char* named;
    };
    // An archive file that holds a NUL from before, copied to the engine under test.
    const QString holdingNul = this->filePath(u"nul.vqa"_s);
    ArchiveServer::create(holdingNul, u"old"_s, u"VQ3"_s, u"VQ 3.4.1"_s)->Open(u"vqadmin"_s, QString());
    {
        auto old = ArchiveServer::open(u"old"_s, holdingNul);
        old->Open(u"vqadmin"_s, QString());
        old->Points()->Add(u"OLD-1"_s, u"classic"_s, pointtype::Float32, {});
    }
    SqliteDatabase(holdingNul, SqliteDatabase::OpenMode::Existing)
        .execute(u"UPDATE points SET \"Descriptor\" = 'a' || char(0) || 'b'"_s);
    const Case cases[] = {
        {"copy", [&] { ArchiveCopy::copy(holdingNul, otherLocation(u"copy"_s)); },
         "The attribute Descriptor of the point \"OLD-1\" holds a NUL"},
        {"new point",
         [&] {
             m_admin->Points()->Add(u"P-2"_s, u"classic"_s, pointtype::Float32,
                                    namedValues({{"Descriptor", Variant(u"before"_s + nul + u"after"_s)}}));
         },
         "The point \"P-2\" was not created: Descriptor: holds a NUL"},
        {"edit",
         [&] {
             SdkNamedValues failed;
             m_admin->Points()->Item(u"P-1"_s)->PointAttributes()->SetAttributes(
                 namedValues({{"ExDesc", Variant(u"x"_s + nul)}}), failed);
         },
         "The point \"P-1\" was not changed: ExDesc: holds a NUL"},
        {"user", [&] { m_admin->addUser(u"al"_s + nul + u"ice"_s, u"pw"_s, {}); },
         "The user name \"al\\0ice\""},
        {"group", [&] { m_admin->addGroup(u"ops"_s + nul); }, "The group name \"ops\\0\""},
        {"digital set",
         [&] {
             m_admin->addDigitalSet(u"Valve"_s, {u"Open"_s, u"Shut"_s + nul});
         },
         "The digital state set"},
        {"archived value",
         [&] {
             m_admin->addArchivedValue(m_admin->findPoint(u"P-1"_s)->id,
                                       {QDateTime::currentDateTimeUtc(), Variant(u"v"_s + nul), 0});
         },
         "An archived value of the point"},
        {"search",
         [&] { m_admin->GetPointsSQL(u"VQPOINT.TAG = '*"_s + nul + u"NOSUCHTEXT*'"_s, {}, nullptr); },
         "a text cannot contain a NUL character"},
    };
    for (const Case& c : cases) {
        const Error error = raised(c.write);
        EXPECT_NE(error.number(), 0) << c.what;
        EXPECT_TRUE(error.description().contains(QString::fromUtf8(c.named)))
            << error.description().toStdString();
    }
    EXPECT_EQ(import("Tag,Descriptor\r\nP-3,a\0b\r\n"_ba),
              "created 0; 2: P-3: Descriptor (column 2) holds a NUL character (\\0), which an archive does "
              "not store");
    // Nothing of it was stored, and other control characters are stored as they are.
    const QString controls = u"bell\a esc\x1b[31m tab\t"_s;
    m_admin->Points()->Add(u"P-4"_s, u"classic"_s, pointtype::Float32,
                           namedValues({{"Descriptor", controls}}));
    EXPECT_EQ(pointValues(stored(u"P-4"_s), {u"Descriptor"_s}), ("Descriptor=" + controls).toStdString());
    EXPECT_EQ(pointValues(stored(u"P-1"_s), {u"Descriptor"_s, u"ExDesc"_s}), "Descriptor=kept ExDesc=");
    EXPECT_EQ(reopen()->pointCount(), 2);
    EXPECT_EQ(reopen()->Users().join(u','), u"vqadmin"_s);
}

// A row whose text would not be stored as written is refused with its line; a header naming a
// column twice is refused before any row is read.
TEST_F(CsvAndTagTextTest, CsvRowsThatWouldBeStoredWronglyAreRefused) {
    struct Case {
        QByteArray csv;
        std::string report;
    };
    const Case cases[] = {
        {"Tag,Descriptor,TAG\r\nA,x,B\r\n",
         "raised: The header row names the column \"TAG\" twice (columns 1 and 3); column names do not "
         "differ by "
         "case"},
        {"Tag,Descriptor,descriptor\r\nA,x,y\r\n",
         "raised: The header row names the column \"descriptor\" twice (columns 2 and 3); column names do "
         "not "
         "differ by case"},
        {"Tag,Descriptor\r\nCase-1,first\r\ncase-1,second\r\n",
         "created 1; 3: case-1: Tag: a duplicate of the tag \"Case-1\" on line 2 (tags do not differ by "
         "case)"},
        {"Tag,Descriptor\r\nLatin-\xe9,x\r\nGood,caf\xc3\xa9 \xff\r\n",
         "created 0; 2: Latin-\xef\xbf\xbd: Tag (column 1) is not valid UTF-8 text (it reads as U+FFFD); "
         "3: Good: Descriptor (column 2) is not valid UTF-8 text (it reads as U+FFFD)"},
    };
    for (const Case& c : cases) EXPECT_EQ(import(c.csv), c.report) << c.csv.toStdString();
    EXPECT_EQ(pointValues(stored(u"Case-1"_s), {u"Descriptor"_s}), "Descriptor=first");
    EXPECT_EQ(reopen()->pointCount(), 2);
}

// Tags that look alike but differ by characters that show as nothing would be two points; a
// point is neither created nor renamed to one.
TEST_F(CsvAndTagTextTest, NewTagsWithInvisibleCharactersAreRefused) {
    const char16_t* const invisible[] = {u"\u200b", u"\u200d", u"\u202e", u"\u2066", u"\ufeff",
                                         u"\u00ad", u"\ufe0f", u"\u034f", u"\u3164"};
    for (const char16_t* character : invisible) {
        const QString tag = u"P"_s + QString::fromUtf16(character) + u"-1"_s;
        SdkNamedValues failed;
        EXPECT_EQ(errorNumberOf(
                      [&] { m_admin->Points()->Add(tag, u"classic"_s, pointtype::Float32, {}, &failed); }),
                  sdkerr::AttributesRefused)
            << QString::number(character[0], 16).toStdString();
        EXPECT_EQ(refusedNames(failed), "Tag");
        // A rename is refused (or, where the tags compare equal, writes nothing).
        errorNumberOf([&] {
            m_admin->Points()->Item(u"P-1"_s)->PointAttributes()->SetAttributes(namedValues({{"Tag", tag}}),
                                                                                failed);
        });
        EXPECT_EQ(reopen()->storage().pointHeaders().front().tag, u"P-1"_s);
    }
    EXPECT_EQ(reopen()->pointCount(), 1);
    m_admin->Points()->Add(u"Ünïcode-Ω 1"_s, u"classic"_s, pointtype::Float32, {});
    EXPECT_EQ(reopen()->pointCount(), 2);
}

}  // namespace
