#include "ArchiveTestSupport.h"

#include "archive/ArchiveDatabase.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;

namespace {

QDateTime nowToTheSecond() {
    return QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
}

// An archive with three users besides vqadmin: alice and carol operate, bob engineers.
class PointWriterTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        createArchive();
        auto setup = reopen();
        setup->addGroup(QStringLiteral("operators"));
        setup->addGroup(QStringLiteral("engineers"));
        setup->addUser(QStringLiteral("alice"), QStringLiteral("a"), {QStringLiteral("operators")});
        setup->addUser(QStringLiteral("bob"), QStringLiteral("b"), {QStringLiteral("engineers")});
        setup->addUser(QStringLiteral("carol"), QStringLiteral("c"), {QStringLiteral("operators")});
        setup->addDigitalSet(QStringLiteral("Valve"),
                             {QStringLiteral("Open"), QStringLiteral("Closed"), QStringLiteral("Travel")});
        m_admin = logOn();
    }

    SdkPointPtr addPoint(const QString& tag, const SdkNamedValues& attributes = {}) {
        return m_admin->Points()->Add(tag, QStringLiteral("classic"), pointtype::Float32, attributes);
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

TEST_F(PointWriterTest, CreatedPointKeepsValueTypesAndGetsAuditFieldsFromTheArchive) {
    const QDateTime before = nowToTheSecond();
    SdkNamedValues failed;
    const SdkPointPtr created = m_admin->Points()->Add(
        QStringLiteral("FIC-101.PV"), QStringLiteral("classic"), pointtype::Float32,
        namedValues({{"Tag", "FIC-101.PV"}, {"PointType", "12"}, {"Descriptor", "Feed flow"},
                     {"EngUnits", "m3/h"}, {"Span", "250"}, {"Zero", 10}, {"Location4", 3.0},
                     {"Archiving", 0}}),
        &failed);
    const QDateTime after = nowToTheSecond();
    EXPECT_EQ(failed.Count(), 0);

    const SdkPointPtr point = reopen()->Points()->Item(QStringLiteral("fic-101.pv"));
    EXPECT_EQ(point->PointID(), created->PointID());
    EXPECT_EQ(point->Name(), QStringLiteral("FIC-101.PV"));
    EXPECT_EQ(point->PointType(), pointtype::Float32);
    EXPECT_EQ(point->PointClass()->Name(), QStringLiteral("classic"));
    SdkPointAttributes& attributes = *point->PointAttributes();
    EXPECT_EQ(typedValues(attributes, {"Tag", "Descriptor", "EngUnits", "Span", "Zero", "Location4",
                                       "Archiving", "PointType", "PtClassName", "Creator", "Changer",
                                       "PtOwner", "PtGroup", "DataOwner", "DataGroup"}),
              "Tag=FIC-101.PV:String Descriptor=Feed flow:String EngUnits=m3/h:String Span=250:Single "
              "Zero=10:Single Location4=3:Long Archiving=0:Integer PointType=12:Long PtClassName=classic:String "
              "Creator=vqadmin:String Changer=vqadmin:String PtOwner=vqadmin:String PtGroup=vqadmin:String "
              "DataOwner=vqadmin:String DataGroup=vqadmin:String");
    const QDateTime creation = attributes.Item(QStringLiteral("CreationDate"))->Value().toDateTime();
    EXPECT_TRUE(creation >= before && creation <= after) << qPrintable(creation.toString(Qt::ISODate));
    EXPECT_EQ(attributes.Item(QStringLiteral("ChangeDate"))->Value().toDateTime(), creation);
    EXPECT_EQ(attributes.Item(QStringLiteral("PointID"))->Value().toInt32(), point->PointID());

    // Owner and group come from the creator unless given; a given owner is kept.
    auto alice = logOn(QStringLiteral("alice"), QStringLiteral("a"));
    alice->Points()->Add(QStringLiteral("TI-200"), QStringLiteral("alarm"), pointtype::Int32,
                         namedValues({{"PtOwner", "bob"}}));
    EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("TI-200")),
                          {"Creator", "PtOwner", "PtGroup", "DataOwner", "DataGroup", "PtClassName"}),
              "Creator=alice PtOwner=bob PtGroup=operators DataOwner=alice DataGroup=operators "
              "PtClassName=alarm");
}

TEST_F(PointWriterTest, EveryRefusedCreationNamesTheAttributeAndWritesNothing) {
    addPoint(QStringLiteral("FIC-101"));
    struct Case {
        QString tag;
        SdkPointType type;
        SdkNamedValues attributes;
        std::string refused;
        QString reasonPart;
    };
    std::vector<Case> cases = {
        {QStringLiteral("fic-101"), pointtype::Float32, {}, "Tag", QStringLiteral("already exists")},
        {QStringLiteral(" AB"), pointtype::Float32, {}, "Tag", QStringLiteral("blank")},
        {QStringLiteral("AB "), pointtype::Float32, {}, "Tag", QStringLiteral("blank")},
        {QString(), pointtype::Float32, {}, "Tag", QStringLiteral("empty")},
        {QStringLiteral("A\tB"), pointtype::Float32, {}, "Tag", QStringLiteral("control")},
        {QStringLiteral("X1"), pointtype::Float32, namedValues({{"Colour", "red"}}), "Colour",
         QStringLiteral("not an attribute")},
        {QStringLiteral("X2"), pointtype::Float32, namedValues({{"Span", "abc"}}), "Span",
         QStringLiteral("not a number")},
        {QStringLiteral("X3"), pointtype::Float32, namedValues({{"Archiving", 40000}}), "Archiving",
         QStringLiteral("outside")},
        {QStringLiteral("X4"), pointtype::Float32, namedValues({{"Span", 0}}), "Span", QStringLiteral("zero")},
        {QStringLiteral("X5"), pointtype::Int16, namedValues({{"Span", "0"}}), "Span", QStringLiteral("zero")},
        {QStringLiteral("X6"), pointtype::Float32, namedValues({{"Creator", "bob"}}), "Creator",
         QStringLiteral("set by the archive")},
        {QStringLiteral("X7"), pointtype::Float32, namedValues({{"CreationDate", "1/1/2020"}}), "CreationDate",
         QStringLiteral("set by the archive")},
        {QStringLiteral("X8"), pointtype::Digital, {}, "DigitalSet", QStringLiteral("needs")},
        {QStringLiteral("X9"), pointtype::Digital, namedValues({{"DigitalSet", "Nope"}}), "DigitalSet",
         QStringLiteral("no digital state set")},
        {QStringLiteral("X10"), pointtype::Float32, namedValues({{"PtAccess", "rw"}}), "PtAccess",
         QStringLiteral("access string")},
        {QStringLiteral("X11"), pointtype::Float32, namedValues({{"PtOwner", "nobody"}}), "PtOwner",
         QStringLiteral("no user")},
        {QStringLiteral("X12"), pointtype::Float32, namedValues({{"DataGroup", "nobody"}}), "DataGroup",
         QStringLiteral("no group")},
        {QStringLiteral("X13"), 99, {}, "PointType", QStringLiteral("not a point type")},
        {QStringLiteral("X14"), pointtype::Float32, namedValues({{"CompDevPercent", "lots"}}), "CompDevPercent",
         QStringLiteral("not a number")},
    };
    for (const QChar c : QStringLiteral("*;?[\\]{|}"))
        cases.push_back({QStringLiteral("A%1B").arg(c), pointtype::Float32, {}, "Tag", QString(c)});

    SdkPointsPtr points = m_admin->Points();
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(u'"' + c.tag + QStringLiteral("\" ") + c.attributes.toText()));
        SdkNamedValues failed;
        const Error error =
            raised([&] { points->Add(c.tag, QStringLiteral("classic"), c.type, c.attributes, &failed); });
        EXPECT_EQ(error.number(), sdkerr::AttributesRefused);
        EXPECT_EQ(refusedNames(failed), c.refused);
        if (failed.Count() == 1) EXPECT_TRUE(failed.Item(1).Value().toString().contains(c.reasonPart));
        EXPECT_EQ(points->Count(), 1);
    }
    EXPECT_EQ(reopen()->Points()->Count(), 1);

    // Several faults at once are all listed, in the error text too.
    SdkNamedValues failed;
    const Error error = raised([&] {
        points->Add(QStringLiteral("A*B"), QStringLiteral("classic"), pointtype::Float32,
                    namedValues({{"Span", "abc"}, {"Colour", "x"}, {"Archiving", 99999}, {"PtOwner", "nobody"}}),
                    &failed);
    });
    EXPECT_EQ(refusedNames(failed), "Archiving Colour PtOwner Span Tag");
    EXPECT_TRUE(error.description().contains(QStringLiteral("Colour")));
    EXPECT_EQ(raised([&] { points->Add(QStringLiteral("X"), QStringLiteral("nosuch"), 12, {}); }).number(),
              sdkerr::ClassUnknown);

    // What the checks allow: a zero span on a text point, an existing digital set in any case.
    points->Add(QStringLiteral("BATCH.ID"), QStringLiteral("base"), pointtype::String,
                namedValues({{"Span", 0}}));
    points->Add(QStringLiteral("XV-7"), QStringLiteral("base"), pointtype::Digital,
                namedValues({{"DigitalSet", "valve"}, {"Span", 2}}));
    EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("BATCH.ID")), {"Span", "PointType"}),
              "Span=0 PointType=105");
    EXPECT_EQ(reopen()->Points()->Count(), 3);
}

TEST_F(PointWriterTest, UpdateIsAllOrNothingAndStopsAtTheFirstFaultWhenAsked) {
    addPoint(QStringLiteral("FIC-101"), namedValues({{"Descriptor", "Feed"}}));
    const QStringList shown = {"Descriptor", "EngUnits", "Span", "Archiving", "Changer"};
    const std::string unchanged = "Descriptor=Feed EngUnits= Span=100 Archiving=1 Changer=vqadmin";

    SdkPointAttributesPtr attributes = m_admin->Points()->Item(QStringLiteral("FIC-101"))->PointAttributes();
    SdkNamedValues failed;
    const SdkNamedValues edits =
        namedValues({{"Descriptor", "New"}, {"Span", "abc"}, {"EngUnits", "kg"}, {"Archiving", 70000}});
    EXPECT_EQ(raised([&] { attributes->SetAttributes(edits, failed); }).number(), sdkerr::AttributesRefused);
    EXPECT_EQ(refusedNames(failed), "Span");  // stops at the first refusal by default

    attributes->SetStopOnFirstError(false);
    failed.Clear();
    EXPECT_EQ(raised([&] { attributes->SetAttributes(edits, failed); }).number(), sdkerr::AttributesRefused);
    EXPECT_EQ(refusedNames(failed), "Archiving Span");
    EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("FIC-101")), shown), unchanged);
    EXPECT_EQ(pointValues(m_admin->Points()->Item(QStringLiteral("FIC-101")), shown), unchanged);
}

TEST_F(PointWriterTest, RenameKeepsThePointAndRefusesAnotherPointsTag) {
    const qint64 id = addPoint(QStringLiteral("FIC-101"))->PointID();
    addPoint(QStringLiteral("FIC-102"));
    SdkPointPtr point = m_admin->Points()->Item(QStringLiteral("FIC-101"));
    SdkNamedValues failed;
    point->PointAttributes()->SetAttributes(namedValues({{"Tag", "FIC-103"}}), failed);
    EXPECT_EQ(point->Name(), QStringLiteral("FIC-103"));
    EXPECT_EQ(point->ListText(), QStringLiteral("\\\\plant\\FIC-103"));
    auto fresh = reopen();
    EXPECT_FALSE(fresh->Points()->Contains(QStringLiteral("FIC-101")));
    EXPECT_EQ(fresh->Points()->Item(QStringLiteral("fic-103"))->PointID(), id);

    EXPECT_EQ(writeAs(QStringLiteral("vqadmin"), QStringLiteral("FIC-103"), namedValues({{"Tag", "fic-102"}})),
              "refused:Tag");
    EXPECT_EQ(writeAs(QStringLiteral("vqadmin"), QStringLiteral("FIC-103"), namedValues({{"Tag", "Fic-103"}})),
              "ok");
    EXPECT_EQ(reopen()->Points()->Item(QStringLiteral("FIC-103"))->Name(), QStringLiteral("Fic-103"));
    EXPECT_EQ(reopen()->Points()->Count(), 2);
}

TEST_F(PointWriterTest, DeviationInPerCentIsStoredInEngineeringUnitsOfTheResultingSpan) {
    addPoint(QStringLiteral("TI-1"), namedValues({{"Span", 200}}));
    const QStringList shown = {"Span", "CompDev", "CompDevPercent", "ExcDev", "ExcDevPercent"};
    EXPECT_EQ(writeAs(QStringLiteral("vqadmin"), QStringLiteral("TI-1"), namedValues({{"CompDevPercent", 5}})),
              "ok");
    EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("TI-1")), shown),
              "Span=200 CompDev=10 CompDevPercent=5 ExcDev=0.1 ExcDevPercent=0.05");
    // The per-cent value refers to the span written with it, whatever the order of the edits.
    EXPECT_EQ(writeAs(QStringLiteral("vqadmin"), QStringLiteral("TI-1"),
                      namedValues({{"CompDevPercent", "5"}, {"ExcDevPercent", 1}, {"Span", 400}})),
              "ok");
    EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("TI-1")), shown),
              "Span=400 CompDev=20 CompDevPercent=5 ExcDev=4 ExcDevPercent=1");
}

TEST_F(PointWriterTest, WriteRecordsTheChangerAndLeavesTheCreationAlone) {
    addPoint(QStringLiteral("FIC-101"), namedValues({{"PtOwner", "alice"}}));
    // Back-date the point so that a change made in the same second still shows.
    m_admin->database().execute(
        QStringLiteral("UPDATE points SET \"ChangeDate\" = '2001-02-03T04:05:06', "
                       "\"CreationDate\" = '2001-02-03T04:05:06'"));
    const QDateTime before = nowToTheSecond();
    EXPECT_EQ(writeAs(QStringLiteral("alice"), QStringLiteral("FIC-101"), namedValues({{"Descriptor", "x"}})),
              "ok");
    SdkPointAttributesPtr attributes = reopen()->Points()->Item(QStringLiteral("FIC-101"))->PointAttributes();
    EXPECT_EQ(typedValues(*attributes, {"Creator", "Changer", "Descriptor"}),
              "Creator=vqadmin:String Changer=alice:String Descriptor=x:String");
    EXPECT_EQ(attributes->Item(QStringLiteral("CreationDate"))->Value().toDateTime(),
              QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC));
    EXPECT_GE(attributes->Item(QStringLiteral("ChangeDate"))->Value().toDateTime(), before);
}

TEST_F(PointWriterTest, WriteAccessFollowsThePointAccessStringOfOwnerGroupAndWorld) {
    addPoint(QStringLiteral("SEC-1"), namedValues({{"PtOwner", "alice"},
                                                   {"PtGroup", "operators"},
                                                   {"PtAccess", "o:rw g:r w:r"},
                                                   {"Descriptor", "start"}}));
    const SdkNamedValues edits = namedValues({{"Descriptor", "edited"}, {"EngUnits", "bar"}});
    struct Case {
        const char* access;  // set by vqadmin before the write
        const char* user;
        std::string outcome;
    };
    const Case cases[] = {
        {"o:rw g:r w:r", "bob", "refused:Descriptor EngUnits"},    // world
        {"o:rw g:r w:r", "carol", "refused:Descriptor EngUnits"},  // group member
        {"o:rw g:r w:r", "alice", "ok"},                           // owner
        {"o:rw g:rw w:", "carol", "ok"},
        {"o:rw g:rw w:", "bob", "refused:Descriptor EngUnits"},
        {"o:r g:r w:r", "alice", "refused:Descriptor EngUnits"},
        {"o:r g:r w:r", "vqadmin", "ok"},  // the administrator may always write
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.access) + " as " + c.user);
        ASSERT_EQ(writeAs(QStringLiteral("vqadmin"), QStringLiteral("SEC-1"),
                          namedValues({{"PtAccess", c.access}, {"Descriptor", "start"}})),
                  "ok");
        QString reason;
        EXPECT_EQ(writeAs(QString::fromUtf8(c.user), QStringLiteral("SEC-1"), edits, &reason), c.outcome);
        const bool written = c.outcome == "ok";
        if (!written) EXPECT_TRUE(reason.contains(QStringLiteral("no write access"))) << qPrintable(reason);
        EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("SEC-1")), {"Descriptor", "Changer"}),
                  written ? "Descriptor=edited Changer=" + std::string(c.user) : "Descriptor=start Changer=vqadmin");
    }
}

TEST_F(PointWriterTest, WritesNeedALoggedOnUser) {
    addPoint(QStringLiteral("FIC-101"));
    auto anonymous = reopen();
    EXPECT_EQ(raised([&] { anonymous->Points()->Add(QStringLiteral("NEW"), QStringLiteral("classic"), 12, {}); })
                  .number(),
              sdkerr::NotConnected);
    auto server = logOn();
    SdkPointAttributesPtr attributes = server->Points()->Item(QStringLiteral("FIC-101"))->PointAttributes();
    server->Close();
    SdkNamedValues failed;
    EXPECT_EQ(raised([&] { attributes->SetAttributes(namedValues({{"Descriptor", "x"}}), failed); }).number(),
              sdkerr::NotConnected);
    EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("FIC-101")), {"Descriptor"}), "Descriptor=");
    EXPECT_EQ(reopen()->Points()->Count(), 1);
}

TEST_F(PointWriterTest, PointsAreFoundByTagHandleAndPath) {
    const qint64 id = addPoint(QStringLiteral("FIC-101"), namedValues({{"Descriptor", "Feed"}}))->PointID();
    addPoint(QStringLiteral("TI-7"), namedValues({{"Descriptor", "Temp"}}));
    auto server = reopen();
    SdkPointsPtr points = server->Points();
    EXPECT_EQ(points->Count(), 2);
    EXPECT_TRUE(points->Contains(QStringLiteral("fIc-101")));
    EXPECT_FALSE(points->Contains(QStringLiteral("FIC-10")));
    EXPECT_EQ(points->Item(QStringLiteral("ti-7"))->Name(), QStringLiteral("TI-7"));
    EXPECT_EQ(raised([&] { points->Item(QStringLiteral("NOPE")); }).number(), sdkerr::PointUnknown);

    const SdkPointPtr byHandle = server->PointFromHandle(id, QStringLiteral("FIC-101"));
    EXPECT_EQ(byHandle->PointType(), pointtype::Float32);
    EXPECT_EQ(pointValues(byHandle, {"Tag", "Descriptor"}), "Tag=FIC-101 Descriptor=Feed");

    auto list = SdkPointList::create();
    list->Add(points->Item(QStringLiteral("FIC-101")));
    list->Add(points->Item(QStringLiteral("TI-7")));
    const SdkPointPtr fromList = list->Item(QStringLiteral("\\\\PLANT\\ti-7"));
    EXPECT_EQ(fromList->ListText(), QStringLiteral("\\\\plant\\TI-7"));
    EXPECT_EQ(pointValues(fromList, {"Descriptor"}), "Descriptor=Temp");
    EXPECT_EQ(pointValues(list->Item(1), {"Descriptor"}), "Descriptor=Feed");
}

class Vq2PointTest : public ArchiveTest {};

TEST_F(Vq2PointTest, Vq2ArchiveAcceptsOnlyItsOwnPointTypes) {
    createArchive(QStringLiteral("VQ2"), QStringLiteral("VQ 2.5"));
    SdkPointsPtr points = logOn()->Points();
    points->Add(QStringLiteral("LIC-3"), QStringLiteral("classic"), pointtype::Int16,
                namedValues({{"Span", 50}, {"DigStartCode", 3}}));
    EXPECT_EQ(pointValues(reopen()->Points()->Item(QStringLiteral("LIC-3")), {"PointType", "Span", "DigStartCode"}),
              "PointType=6 Span=50 DigStartCode=3");
    SdkNamedValues failed;
    EXPECT_EQ(raised([&] { points->Add(QStringLiteral("S-1"), QStringLiteral("classic"), 105, {}, &failed); })
                  .number(),
              sdkerr::AttributesRefused);
    EXPECT_EQ(refusedNames(failed), "PointType");
    EXPECT_EQ(points->Count(), 1);
}

}  // namespace
