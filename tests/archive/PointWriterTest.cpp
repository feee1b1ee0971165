// Points created and written: value types, audit fields, refusals, access; texts that would be
// stored wrongly (a NUL, which one engine cuts a text at, or a CSV cell that is no UTF-8); the CSV
// codec beneath imports and exports.
#include "ArchiveTestSupport.h"

#include "archive/data/ArchiveCopy.h"
#include "core/CsvCodec.h"
#include "archive/data/PointCsv.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPointType.h"

#include <QTextStream>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// An archive with four users besides vqadmin: alice and carol operate, bob engineers, dave is in
// no group.
class PointWriterTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        createArchive();
        auto setup = reopen();
        setup->addGroup(u"operators"_s);
        setup->addGroup(u"engineers"_s);
        setup->addUser(u"alice"_s, u"a"_s, {u"operators"_s});
        setup->addUser(u"bob"_s, u"b"_s, {u"engineers"_s});
        setup->addUser(u"carol"_s, u"c"_s, {u"operators"_s});
        setup->addUser(u"dave"_s, u"d"_s, {});
        setup->addDigitalSet(u"Valve"_s, {u"Open"_s, u"Closed"_s, u"Travel"_s});
        m_admin = logOn();
    }

    SdkPointPtr addPoint(const QString& tag, const SdkNamedValues& attributes = {}) {
        return m_admin->Points()->Add(tag, u"classic"_s, pointtype::Float32, attributes);
    }

    // Writes `edits` to the point as `user` (password: the first letter of the name): "ok" or the
    // refused attribute names.
    std::string writeAs(const QString& user, const QString& tag, const SdkNamedValues& edits,
                        QString* reason = nullptr) {
        auto server = logOn(user, user == u"vqadmin" ? QString() : user.left(1));
        SdkPointAttributesPtr attributes = server->Points()->Item(tag)->PointAttributes();
        attributes->SetStopOnFirstError(false);
        SdkNamedValues failed;
        const Error error = raised([&] { attributes->SetAttributes(edits, failed); });
        if (error.number() == 0) return "ok";
        EXPECT_EQ(error.number(), sdkerr::AttributesRefused) << qPrintable(error.description());
        if (reason && failed.Count() > 0) *reason = failed.Item(1).Value().toString();
        return "refused:" + refusedNames(failed);
    }

    std::shared_ptr<ArchiveServer> m_admin;
};

VQ_ON_BOTH_BACKENDS(PointWriterTest);

TEST_P(PointWriterTest, CreatedPointKeepsValueTypesAndGetsAuditFieldsFromTheArchive) {
    const QDateTime before = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    const SdkNamedValues given = namedValues({{"Tag", "FIC-101.PV"},
                                              {"PointType", "12"},
                                              {"Descriptor", "Feed flow"},
                                              {"EngUnits", "m3/h"},
                                              {"Span", "250"},
                                              {"Zero", 10},
                                              {"Location4", 3.0},
                                              {"Archiving", 0}});
    SdkNamedValues failed;
    const SdkPointPtr created =
        m_admin->Points()->Add(u"FIC-101.PV"_s, u"classic"_s, pointtype::Float32, given, &failed);
    const QDateTime after = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);

    const SdkPointPtr point = stored(u"fic-101.pv"_s);
    EXPECT_EQ(point->PointID(), created->PointID());
    SdkPointAttributes& attributes = *point->PointAttributes();
    EXPECT_EQ(
        typedValues(attributes,
                    {"Tag", "Descriptor", "EngUnits", "Span", "Zero", "Location4", "Archiving", "PointType",
                     "PtClassName", "Creator", "Changer", "PtOwner", "PtGroup", "DataOwner", "DataGroup"}),
        "Tag=FIC-101.PV:String Descriptor=Feed flow:String EngUnits=m3/h:String Span=250:Single "
        "Zero=10:Single Location4=3:Long Archiving=0:Integer PointType=12:Long PtClassName=classic:String "
        "Creator=vqadmin:String Changer=vqadmin:String PtOwner=vqadmin:String PtGroup=vqadmin:String "
        "DataOwner=vqadmin:String DataGroup=vqadmin:String");
    const QDateTime creation = attributes.Item(u"CreationDate"_s)->Value().toDateTime();
    EXPECT_TRUE(creation >= before && creation <= after) << qPrintable(creation.toString(Qt::ISODate));
    EXPECT_EQ(attributes.Item(u"ChangeDate"_s)->Value().toDateTime(), creation);
    EXPECT_EQ(attributes.Item(u"PointID"_s)->Value().toInt32(), point->PointID());

    // Owner and group come from the creator unless given; a given owner is kept.
    auto alice = logOn(u"alice"_s, u"a"_s);
    alice->Points()->Add(u"TI-200"_s, u"alarm"_s, pointtype::Int32, namedValues({{"PtOwner", "bob"}}));
    EXPECT_EQ(pointValues(stored(u"TI-200"_s),
                          {"Creator", "PtOwner", "PtGroup", "DataOwner", "DataGroup", "PtClassName"}),
              "Creator=alice PtOwner=bob PtGroup=operators DataOwner=alice DataGroup=operators "
              "PtClassName=alarm");
    // A creator in no group leaves the groups blank, and may still write the point later.
    logOn(u"dave"_s, u"d"_s)->Points()->Add(u"TI-300"_s, u"base"_s, pointtype::Float64, {});
    EXPECT_EQ(writeAs(u"dave"_s, u"TI-300"_s, namedValues({{"Descriptor", "mine"}})), "ok");
    EXPECT_EQ(pointValues(stored(u"TI-300"_s), {"Creator", "PtOwner", "PtGroup", "DataGroup", "Descriptor"}),
              "Creator=dave PtOwner=dave PtGroup= DataGroup= Descriptor=mine");
}

TEST_P(PointWriterTest, EveryRefusedCreationNamesTheAttributeAndWritesNothing) {
    addPoint(u"FIC-101"_s);
    struct Case {
        QString tag;
        SdkPointType type;
        const char* attribute;  // the one attribute given, or none
        Variant value;
        const char* refused;
        const char* reason;  // a part of it
    };
    const SdkPointType f32 = pointtype::Float32;
    std::vector<Case> cases = {
        {u"fic-101"_s, f32, nullptr, {}, "Tag", "already exists"},
        {u" AB"_s, f32, nullptr, {}, "Tag", "blank"},
        {u"AB "_s, f32, nullptr, {}, "Tag", "blank"},
        {QString(), f32, nullptr, {}, "Tag", "empty"},
        {u"A\tB"_s, f32, nullptr, {}, "Tag", "control"},
        {u"X1"_s, f32, "Colour", "red", "Colour", "not an attribute"},
        {u"X2"_s, f32, "Span", "abc", "Span", "not a number"},
        {u"X3"_s, f32, "Archiving", 40000, "Archiving", "outside -32768 to 32767"},
        {u"X4"_s, f32, "ExcMax", 1e12, "ExcMax", "outside -2147483648 to 2147483647"},
        {u"X5"_s, f32, "Span", 0, "Span", "zero"},
        {u"X6"_s, pointtype::Int16, "Span", "0", "Span", "zero"},
        {u"X7"_s, f32, "Creator", "bob", "Creator", "set by the archive"},
        {u"X9"_s, pointtype::Digital, nullptr, {}, "DigitalSet", "needs"},
        {u"X10"_s, pointtype::Digital, "DigitalSet", "Nope", "DigitalSet", "no digital state set"},
        {u"X11"_s, f32, "PtAccess", "rw", "PtAccess", "access string"},
        {u"X12"_s, f32, "PtOwner", "nobody", "PtOwner", "no user"},
        {u"X13"_s, f32, "DataGroup", "nobody", "DataGroup", "no group"},
        {u"X14"_s, 99, nullptr, {}, "PointType", "not a point type"},
        // The tag and type arguments decide; a set naming others is refused, not half applied.
        {u"X16"_s, f32, "Tag", "OTHER", "Tag", "differs"},
        {u"X17"_s, f32, "PointType", 105, "PointType", "differs"},
        {u"X18"_s, f32, "Descriptor", u"a"_s + QChar(0) + u"b"_s, "Descriptor", "NUL"},
    };
    for (const QChar c : u"*;?[\\]{|}"_s)
        cases.push_back({u"A%1B"_s.arg(c), f32, nullptr, {}, "Tag", "character"});
    // Tags that look alike but differ by characters that show as nothing would be two points.
    for (const QChar c : u"\u200b\u200d\u202e\u2066\ufeff\u00ad\ufe0f\u034f\u3164"_s)
        cases.push_back({u"A%1B"_s.arg(c), f32, nullptr, {}, "Tag", "show as nothing"});

    SdkPointsPtr points = m_admin->Points();
    for (const Case& c : cases) {
        SdkNamedValues attributes, failed;
        if (c.attribute) attributes.Add(QString::fromUtf8(c.attribute), c.value);
        SCOPED_TRACE(qPrintable(u'"' + c.tag + u"\" "_s + attributes.toText()));
        const Error error = raised([&] { points->Add(c.tag, u"classic"_s, c.type, attributes, &failed); });
        EXPECT_EQ(error.number(), sdkerr::AttributesRefused);
        EXPECT_EQ(refusedNames(failed), c.refused);
        if (failed.Count() == 1) {
            EXPECT_TRUE(failed.Item(1).Value().toString().contains(QString::fromUtf8(c.reason)));
        }
        EXPECT_EQ(points->Count(), 1);
    }
    EXPECT_EQ(reopen()->Points()->Count(), 1);

    // Several faults at once are all listed, in the error text too.
    SdkNamedValues failed;
    const Error error = raised([&] {
        points->Add(
            u"A*B"_s, u"classic"_s, pointtype::Float32,
            namedValues({{"Span", "abc"}, {"Colour", "x"}, {"Archiving", 99999}, {"PtOwner", "nobody"}}),
            &failed);
    });
    EXPECT_EQ(refusedNames(failed), "Archiving Colour PtOwner Span Tag");
    EXPECT_TRUE(error.description().contains(u"Colour"_s));
    EXPECT_FALSE(points->Contains(u"OTHER"_s));
    // The same set reused for a creation that passes ends up empty.
    points->Add(u"A-B"_s, u"classic"_s, pointtype::Float32, {}, &failed);
    EXPECT_EQ(failed.Count(), 0);
    EXPECT_EQ(raised([&] { points->Add(u"X"_s, u"nosuch"_s, 12, {}); }).number(), sdkerr::ClassUnknown);

    // What the checks allow: a zero span on text and digital points, an existing digital set in any
    // letter case.
    points->Add(u"BATCH.ID"_s, u"base"_s, pointtype::String, namedValues({{"Span", 0}}));
    points->Add(u"XV-7"_s, u"base"_s, pointtype::Digital,
                namedValues({{"DigitalSet", "valve"}, {"Span", 0}}));
    EXPECT_EQ(pointValues(stored(u"BATCH.ID"_s), {"Span", "PointType"}), "Span=0 PointType=105");
    EXPECT_EQ(reopen()->Points()->Count(), 4);
}

TEST_P(PointWriterTest, UpdateIsAllOrNothingStopsAtTheFirstFaultWhenAskedAndScalesDeviations) {
    addPoint(u"FIC-101"_s, namedValues({{"Descriptor", "Feed"}}));
    // Back-date the point so that a change made in the same second still shows.
    executeSql(
        u"UPDATE points SET \"ChangeDate\" = '2001-02-03T04:05:06', \"CreationDate\" = '2001-02-03T04:05:06'"_s);
    const QDateTime before = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    const QStringList shown = {"Descriptor", "EngUnits", "Span", "Archiving", "Changer"};
    const std::string unchanged = "Descriptor=Feed EngUnits= Span=100 Archiving=1 Changer=vqadmin";

    SdkPointAttributesPtr attributes = m_admin->Points()->Item(u"FIC-101"_s)->PointAttributes();
    SdkNamedValues failed;
    const SdkNamedValues edits =
        namedValues({{"Descriptor", "New"}, {"Span", "abc"}, {"EngUnits", "kg"}, {"Archiving", 70000}});
    EXPECT_EQ(raised([&] { attributes->SetAttributes(edits, failed); }).number(), sdkerr::AttributesRefused);
    EXPECT_EQ(refusedNames(failed), "Span");  // stops at the first refusal by default

    // The set of the refusal before is reused: it reports this write only.
    attributes->SetStopOnFirstError(false);
    EXPECT_EQ(raised([&] { attributes->SetAttributes(edits, failed); }).number(), sdkerr::AttributesRefused);
    EXPECT_EQ(refusedNames(failed), "Archiving Span");
    EXPECT_EQ(pointValues(stored(u"FIC-101"_s), shown), unchanged);
    EXPECT_EQ(pointValues(m_admin->Points()->Item(u"FIC-101"_s), shown), unchanged);

    attributes->SetAttributes(namedValues({{"Descriptor", "New"}, {"Span", "50"}}), failed);
    EXPECT_EQ(failed.Count(), 0);
    EXPECT_EQ(pointValues(stored(u"FIC-101"_s), shown),
              "Descriptor=New EngUnits= Span=50 Archiving=1 Changer=vqadmin");
    // The write changes the change date only: the creation stays.
    attributes = stored(u"FIC-101"_s)->PointAttributes();
    EXPECT_EQ(attributes->Item(u"CreationDate"_s)->Value().toDateTime(),
              QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));
    EXPECT_GE(attributes->Item(u"ChangeDate"_s)->Value().toDateTime(), before);

    // A deviation in per cent refers to the span written with it (400, not the stored 50), whatever
    // the order of the edits, and is stored in engineering units.
    EXPECT_EQ(writeAs(u"vqadmin"_s, u"FIC-101"_s,
                      namedValues({{"CompDevPercent", "5"}, {"ExcDevPercent", 1}, {"Span", 400}})),
              "ok");
    EXPECT_EQ(
        pointValues(stored(u"FIC-101"_s), {"Span", "CompDev", "CompDevPercent", "ExcDev", "ExcDevPercent"}),
        "Span=400 CompDev=20 CompDevPercent=5 ExcDev=4 ExcDevPercent=1");
}

TEST_P(PointWriterTest, PointsAreFoundByTagAndHandleARenameKeepsThePointAndWritesNeedALogOn) {
    const qint64 id = addPoint(u"FIC-101"_s, namedValues({{"Descriptor", "Feed"}}))->PointID();
    addPoint(u"FIC-102"_s);
    SdkPointPtr point = m_admin->Points()->Item(u"fIc-101"_s);
    SdkNamedValues failed;
    point->PointAttributes()->SetAttributes(namedValues({{"Tag", "FIC-103"}}), failed);
    EXPECT_EQ(point->Name() + u' ' + point->ListText(), u"FIC-103 \\\\plant\\FIC-103"_s);
    auto fresh = reopen();
    SdkPointsPtr points = fresh->Points();
    EXPECT_TRUE(!points->Contains(u"FIC-101"_s) && points->Contains(u"fIc-103"_s));
    EXPECT_EQ(points->Item(u"fic-103"_s)->PointID(), id);
    EXPECT_EQ(raised([&] { points->Item(u"NOPE"_s); }).number(), sdkerr::PointUnknown);
    const SdkPointPtr byHandle = fresh->PointFromHandle(id, u"FIC-103"_s);
    EXPECT_EQ(byHandle->PointType(), pointtype::Float32);
    EXPECT_EQ(pointValues(byHandle, {"Tag", "Descriptor"}), "Tag=FIC-103 Descriptor=Feed");

    EXPECT_EQ(writeAs(u"vqadmin"_s, u"FIC-103"_s, namedValues({{"Tag", "fic-102"}})), "refused:Tag");
    EXPECT_EQ(writeAs(u"vqadmin"_s, u"FIC-103"_s, namedValues({{"Tag", "Fic-103"}})), "ok");
    EXPECT_EQ(stored(u"FIC-103"_s)->Name(), u"Fic-103"_s);

    // Writes need a logged-on user: none yet, or one who logged off.
    EXPECT_EQ(raised([&] { points->Add(u"NEW"_s, u"classic"_s, 12, {}); }).number(), sdkerr::NotConnected);
    m_admin->Close();
    EXPECT_EQ(raised([&] {
                  point->PointAttributes()->SetAttributes(namedValues({{"Descriptor", "x"}}), failed);
              }).number(),
              sdkerr::NotConnected);
    EXPECT_EQ(pointValues(stored(u"FIC-103"_s), {"Descriptor"}), "Descriptor=Feed");
    EXPECT_EQ(reopen()->Points()->Count(), 2);
}

TEST_P(PointWriterTest, WriteAccessFollowsThePointAccessStringOfOwnerGroupAndWorld) {
    addPoint(u"SEC-1"_s, namedValues({{"PtOwner", "alice"},
                                      {"PtGroup", "operators"},
                                      {"PtAccess", "o:rw g:r w:r"},
                                      {"Descriptor", "start"}}));
    const SdkNamedValues edits = namedValues({{"Descriptor", "edited"}, {"EngUnits", "bar"}});
    // The access string set by vqadmin before the write, the writer, what they are told.
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"o:rw g:r w:r", "bob", "refused:Descriptor EngUnits"},    // world
        {"o:rw g:r w:r", "carol", "refused:Descriptor EngUnits"},  // group member
        {"o:rw g:r w:r", "alice", "ok"},                           // owner
        {"o:rw g:rw w:", "carol", "ok"},
        {"o:rw g:rw w:", "bob", "refused:Descriptor EngUnits"},
        {"o:r g:r w:r", "alice", "refused:Descriptor EngUnits"},
        {"o:r g:r w:r", "vqadmin", "ok"},  // the administrator may always write
    };
    for (const auto& [access, user, outcome] : cases) {
        SCOPED_TRACE(std::string(access) + " as " + user);
        ASSERT_EQ(
            writeAs(u"vqadmin"_s, u"SEC-1"_s, namedValues({{"PtAccess", access}, {"Descriptor", "start"}})),
            "ok");
        QString reason;
        EXPECT_EQ(writeAs(QString::fromUtf8(user), u"SEC-1"_s, edits, &reason), outcome);
        const bool written = outcome == "ok";
        EXPECT_TRUE(written || reason.contains(u"no write access"_s)) << qPrintable(reason);
        EXPECT_EQ(pointValues(stored(u"SEC-1"_s), {"Descriptor", "Changer", "Creator"}),
                  (written ? "Descriptor=edited Changer=" + std::string(user)
                           : "Descriptor=start Changer=vqadmin") +
                      " Creator=vqadmin");
    }
}

const QString nul = QString(QChar(u'\0'));

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

// Every way a text reaches the archive refuses a NUL and names what held it; the search refuses
// one in a clause's text instead of matching every point; other control characters are stored as
// they are. A CSV row whose text would not be stored as written is refused with its line, a header
// naming a column twice before any row is read.
TEST_P(PointWriterTest, TextsThatWouldBeStoredWronglyAreRefused) {
    const QString old = filePath(u"old.vqa"_s);  // an archive file that holds a NUL from before
    auto before = ArchiveServer::create(old, u"old"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    before->Open(u"vqadmin"_s, QString());
    before->Points()->Add(u"OLD-1"_s, u"classic"_s, pointtype::Float32, {});
    before.reset();
    SqliteDatabase(old, SqliteDatabase::OpenMode::Existing)
        .execute(u"UPDATE points SET \"Descriptor\" = 'a' || char(0) || 'b'"_s);
    ArchiveServer& server = *m_admin;
    addPoint(u"P-1"_s, namedValues({{"Descriptor", "\a\x1b[31m"}}));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"The user name \"al\\0ice\"", [&] { server.addUser(u"al"_s + nul + u"ice"_s, u"pw"_s, {}); }},
        {"The group name \"ops\\0\"", [&] { server.addGroup(u"ops"_s + nul); }},
        {"The digital state set", [&] { server.addDigitalSet(u"Pump"_s, {u"Shut"_s + nul}); }},
        {"An archived value of the point",
         [&] {
             server.addArchivedValue(1, {QDateTime::currentDateTimeUtc(), Variant(u"v"_s + nul), 0});
         }},
        {"a text cannot contain a NUL",
         [&] { server.GetPointsSQL(u"VQPOINT.TAG = '*\0X*'"_s, {}, nullptr); }},
        {"The attribute Descriptor of the point \"OLD-1\"",
         [&] { ArchiveCopy::copy(old, otherLocation(u"to"_s)); }},
    };
    for (const auto& [message, write] : cases)
        EXPECT_TRUE(raised(write).description().contains(QString::fromUtf8(message))) << message;
    EXPECT_EQ(pointValues(stored(u"P-1"_s), {u"Descriptor"_s}), "Descriptor=\a\x1b[31m");
    EXPECT_FALSE(server.Points()->Contains(u"P-1"_s + nul + u"x"_s));
    auto guessing = reopen();  // a name with a NUL is nobody's, and its failures count for nobody
    EXPECT_EQ(raised([&] { guessing->Open(u"vqadmin"_s + nul + u"x"_s, QString()); }).number(),
              sdkerr::LogonFailed);
    EXPECT_FALSE(guessing->storage().logonFailures(u"vqadmin"_s).has_value());

    const std::pair<QByteArray, std::string> csvCases[] = {
        {"Tag,Descriptor\r\nP-2,a\0b\r\n"_ba,
         "2: P-2: Descriptor (column 2) holds a NUL character (\\0), which an archive does not store"},
        {"Tag,Descriptor,TAG\r\nA,x,B\r\n",
         "raised: The header row names the column \"TAG\" twice (columns 1 and 3); column names do not "
         "differ by case"},
        {"Tag,Descriptor,descriptor\r\n",
         "raised: The header row names the column \"descriptor\" twice (columns 2 and 3); column names do "
         "not differ by case"},
        {"Tag,Descriptor\r\nCase-1,first\r\ncase-1,second\r\nCase-1,again\r\n",
         "3: case-1: Tag: a duplicate of the tag \"Case-1\" on line 2 (tags do not differ by case)"},
        {"Tag,Descriptor\r\nLatin-\xe9,x\r\nGood,caf\xc3\xa9 \xff\r\n",
         "2: Latin-\xef\xbf\xbd: Tag (column 1) is not valid UTF-8 text (it reads as U+FFFD); "
         "3: Good: Descriptor (column 2) is not valid UTF-8 text (it reads as U+FFFD)"},
    };
    for (const auto& [csv, report] : csvCases) EXPECT_EQ(imported(server, csv), report) << csv.toStdString();
    EXPECT_EQ(pointValues(stored(u"Case-1"_s), {u"Descriptor"_s}), "Descriptor=again");
    EXPECT_EQ(reopen()->pointCount(), 2);
}

QString write(const QList<QStringList>& rows) {
    QString text;
    QTextStream out(&text);
    CsvWriter writer(out);
    for (const QStringList& row : rows) writer.writeRow(row);
    out.flush();
    return text;
}

// Rows as "<a>,<b>" lines, with the first line of each row in front: "1:<a>,<b>".
QString readAll(QString text, QString* error = nullptr) {
    QTextStream in(&text);
    CsvReader reader(in);
    QStringList lines, fields;
    while (reader.readRow(&fields)) {
        QStringList wrapped;
        for (const QString& f : fields) wrapped << u'<' + f + u'>';
        lines << QString::number(reader.lineNumber()) + u':' + wrapped.join(u',');
    }
    if (error) *error = reader.error();
    return lines.join(u'\n');
}

TEST(CsvCodec, WriterQuotesOnlyWhatNeedsIt) {
    const std::pair<QStringList, QString> cases[] = {
        {{u"a"_s, u"b c"_s, u" d"_s}, u"a,b c,\" d\"\r\n"_s},
        {{u"say \"hi\""_s}, u"\"say \"\"hi\"\"\"\r\n"_s},
        {{u"x\ny"_s, u"1,5"_s}, u"\"x\ny\",\"1,5\"\r\n"_s},
        {{QString()}, u"\"\"\r\n"_s},  // else it would read back as a blank line
        {{QString(), QString()}, u",\r\n"_s},
        {{u"cr\ronly"_s, u"\""_s, u"end "_s, u"\tt"_s}, u"\"cr\ronly\",\"\"\"\",\"end \",\"\tt\"\r\n"_s},
    };
    for (const auto& [row, text] : cases) EXPECT_EQ(write({row}), text) << qPrintable(row.join(u'|'));
}

TEST(CsvCodec, ReaderAcceptsCommonLayouts) {
    const QString pad(65534, u'x');  // with one more character, a read buffer's length
    // What the case shows, the input, the rows read.
    const std::tuple<const char*, QString, QString> cases[] = {
        {"cr lf split by a refill", pad + u"x\r\nb\n"_s, u"1:<"_s + pad + u"x>\n2:<b>"_s},
        {"quoted cr lf split by a refill", u'"' + pad + u"\r\ny\"\nb\n"_s,
         u"1:<"_s + pad + u"\r\ny>\n3:<b>"_s},
        {"lf", u"a,b\nc,d\n"_s, u"1:<a>,<b>\n2:<c>,<d>"_s},
        {"crlf, no final line end", u"a,b\r\nc,d"_s, u"1:<a>,<b>\n2:<c>,<d>"_s},
        {"empty lines skipped", u"\n\r\na\n\n\r\nb\n\n"_s, u"3:<a>\n6:<b>"_s},
        {"bom", u"\ufeffTag,Descriptor\n"_s, u"1:<Tag>,<Descriptor>"_s},
        {"quoted line breaks counted", u"\"a\nb\",\"c\r\n\r\nd\"\ne\n"_s, u"1:<a\nb>,<c\r\n\r\nd>\n5:<e>"_s},
        {"doubled quotes", u"\"say \"\"hi\"\"\",\"\"\"\"\n"_s, u"1:<say \"hi\">,<\">"_s},
        {"lone cr", u"\"a\rb\"\rc\rd"_s, u"1:<a\rb>\n3:<c>\n4:<d>"_s},
        {"trailing comma", u"a,\n,\n"_s, u"1:<a>,<>\n2:<>,<>"_s},
        {"quote inside unquoted field", u"5\" pipe,x\n"_s, u"1:<5\" pipe>,<x>"_s},
        {"text after closing quote", u"\"ab\"c,d\n"_s, u"1:<abc>,<d>"_s},
        {"blanks are a field", u"  \n"_s, u"1:<  >"_s},
        {"empty quoted field", u"\"\"\n"_s, u"1:<>"_s},
    };
    for (const auto& [name, input, rows] : cases) {
        QString error;
        EXPECT_EQ(readAll(input, &error) + error, rows) << name;
    }
}

TEST(CsvCodec, UnterminatedQuoteNamesItsLine) {
    QString error;
    EXPECT_EQ(readAll(u"a,b\n\nc,\"d\ne,f\n"_s, &error), u"1:<a>,<b>"_s);
    EXPECT_TRUE(error.contains(u"3"_s)) << qPrintable(error);

    QString text = u"\"open"_s;
    QTextStream in(&text);
    CsvReader reader(in);
    QStringList fields{u"stale"_s};
    EXPECT_TRUE(!reader.readRow(&fields) && fields.isEmpty());
    EXPECT_TRUE(reader.error().contains(u"1"_s)) << qPrintable(reader.error());
    EXPECT_FALSE(reader.readRow(&fields)) << "an error ends the input";
}

}  // namespace
