// Attribute model speed: filling a collection from a stored point, and one span edit with its
// dependents and events against a point lookup.
#include "BenchRatios.h"
#include "ClassicPointArchive.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointType.h"
#include "sdk/SdkPoints.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using namespace vq;

struct ModelFixture {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-model-bench-XXXXXX")};
    const QString tag = QStringLiteral("Boiler.Temp");
    std::shared_ptr<ArchiveServer> server;

    ModelFixture()
        : server(bench::makeClassicPointArchive(dir.filePath(QStringLiteral("servers.json")),
                                                dir.filePath(QStringLiteral("model.vqa")),
                                                QStringLiteral("model"), tag)) {}
};

ModelFixture& fixture() {
    static ModelFixture f;
    return f;
}

// A stored point made into a collection of entries, ready for a property sheet.
void BM_PointAttributes_AddAttributesForPoint(benchmark::State& state) {
    ModelFixture& f = fixture();
    for (auto _ : state) {
        PropSheetEntries entries;
        entries.AddAttributesForPoint(f.server->Points()->Item(f.tag));
        benchmark::DoNotOptimize(entries.Count());
    }
}
BENCHMARK(BM_PointAttributes_AddAttributesForPoint);

// One stored point found by its tag through the archive's cached statement.
void BM_FindPointByTag(benchmark::State& state) {
    ModelFixture& f = fixture();
    for (auto _ : state) benchmark::DoNotOptimize(f.server->findPoint(f.tag));
}
BENCHMARK(BM_FindPointByTag);

// One committed span edit: its rule, the rules of CompDev, ExcDev and TypicalValue, and the four
// events delivered to a listening view.
void BM_SetValueSpan(benchmark::State& state) {
    ModelFixture& f = fixture();
    PropSheetEntries entries;
    entries.AddAttributesForPoint(f.server->Points()->Item(f.tag));
    int64_t events = 0;
    QObject view;
    const auto count = [&events](PropSheetEntry*) { ++events; };
    QObject::connect(&entries, &PropSheetEntries::OnValueEdit, &view, count);
    QObject::connect(&entries, &PropSheetEntries::OnDisplayEdit, &view, count);
    const QString span = QStringLiteral("Span");
    const Variant values[] = {Variant(300.0), Variant(200.0)};
    int64_t i = 0;
    for (auto _ : state) entries.SetValue(span, values[i++ & 1]);
    state.counters["events_per_edit"] = double(events) / double(state.iterations());
}
BENCHMARK(BM_SetValueSpan);

const bool registered = [] {
    // 20 us is about ten lookups of a point by tag on this machine class.
    bench::addRatioGoal({"BM_SetValueSpan", "BM_FindPointByTag", 10.0, bench::Clock::Cpu});
    return true;
}();

}  // namespace
