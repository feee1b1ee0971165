#include "ArchiveTestSupport.h"

#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveSeeder.h"
#include "archive/SamplePointGenerator.h"
#include "sdk/SdkAttributeSets.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPointType.h"

#include <QFile>
#include <QSet>

using namespace vq;
using namespace vq::test;

namespace {

std::string facts(SdkServer& server) {
    return QStringLiteral("%1 %2 \"%3\" users=%4 groups=%5 connected=%6")
        .arg(server.Name(), server.ServerKind(), server.ServerVersion().Text(), server.Users().join(u','),
             server.Groups().join(u','))
        .arg(server.IsConnected())
        .toStdString();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The defaults a point of the class reports before it is ever written.
const QStringList kDefaultsShown = {"PtOwner",   "PtGroup", "CreationDate", "Creator",
                                    "PointType", "Span",    "Archiving",    "PtClassName"};

using ArchiveServerTest = ArchiveTest;

TEST_F(ArchiveServerTest, NewVq3ArchiveReopensWithItsFactsAndClassesOfOrderedSets) {
    createArchive();
    auto server = reopen();
    EXPECT_EQ(facts(*server), "plant VQ3 \"VQ 3.4.1\" users=vqadmin groups=vqadmin connected=0");
    QStringList classes;
    for (const SdkPointClassPtr& pointClass : server->PointClasses()->All()) {
        EXPECT_EQ(pointClass->PointAttributes(), nullptr);
        QStringList sets;
        for (const SdkPointAttributesPtr& set : pointClass->AttributeSets()->All()) sets << set->Name();
        classes << pointClass->Name() + u'(' + sets.join(u',') + u')';
    }
    EXPECT_EQ(classes.join(u' ').toStdString(),
              "base(base) classic(base,classic) totalizer(base,totalizer) alarm(base,alarm)");
    SdkAttributeSetsPtr sets = server->PointClasses()->Item(QStringLiteral("CLASSIC"))->AttributeSets();
    EXPECT_EQ(typedValues(*sets->Item(1), kDefaultsShown),
              "PtOwner=:String PtGroup=:String CreationDate=12/31/1899:Date Creator=0:String PointType=12:Long "
              "Span=100:Single Archiving=1:Integer PtClassName=classic:String");
    EXPECT_EQ(typedValues(*sets->Item(QStringLiteral("Classic")), {"Location4", "Convers"}),
              "Location4=1:Long Convers=1:Single");
    EXPECT_EQ(server->Points()->Count(), 0);
}

TEST_F(ArchiveServerTest, NewVq2ArchiveOffersOneAttributeCollectionPerClass) {
    createArchive(QStringLiteral("VQ2"), QStringLiteral("VQ 2.5"));
    auto server = reopen();
    EXPECT_EQ(facts(*server), "plant VQ2 \"VQ 2.5\" users=vqadmin groups=vqadmin connected=0");
    ASSERT_EQ(server->PointClasses()->Count(), 1);
    SdkPointClassPtr classic = server->PointClasses()->Item(1);
    EXPECT_EQ(classic->AttributeSets(), nullptr);
    ASSERT_NE(classic->PointAttributes(), nullptr);
    EXPECT_EQ(classic->PointAttributes()->Name(), QStringLiteral("classic"));
    EXPECT_EQ(typedValues(*classic->PointAttributes(), {"CreationDate", "Creator", "PointType", "Span", "RecordType"}),
              "CreationDate=12/31/1899:Date Creator=0:String PointType=12:Long Span=100:Single "
              "RecordType=0:Integer");
}

TEST_F(ArchiveServerTest, LogOnChecksUserAndPassword) {
    createArchive();
    auto admin = reopen();
    admin->addGroup(QStringLiteral("operators"));
    admin->addUser(QStringLiteral("alice"), QStringLiteral("secret"), {QStringLiteral("operators")});
    EXPECT_EQ(raised([&] { admin->addUser(QStringLiteral("ALICE"), QString(), {}); }).number(),
              sdkerr::AttributesRefused);
    EXPECT_NE(raised([&] { admin->addUser(QStringLiteral("eve"), QString(), {QStringLiteral("nosuch")}); })
                  .number(),
              0);

    auto server = reopen();
    EXPECT_EQ(facts(*server), "plant VQ3 \"VQ 3.4.1\" users=vqadmin,alice groups=vqadmin,operators connected=0");
    EXPECT_EQ(server->groupsOf(QStringLiteral("Alice")), QStringList{QStringLiteral("operators")});
    struct Attempt {
        const char* user;
        const char* password;
        int32_t error;
        const char* userName;
    };
    const Attempt attempts[] = {
        {"vqadmin", "x", sdkerr::LogonFailed, ""},   {"VQADMIN", "", 0, "vqadmin"},
        {"alice", "", sdkerr::LogonFailed, ""},      {"alice", "secret", 0, "alice"},
        {"alice", "Secret", sdkerr::LogonFailed, ""}, {"eve", "", sdkerr::LogonFailed, ""},
    };
    for (const Attempt& a : attempts) {
        SCOPED_TRACE(std::string(a.user) + "/" + a.password);
        EXPECT_EQ(raised([&] { server->Open(QString::fromUtf8(a.user), QString::fromUtf8(a.password)); }).number(),
                  a.error);
        // A refused log-on also ends the connection that was open before it.
        EXPECT_EQ(server->IsConnected(), a.error == 0);
        EXPECT_EQ(server->UserName().toStdString(), a.userName);
    }
    server->Close();
    EXPECT_FALSE(server->IsConnected());
}

TEST_F(ArchiveServerTest, MissingDamagedAndForeignFilesAreUnavailable) {
    const QString missing = filePath(QStringLiteral("missing.vqa"));
    auto ghost = ArchiveServer::open(QStringLiteral("ghost"), missing);
    EXPECT_EQ(ghost->Name(), QStringLiteral("ghost"));
    const Error error = raised([&] { ghost->ServerKind(); });
    EXPECT_EQ(error.number(), sdkerr::ServerUnavailable);
    EXPECT_TRUE(error.description().contains(missing)) << qPrintable(error.description());
    EXPECT_EQ(raised([&] { ghost->Open(QStringLiteral("vqadmin"), QString()); }).number(),
              sdkerr::ServerUnavailable);
    EXPECT_FALSE(QFile::exists(missing));

    const QString garbage = filePath(QStringLiteral("garbage.vqa"));
    const QByteArray garbageBytes = QByteArray("no database here\n").repeated(300);
    writeFile(garbage, garbageBytes);
    EXPECT_EQ(raised([&] { ArchiveServer::open(QStringLiteral("g"), garbage)->Points(); }).number(),
              sdkerr::ServerUnavailable);
    EXPECT_EQ(readFile(garbage), garbageBytes);

    const QString foreign = filePath(QStringLiteral("foreign.db"));
    ArchiveDatabase(foreign, ArchiveDatabase::OpenMode::Create).execute(QStringLiteral("CREATE TABLE t(x)"));
    const Error foreignError = raised([&] { ArchiveServer::open(QStringLiteral("f"), foreign)->PointClasses(); });
    EXPECT_EQ(foreignError.number(), sdkerr::ServerUnavailable);
    EXPECT_TRUE(foreignError.description().contains(foreign)) << qPrintable(foreignError.description());

    // Creating never overwrites: neither a stranger's file nor an archive.
    for (const QString& kind : {QStringLiteral("VQ3"), QStringLiteral("VQ2")})
        EXPECT_EQ(raised([&] { ArchiveServer::create(garbage, QStringLiteral("g"), kind, QStringLiteral("VQ 3")); })
                      .number(),
                  sdkerr::ServerUnavailable);
    EXPECT_EQ(readFile(garbage), garbageBytes);
    createArchive();
    logOn()->Points()->Add(QStringLiteral("KEEP"), QStringLiteral("base"), pointtype::Float32, {});
    EXPECT_NE(raised([&] { createArchive(); }).number(), 0);
    EXPECT_TRUE(reopen()->Points()->Contains(QStringLiteral("KEEP")));

    const QString wrongKind = filePath(QStringLiteral("wrongkind.vqa"));
    EXPECT_NE(raised([&] { ArchiveServer::create(wrongKind, QStringLiteral("w"), QStringLiteral("VQ4"), {}); })
                  .number(),
              0);
    EXPECT_FALSE(QFile::exists(wrongKind));
}

TEST_F(ArchiveServerTest, TwoConnectionsOnOneFileSeeEachOthersWrites) {
    createArchive();
    auto first = logOn();
    auto second = logOn();
    EXPECT_EQ(second->Points()->Count(), 0);  // the second has the file open before the write
    first->Points()->Add(QStringLiteral("FIC-1"), QStringLiteral("classic"), pointtype::Float32,
                         namedValues({{"Descriptor", "one"}}));
    EXPECT_EQ(second->Points()->Count(), 1);
    SdkPointPtr seen = second->Points()->Item(QStringLiteral("fic-1"));
    EXPECT_EQ(pointValues(seen, {"Descriptor", "Creator"}), "Descriptor=one Creator=vqadmin");

    SdkNamedValues failed;
    seen->PointAttributes()->SetAttributes(namedValues({{"Descriptor", "two"}}), failed);
    EXPECT_EQ(pointValues(first->Points()->Item(QStringLiteral("FIC-1")), {"Descriptor"}), "Descriptor=two");
    EXPECT_EQ(raised([&] {
                  second->Points()->Add(QStringLiteral("fic-1"), QStringLiteral("base"), pointtype::Float32, {});
              }).number(),
              sdkerr::AttributesRefused);
    EXPECT_EQ(first->Points()->Count(), 1);
}

TEST_F(ArchiveServerTest, DigitalStateSetsKeepOrderAndAreSearchedByStateMasks) {
    createArchive();
    auto setup = reopen();
    setup->addDigitalSet(QStringLiteral("Valve"),
                         {QStringLiteral("Open"), QStringLiteral("Closed"), QStringLiteral("Travel")});
    setup->addDigitalSet(QStringLiteral("Pump"),
                         {QStringLiteral("Off"), QStringLiteral("On"), QStringLiteral("Tripped")});
    setup->addDigitalSet(QStringLiteral("Switch"), {QStringLiteral("ON"), QStringLiteral("OFF")});
    EXPECT_NE(raised([&] { setup->addDigitalSet(QStringLiteral("PUMP"), {QStringLiteral("x")}); }).number(), 0);

    SdkDigitalStateSetsPtr sets = reopen()->DigitalStateSets();
    QStringList described;
    for (const SdkDigitalStateSetPtr& set : sets->All()) {
        QStringList states;
        for (const SdkDigitalState& state : set->States()) states << QString::number(state.Code()) + u':' + state.Name();
        described << set->Name() + u'(' + states.join(u',') + u')';
    }
    EXPECT_EQ(described.join(u' ').toStdString(),
              "SYSTEM(0:Shutdown,1:Bad Input,2:Scan Off,3:No Data,4:Pt Created,5:Under Range,6:Over Range) "
              "Valve(0:Open,1:Closed,2:Travel) Pump(0:Off,1:On,2:Tripped) Switch(0:ON,1:OFF)");
    EXPECT_EQ(sets->Item(QStringLiteral(" valve "))->Name(), QStringLiteral("Valve"));
    EXPECT_EQ(raised([&] { sets->Item(QStringLiteral("Nope")); }).number(), sdkerr::DigitalSetUnknown);

    auto search = [&](std::initializer_list<const char*> masks, int condition) {
        SdkNamedValues maskSet;
        for (const char* mask : masks) maskSet.Add(QString::fromUtf8(mask), Variant(int16_t(0)));
        QStringList names;
        for (const SdkNamedValue& pair : *sets->Search(maskSet, condition)) names << pair.Name();
        return names.join(u' ').toStdString();
    };
    EXPECT_EQ(search({"*ON*"}, SdkDigitalStateSets::Or), "Pump Switch");
    EXPECT_EQ(search({"  op* "}, SdkDigitalStateSets::Or), "Valve");
    EXPECT_EQ(search({"OP*", "trip*"}, SdkDigitalStateSets::Or), "Valve Pump");
    EXPECT_EQ(search({"*on*", "off"}, SdkDigitalStateSets::And), "Pump Switch");
    EXPECT_EQ(search({"*on*", "TRIP*"}, SdkDigitalStateSets::And), "Pump");
    EXPECT_EQ(search({"on"}, SdkDigitalStateSets::Or), "Pump Switch");  // no star: the whole name
    EXPECT_EQ(search({"*n*n*"}, SdkDigitalStateSets::Or), "SYSTEM");     // "Bad Input"
    EXPECT_EQ(search({"Open", "Tripped"}, SdkDigitalStateSets::And), "");
    EXPECT_NE(raised([&] { sets->Search(namedValues({{"*", 0}}), 2); }).number(), 0);
}

TEST_F(ArchiveServerTest, SeededPointsAreVariedReadableAndPassTheWriteChecks) {
    createArchive();
    auto server = logOn();
    const ArchiveSeeder::Result first = ArchiveSeeder::seed(*server, 500);
    EXPECT_EQ(first.points, 500);
    EXPECT_EQ(first.values, 1000);
    const ArchiveSeeder::Result second = ArchiveSeeder::seed(*server, 500);
    EXPECT_EQ(second.points, 500);
    EXPECT_EQ(second.skipped, 0);

    auto fresh = logOn();
    EXPECT_EQ(fresh->Points()->Count(), 1000);
    SdkDigitalStateSetsPtr digitalSets = fresh->DigitalStateSets();
    const SamplePointGenerator generator(QStringLiteral("VQ3"), 1);
    QSet<QString> classes, tags;
    QSet<SdkPointType> types;
    for (int index = 0; index < 1000; ++index) {
        const QString tag = generator.point(index, 0).tag;
        SCOPED_TRACE(qPrintable(tag));
        tags.insert(tag.toLower());
        SdkPointPtr point = fresh->Points()->Item(tag);
        SdkNamedValuesPtr values = point->PointAttributes()->NamedValues();
        classes.insert(values->Value(QStringLiteral("PtClassName")).toString());
        types.insert(point->PointType());
        ASSERT_EQ(values->Value(QStringLiteral("PointType")).toInt32(), point->PointType());
        if (point->PointType() == pointtype::Digital)
            EXPECT_TRUE(digitalSets->Contains(values->Value(QStringLiteral("DigitalSet")).toString()));
        if (pointtype::isNumeric(point->PointType()))
            EXPECT_NE(values->Value(QStringLiteral("Span")).toDouble(), 0);
        EXPECT_TRUE(server->currentValue(point->PointID()).has_value());
        // A seeded point must be one the archive's own checks accept.
        if (index % 5 == 0) {
            SdkNamedValues failed;
            const Error error = raised([&] {
                point->PointAttributes()->SetAttributes(namedValues({{"ExDesc", "checked"}}), failed);
            });
            EXPECT_EQ(error.number(), 0) << qPrintable(error.description());
        }
    }
    EXPECT_EQ(tags.size(), 1000);
    EXPECT_EQ(classes.size(), 4);
    EXPECT_GE(types.size(), 5);
}

TEST_F(ArchiveServerTest, SeedingKeepsTheConnectionDurable) {
    createArchive();
    auto server = logOn();
    ArchiveSeeder::seed(*server, 10);
    auto synchronous = server->database().statement("PRAGMA synchronous");
    ASSERT_TRUE(synchronous.next());
    EXPECT_EQ(synchronous.integer(0), 2);  // FULL, as the archive opens every connection
}

TEST_F(ArchiveServerTest, SeedingAVq2ArchiveUsesItsClassAndTypesOnly) {
    createArchive(QStringLiteral("VQ2"), QStringLiteral("VQ 2.5"));
    auto server = logOn();
    EXPECT_EQ(ArchiveSeeder::seed(*server, 200, 1).points, 200);
    const SamplePointGenerator generator(QStringLiteral("VQ2"), 1);
    QSet<SdkPointType> types;
    for (int index = 0; index < 200; index += 3) {
        SdkPointPtr point = server->Points()->Item(generator.point(index, 0).tag);
        types.insert(point->PointType());
        EXPECT_EQ(point->PointClass()->Name(), QStringLiteral("classic"));
        SdkNamedValues failed;
        EXPECT_EQ(raised([&] { point->PointAttributes()->SetAttributes(namedValues({{"ExDesc", "x"}}), failed); })
                      .number(),
                  0)
            << qPrintable(failed.toText());
    }
    EXPECT_TRUE(types.size() >= 3 && (types - QSet<SdkPointType>{6, 11, 12, 101}).isEmpty());
}

}  // namespace
