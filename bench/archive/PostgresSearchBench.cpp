// The point search on a million-point PostgreSQL archive against hand-written PostgreSQL queries
// of the same meaning: a prefix tag mask, every point into a point list, and an inner substring
// against its time budget; saving edits with the change history recorded against the same
// without it. The server is VQ_BENCH_POSTGRES_URI, or a throwaway cluster started
// with the tests' cluster script; the points are seeded through the storage's bulk load.
#include "BenchRatios.h"
#include "EditSets.h"
#include "PostgresBenchServer.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/postgres/PgConnection.h"
#include "archive/server/ArchiveServer.h"
#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"

#include <QCoreApplication>
#include <QDir>

#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

using namespace vq;

constexpr int64_t kPoints = 1'000'000;
constexpr int kClients = 8;
constexpr int kSavesPerClient = 250;
constexpr int kEditPoints = 2'000;

struct PostgresBenchArchive {
    std::unique_ptr<bench::PostgresBenchServer> postgres;
    QString database = QStringLiteral("vq_bench_%1").arg(QCoreApplication::applicationPid());
    QString uri;
    std::shared_ptr<ArchiveServer> server;
    std::unique_ptr<pg::Connection> direct;  // for the hand-written queries
    QString prefix;                          // a tag prefix of about a thousand points
    QString inner;                           // an inner piece of a tag, in few tags
    QStringList savedTags;                   // the points the saving clients edit, kSavesPerClient each
    QStringList classicTags;                 // points of the class "classic", for edit sets
    QString failure;

    PostgresBenchArchive() {
        try {
            postgres = std::make_unique<bench::PostgresBenchServer>(QStringLiteral("pgbench"));
            uri = postgres->createDatabase(database);
            server = ArchiveServer::create(uri, QStringLiteral("pgbench"), QStringLiteral("VQ3"),
                                           QStringLiteral("VQ 3.4.1"));
            server->Open(QStringLiteral("vqadmin"), QString());
            direct = std::make_unique<pg::Connection>(uri);
            load();
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
    }

    ~PostgresBenchArchive() {
        server.reset();
        direct.reset();
    }

    // A million seeded points with every attribute and two archived values each, loaded through
    // the storage's own bulk path, as `vqarchive seed` does.
    void load() {
        ArchiveSeeder::seed(*server, kPoints, 2);
        direct->execScript("VACUUM ANALYZE");
        prefix = pick(
            "SELECT substr(\"Tag\", 1, k), count(*) AS n FROM points, (VALUES (4), (5), (6), (7)) AS "
            "lengths(k)"
            " GROUP BY 1 ORDER BY abs(count(*) - 1000) LIMIT 1");
        // Four characters from inside tags, there in about a hundred of them.
        inner = pick(
            "SELECT substr(tag_key, 3, 4) AS piece, count(*) AS n FROM points GROUP BY 1"
            " ORDER BY abs(count(*) - 100), piece LIMIT 1");
        const pg::Rows tags = direct->exec("SELECT \"Tag\" FROM points ORDER BY point_id LIMIT $1",
                                           {pg::Param::integer(kClients * kSavesPerClient)});
        for (int i = 0; i < tags.count(); ++i) savedTags << tags.text(i, 0);
        const pg::Rows classic = direct->exec(
            "SELECT \"Tag\" FROM points WHERE class_id = (SELECT class_id FROM point_classes WHERE name ="
            " 'classic') ORDER BY point_id DESC LIMIT $1",
            {pg::Param::integer(kEditPoints)});
        for (int i = 0; i < classic.count(); ++i) classicTags << classic.text(i, 0);
    }

    QString pick(const QByteArray& sql) const {
        const pg::Rows rows = direct->exec(sql);
        return rows.count() > 0 ? rows.text(0, 0) : QString();
    }

    // The hand-written query's rows read as a search reads them.
    size_t handWritten(const QByteArray& sql, const pg::Params& params) const {
        const pg::Rows rows = direct->exec(sql, params);
        std::vector<std::pair<qint64, QString>> points;
        points.reserve(size_t(rows.count()));
        for (int i = 0; i < rows.count(); ++i) points.emplace_back(rows.integer(i, 0), rows.text(i, 1));
        return points.size();
    }
};

std::unique_ptr<PostgresBenchArchive>& made() {
    static std::unique_ptr<PostgresBenchArchive> a;
    return a;
}

// The archive, or null when there is no server to measure on (the benchmark then says why).
PostgresBenchArchive* archive(benchmark::State& state) {
    if (!made()) {
        made() = std::make_unique<PostgresBenchArchive>();
        bench::addCleanup([] { made().reset(); });
    }
    if (!made()->failure.isEmpty()) {
        state.SkipWithError(made()->failure.toStdString().c_str());
        return nullptr;
    }
    return made().get();
}

void BM_PgSearch_PrefixMask(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    const QString clause = QStringLiteral("VQPOINT.TAG LIKE '%1*'").arg(a->prefix);
    int count = 0;
    for (auto _ : state) count = a->server->GetPointsSQL(clause, SdkNamedValues(), nullptr)->Count();
    state.counters["points"] = count;
}
void BM_PgSearch_PrefixMask_HandWritten(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    const pg::Params params = {pg::Param::text(a->prefix.toCaseFolded() + u'%')};
    for (auto _ : state)
        benchmark::DoNotOptimize(a->handWritten(
            "SELECT point_id, \"Tag\" FROM points WHERE tag_key LIKE $1 ORDER BY tag_key", params));
}
BENCHMARK(BM_PgSearch_PrefixMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PgSearch_PrefixMask_HandWritten)->Unit(benchmark::kMillisecond);

void BM_PgSearch_SubstringMask(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    const QString clause = QStringLiteral("VQPOINT.TAG LIKE '*%1*'").arg(a->inner);
    int count = 0;
    try {
        for (auto _ : state) count = a->server->GetPointsSQL(clause, SdkNamedValues(), nullptr)->Count();
    } catch (const Error& error) {
        state.SkipWithError(error.what());
    }
    state.counters["points"] = count;
}
void BM_PgSearch_Budget_20ms(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}
BENCHMARK(BM_PgSearch_SubstringMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PgSearch_Budget_20ms)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PgSearch_AllPoints(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    int count = 0;
    for (auto _ : state)
        count =
            a->server->GetPointsSQL(QStringLiteral("VQPoint.Tag = '*'"), SdkNamedValues(), nullptr)->Count();
    state.counters["points"] = count;
}
void BM_PgSearch_AllPoints_HandWritten(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    for (auto _ : state)
        benchmark::DoNotOptimize(a->handWritten("SELECT point_id, \"Tag\" FROM points ORDER BY tag_key", {}));
}
BENCHMARK(BM_PgSearch_AllPoints)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PgSearch_AllPoints_HandWritten)->Unit(benchmark::kMillisecond)->Iterations(3);

// Eight engineers saving edits at once, each through a server object of their own and on points of
// their own; the counter is saves per second over all of them.
void BM_Pg_EightClientsSaving(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    std::vector<std::shared_ptr<ArchiveServer>> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.push_back(ArchiveServer::open(QStringLiteral("pgbench"), a->uri));
        clients.back()->Open(QStringLiteral("vqadmin"), QString());
    }
    std::atomic<int> failures{0};
    int round = 0;
    const auto save = [&](int client) {
        for (int k = 0; k < kSavesPerClient; ++k) {
            SdkNamedValues values, failed;
            values.Add(QStringLiteral("Descriptor"),
                       Variant(QStringLiteral("round %1 by %2").arg(round).arg(client)));
            try {
                const QString& tag = a->savedTags[client * kSavesPerClient + k];
                clients[client]->Points()->Item(tag)->PointAttributes()->SetAttributes(values, failed);
                if (failed.Count() > 0) ++failures;
            } catch (const Error&) {
                ++failures;
            }
        }
    };
    for (auto _ : state) {
        ++round;
        std::vector<std::thread> threads;
        for (int c = 0; c < kClients; ++c) threads.emplace_back(save, c);
        for (std::thread& thread : threads) thread.join();
    }
    state.counters["saves_per_s"] = benchmark::Counter(
        double(kClients) * kSavesPerClient * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["failed"] = failures.load();
}
BENCHMARK(BM_Pg_EightClientsSaving)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// A five-attribute edit set saved through the server, each round through the points in turn, with
// the archive's history recorded or switched off before the first.
void pgSaveEdits(benchmark::State& state, bool recording) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    static int64_t saved = 0;
    SdkNamedValues failed;
    ::sync();  // as the SQLite saves do: no other benchmark's writing inside these commits
    try {
        a->server->setRecordsHistory(recording);
        for (auto _ : state) {
            const QString& tag = a->classicTags[saved % a->classicTags.size()];
            a->server->Points()->Item(tag)->PointAttributes()->SetAttributes(
                bench::fiveAttributeEdits(saved / a->classicTags.size() + 1), failed);
            ++saved;
        }
    } catch (const Error& error) {
        state.SkipWithError(error.what());
    }
    if (failed.Count() > 0) state.SkipWithError("an edit was refused");
}
void BM_PgHistory_SaveEditSet_Recorded(benchmark::State& state) {
    pgSaveEdits(state, true);
}
void BM_PgHistory_SaveEditSet_Unrecorded(benchmark::State& state) {
    pgSaveEdits(state, false);
}
BENCHMARK(BM_PgHistory_SaveEditSet_Recorded)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PgHistory_SaveEditSet_Unrecorded)->Unit(benchmark::kMicrosecond)->UseRealTime();

const bool registered = [] {
    bench::addRatioGoal({"BM_PgSearch_PrefixMask", "BM_PgSearch_PrefixMask_HandWritten", 1.2});
    bench::addRatioGoal({"BM_PgSearch_SubstringMask", "BM_PgSearch_Budget_20ms/iterations:10", 1.0});
    bench::addRatioGoal(
        {"BM_PgSearch_AllPoints/iterations:3", "BM_PgSearch_AllPoints_HandWritten/iterations:3", 1.5});
    bench::addRatioGoal(
        {"BM_PgHistory_SaveEditSet_Recorded/real_time", "BM_PgHistory_SaveEditSet_Unrecorded/real_time", 0});
    return true;
}();

}  // namespace
