#include "ErrorNumber.h"
#include "SampleServers.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "search/TagSearchQuery.h"

#include <functional>

namespace vq::test {
namespace {

using namespace tagsearch;

const QString kJoin = u" AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = DATE(\"*\")"_s;
const QString kDigJoin = u" AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = DATE(\" * \")"_s;

// "tag|descriptor|units|source|class|type|value" and "table|column|condition|value"
SimpleCriteria fields(const QString& text) {
    const QStringList f = text.split(u'|');
    return {f.value(0), f.value(1), f.value(2), f.value(3), f.value(4), f.value(5), f.value(6)};
}
WhereCondition condition(const QString& text) {
    const QStringList f = text.split(u'|');
    return {f.value(0), f.value(1), f.value(2), f.value(3)};
}

struct Case {
    QString input, first, second{};
};

TEST(TagSearchClauses, SimpleFieldsGiveTheExactClauses) {
    const Case cases[] = {
        {u"*||  ||*|*|  *  "_s, kEveryPoint},
        {u"  abc  ||||||   "_s, u"VQPOINT.TAG = 'abc' "_s},
        {u"ab?"_s, u"VQPOINT.TAG = 'ab?' "_s},
        {u"sin*||deg*|R||Float"_s,
         u"VQPOINT.TAG LIKE 'sin*'  AND VQPOINT.ENGUNITS LIKE 'deg*'  AND VQPOINT.POINTSOURCE = 'R'  AND "
         u"VQPOINT.POINTTYPE = 'R'"_s},
        {u"|||||*|5"_s, u"VQCOMP.VALUE = 5 AND VQCOMP.STATUS = 0 AND VQPOINT.POINTTYPE = 'R'"_s + kJoin,
         u"VQCOMP.STATUS = 5 AND VQPOINT.POINTTYPE IN (\"I\", \"D\")"_s + kJoin},
        {u"|||||Digital|ON"_s,
         u"VQPOINT.POINTTYPE = 'D' AND ABS(VQCOMP.STATUS) = ABS(DIGCODE(\"ON\"))"_s + kDigJoin},
        {u"|*PointType*||||*|5"_s, u"VQPOINT.DESCRIPTOR LIKE '*PointType*' "_s},
        {u"||||base|integer| -2.5e1 "_s,
         u"VQPOINT.POINTCLASS = 'base'  AND VQPOINT.POINTTYPE = 'I' AND VQCOMP.STATUS =  -2.5e1 "_s + kJoin},
        {u"O'Brien*"_s, u"VQPOINT.TAG LIKE 'O''Brien*' "_s},
        {u"||||||say \"hi\""_s, u"ABS(VQCOMP.STATUS) = ABS(DIGCODE(\"say \"\"hi\"\"\"))"_s + kDigJoin},
    };
    for (const Case& c : cases) {
        const SimpleClauses clauses = simpleSearchClauses(fields(c.input));
        EXPECT_EQ(clauses.first, c.first);
        EXPECT_EQ(clauses.second, c.second);
    }
    for (const QString& input : {u"|||||String|1.5"_s, u"|||||String|ON"_s}) {
        const Error error = raised([&] { simpleSearchClauses(fields(input)); });
        EXPECT_TRUE(error.number() == -1 && error.source() == u"VQTagSearch:SimpleSearch"_s);
        EXPECT_EQ(error.description(),
                  u"Unsupported search.  When searching for string tags, the value "
                  u"field must be * or blank.\r\nDummy error number:"_s);
    }
}

TEST(TagSearchClauses, OnlyTheDialectsFiniteNumbersAreNumeric) {
    for (const QString& text : {u"5"_s, u" 5 "_s, u"-2.5e3"_s, u".5"_s, u"5."_s, u"1E+2"_s})
        EXPECT_TRUE(isNumericText(text)) << text.toStdString();
    for (const QString& text : {u""_s, u" "_s, u"1e999"_s, u"inf"_s, u"nan"_s, u"1,000"_s, u"0x10"_s, u"1e"_s,
                                u"."_s, u"5 5"_s, u"\u0661"_s})
        EXPECT_FALSE(isNumericText(text)) << text.toStdString();
}

TEST(TagSearchClauses, TheBuilderQuotesJoinsAndBreaksLines) {
    const QString comp = u"VQcomp.Value > 5 AND VQpoint.Tag = VQcomp.Tag AND VQcomp.Time = DATE(\"*\")"_s;
    const Case cases[] = {
        // condition, result, clause before
        {u"VQpoint|Tag|=|123"_s, u"VQpoint.Tag = '123'"_s},
        {u"VQpoint|Zero|>=|10"_s, u"x AND \r\nVQpoint.Zero >= 10"_s, u"x\r\n"_s},
        {u"VQcomp|Status|=|0"_s, comp + u" AND \r\nVQcomp.Status = 0"_s, comp + u"\r\n\r\n"_s},
        {u"VQinterp|TimeStep|=|1h"_s, u"VQinterp.TimeStep = '1h' AND VQpoint.Tag = VQinterp.Tag"_s},
        {u"VQbatch|Unit|=|O'Brien"_s,
         u"VQbatch.Unit = 'O''Brien' AND VQpoint.Tag = VQbatch.Tag AND VQbatch.Time >= DATE('*-1h') AND "
         u"VQbatch.Time <= DATE('*')"_s,
         u" \r\n \r\n"_s},
    };
    for (const Case& c : cases) EXPECT_EQ(addWhereCondition(c.second, condition(c.input)), c.first);
    EXPECT_EQ(selectStatementCaption(u"vqalias.Unit = 'x' AND VQCOMP.VALUE > 1"_s),
              u"SELECT Tag FROM VQPoint, VQcomp, VQalias"_s);
    EXPECT_EQ(errorNumberOf([] { addWhereCondition({}, condition(u"VQpoint||=|1"_s)); }),
              errc::InvalidArgument);
}

// A small archive whose point tags say which clauses must find them.
class TagSearchArchiveTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        archive = ArchiveServer::create(dir.filePath(u"q.vqa"_s), u"q"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        archive->Open(u"vqadmin"_s, QString());
        archive->addDigitalSet(u"Talk"_s, {u"Off"_s, u"say \"hi\""_s});
        add(u"O'Brien-R5"_s, pointtype::Float32, 5.0, 0);
        add(u"o'brien-I5"_s, pointtype::Int32, 5, 5);
        add(u"OBrien-R5"_s, pointtype::Float32, 5.0, 0);
        add(u"OxBrien-R6"_s, pointtype::Float32, 6.0, 0);
        add(u"Talk-D1"_s, pointtype::Digital, 1, 1);
    }
    void add(const QString& tag, SdkPointType type, const Variant& value, int32_t status) {
        SdkNamedValues attributes;
        if (type == pointtype::Digital) attributes.Add(u"DigitalSet"_s, Variant(u"Talk"_s));
        const SdkPointPtr point = archive->Points()->Add(tag, u"classic"_s, type, attributes);
        archive->addArchivedValue(point->PointID(), {QDateTime::currentDateTimeUtc(), value, status});
    }
    // The tags one clause finds, sorted; "-" when nothing matches.
    QString found(const QString& where) {
        SdkNamedValues set;
        GetExtraServerTables(where, set);
        const SdkPointListPtr list = GetPointsSQLWrapper(*archive, where, set);
        QStringList tags;
        for (int i = 1; list && i <= list->Count(); ++i) tags << list->Tag(i);
        tags.sort();
        return list ? tags.join(u',') : u"-"_s;
    }

    QTemporaryDir dir;
    std::shared_ptr<ArchiveServer> archive;
};

TEST_F(TagSearchArchiveTest, TheClausesFindTheirPointsOnTheArchive) {
    const std::pair<QString, QString> cases[] = {
        {u"O'Brien*"_s, u"O'Brien-R5,o'brien-I5"_s},
        {u"o'brien-r5"_s, u"O'Brien-R5"_s},
        {u"O'Brien*|||||*|5"_s, u"O'Brien-R5|o'brien-I5"_s},
        {u"|||||*|5"_s, u"O'Brien-R5,OBrien-R5|o'brien-I5"_s},
        {u"|||||Digital|SAY \"HI\""_s, u"Talk-D1"_s},
        {u"nobody*"_s, u"-"_s},
    };
    for (const auto& [input, tags] : cases) {
        const SimpleClauses clauses = simpleSearchClauses(fields(input));
        const QString second = clauses.second.isEmpty() ? QString() : u'|' + found(clauses.second);
        EXPECT_EQ(found(clauses.first) + second, tags) << clauses.first.toStdString();
    }
    EXPECT_EQ(found(addWhereCondition({}, condition(u"VQpoint|Tag|=|O'BRIEN-R5"_s))), u"O'Brien-R5"_s);
    EXPECT_EQ(found(addWhereCondition(u"VQpoint.Tag LIKE 'O*'"_s, condition(u"VQcomp|Value|>|5"_s))),
              u"OxBrien-R6"_s);
    // The clause the doubling prevents: the server refuses it, and the wrapper passes that on.
    const Error error = raised([&] { found(u"VQPOINT.TAG LIKE 'O'Brien*' "_s); });
    EXPECT_EQ(error.number(), sdkerr::QueryInvalid);
    EXPECT_TRUE(error.source().startsWith(u"VQTagSearch:GetPointsSQLWrapper\r\n"_s));
}

// The same classes again from two more servers add nothing.
TEST_F(TagSearchArchiveTest, PointClassesComeFromQualifyingServersOnceEach) {
    QStringList expected;
    for (const SdkPointClassPtr& c : archive->PointClasses()->All()) expected << c->Name();
    EXPECT_EQ(gatherPointClasses({archive, connect(u"vqsouth"_s), connect(u"vqnorth"_s)}), expected);
}

// The query helpers pass a failure on as it came: the procedures that call them put their own
// contexts in front, so each context appears once and none is made up.
TEST_F(TagSearchArchiveTest, TheQueryHelpersAddNoContextsOfTheirOwn) {
    const SdkServerPtr gone = ArchiveServer::open(u"gone"_s, dir.filePath(u"gone.vqa"_s));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"point classes of a server that cannot be read", [&] { gatherPointClasses({gone}); }},
        {"the version test of such a server", [&] { qualifiesForPointClass(*gone); }},
        {"a condition without a table", [] { addWhereCondition({}, condition(u"|Tag|=|x"_s)); }},
    };
    for (const auto& [behaviour, fail] : cases) {
        const Error error = raised(fail);
        EXPECT_NE(error.number(), 0) << behaviour;
        EXPECT_FALSE(error.source().contains(u"VQTagSearch:"_s, Qt::CaseInsensitive)) << behaviour;
    }
}

}  // namespace
}  // namespace vq::test
