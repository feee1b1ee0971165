// The change history's cost on SQLite: saving an edit set and importing changed rows with history
// against the same with recording off, reading one point's thousand change sets and one user's
// first page on a million-point archive against their budgets, and the bytes each recorded
// attribute change adds to the file.
#include "BenchRatios.h"
#include "EditSets.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/data/PointCsv.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkChangeHistory.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>

namespace {

using namespace vq;

constexpr int64_t kEditPoints = 2'000;
constexpr int64_t kImportRows = 20'000;
constexpr int64_t kLargePoints = 1'000'000;
constexpr int kLargeChangeSets = 100'000;
constexpr int kBusyPointChangeSets = 1'000;
constexpr int kUsers = 20;
constexpr int kPageSize = 50;

QTemporaryDir& benchDir() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vq-history-bench-XXXXXX"));
    return dir;
}

std::shared_ptr<ArchiveServer> seeded(const QString& file, int64_t points, bool recording) {
    auto server = ArchiveServer::create(benchDir().filePath(file), QStringLiteral("bench"),
                                        QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"));
    server->Open(QStringLiteral("vqadmin"), QString());
    server->setProgramName(QStringLiteral("vqbench"));
    ArchiveSeeder::seed(*server, points, 1);
    server->setRecordsHistory(recording);
    return server;
}

// The tags of the points of the class "classic", whose attributes the edits set.
QStringList classicTags(ArchiveServer& server, qsizetype count) {
    const qint64 classic = server.classByName(QStringLiteral("classic"))->id;
    QStringList tags;
    for (const ArchivePointHeader& header : server.storage().pointHeaders())
        if (header.classId == classic && tags.size() < count) tags << header.tag;
    return tags;
}

// The file's pages in use, in bytes.
qint64 usedBytes(ArchiveServer& server) {
    SqliteDatabase& db = SqliteArchiveStorage::databaseOf(server.storage());
    auto pragma = [&](const char* name) {
        auto query = db.prepare(QByteArray("PRAGMA ") + name);
        return query.next() ? query.integer(0) : 0;
    };
    return (pragma("page_count") - pragma("freelist_count")) * pragma("page_size");
}

struct EditArchives {
    std::shared_ptr<ArchiveServer> recorded = seeded(QStringLiteral("edit-on.vqa"), kEditPoints, true);
    std::shared_ptr<ArchiveServer> unrecorded = seeded(QStringLiteral("edit-off.vqa"), kEditPoints, false);
    QStringList tags = classicTags(*recorded, kEditPoints);
};

EditArchives& editArchives() {
    static EditArchives archives;
    return archives;
}

// Writes counted per archive across repetitions, so that every write changes what is stored.
int64_t& writesTo(const ArchiveServer& server) {
    static std::map<const ArchiveServer*, int64_t> counts;
    return counts[&server];
}

// One edit set of five attributes saved, each round through every point in turn.
void saveEdits(benchmark::State& state, ArchiveServer& server) {
    const QStringList& tags = editArchives().tags;
    int64_t& n = writesTo(server);
    SdkNamedValues failed;
    // What other benchmarks' archives left unwritten would otherwise be written out inside these
    // saves' fsyncs.
    ::sync();
    for (auto _ : state) {
        const SdkPointPtr point = server.Points()->Item(tags[n % tags.size()]);
        point->PointAttributes()->SetAttributes(bench::fiveAttributeEdits(n / tags.size() + 1), failed);
        ++n;
    }
    if (failed.Count() > 0) state.SkipWithError("an edit was refused");
}

void BM_History_SaveEditSet_Recorded(benchmark::State& state) {
    saveEdits(state, *editArchives().recorded);
}
void BM_History_SaveEditSet_Unrecorded(benchmark::State& state) {
    saveEdits(state, *editArchives().unrecorded);
}
// The two medians differ by a tenth while each run varies by 6 to 8 per cent beside the other
// benchmarks: more repetitions than the default five, so that noise does not decide the ratio.
constexpr int kSaveRepetitions = 15;
BENCHMARK(BM_History_SaveEditSet_Recorded)->Unit(benchmark::kMicrosecond)->Repetitions(kSaveRepetitions);
BENCHMARK(BM_History_SaveEditSet_Unrecorded)->Unit(benchmark::kMicrosecond)->Repetitions(kSaveRepetitions);

// Twice the rows in points of every class, of which the import changes 20,000 of the class "classic".
struct ImportArchives {
    std::shared_ptr<ArchiveServer> recorded = seeded(QStringLiteral("import-on.vqa"), 2 * kImportRows, true);
    std::shared_ptr<ArchiveServer> unrecorded =
        seeded(QStringLiteral("import-off.vqa"), 2 * kImportRows, false);
    QStringList tags = classicTags(*recorded, kImportRows);
};

ImportArchives& importArchives() {
    static ImportArchives archives;
    return archives;
}

// Every point's descriptor and span changed by one import of 20,000 rows.
void importRows(benchmark::State& state, ArchiveServer& server) {
    const QStringList& tags = importArchives().tags;
    int64_t& round = writesTo(server);
    for (auto _ : state) {
        state.PauseTiming();
        QString csv = QStringLiteral("Tag,Descriptor,Span\n");
        ++round;
        for (const QString& tag : tags)
            csv += tag + QStringLiteral(",Imported in round %1,%2\n").arg(round).arg(100 + round % 2);
        QTextStream in(&csv);
        state.ResumeTiming();
        const PointCsv::ImportReport report = PointCsv::importPoints(server, in);
        if (report.updated != kImportRows) {
            const QString why =
                report.refused.empty()
                    ? QStringLiteral("%1 updates, %2 unchanged").arg(report.updated).arg(report.unchanged)
                    : report.refused.front().reason;
            state.SkipWithError(why.toStdString().c_str());
        }
    }
}

void BM_History_Import20000_Recorded(benchmark::State& state) {
    importRows(state, *importArchives().recorded);
}
void BM_History_Import20000_Unrecorded(benchmark::State& state) {
    importRows(state, *importArchives().unrecorded);
}
BENCHMARK(BM_History_Import20000_Recorded)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_History_Import20000_Unrecorded)->Unit(benchmark::kMillisecond)->Iterations(1);

// A million points and 100,000 change sets of three attributes each, by twenty engineers over a
// hundred days, written as the server records them; every hundredth is the busy point's.
struct LargeArchive {
    std::shared_ptr<ArchiveServer> server = seeded(QStringLiteral("large.vqa"), kLargePoints, true);
    std::shared_ptr<ArchiveServer> reader;
    QString busyTag;
    double bytesPerChange = 0;

    LargeArchive() {
        const std::vector<ArchivePointHeader> points = server->storage().pointHeaders();
        busyTag = points[points.size() / 2].tag;
        for (int u = 0; u < kUsers; ++u) server->addUser(user(u), QString(), {});
        const qint64 before = usedBytes(*server);
        std::mt19937 random(7);
        const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-100);
        const auto write = server->storage().beginWrite();
        for (int i = 0; i < kLargeChangeSets; ++i) {
            ArchiveChangeRecord record{0,
                                       start.addSecs(i * 86),
                                       user(i % kUsers),
                                       QStringLiteral("vqpointbuilder"),
                                       QStringLiteral("plant"),
                                       QStringLiteral("edit"),
                                       {},
                                       {}};
            const ArchivePointHeader& point =
                i % 100 == 0 ? points[points.size() / 2] : points[random() % points.size()];
            record.changes = {{point.id, point.tag, QStringLiteral("Descriptor"),
                               QStringLiteral("Feed flow to tank %1").arg(i),
                               QStringLiteral("Feed flow to tank %1").arg(i + 1)},
                              {point.id, point.tag, QStringLiteral("Span"), QString::number(100 + i % 7),
                               QString::number(150 + i % 7)},
                              {point.id, point.tag, QStringLiteral("EngUnits"), QStringLiteral("t/h"),
                               QStringLiteral("m3/h")}};
            server->storage().recordChangeSet(record);
        }
        write->commit();
        bytesPerChange = double(usedBytes(*server) - before) / (3.0 * kLargeChangeSets);
        std::printf("History of the million-point archive: %.1f bytes per recorded attribute change\n",
                    bytesPerChange);
        reader = ArchiveServer::open(QStringLiteral("bench"), server->path());
        reader->Open(user(3), QString());
    }
    static QString user(int n) { return QStringLiteral("eng%1").arg(n, 2, 10, QLatin1Char('0')); }
};

LargeArchive& largeArchive() {
    static LargeArchive archive;
    return archive;
}

void BM_History_PointThousandChangeSets(benchmark::State& state) {
    LargeArchive& a = largeArchive();
    SdkHistoryFilter filter;
    filter.tag = a.busyTag;
    size_t sets = 0;
    for (auto _ : state) sets = a.reader->changeHistory()->changeSets(filter).size();
    state.counters["change_sets"] = double(sets);
    if (sets != size_t(kBusyPointChangeSets))
        state.SkipWithError("not the busy point's thousand change sets");
}
BENCHMARK(BM_History_PointThousandChangeSets)->Unit(benchmark::kMillisecond);

void BM_History_UserFirstPage(benchmark::State& state) {
    LargeArchive& a = largeArchive();
    SdkHistoryFilter filter;
    filter.user = LargeArchive::user(11);
    filter.limit = kPageSize;
    size_t sets = 0;
    for (auto _ : state) sets = a.reader->changeHistory()->changeSets(filter).size();
    state.counters["change_sets"] = double(sets);
    state.counters["bytes_per_attribute_change"] = a.bytesPerChange;
    if (sets != size_t(kPageSize)) state.SkipWithError("not a full page");
}
BENCHMARK(BM_History_UserFirstPage)->Unit(benchmark::kMillisecond);

const bool registered = [] {
    bench::addRatioGoal(
        {"BM_History_SaveEditSet_Recorded/repeats:15", "BM_History_SaveEditSet_Unrecorded/repeats:15", 1.15,
         bench::Clock::Cpu});
    bench::addRatioGoal({"BM_History_Import20000_Recorded/iterations:1",
                         "BM_History_Import20000_Unrecorded/iterations:1", 1.25, bench::Clock::Cpu});
    bench::addRatioGoal({"BM_History_PointThousandChangeSets", "BM_Budget_10ms/iterations:20", 1.0,
                         bench::Clock::CpuToBudget, 10e-3});
    bench::addRatioGoal({"BM_History_UserFirstPage", "BM_Budget_50ms/iterations:5/real_time", 1.0,
                         bench::Clock::CpuToBudget, 50e-3});
    return true;
}();

}  // namespace
