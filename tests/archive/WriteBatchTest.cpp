// The write batch on both storages: each point of a batch stands or falls on its own, the kept
// ones make one change set that a revert undoes, and a batch dropped or failing at its commit
// stores nothing of its part.
#include "ArchiveTestSupport.h"

#include "sdk/SdkChangeHistory.h"
#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

QString errorName(int32_t number) {
    switch (number) {
        case sdkerr::AttributesRefused:
            return u"AttributesRefused"_s;
        case sdkerr::PointChanged:
            return u"PointChanged"_s;
        case sdkerr::PointUnknown:
            return u"PointUnknown"_s;
        default:
            return QString::number(number);
    }
}

// Six points FIC-1 ... FIC-6 in kilograms, written by vqadmin as the program "batchtest".
class WriteBatchTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        createArchive();
        m_admin = logOn();
        m_admin->setProgramName(u"batchtest"_s);
        for (int i = 1; i <= 6; ++i)
            m_admin->Points()->Add(tagOf(i), u"classic"_s, pointtype::Float32,
                                   namedValues({{"EngUnits", "kg"}}));
    }

    static QString tagOf(int i) { return u"FIC-"_s + QString::number(i); }
    // The attribute sets of all six points, read (so a later change by another is noticed).
    std::vector<SdkPointAttributesPtr> readAll() {
        std::vector<SdkPointAttributesPtr> sets;
        for (int i = 1; i <= 6; ++i) {
            sets.push_back(m_admin->Points()->Item(tagOf(i))->PointAttributes());
            sets.back()->LoadAll();
        }
        return sets;
    }
    // Writes `edits` to each point, "TAG ok" or "TAG <error name>" each.
    static std::string writeEach(const std::vector<SdkPointAttributesPtr>& sets,
                                 const std::vector<SdkNamedValues>& edits) {
        QStringList outcomes;
        for (size_t i = 0; i < sets.size(); ++i) {
            const QString tag = tagOf(int(i) + 1);
            try {
                SdkNamedValues failed;
                sets[i]->SetAttributes(edits[i], failed);
                outcomes << tag + u" ok"_s;
            } catch (const Error& error) {
                outcomes << tag + u' ' + errorName(error.number());
            }
        }
        return outcomes.join(u", "_s).toStdString();
    }
    static std::vector<SdkNamedValues> unitsForAll(const char* units) {
        return std::vector<SdkNamedValues>(6, namedValues({{"EngUnits", units}}));
    }
    // "TAG=units ..." of every point, read through a new connection.
    std::string storedUnits() const {
        auto server = logOn();
        QStringList parts;
        for (int i = 1; i <= 6; ++i)
            parts << tagOf(i) + u'=' +
                         server->Points()
                             ->Item(tagOf(i))
                             ->PointAttributes()
                             ->Item(u"EngUnits"_s)
                             ->Value()
                             .toString();
        return parts.join(u' ').toStdString();
    }
    // The change sets newer than the six creations: "id kind/note: TAG{Attr=before>after} ...".
    std::string batchHistory() const {
        QStringList parts;
        for (const SdkChangeSet& set : logOn()->changeHistory()->changeSets({})) {
            if (set.kind == u"create") continue;
            QStringList points;
            for (const SdkPointChange& point : set.points)
                for (const SdkAttributeChange& change : point.attributes)
                    points << point.tag + u'{' + change.attribute + u'=' + change.before + u'>' +
                                  change.after + u'}';
            parts << QString::number(set.id) + u' ' + set.kind + u'/' + set.note + u": "_s +
                         points.join(u' ');
        }
        return parts.join(u" | "_s).toStdString();
    }
    // Runs one statement of each engine's dialect on the archive.
    void executeSqlOf(const QString& sqlite, const QString& postgres) {
        executeSql(backend() == StorageBackend::Sqlite ? sqlite : postgres);
    }

    std::shared_ptr<ArchiveServer> m_admin;
};
VQ_ON_BOTH_BACKENDS(WriteBatchTest);

// One refused point (a zero span), one written by another connection since it was read, and one
// whose write fails after it was recorded (a planted trigger makes the point vanish, so reading it
// back fails): the other three are stored in one change set of the batch, and a revert of that
// change set puts them back.
TEST_P(WriteBatchTest, KeepsEachPointOnItsOwnInOneChangeSetThatRevertUndoes) {
    executeSqlOf(
        u"CREATE TRIGGER vanish AFTER UPDATE ON points WHEN NEW.\"Descriptor\" = 'vanish'"
        u" BEGIN DELETE FROM points WHERE point_id = NEW.point_id; END"_s,
        u"CREATE FUNCTION vanish() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN DELETE FROM points"
        u" WHERE point_id = NEW.point_id; RETURN NULL; END$$; CREATE TRIGGER vanish AFTER UPDATE ON"
        u" points FOR EACH ROW WHEN (NEW.\"Descriptor\" = 'vanish') EXECUTE FUNCTION vanish()"_s);
    const auto sets = readAll();
    auto other = logOn();
    SdkNamedValues failed;
    other->Points()
        ->Item(u"FIC-4"_s)
        ->PointAttributes()
        ->SetAttributes(namedValues({{"Descriptor", "theirs"}}), failed);
    auto edits = unitsForAll("t/h");
    edits[2].Add(u"Span"_s, Variant(0));
    edits[4].Add(u"Descriptor"_s, Variant(u"vanish"_s));

    const auto batch = m_admin->beginWriteBatch(u"bulk"_s, u"units"_s);
    ASSERT_TRUE(batch);
    EXPECT_EQ(
        writeEach(sets, edits),
        "FIC-1 ok, FIC-2 ok, FIC-3 AttributesRefused, FIC-4 PointChanged, FIC-5 PointUnknown, FIC-6 ok");
    const qint64 id = batch->commit();
    EXPECT_EQ(storedUnits(), "FIC-1=t/h FIC-2=t/h FIC-3=kg FIC-4=kg FIC-5=kg FIC-6=t/h");
    EXPECT_EQ(batchHistory(), std::to_string(id) +
                                  " bulk/units: FIC-1{EngUnits=kg>t/h} FIC-2{EngUnits=kg>t/h} "
                                  "FIC-6{EngUnits=kg>t/h} | " +
                                  std::to_string(id - 1) + " edit/: FIC-4{Descriptor=>theirs}");

    const auto reverted = m_admin->changeHistory()->revert(id, false);
    EXPECT_EQ(reverted.size(), 3u);
    EXPECT_EQ(storedUnits(), "FIC-1=kg FIC-2=kg FIC-3=kg FIC-4=kg FIC-5=kg FIC-6=kg");
}

// A commit stores its part with one change set and the batch goes on; a failing commit and a
// dropped batch store nothing of theirs; one batch at a time, and other servers write as ever.
TEST_P(WriteBatchTest, CommitsInPartsAndDropsWhatItDidNotCommit) {
    auto batch = m_admin->beginWriteBatch(u"bulk"_s, u"first"_s);
    writeEach(readAll(), unitsForAll("t/h"));
    EXPECT_THROW(m_admin->beginWriteBatch(u"bulk"_s, u"second"_s), Error);
    const qint64 first = batch->commit();
    EXPECT_EQ(batch->commit(), 0);  // nothing written since
    auto sets = readAll();
    sets.resize(2);
    writeEach(sets, unitsForAll("m3/h"));
    const qint64 second = batch->commit();
    EXPECT_GT(first, 0);
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(batchHistory(), std::to_string(second) +
                                  " bulk/first: FIC-1{EngUnits=t/h>m3/h} FIC-2{EngUnits=t/h>m3/h}"
                                  " | " +
                                  std::to_string(first) +
                                  " bulk/first: FIC-1{EngUnits=kg>t/h} "
                                  "FIC-2{EngUnits=kg>t/h} FIC-3{EngUnits=kg>t/h} FIC-4{EngUnits=kg>t/h} "
                                  "FIC-5{EngUnits=kg>t/h} FIC-6{EngUnits=kg>t/h}");

    // The change set of the commit cannot be stored: the commit raises, its points stay as they were.
    executeSqlOf(
        u"CREATE TRIGGER doomed BEFORE INSERT ON recent_change_sets BEGIN SELECT RAISE(ABORT, 'disk full'); END"_s,
        u"CREATE FUNCTION doomed() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RAISE 'disk full'; END$$;"
        u" CREATE TRIGGER doomed BEFORE INSERT ON change_sets FOR EACH ROW EXECUTE FUNCTION doomed()"_s);
    writeEach(readAll(), unitsForAll("bar"));
    EXPECT_THROW(batch->commit(), Error);
    EXPECT_EQ(storedUnits(), "FIC-1=m3/h FIC-2=m3/h FIC-3=t/h FIC-4=t/h FIC-5=t/h FIC-6=t/h");

    // Dropped: nothing stored; then a new batch may begin and another server writes on its own.
    writeEach(readAll(), unitsForAll("psi"));
    batch.reset();
    EXPECT_EQ(storedUnits(), "FIC-1=m3/h FIC-2=m3/h FIC-3=t/h FIC-4=t/h FIC-5=t/h FIC-6=t/h");
    EXPECT_TRUE(m_admin->beginWriteBatch(u"bulk"_s, u"third"_s));
}

}  // namespace
