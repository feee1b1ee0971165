// The write batch on both storages: each point stands or falls on its own, the kept ones make one
// change set per commit, and what the batch did not commit is not stored.
#include "ArchiveTestSupport.h"

#include "sdk/SdkChangeHistory.h"
#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

class WriteBatchTest : public BackendTest {};
VQ_ON_BOTH_BACKENDS(WriteBatchTest);

// Of six points, one is refused (zero span), one was changed by another connection since it was
// read, and one fails after its write was recorded (a planted trigger deletes it, so reading it
// back fails): the change set holds the other three, and its revert puts them back. The next
// commit is a change set of its own; a dropped part, with a point created in it, is not stored.
TEST_P(WriteBatchTest, KeepsEachPointOnItsOwnAndStoresWhatItCommitsAsOneChangeSet) {
    createArchive();
    const auto admin = logOn();
    const auto tag = [](size_t n) { return u"FIC-"_s + QString::number(n + 1); };
    for (size_t n = 0; n < 6; ++n)
        admin->Points()->Add(tag(n), u"classic"_s, pointtype::Float32, namedValues({{"EngUnits", "kg"}}));
    std::vector<SdkPointAttributesPtr> sets;
    const auto readAll = [&] {
        sets.clear();
        for (size_t n = 0; n < 6; ++n) sets.push_back(admin->Points()->Item(tag(n))->PointAttributes());
    };
    // The units written to each point, with one more edit for some; the error number of each write.
    const auto write = [&](const char* units, std::map<size_t, SdkNamedValue> extra = {}) {
        std::vector<int32_t> errors;
        for (size_t n = 0; n < sets.size(); ++n) {
            SdkNamedValues edits = namedValues({{"EngUnits", units}}), failed;
            if (extra.contains(n)) edits.Add(extra.at(n).Name(), extra.at(n).Value());
            errors.push_back(errorNumberOf([&] { sets[n]->SetAttributes(edits, failed); }));
        }
        return errors;
    };
    const auto stored = [&] {
        QStringList units;
        for (size_t n = 0; n < 6; ++n)
            units << reopen()
                         ->Points()
                         ->Item(tag(n))
                         ->PointAttributes()
                         ->Item(u"EngUnits"_s)
                         ->Value()
                         .toString();
        return units.join(u' ').toStdString();
    };
    const auto newest = [&] {
        const SdkChangeSet set = admin->changeHistory()->changeSets({}).front();
        QString shown = QString::number(set.id) + u' ' + set.kind;
        for (const SdkPointChange& point : set.points) shown += u' ' + point.tag;
        return shown.toStdString();
    };
    executeSql(
        backend() == StorageBackend::Sqlite
            ? u"CREATE TRIGGER gone AFTER UPDATE ON points WHEN NEW.\"Span\" = 77 BEGIN DELETE"
              u" FROM points WHERE point_id = NEW.point_id; END"_s
            : u"CREATE FUNCTION gone() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN DELETE FROM points WHERE"
              u" point_id = NEW.point_id; RETURN NULL; END$$; CREATE TRIGGER gone AFTER UPDATE ON points FOR"
              u" EACH ROW WHEN (NEW.\"Span\" = 77) EXECUTE FUNCTION gone()"_s);
    readAll();
    sets[3]->LoadAll();
    SdkNamedValues failed;
    logOn()->Points()->Item(tag(3))->PointAttributes()->SetAttributes(namedValues({{"Span", 9}}), failed);

    auto batch = admin->beginWriteBatch(u"bulk"_s, u"units"_s);
    EXPECT_EQ(write("t/h", {{2, {u"Span"_s, 0}}, {4, {u"Span"_s, 77}}}),
              (std::vector<int32_t>{0, 0, sdkerr::AttributesRefused, sdkerr::PointChanged,
                                    sdkerr::PointUnknown, 0}));
    EXPECT_THROW(admin->beginWriteBatch(u"bulk"_s, {}), Error);
    const qint64 first = batch->commit();
    EXPECT_EQ(newest(), std::to_string(first) + " bulk FIC-1 FIC-2 FIC-6");
    EXPECT_EQ(stored(), "t/h t/h kg kg kg t/h");
    EXPECT_EQ(admin->changeHistory()->revert(first, false).size(), 3u);
    EXPECT_EQ(stored(), "kg kg kg kg kg kg");

    readAll();
    write("bar");
    EXPECT_EQ(newest(), std::to_string(batch->commit()) + " bulk FIC-1 FIC-2 FIC-3 FIC-4 FIC-5 FIC-6");
    admin->Points()->Add(u"FIC-7"_s, u"classic"_s, pointtype::Float32, {});
    readAll();
    write("psi");
    batch.reset();
    EXPECT_EQ(stored(), "bar bar bar bar bar bar");
    EXPECT_FALSE(reopen()->findPoint(u"FIC-7"_s));
}

}  // namespace
