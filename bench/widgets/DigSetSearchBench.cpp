// The digital set search on a server with 10,000 digital state sets: Reset (the server's sets
// read, listed, and the first screen painted) against the bare read of the same sets.
#include "BenchRatios.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "sdk/SdkDigitalStateSets.h"
#include "search/VQDigSetSearch.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>

namespace {

using namespace vq;

constexpr int kSets = 10'000;

struct ManySets {
    QTemporaryDir dir;
    std::shared_ptr<ArchiveServer> server;
    ManySets() {
        ArchiveApplication::install(dir.filePath(QStringLiteral("servers.json")));
        server = ArchiveServer::create(dir.filePath(QStringLiteral("sets.vqa")), QStringLiteral("sets"),
                                       QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"));
        server->Open(QStringLiteral("vqadmin"), QString());
        SqliteTransaction transaction(SqliteArchiveStorage::databaseOf(server->storage()));
        const QStringList states{QStringLiteral("OFF"), QStringLiteral("ON"), QStringLiteral("FAULT"),
                                 QStringLiteral("MAINT")};
        for (int i = 0; i < kSets; ++i)
            server->addDigitalSet(QStringLiteral("Set%1").arg(i, 5, 10, QLatin1Char('0')),
                                  states.mid(0, 2 + i % 3));
        transaction.commit();
    }
};

ManySets& manySets() {
    static ManySets sets;
    return sets;
}

void BM_DigSetSearch_Reset10kSets(benchmark::State& state) {
    ManySets& sets = manySets();
    VQDigSetSearch search;
    search.resize(720, 560);
    search.SetCurrentServer(sets.server);
    search.show();
    auto* list = search.findChild<QTreeView*>(QStringLiteral("lvDigSets"));
    for (auto _ : state) {
        search.Reset();
        list->viewport()->repaint();
    }
    state.counters["rows"] = list->model()->rowCount();
}
BENCHMARK(BM_DigSetSearch_Reset10kSets)->Unit(benchmark::kMillisecond);

void BM_DigSetSearch_ReadSetsOnly(benchmark::State& state) {
    ManySets& sets = manySets();
    for (auto _ : state) benchmark::DoNotOptimize(sets.server->DigitalStateSets()->All());
}
BENCHMARK(BM_DigSetSearch_ReadSetsOnly)->Unit(benchmark::kMillisecond);

const bool registered = [] {
    bench::addRatioGoal(
        {"BM_DigSetSearch_Reset10kSets", "BM_DigSetSearch_ReadSetsOnly", 1.25, bench::Clock::Cpu});
    return true;
}();

}  // namespace
