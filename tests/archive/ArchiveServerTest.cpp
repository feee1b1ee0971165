// The archive server: new archives of both kinds, log-ons and passwords, digital state sets,
// seeded points and their generator, and the list of servers in its registry file.
#include "ArchiveTestSupport.h"
#include "TestFiles.h"

#include "archive/data/ArchiveSeeder.h"
#include "archive/data/SamplePointGenerator.h"
#include "archive/server/ArchiveServers.h"
#include "archive/server/PasswordHash.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkAttributeSets.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkDigitalStateSets.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPointType.h"

#include <QRegularExpression>
#include <QSet>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

std::string facts(SdkServer& server) {
    return u"%1 %2 \"%3\" users=%4 groups=%5 connected=%6"_s
        .arg(server.Name(), server.ServerKind(), server.ServerVersion().Text(), server.Users().join(u','),
             server.Groups().join(u','))
        .arg(server.IsConnected())
        .toStdString();
}

// The defaults a point of the class reports before it is ever written.
const QStringList kDefaultsShown = {"PtOwner",   "PtGroup", "CreationDate", "Creator",
                                    "PointType", "Span",    "Archiving",    "PtClassName"};

using ArchiveServerTest = BackendTest;
VQ_ON_BOTH_BACKENDS(ArchiveServerTest);

TEST_P(ArchiveServerTest, NewVq3ArchiveReopensWithItsFactsAndClassesOfOrderedSets) {
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
    SdkAttributeSetsPtr sets = server->PointClasses()->Item(u"CLASSIC"_s)->AttributeSets();
    EXPECT_EQ(
        typedValues(*sets->Item(1), kDefaultsShown),
        "PtOwner=:String PtGroup=:String CreationDate=12/31/1899:Date Creator=0:String PointType=12:Long "
        "Span=100:Single Archiving=1:Integer PtClassName=classic:String");
    EXPECT_EQ(typedValues(*sets->Item(u"Classic"_s), {"Location4", "Convers"}),
              "Location4=1:Long Convers=1:Single");
}

TEST_P(ArchiveServerTest, NewVq2ArchiveOffersOneAttributeCollectionPerClassAndOnlyItsOwnPointTypes) {
    createArchive(u"VQ2"_s, u"VQ 2.5"_s);
    auto server = reopen();
    EXPECT_EQ(facts(*server), "plant VQ2 \"VQ 2.5\" users=vqadmin groups=vqadmin connected=0");
    ASSERT_EQ(server->PointClasses()->Count(), 1);
    SdkPointClassPtr classic = server->PointClasses()->Item(1);
    ASSERT_TRUE(classic->AttributeSets() == nullptr && classic->PointAttributes() != nullptr);
    EXPECT_EQ(classic->PointAttributes()->Name(), u"classic"_s);
    EXPECT_EQ(typedValues(*classic->PointAttributes(),
                          {"CreationDate", "Creator", "PointType", "Span", "RecordType"}),
              "CreationDate=12/31/1899:Date Creator=0:String PointType=12:Long Span=100:Single "
              "RecordType=0:Integer");

    SdkPointsPtr points = logOn()->Points();
    points->Add(u"LIC-3"_s, u"classic"_s, pointtype::Int16, namedValues({{"Span", 50}, {"DigStartCode", 3}}));
    EXPECT_EQ(pointValues(stored(u"LIC-3"_s), {"PointType", "Span", "DigStartCode"}),
              "PointType=6 Span=50 DigStartCode=3");
    SdkNamedValues failed;
    EXPECT_EQ(raised([&] { points->Add(u"S-1"_s, u"classic"_s, 105, {}, &failed); }).number(),
              sdkerr::AttributesRefused);
    EXPECT_EQ(refusedNames(failed), "PointType");
    EXPECT_EQ(points->Count(), 1);
}

// "name: salt bytes, hash form" of every user, as the storage keeps it.
std::string storedPasswords(ArchiveServer& server) {
    QStringList rows;
    for (const QString& user : server.Users()) {
        const ArchiveUserRecord stored = *server.storage().findUser(user);
        rows << u"%1: %2, %3"_s.arg(stored.name)
                    .arg(stored.salt.size())
                    .arg(stored.hash.isEmpty()                  ? u"none"_s
                         : stored.hash.startsWith("$argon2id$") ? u"argon2id"_s
                                                                : u"%1 bytes"_s.arg(stored.hash.size()));
    }
    return rows.join(u"; "_s).toStdString();
}

TEST_P(ArchiveServerTest, LogOnChecksUserAndPasswordAndOldHashesAreReplacedAtTheNextLogOn) {
    createArchive();
    auto admin = reopen();
    admin->addGroup(u"operators"_s);
    admin->addUser(u"alice"_s, u"secret"_s, {u"operators"_s});
    admin->addUser(u"Ålice"_s, u"pw"_s, {});
    // Names are unique after Unicode case folding on both engines, and found in any case.
    for (const QString& taken : {u"ALICE"_s, u"ålice"_s})
        EXPECT_EQ(raised([&] { admin->addUser(taken, QString(), {}); }).number(), sdkerr::AttributesRefused);
    EXPECT_NE(raised([&] { admin->addUser(u"eve"_s, QString(), {u"nosuch"_s}); }).number(), 0);

    auto server = reopen();
    EXPECT_EQ(facts(*server),
              "plant VQ3 \"VQ 3.4.1\" users=vqadmin,alice,Ålice groups=vqadmin,operators connected=0");
    EXPECT_EQ(server->groupsOf(u"Alice"_s), QStringList{u"operators"_s});
    // User, password, the error, the user then logged on.
    const std::tuple<const char*, const char*, int32_t, const char*> attempts[] = {
        {"vqadmin", "x", sdkerr::LogonFailed, ""},
        {"VQADMIN", "", 0, "vqadmin"},
        {"alice", "", sdkerr::LogonFailed, ""},
        {"alice", "secret", 0, "alice"},
        {"alice", "Secret", sdkerr::LogonFailed, ""},
        {"eve", "", sdkerr::LogonFailed, ""},
        {"ÅLICE", "pw", 0, "Ålice"},
        {"ålice", "pw", 0, "Ålice"},
    };
    for (const auto& [user, password, error, userName] : attempts) {
        SCOPED_TRACE(std::string(user) + "/" + password);
        EXPECT_EQ(
            raised([&] { server->Open(QString::fromUtf8(user), QString::fromUtf8(password)); }).number(),
            error);
        // A refused log-on also ends the connection that was open before it.
        EXPECT_EQ(server->IsConnected(), error == 0);
        EXPECT_EQ(server->UserName().toStdString(), userName);
    }

    // Passwords are Argon2id hashes. An archive of the older kind: a salted, iterated SHA-256 hash.
    const QByteArray salt = PasswordHash::newSalt();
    executeSql(u"INSERT INTO users(name, salt, hash) VALUES('bob', %1, %2)"_s.arg(
        blobLiteral(salt), blobLiteral(PasswordHash::legacyHash(u"old pw"_s, salt))));
    EXPECT_EQ(storedPasswords(*admin),
              "vqadmin: 0, none; alice: 0, argon2id; Ålice: 0, argon2id; bob: 16, 32 bytes");
    EXPECT_FALSE(admin->hasPassword(u"vqadmin"_s));

    server = reopen();  // a wrong password leaves the old hash: the right one still gets in below
    EXPECT_EQ(raised([&] { server->Open(u"bob"_s, u"old PW"_s); }).number(), sdkerr::LogonFailed);
    server->Open(u"bob"_s, u"old pw"_s);
    EXPECT_EQ(storedPasswords(*server),
              "vqadmin: 0, none; alice: 0, argon2id; Ålice: 0, argon2id; bob: 0, argon2id");
    for (const auto& [user, password] : {std::pair{u"bob"_s, u"old pw"_s}, {u"alice"_s, u"secret"_s}}) {
        EXPECT_EQ(raised([&] { reopen()->Open(user, password); }).number(), 0);
        EXPECT_EQ(raised([&] { reopen()->Open(user, password + u' '); }).number(), sdkerr::LogonFailed);
    }
    // A hash made under other limits than the library's own is replaced too.
    auto aliceHash = [&] { return reopen()->storage().findUser(u"alice"_s)->hash; };
    const PasswordHash::Limits light = PasswordHash::limits();
    const QByteArray passes = "t=" + QByteArray::number(light.operations + 1) + ',';
    EXPECT_FALSE(aliceHash().contains(passes));
    PasswordHash::setLimits({light.operations + 1, light.memory});
    reopen()->Open(u"alice"_s, u"secret"_s);
    PasswordHash::setLimits(light);
    EXPECT_TRUE(aliceHash().contains(passes)) << aliceHash().toStdString();

    // A removed user cannot log on; new passwords, groups and refused removals are the tool's tests'.
    admin->removeUser(u"alice"_s);
    EXPECT_EQ(reopen()->Users(), (QStringList{u"vqadmin"_s, u"Ålice"_s, u"bob"_s}));
    EXPECT_EQ(raised([&] { reopen()->Open(u"alice"_s, u"secret"_s); }).number(), sdkerr::LogonFailed);
}

TEST_P(ArchiveServerTest, DigitalStateSetsKeepOrderAndAreSearchedByStateMasks) {
    createArchive();
    auto setup = reopen();
    setup->addDigitalSet(u"Valve"_s, {u"Open"_s, u"Closed"_s, u"Travel"_s});
    setup->addDigitalSet(u"Pump"_s, {u"Off"_s, u"On"_s, u"Tripped"_s});
    setup->addDigitalSet(u"Switch"_s, {u"ON"_s, u"OFF"_s});
    EXPECT_NE(raised([&] { setup->addDigitalSet(u"PUMP"_s, {u"x"_s}); }).number(), 0);

    SdkDigitalStateSetsPtr sets = reopen()->DigitalStateSets();
    QStringList described;
    for (const SdkDigitalStateSetPtr& set : sets->All()) {
        QStringList states;
        for (const SdkDigitalState& state : set->States())
            states << QString::number(state.Code()) + u':' + state.Name();
        described << set->Name() + u'(' + states.join(u',') + u')';
    }
    EXPECT_EQ(described.join(u' ').toStdString(),
              "SYSTEM(0:Shutdown,1:Bad Input,2:Scan Off,3:No Data,4:Pt Created,5:Under Range,6:Over Range) "
              "Valve(0:Open,1:Closed,2:Travel) Pump(0:Off,1:On,2:Tripped) Switch(0:ON,1:OFF)");
    EXPECT_EQ(sets->Item(u" valve "_s)->Name(), u"Valve"_s);
    EXPECT_EQ(raised([&] { sets->Item(u"Nope"_s); }).number(), sdkerr::DigitalSetUnknown);

    auto search = [&](std::initializer_list<const char*> masks, int condition) {
        SdkNamedValues maskSet;
        for (const char* mask : masks) maskSet.Add(QString::fromUtf8(mask), Variant(int16_t(0)));
        const SdkNamedValuesPtr found = sets->Search(maskSet, condition);
        QStringList names;
        for (const SdkNamedValue& pair : *found) names << pair.Name();
        return names.join(u' ').toStdString();
    };
    // And, Or and letter case through the search control are its own tests'.
    EXPECT_EQ(search({"  op* "}, SdkDigitalStateSets::Or), "Valve");
    EXPECT_EQ(search({"off"}, SdkDigitalStateSets::Or),
              "Pump Switch");                                         // not "Scan Off": no star, whole name
    EXPECT_EQ(search({"*n*n*"}, SdkDigitalStateSets::Or), "SYSTEM");  // "Bad Input"
    EXPECT_NE(raised([&] { sets->Search(namedValues({{"*", 0}}), 2); }).number(), 0);
}

// Seeded points are readable, of the archive's own classes, and pass its write checks; the
// generator's own test checks what they hold.
TEST_P(ArchiveServerTest, SeededPointsAreReadableAndPassTheWriteChecks) {
    for (const QString& kind : {u"VQ3"_s, u"VQ2"_s}) {
        SCOPED_TRACE(qPrintable(kind));
        const QString path = otherLocation(kind);
        auto server = ArchiveServer::create(path, u"plant"_s, kind, u"VQ 3.4.1"_s);
        server->Open(u"vqadmin"_s, QString());
        ArchiveSeeder::seed(*server, 300);
        const ArchiveSeeder::Result again = ArchiveSeeder::seed(*server, 300);  // new tags follow
        EXPECT_EQ(again.points * 10 + again.values, 3600);
        // The bulk load may relax syncing, but the connection must go back to durable commits.
        if (backend() == StorageBackend::Sqlite) {
            auto synchronous =
                SqliteArchiveStorage::databaseOf(server->storage()).statement("PRAGMA synchronous");
            EXPECT_TRUE(synchronous.next() && synchronous.integer(0) == 2);
        }
        auto fresh = ArchiveServer::open(u"plant"_s, path);
        fresh->Open(u"vqadmin"_s, QString());
        EXPECT_EQ(fresh->Points()->Count(), 600);
        QSet<QString> classes;
        const SamplePointGenerator generator(kind, 1);
        for (int index = 0; index < 600; index += 5) {
            SdkPointPtr point = fresh->Points()->Item(generator.point(index, 0).tag);
            classes.insert(point->PointClass()->Name());
            // A point without a digital set keeps the class's DigNumber, not an earlier point's.
            if (const AttributeDef* digNumber =
                    fresh->classByName(point->PointClass()->Name())->find(u"DigNumber"_s);
                digNumber && generator.point(index, 0).digitalSet.isEmpty()) {
                EXPECT_EQ(point->PointAttributes()->NamedValues()->Value(u"DigNumber"_s).toInt32(),
                          digNumber->defaultValue.toInt32())
                    << qPrintable(point->Name());
            }
            EXPECT_TRUE(fresh->currentValue(point->PointID()).has_value());
            SdkNamedValues failed;
            EXPECT_EQ(raised([&] {
                          point->PointAttributes()->SetAttributes(namedValues({{"ExDesc", "x"}}), failed);
                      }).description(),
                      u"nothing was raised"_s);
        }
        EXPECT_EQ(classes.size(), kind == u"VQ3" ? 4 : 1);
    }
}

// Archives "a.vqa" and "b.vqa" beside a registry file that does not exist yet.
class ArchiveServersTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        ArchiveServer::create(filePath(u"a.vqa"_s), u"a"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        ArchiveServer::create(filePath(u"b.vqa"_s), u"b"_s, u"VQ2"_s, u"VQ 2.5"_s);
    }

    QString registryPath() const { return filePath(u"servers.json"_s); }
    std::unique_ptr<ArchiveServers> servers() const {
        return std::make_unique<ArchiveServers>(ServerRegistry(registryPath()));
    }

    // "Name:kind ..." with a star on the default, as a fresh list read from the registry sees them.
    static std::string listed(const SdkServers& servers) {
        QStringList parts;
        const SdkServerPtr defaultServer = servers.DefaultServer();
        for (const SdkServerPtr& server : servers.All())
            parts << server->Name() + u':' + server->ServerKind() +
                         (server == defaultServer ? u"*"_s : QString());
        return parts.join(u' ').toStdString();
    }
};

// Announcements and log-ons through the list are the server windows' tests'.
TEST_F(ArchiveServersTest, AddAndRemoveArePersistedAndADamagedRegistryIsRefused) {
    auto list = servers();
    EXPECT_EQ(listed(*list), "");
    list->Add(u"Alpha"_s, filePath(u"a.vqa"_s), false);
    list->Add(u"Beta"_s, u"b.vqa"_s, true);  // relative to the registry's folder
    EXPECT_EQ(listed(*servers()), "Alpha:VQ3 Beta:VQ2*");

    EXPECT_EQ(raised([&] { list->Add(u"ALPHA"_s, u"b.vqa"_s, false); }).number(), sdkerr::ServerExists);
    EXPECT_EQ(raised([&] { list->Add(u"Alpha "_s, u"b.vqa"_s, false); }).number(), sdkerr::ServerExists);
    list->Add(u"Gamma"_s, filePath(u"a.vqa"_s), true);
    EXPECT_EQ(listed(*servers()), "Alpha:VQ3 Beta:VQ2 Gamma:VQ3*");

    list->Remove(u"gamma"_s);
    EXPECT_EQ(raised([&] { list->Remove(u"Gamma"_s); }).number(), sdkerr::ServerUnknown);
    auto fresh = servers();
    EXPECT_EQ(listed(*fresh), "Alpha:VQ3* Beta:VQ2");  // without a default the first one serves
    EXPECT_EQ(raised([&] { fresh->Item(u"Gamma"_s); }).number(), sdkerr::ServerUnknown);
    EXPECT_EQ(fresh->Item(u"beta"_s)->Name(), u"Beta"_s);

    for (const char* text : {"{ this is not json", "[]", R"({"servers": [{"name": "Alpha"}]})"}) {
        writeFile(registryPath(), text);
        EXPECT_EQ(raised([&] { servers(); }).number(), sdkerr::RegistryInvalid) << text;
    }
}

// Tags are unique and plain over the whole index range (the far end of a ten-million archive,
// where the loop numbers wrap, included), and follow the seed. A point rebuilt from its index is the
// one the seeder stored, and what it holds passes the archive's write checks (ArchiveServerTest).
TEST(SamplePointGenerator, TagsAreUniquePlainAndFollowTheSeed) {
    const QRegularExpression plain(QRegularExpression::anchoredPattern(u"[A-Za-z0-9._-]+"));
    for (const QString& kind : {u"VQ3"_s, u"VQ2"_s}) {
        const SamplePointGenerator generator(kind, 11);
        QSet<QString> seen;
        for (int64_t i = 0; i < 220000; ++i) {
            const int64_t index = i < 200000 ? i : 9990000 + (i - 200000) * 3;
            const QString tag = generator.point(index, 0).tag;
            ASSERT_TRUE(plain.match(tag).hasMatch()) << qPrintable(tag);
            ASSERT_FALSE(seen.contains(tag.toUpper())) << qPrintable(kind) << " index " << index;
            seen.insert(tag.toUpper());
        }
    }
    const auto tags = [](uint32_t seed) {
        QStringList tags;
        for (int64_t i : {9999999, 123457, 0, 19, 999})
            tags << SamplePointGenerator(u"VQ3"_s, seed).point(i, 4).tag;
        return tags;
    };
    EXPECT_NE(tags(5), tags(6));
}

// The seeder stores the sets as they are: nothing else notices a repeated name or state.
TEST(SamplePointGenerator, DigitalSetsHaveDistinctNamesAndDistinctUpperCaseStates) {
    QSet<QString> names;
    for (const SampleDigitalSet& set : SamplePointGenerator::digitalSets()) {
        EXPECT_FALSE(names.contains(set.name.toUpper())) << qPrintable(set.name);
        names.insert(set.name.toUpper());
        EXPECT_EQ(QSet<QString>(set.states.begin(), set.states.end()).size(), set.states.size());
        for (const QString& state : set.states)
            EXPECT_TRUE(state == state.toUpper() && !state.contains(u' '));
    }
    EXPECT_GE(names.size(), 6);
}

}  // namespace
