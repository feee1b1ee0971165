// SdkPointList lookups by path on a million points, against a plain QHash of folded paths.
#include "BenchRatios.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointList.h"

#include <QHash>

namespace {

using namespace vq;

constexpr int kPoints = 1'000'000;

QString tagOf(int i) {
    return QStringLiteral("U%1-FIC-%2.PV").arg(100 + i % 900).arg(i / 900, 4, 10, QLatin1Char('0'));
}

struct ListFixture {
    // The points are only handles: the archive file is never opened by these lookups.
    std::shared_ptr<ArchiveServer> server =
        ArchiveServer::open(QStringLiteral("bench"), QStringLiteral("unused.vqa"));
    SdkPointList list;
    QHash<QString, int> plain;
    std::vector<QString> tags;
    std::vector<QString> paths;
    ListFixture() {
        list.Reserve(kPoints, kPoints * 14);
        plain.reserve(kPoints);
        for (int i = 0; i < kPoints; ++i) {
            const QString tag = tagOf(i);
            list.AddHandle(server, i + 1, tag);
            tags.push_back(tag);
            plain.insert(SdkPointList::Path(QStringLiteral("bench"), tag).toCaseFolded(), i);
        }
        for (int i = 0; i < 4096; ++i)
            paths.push_back(SdkPointList::Path(QStringLiteral("BENCH"), tagOf(i * 241 % kPoints).toLower()));
        list.Contains(paths.front());  // builds the path index outside the timed loop
    }
};

ListFixture& fixture() {
    static ListFixture f;
    return f;
}

void BM_PointListItemByPath(benchmark::State& state) {
    ListFixture& f = fixture();
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(f.list.Item(f.paths[i++ % f.paths.size()]));
    state.counters["bytes_per_point"] = double(f.list.MemoryUsage()) / kPoints;
}
BENCHMARK(BM_PointListItemByPath);

void BM_PointListItemByPath_PlainHash(benchmark::State& state) {
    ListFixture& f = fixture();
    size_t i = 0;
    for (auto _ : state) {
        const int index = f.plain.value(f.paths[i++ % f.paths.size()].toCaseFolded(), -1);
        benchmark::DoNotOptimize(f.server->PointFromHandle(index + 1, f.tags[size_t(index)]));
    }
}
BENCHMARK(BM_PointListItemByPath_PlainHash);

const bool registered = [] {
    bench::addRatioGoal(
        {"BM_PointListItemByPath", "BM_PointListItemByPath_PlainHash", 1.5, bench::Clock::Cpu});
    return true;
}();

}  // namespace
