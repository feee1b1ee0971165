// Archive speed: seeding rate, and loading one point's attributes against a plain SQLite lookup.
#include "BenchRatios.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <memory>

namespace {

using namespace vq;

constexpr int64_t kSeedCount = 1'000'000;
constexpr int64_t kLookupArchivePoints = 100'000;

QTemporaryDir& benchDir() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vq-bench-XXXXXX"));
    return dir;
}

std::shared_ptr<ArchiveServer> newServer(const QString& file) {
    auto server = ArchiveServer::create(benchDir().filePath(file), QStringLiteral("bench"),
                                        QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"));
    server->Open(QStringLiteral("vqadmin"), QString());
    return server;
}

void BM_SeedMillionPoints(benchmark::State& state) {
    int run = 0;
    for (auto _ : state) {
        auto server = newServer(QStringLiteral("seed%1.vqa").arg(run++));
        const auto result = ArchiveSeeder::seed(*server, kSeedCount, 2);
        benchmark::DoNotOptimize(result.points);
    }
    state.counters["points_per_s"] =
        benchmark::Counter(double(kSeedCount) * double(state.iterations()), benchmark::Counter::kIsRate);
}
// Once: a million points take a while, and the rate needs no median.
BENCHMARK(BM_SeedMillionPoints)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1)->UseRealTime();

struct LookupFixture {
    std::shared_ptr<ArchiveServer> server;
    std::vector<QString> tags;
    LookupFixture() {
        server = newServer(QStringLiteral("lookup.vqa"));
        ArchiveSeeder::seed(*server, kLookupArchivePoints, 1);
        auto query = SqliteArchiveStorage::databaseOf(server->storage())
                         .statement("SELECT \"Tag\" FROM points WHERE class_id = 2 LIMIT 1000");
        while (query.next()) tags.push_back(query.text(0));
    }
};

LookupFixture& lookup() {
    static LookupFixture fixture;
    return fixture;
}

// Through the server library: find the point by tag, load every attribute, read them as a set.
void BM_LoadPointAttributes_Archive(benchmark::State& state) {
    LookupFixture& f = lookup();
    size_t i = 0;
    for (auto _ : state) {
        const SdkPointPtr point = f.server->Points()->Item(f.tags[i++ % f.tags.size()]);
        auto attributes = point->PointAttributes();
        attributes->LoadAll();
        benchmark::DoNotOptimize(attributes->NamedValues()->Count());
    }
}
BENCHMARK(BM_LoadPointAttributes_Archive);

// The same by hand: one prepared lookup by tag, every column copied out as Qt values.
void BM_LoadPointAttributes_PlainSqlite(benchmark::State& state) {
    LookupFixture& f = lookup();
    sqlite3* db = nullptr;
    sqlite3_open_v2(f.server->path().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM points WHERE tag_key = ?", -1, &stmt, nullptr);
    std::vector<std::pair<QString, QVariant>> row;
    size_t i = 0;
    for (auto _ : state) {
        const QByteArray key = f.tags[i++ % f.tags.size()].toLower().toUtf8();
        sqlite3_bind_text(stmt, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        row.clear();
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            const int columns = sqlite3_column_count(stmt);
            for (int c = 0; c < columns; ++c) {
                QVariant value;
                switch (sqlite3_column_type(stmt, c)) {
                    case SQLITE_INTEGER:
                        value = sqlite3_column_int64(stmt, c);
                        break;
                    case SQLITE_FLOAT:
                        value = sqlite3_column_double(stmt, c);
                        break;
                    case SQLITE_TEXT:
                        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                                  sqlite3_column_bytes(stmt, c));
                        break;
                    default:
                        break;
                }
                row.emplace_back(QString::fromUtf8(sqlite3_column_name(stmt, c)), value);
            }
        }
        sqlite3_reset(stmt);
        benchmark::DoNotOptimize(row.size());
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
BENCHMARK(BM_LoadPointAttributes_PlainSqlite);

const bool registered = [] {
    bench::addRatioGoal(
        {"BM_LoadPointAttributes_Archive", "BM_LoadPointAttributes_PlainSqlite", 3.0, bench::Clock::Cpu});
    return true;
}();

}  // namespace
