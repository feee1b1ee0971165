// Saving a thousand edited points with history the way the point table does (each point's
// filled and edited PropSheetEntries saved inside one write batch) against importing the same
// changes as CSV text, as `vqarchive import` does; on SQLite with a goal, on PostgreSQL for the
// record. The PostgreSQL server is VQ_BENCH_POSTGRES_URI, or a throwaway cluster started with the
// tests' cluster script.
#include "BenchRatios.h"
#include "PostgresBenchServer.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/data/PointCsv.h"
#include "archive/postgres/PgConnection.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "archive/storage/ArchiveStorage.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkPoints.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTextStream>

#include <map>

namespace {

using namespace vq;

constexpr int kPoints = 1'000;

std::shared_ptr<ArchiveServer> seeded(const QString& location) {
    auto server = ArchiveServer::create(location, QStringLiteral("bulk"), QStringLiteral("VQ3"),
                                        QStringLiteral("VQ 3.4.1"));
    server->Open(QStringLiteral("vqadmin"), QString());
    server->setProgramName(QStringLiteral("vqbench"));
    ArchiveSeeder::seed(*server, 2 * kPoints, 1);
    return server;
}

// The first thousand points of the class "classic", whose attributes every edit here has.
QStringList classicTags(ArchiveServer& server) {
    const qint64 classic = server.classByName(QStringLiteral("classic"))->id;
    QStringList tags;
    for (const ArchivePointHeader& header : server.storage().pointHeaders())
        if (header.classId == classic && tags.size() < kPoints) tags << header.tag;
    return tags;
}

QTemporaryDir& benchDir() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vq-bulk-bench-XXXXXX"));
    return dir;
}

// Two archives alike, one saved through the batch and one imported into, each with its round of
// edits so that every write changes what is stored.
struct BulkArchives {
    std::shared_ptr<ArchiveServer> saved;
    std::shared_ptr<ArchiveServer> imported;
    QStringList tags;
    std::map<const ArchiveServer*, int> rounds;

    BulkArchives(const QString& savedLocation, const QString& importedLocation)
        : saved(seeded(savedLocation)), imported(seeded(importedLocation)), tags(classicTags(*saved)) {
        // The property sheet's save hands its point to the server library.
        ArchiveApplication::install(benchDir().filePath(QStringLiteral("servers.json")));
    }
};

QString unitsOf(int round) {
    return QStringLiteral("unit %1").arg(round);
}
QString descriptorOf(const QString& tag, int round) {
    return QStringLiteral("%1 in bulk round %2").arg(tag).arg(round);
}

// The point table's save: every point read and edited beforehand, then saved in one batch.
void bulkSave(benchmark::State& state, BulkArchives& archives) {
    ArchiveServer& server = *archives.saved;
    int& round = archives.rounds[&server];
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        std::vector<std::unique_ptr<PropSheetEntries>> sheets;
        for (const QString& tag : archives.tags) {
            sheets.push_back(std::make_unique<PropSheetEntries>());
            sheets.back()->AddAttributesForPoint(server.Points()->Item(tag));
            sheets.back()->SetValue(QStringLiteral("EngUnits"), Variant(unitsOf(round)));
            sheets.back()->SetValue(QStringLiteral("Descriptor"), Variant(descriptorOf(tag, round)));
        }
        state.ResumeTiming();
        int saved = 0;
        const SdkWriteBatchPtr batch =
            server.beginWriteBatch(QStringLiteral("bulk"), QStringLiteral("bench"));
        for (const auto& sheet : sheets) saved += sheet->Save().saved() ? 1 : 0;
        const qint64 changeSet = batch->commit();
        state.PauseTiming();
        sheets.clear();
        if (saved != kPoints || changeSet == 0) state.SkipWithError("not every point was saved with history");
        state.ResumeTiming();
    }
}

// `vqarchive import` of the same changes.
void importChanges(benchmark::State& state, BulkArchives& archives) {
    ArchiveServer& server = *archives.imported;
    int& round = archives.rounds[&server];
    for (auto _ : state) {
        state.PauseTiming();
        ++round;
        QString csv = QStringLiteral("Tag,EngUnits,Descriptor\n");
        for (const QString& tag : archives.tags)
            csv += tag + u',' + unitsOf(round) + u',' + descriptorOf(tag, round) + u'\n';
        QTextStream in(&csv);
        state.ResumeTiming();
        const PointCsv::ImportReport report = PointCsv::importPoints(server, in);
        if (report.updated != kPoints) state.SkipWithError("not every row was imported");
    }
}

BulkArchives& sqliteArchives() {
    static BulkArchives archives(benchDir().filePath(QStringLiteral("saved.vqa")),
                                 benchDir().filePath(QStringLiteral("imported.vqa")));
    return archives;
}

void BM_BulkSave_1000Points(benchmark::State& state) {
    bulkSave(state, sqliteArchives());
}
void BM_Import_1000Points(benchmark::State& state) {
    importChanges(state, sqliteArchives());
}
constexpr int kRepetitions = 9;
BENCHMARK(BM_BulkSave_1000Points)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kRepetitions);
BENCHMARK(BM_Import_1000Points)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(kRepetitions);

// Two databases on a PostgreSQL server, dropped at the end with the cluster started for them.
struct PostgresBulkArchives {
    std::unique_ptr<bench::PostgresBenchServer> postgres;
    std::unique_ptr<BulkArchives> archives;
    QString failure;

    PostgresBulkArchives() {
        try {
            postgres = std::make_unique<bench::PostgresBenchServer>(QStringLiteral("bulkbench"));
            archives = std::make_unique<BulkArchives>(newDatabase(QStringLiteral("saved")),
                                                      newDatabase(QStringLiteral("imported")));
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
    }
    ~PostgresBulkArchives() { archives.reset(); }

    QString newDatabase(const QString& name) {
        return postgres->createDatabase(
            QStringLiteral("vq_bulk_%1_%2").arg(name).arg(QCoreApplication::applicationPid()));
    }
};

PostgresBulkArchives& postgresArchives() {
    static PostgresBulkArchives* archives = [] {
        auto* made = new PostgresBulkArchives;
        bench::addCleanup([made] { delete made; });
        return made;
    }();
    return *archives;
}

void BM_BulkSave_1000Points_Postgres(benchmark::State& state) {
    PostgresBulkArchives& pg = postgresArchives();
    if (!pg.archives) return state.SkipWithError(pg.failure.toStdString().c_str());
    bulkSave(state, *pg.archives);
}
void BM_Import_1000Points_Postgres(benchmark::State& state) {
    PostgresBulkArchives& pg = postgresArchives();
    if (!pg.archives) return state.SkipWithError(pg.failure.toStdString().c_str());
    importChanges(state, *pg.archives);
}
BENCHMARK(BM_BulkSave_1000Points_Postgres)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_Import_1000Points_Postgres)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(kRepetitions);

const bool registered = [] {
    bench::addRatioGoal({"BM_BulkSave_1000Points/iterations:1/repeats:9",
                         "BM_Import_1000Points/iterations:1/repeats:9", 1.3, bench::Clock::Cpu});
    // The server's share of the work is not on this thread's clock: real time on both sides.
    bench::addRatioGoal({"BM_BulkSave_1000Points_Postgres/iterations:1/repeats:9",
                         "BM_Import_1000Points_Postgres/iterations:1/repeats:9", 0, bench::Clock::Real});
    return true;
}();

}  // namespace
