// The change history on both storages: what every kind of write records, that a record stands or
// falls with its change, who may read it, reverts with their stale refusals, pruning and copies.
#include "ArchiveTestSupport.h"

#include "archive/data/ArchiveCopy.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/data/PointCsv.h"
#include "archive/server/ArchiveChangeRecorder.h"
#include "archive/server/ArchiveStorageFactory.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkChangeHistory.h"
#include "sdk/SdkPointType.h"

#include <QTextStream>

#include <algorithm>
#include <functional>
#include <numeric>

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// Change sets as "kind user: TAG{Attr=before>after ...} ...", newest first, joined by " | ".
// Only the attributes in `shownAttributes` appear, when it is given.
std::string shown(const std::vector<SdkChangeSet>& sets, const QStringList& shownAttributes = {}) {
    QStringList parts;
    for (const SdkChangeSet& set : sets) {
        QStringList points;
        for (const SdkPointChange& point : set.points) {
            QStringList attributes;
            for (const SdkAttributeChange& change : point.attributes)
                if (shownAttributes.isEmpty() || shownAttributes.contains(change.attribute))
                    attributes << change.attribute + u'=' + change.before + u'>' + change.after;
            points << point.tag + u'{' + attributes.join(u' ') + u'}';
        }
        parts << set.kind + u' ' + set.user + u':' +
                     (points.isEmpty() ? QString() : u' ' + points.join(u' '));
    }
    return parts.join(u" | "_s).toStdString();
}

std::string revertShown(const std::vector<SdkRevertResult>& results) {
    QStringList parts;
    const char* const outcome[] = {"restored", "changed-since", "refused"};
    for (const SdkRevertResult& result : results)
        parts << result.tag + u' ' + QString::fromLatin1(outcome[int(result.outcome)]);
    return parts.join(u", "_s).toStdString();
}

// An archive where operators (alice) may read FIC-1 and nobody else but its owner may; bob is in
// no group. vqadmin writes as the program "histtest".
class ChangeHistoryTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        createArchive();
        auto setup = reopen();
        setup->addGroup(u"operators"_s);
        setup->addUser(u"alice"_s, u"a"_s, {u"operators"_s});
        setup->addUser(u"bob"_s, u"b"_s, {});
        m_admin = as(u"vqadmin"_s);
    }

    std::shared_ptr<ArchiveServer> as(const QString& user) {
        auto server = logOn(user, user == u"vqadmin" ? QString() : user.left(1));
        server->setProgramName(u"histtest"_s);
        return server;
    }
    SdkPointPtr add(const QString& tag, const SdkNamedValues& attributes) {
        return m_admin->Points()->Add(tag, u"classic"_s, pointtype::Float32, attributes);
    }
    void edit(const std::shared_ptr<ArchiveServer>& server, const QString& tag, const SdkNamedValues& edits) {
        SdkNamedValues failed;
        server->Points()->Item(tag)->PointAttributes()->SetAttributes(edits, failed);
    }
    std::string import(const QByteArray& csv) {
        QByteArray text = csv;
        QTextStream in(&text);
        return std::to_string(PointCsv::importPoints(*m_admin, in).refused.size()) + " refused";
    }
    std::vector<SdkChangeSet> history(const std::shared_ptr<ArchiveServer>& server,
                                      SdkHistoryFilter filter = {}) {
        return server->changeHistory()->changeSets(filter);
    }
    qint64 newestId() { return history(m_admin).front().id; }

    std::shared_ptr<ArchiveServer> m_admin;
};
VQ_ON_BOTH_BACKENDS(ChangeHistoryTest);

const QStringList kEdited = {"Tag", "Descriptor", "Span", "CompDev", "EngUnits"};

// Each write adds one change set of its kind, with the stored text before and after; a write that
// changes nothing, or is refused, adds none.
TEST_P(ChangeHistoryTest, EveryKindOfWriteRecordsOneChangeSet) {
    struct Row {
        const char* what;
        std::function<void()> write;
        int added;
        std::string newest;
    };
    const Row rows[] = {
        {"a new point: every attribute it was given, before empty",
         [&] {
             add(u"FIC-1"_s, namedValues({{"Descriptor", "feed"}, {"Span", 200}}));
         },
         1, "create vqadmin: FIC-1{Tag=>FIC-1 Descriptor=>feed Span=>200}"},
        {"an edit set: only what changed, per-cent twins as their base",
         [&] {
             edit(m_admin, u"FIC-1"_s,
                  namedValues({{"Span", 250}, {"Descriptor", "feed"}, {"CompDevPercent", 2}}));
         },
         1, "edit vqadmin: FIC-1{CompDev=0.2>5 Span=200>250}"},
        {"a rename records the tag it had and has",
         [&] {
             edit(m_admin, u"FIC-1"_s, namedValues({{"Tag", "FIC-1A"}}));
         },
         1, "edit vqadmin: FIC-1A{Tag=FIC-1>FIC-1A}"},
        {"an edit that changes nothing",
         [&] {
             edit(m_admin, u"FIC-1A"_s, namedValues({{"Span", 250}}));
         },
         0, "edit vqadmin: FIC-1A{Tag=FIC-1>FIC-1A}"},
        {"a refused edit",
         [&] {
             EXPECT_ANY_THROW(edit(as(u"bob"_s), u"FIC-1A"_s, namedValues({{"Span", 1}})));
         },
         0, "edit vqadmin: FIC-1A{Tag=FIC-1>FIC-1A}"},
        {"an import batch: one change set for its rows",
         [&] {
             EXPECT_EQ(import("Tag,PtClassName,Descriptor,EngUnits\nFIC-1A,classic,feed,m3/h\nFIC-2,classic,"
                              "drain,\nFIC-3,nosuchclass,x,\n"),
                       "1 refused");
         },
         1, "import vqadmin: FIC-1A{EngUnits=>m3/h} FIC-2{Tag=>FIC-2 Descriptor=>drain}"},
        {"a seeding run: one change set without attributes", [&] { ArchiveSeeder::seed(*m_admin, 20, 1); }, 1,
         "seed vqadmin:"},
    };
    size_t before = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.write();
        const std::vector<SdkChangeSet> sets = history(m_admin);
        EXPECT_EQ(sets.size(), before + size_t(row.added));
        EXPECT_EQ(shown({sets.front()}, kEdited), row.newest);
        EXPECT_EQ(sets.front().program + u'/' + sets.front().osUser,
                  u"histtest/"_s + ArchiveChangeRecorder::osUser());
        before = sets.size();
    }
}

// A change set stands or falls with its change: one that cannot be stored takes the edit with it.
// An archive switched off records nothing, and only vqadmin members may switch it.
TEST_P(ChangeHistoryTest, RecordStandsOrFallsWithItsChangeAndCanBeSwitchedOff) {
    add(u"FIC-1"_s, namedValues({{"Descriptor", "feed"}}));
    auto broken = as(u"vqadmin"_s);
    broken->setProgramName(u"hist"_s + QChar(u'\0') + u"test"_s);  // no stored text holds a NUL
    EXPECT_ANY_THROW(edit(broken, u"FIC-1"_s, namedValues({{"Descriptor", "lost"}})));
    EXPECT_EQ(pointValues(stored(u"FIC-1"_s), {"Descriptor"}), "Descriptor=feed");

    const Error refused = raised([&] { as(u"alice"_s)->setRecordsHistory(false); });
    EXPECT_TRUE(refused.description().contains(u"Only members of the group \"vqadmin\""_s));
    edit(m_admin, u"FIC-1"_s, namedValues({{"Descriptor", "kept"}}));  // m_admin knows it as on
    as(u"vqadmin"_s)->setRecordsHistory(false);                        // another program switches it off
    edit(m_admin, u"FIC-1"_s, namedValues({{"Descriptor", "kept, unrecorded"}}));
    EXPECT_EQ(pointValues(stored(u"FIC-1"_s), {"Descriptor"}), "Descriptor=kept, unrecorded");
    EXPECT_EQ(
        shown(history(m_admin), kEdited),
        "edit vqadmin: FIC-1{Descriptor=feed>kept} | create vqadmin: FIC-1{Tag=>FIC-1 Descriptor=>feed}");
    m_admin->setRecordsHistory(true);
    edit(m_admin, u"FIC-1"_s, namedValues({{"Descriptor", "seen"}}));
    EXPECT_EQ(history(m_admin).size(), 3u);
}

// Hundreds of change sets, small and large in turn, read back in id order through every page
// and filter: on SQLite the newest wait in a table of their own and join the others in batches.
TEST_P(ChangeHistoryTest, ManyChangeSetsReadInOrderThroughPagesAndFilters) {
    add(u"FIC-1"_s, {});
    add(u"FIC-2"_s, {});
    QByteArray csv = "Tag,Descriptor,Span\n";
    for (int i = 0; i < 40; ++i) csv += "TI-" + QByteArray::number(i) + ",temperature,150\n";
    for (int k = 0; k < 300; ++k) {
        edit(m_admin, k % 3 ? u"FIC-2"_s : u"FIC-1"_s, namedValues({{"Descriptor", QString::number(k)}}));
        if (k == 150) import(csv);  // change set 154, of 40 points
    }
    SdkHistoryFilter page;
    page.limit = 70;
    std::vector<qint64> ids, expected(303);
    std::iota(expected.rbegin(), expected.rend(), 1);
    for (std::vector<SdkChangeSet> sets; !(sets = history(m_admin, page)).empty();
         page.beforeId = sets.back().id)
        for (const SdkChangeSet& set : sets) ids.push_back(set.points.size() == 40 ? -set.id : set.id);
    std::replace(expected.begin(), expected.end(), qint64(154), qint64(-154));
    EXPECT_TRUE(ids == expected);
    SdkHistoryFilter fic1;
    fic1.tag = u"fic-1"_s;
    const std::vector<SdkChangeSet> sets = history(m_admin, fic1);
    EXPECT_EQ(sets.size(), 101u);
    EXPECT_EQ(shown({sets.front(), sets.back()}, kEdited),
              "edit vqadmin: FIC-1{Descriptor=294>297} | create vqadmin: FIC-1{Tag=>FIC-1}");
}

// Archives of version 4 kept a row per attribute change: two change sets of that layout, the
// first changing FIC-1, then FIC-2, then FIC-1 again.
const char* const kRowsPerAttributeChange[] = {
    "DROP TABLE point_changes; DROP TABLE recent_change_sets; CREATE TABLE attribute_changes(change_id"
    " INTEGER, position INTEGER, point_id INTEGER, tag TEXT, attribute TEXT, before TEXT, after TEXT,"
    " PRIMARY KEY(change_id, position)) WITHOUT ROWID;",
    "DROP TABLE point_changes; CREATE TABLE attribute_changes(change_id bigint, position integer,"
    " point_id bigint, tag text, attribute text, before text, after text, PRIMARY KEY(change_id, position));"
    " GRANT SELECT ON attribute_changes TO PUBLIC; DELETE FROM change_sets;",
    "INSERT INTO change_sets VALUES(1, 1700000000000, 'vqadmin', 'vqarchive', 'ops', 'import', ''),"
    " (2, 1700000060000, 'alice', 'pb', 'ops', 'edit', ''); INSERT INTO attribute_changes VALUES(1, 0, 1,"
    " 'FIC-1', 'Descriptor', '', 'feed'), (1, 1, 1, 'FIC-1', 'Span', '', '100'), (1, 2, 2, 'FIC-2', 'Span',"
    " '', '50'), (1, 3, 1, 'FIC-1', 'CompDev', '', '1'), (2, 0, 2, 'FIC-2', 'Span', '50', '60');"
    " UPDATE server_info SET value = '4' WHERE key = 'schema'"};

// Opening such an archive gathers a point's changes in a change set into one row, keeping every
// change set as it was (and on PostgreSQL the grants of the old table); long and non-Latin texts
// read back exactly; on SQLite, a packing damaged beneath the server is reported as such rather
// than read as other values.
TEST_P(ChangeHistoryTest, TheFirstLayoutIsGatheredOnOpenReadBackExactlyAndDamageIsReported) {
    const bool sqlite = GetParam() == StorageBackend::Sqlite;
    add(u"FIC-1"_s, {});
    add(u"FIC-2"_s, {});
    executeSql(QString::fromLatin1(kRowsPerAttributeChange[sqlite ? 0 : 1]) +
               QString::fromLatin1(kRowsPerAttributeChange[2]));
    EXPECT_EQ(shown(history(as(u"vqadmin"_s))),
              "edit alice: FIC-2{Span=50>60} | import vqadmin: FIC-1{Descriptor=>feed Span=>100 CompDev=>1} "
              "FIC-2{Span=>50}");
    const QString long_ = QString(100, u'\u00e9') + u"\u6e29\u5ea6"_s;
    edit(m_admin, u"FIC-1"_s, namedValues({{"Descriptor", long_}}));
    EXPECT_EQ(history(m_admin).front().points[0].attributes[0].after, long_);
    if (!sqlite) {
        EXPECT_NO_THROW(
            executeSql(u"SET ROLE NONE; CREATE TEMP TABLE g AS SELECT 1 FROM information_schema."
                       u"role_table_grants WHERE table_name = 'point_changes' AND grantee = 'PUBLIC';"
                       u" DO $$ BEGIN IF (SELECT count(*) FROM g) <> 1 THEN RAISE 'no grant'; END IF; "
                       u"END $$"_s));
        return;
    }
    for (const char* damage : {"UPDATE point_changes SET changes = X'05' WHERE change_id = 2",
                               "UPDATE recent_change_sets SET changes = changes || X'00'"}) {
        executeSql(QString::fromLatin1(damage));
        const Error error = raised([&] { history(m_admin); });
        EXPECT_TRUE(error.description().contains(u"change set 2 is damaged"_s) ||
                    error.description().contains(u"change set 3 is damaged"_s))
            << error.description().toStdString();
    }
}

// Readers see only the points they may read now, by the read right of the point's access string;
// a change set of nothing else they may read is left out. Filters and pages select on the storage.
TEST_P(ChangeHistoryTest, ReadersSeeOnlyWhatTheyMayReadThroughEveryFilter) {
    add(u"FIC-1"_s, namedValues({{"PtGroup", "operators"}, {"PtAccess", "o:rw g:r w:"}}));  // set 1
    add(u"FIC-2"_s, namedValues({{"PtAccess", "o:rw g:rw w:rw"}}));                         // set 2
    EXPECT_EQ(import("Tag,Descriptor\nFIC-1,both\nFIC-2,both\n"), "0 refused");             // set 3
    edit(as(u"bob"_s), u"FIC-2"_s, namedValues({{"Descriptor", "by bob"}}));                // set 4
    const QDateTime now = QDateTime::currentDateTimeUtc();
    struct Row {
        const char* reader;
        std::function<void(SdkHistoryFilter&)> select;
        std::string sets;  // "N:TAG,TAG ..." numbered from the first change set of this test
    };
    const qint64 first = history(m_admin).back().id;
    auto id = [&](int n) { return first + n - 1; };
    const Row rows[] = {
        {"vqadmin", [](SdkHistoryFilter&) {}, "4:FIC-2 3:FIC-1,FIC-2 2:FIC-2 1:FIC-1"},
        {"alice", [](SdkHistoryFilter&) {}, "4:FIC-2 3:FIC-1,FIC-2 2:FIC-2 1:FIC-1"},
        {"bob", [](SdkHistoryFilter&) {}, "4:FIC-2 3:FIC-2 2:FIC-2"},
        {"bob", [](SdkHistoryFilter& f) { f.tag = u"fic-1"_s; }, ""},
        {"alice", [](SdkHistoryFilter& f) { f.tag = u"fic-1"_s; }, "3:FIC-1,FIC-2 1:FIC-1"},
        {"alice", [](SdkHistoryFilter& f) { f.user = u"BOB"_s; }, "4:FIC-2"},
        {"alice", [&](SdkHistoryFilter& f) { f.changeId = id(2); }, "2:FIC-2"},
        {"vqadmin", [](SdkHistoryFilter& f) { f.limit = 2; }, "4:FIC-2 3:FIC-1,FIC-2"},
        {"vqadmin", [&](SdkHistoryFilter& f) { f.limit = 2, f.beforeId = id(3); }, "2:FIC-2 1:FIC-1"},
        {"vqadmin",
         [&](SdkHistoryFilter& f) { f.since = now.addSecs(-60), f.until = now.addSecs(60), f.limit = 1; },
         "4:FIC-2"},
        {"vqadmin", [&](SdkHistoryFilter& f) { f.until = now.addSecs(-60); }, ""},
        {"vqadmin", [&](SdkHistoryFilter& f) { f.since = now.addSecs(60); }, ""},
    };
    for (const Row& row : rows) {
        SdkHistoryFilter filter;
        row.select(filter);
        QStringList sets;
        for (const SdkChangeSet& set : history(as(QString::fromLatin1(row.reader)), filter)) {
            QStringList points;
            for (const SdkPointChange& point : set.points) points << point.tag;
            sets << QString::number(set.id - first + 1) + u':' + points.join(u',');
        }
        EXPECT_EQ(sets.join(u' ').toStdString(), row.sets) << row.reader << " row " << (&row - rows);
    }
}

// A revert writes the values before a change set back as a new change set, point by point; a
// point changed since is left alone, naming who changed it and when, unless forced; points it
// may not write, or that the change set made, are refused while the others still go back.
TEST_P(ChangeHistoryTest, RevertPutsValuesBackRefusingStalePointsUnlessForced) {
    add(u"FIC-1"_s, namedValues({{"Descriptor", "feed"}, {"Span", 200}}));
    add(u"FIC-2"_s, namedValues({{"Descriptor", "drain"}, {"PtAccess", "o:rw g:r w:r"}}));
    const qint64 created = newestId();
    EXPECT_EQ(import("Tag,Descriptor,Span\nFIC-1,feed flow,250\nFIC-2,drain flow,\n"), "0 refused");
    const qint64 imported = newestId();
    auto history = m_admin->changeHistory();

    EXPECT_EQ(revertShown(as(u"alice"_s)->changeHistory()->revert(imported, false)),
              "FIC-1 refused, FIC-2 refused");  // alice may not write them (o:rw, no group)
    EXPECT_EQ(newestId(), imported);
    edit(as(u"vqadmin"_s), u"FIC-1"_s, namedValues({{"EngUnits", "t/h"}}));
    const std::vector<SdkRevertResult> stale = history->revert(imported, false);
    EXPECT_EQ(revertShown(stale), "FIC-1 changed-since, FIC-2 restored");
    EXPECT_TRUE(stale[0].reason.contains(u"vqadmin"_s) &&
                stale[0].reason.contains(QString::number(imported + 1)))
        << stale[0].reason.toStdString();
    const std::vector<SdkChangeSet> reverted{history->changeSets(SdkHistoryFilter()).front()};
    EXPECT_EQ(shown(reverted), "revert vqadmin: FIC-2{Descriptor=drain flow>drain}");
    EXPECT_EQ(reverted.front().note, u"reverts change set %1"_s.arg(imported));

    EXPECT_EQ(revertShown(history->revert(imported, true)), "FIC-1 restored, FIC-2 restored");
    EXPECT_EQ(pointValues(stored(u"FIC-1"_s), {"Descriptor", "Span", "EngUnits"}),
              "Descriptor=feed Span=200 EngUnits=t/h");
    const std::vector<SdkRevertResult> creation = history->revert(created, true);
    EXPECT_EQ(revertShown(creation), "FIC-2 refused");
    EXPECT_TRUE(creation[0].reason.contains(u"created this point"_s)) << creation[0].reason.toStdString();

    // A change made while no history was kept is found by what is stored now.
    const qint64 last = newestId();
    m_admin->setRecordsHistory(false);
    edit(m_admin, u"FIC-1"_s, namedValues({{"Span", 300}}));
    m_admin->setRecordsHistory(true);
    const std::vector<SdkRevertResult> unrecorded = history->revert(last, false);
    EXPECT_EQ(revertShown(unrecorded), "FIC-1 changed-since");
    EXPECT_TRUE(unrecorded[0].reason.contains(u"no history was kept"_s))
        << unrecorded[0].reason.toStdString();
    EXPECT_EQ(raised([&] { history->revert(last + 100, false); }).number(), sdkerr::AttributesRefused);
}

// Pruning removes the change sets before a time and says how many; only vqadmin members may.
TEST_P(ChangeHistoryTest, PruningRemovesOlderChangeSetsForAdministratorsOnly) {
    add(u"FIC-1"_s, namedValues({{"Descriptor", "feed"}}));
    edit(m_admin, u"FIC-1"_s, namedValues({{"Descriptor", "feed flow"}}));
    updateChangeSets(u"UPDATE change_sets SET time = time - 86400000 WHERE change_id = %1"_s.arg(
        history(m_admin).back().id));
    const QDateTime hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
    const Error refused = raised([&] { as(u"bob"_s)->pruneHistory(hourAgo); });
    EXPECT_EQ(refused.number(), sdkerr::AttributesRefused);
    EXPECT_TRUE(refused.description().contains(u"\"bob\" is not one"_s))
        << refused.description().toStdString();
    EXPECT_EQ(as(u"vqadmin"_s)->pruneHistory(hourAgo), 1);
    EXPECT_EQ(shown(history(m_admin), kEdited), "edit vqadmin: FIC-1{Descriptor=feed>feed flow}");
    EXPECT_EQ(m_admin->pruneHistory(hourAgo.addSecs(7200)), 1);
    EXPECT_TRUE(history(m_admin).empty());
}

// A copy carries the history under its ids, to the same engine and to the other one, and its
// digest covers the history: a copy that lost a change set would not pass for its source.
TEST_P(ChangeHistoryTest, ACopyCarriesTheHistoryAndItsDigestCoversIt) {
    add(u"FIC-1"_s, namedValues({{"Descriptor", "feed"}, {"Span", 200}}));
    edit(m_admin, u"FIC-1"_s, namedValues({{"Descriptor", "it's \"feed\", {1,2}\\"}}));
    m_admin->setRecordsHistory(false);
    auto shownWithIds = [&](const QString& location) {
        auto server = ArchiveServer::open(u"plant"_s, location);
        server->Open(u"vqadmin"_s, QString());
        std::string ids;
        for (const SdkChangeSet& set : history(server)) ids += std::to_string(set.id) + " ";
        return ids + shown(history(server)) + (server->recordsHistory() ? " on" : " off");
    };
    const std::string original = shownWithIds(archivePath());
    const ArchiveDigest source = ArchiveDigest::of(*ArchiveStorageFactory::open(archivePath()));
    EXPECT_EQ(source.changeSets, 2);
    for (const QString& copy : {otherLocation(u"copy"_s), filePath(u"file-copy.vqa"_s)}) {
        EXPECT_TRUE(ArchiveCopy::copy(archivePath(), copy) == source);
        EXPECT_EQ(shownWithIds(copy), original);
    }
    updateChangeSets(u"UPDATE change_sets SET os_user = 'x' WHERE change_id = 1"_s);
    EXPECT_FALSE(ArchiveDigest::of(*ArchiveStorageFactory::open(archivePath())) == source);
}

}  // namespace
