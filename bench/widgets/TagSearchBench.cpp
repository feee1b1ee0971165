// The point search control on million-point archives: a search plus the first screen of rows
// painted against the bare server search of the same clause, scrolling, Select All with reading
// the selection, three servers merged against one, and stopping a long search, each against its
// baseline or a sleep of its budget's length.
#include "BenchRatios.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "archive/server/ServerRegistry.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServers.h"
#include "search/VQTagSearch.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <malloc.h>

#include <thread>

namespace {

using namespace vq;

constexpr int64_t kPoints = 1'000'000;
const QStringList kServers = {QStringLiteral("vqbench1"), QStringLiteral("vqbench2"),
                              QStringLiteral("vqbench3")};

// Three servers of a million points each: one seeded archive and two copies of it.
struct TagSearchArchives {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-tagsearch-bench-XXXXXX")};
    QString prefix;  // a tag prefix of about a thousand points
    std::unique_ptr<VQTagSearch> control;

    TagSearchArchives() {
        const QString first = dir.filePath(kServers[0] + QStringLiteral(".vqa"));
        {
            auto server =
                ArchiveServer::create(first, kServers[0], QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"));
            server->Open(QStringLiteral("vqadmin"), QString());
            ArchiveSeeder::seed(*server, kPoints, 2);
            auto query =
                SqliteArchiveStorage::databaseOf(server->storage())
                    .prepare(
                        "WITH lengths(k) AS (VALUES (4), (5), (6), (7))"
                        " SELECT substr(\"Tag\", 1, k), count(*) AS n FROM points, lengths GROUP BY 1"
                        " ORDER BY abs(n - 1000) LIMIT 1");
            if (query.next()) prefix = query.text(0);
        }
        std::vector<ServerEntry> entries;
        for (const QString& name : kServers) {
            const QString path = dir.filePath(name + QStringLiteral(".vqa"));
            if (path != first) QFile::copy(first, path);
            entries.push_back({name, path, name == kServers[0]});
        }
        const QString registryPath = dir.filePath(QStringLiteral("servers.json"));
        ServerRegistry(registryPath).save(entries);
        ArchiveApplication::install(registryPath);
        for (const SdkServerPtr& server : SdkApplication::instance()->Servers()->All())
            server->Open(QStringLiteral("vqadmin"), QString());
        control = std::make_unique<VQTagSearch>();
        control->resize(900, 700);
        control->show();
        QApplication::processEvents();
    }

    QTableView* view() const { return control->findChild<QTableView*>(QStringLiteral("stSearchResults")); }
    void choose(int servers) const {
        auto names = SdkNamedValues::create();
        for (int i = 0; i < servers; ++i) names->Add(kServers[i], Variant(int16_t(0)));
        control->SetSelectedServers(names);
    }
    // The search and the list's first screen drawn.
    void searchAndPaint() const {
        control->search();
        view()->viewport()->repaint();
    }
};

std::unique_ptr<TagSearchArchives>& made() {
    static std::unique_ptr<TagSearchArchives> a;
    return a;
}

TagSearchArchives& archives() {
    if (!made()) {
        made() = std::make_unique<TagSearchArchives>();
        bench::addCleanup([] {
            made().reset();
            SdkApplication::reset();
        });
    }
    return *made();
}

SdkServerPtr firstServer() {
    return SdkApplication::instance()->Servers()->Item(kServers[0]);
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

void BM_TagSearch_PrefixMask_Control(benchmark::State& state) {
    TagSearchArchives& a = archives();
    a.choose(1);
    a.control->SetTagMask(a.prefix + u'*');
    for (auto _ : state) a.searchAndPaint();
    state.counters["points"] = double(a.control->PointList()->Count());
}
void BM_TagSearch_PrefixMask_Bare(benchmark::State& state) {
    const QString clause = QStringLiteral("VQPOINT.TAG LIKE '%1*' ").arg(archives().prefix);
    for (auto _ : state)
        benchmark::DoNotOptimize(firstServer()->GetPointsSQL(clause, SdkNamedValues(), nullptr));
}
void BM_TagSearch_Budget_10ms(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
BENCHMARK(BM_TagSearch_PrefixMask_Control)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagSearch_PrefixMask_Bare)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagSearch_Budget_10ms)->Unit(benchmark::kMillisecond)->Iterations(20);

// Every point: the list and the view together, per row, from the heap in use afterwards.
void BM_TagSearch_AllPoints_Control(benchmark::State& state) {
    TagSearchArchives& a = archives();
    a.choose(1);
    a.control->SetTagMask(QStringLiteral("*"));
    a.control->ResetSearchResultsList();
    double bytesPerRow = 0;
    for (auto _ : state) {
        state.PauseTiming();
        a.control->SetPointList(nullptr);
        const size_t before = heapInUse();
        state.ResumeTiming();
        a.searchAndPaint();
        state.PauseTiming();
        bytesPerRow = double(heapInUse() - before) / a.control->PointList()->Count();
        state.ResumeTiming();
    }
    state.counters["points"] = double(a.control->PointList()->Count());
    state.counters["bytes_per_row"] = bytesPerRow;
}
void BM_TagSearch_AllPoints_Bare(benchmark::State& state) {
    archives();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            firstServer()->GetPointsSQL(QStringLiteral("VQPoint.Tag = '*'"), SdkNamedValues(), nullptr));
}
// A million-point search varies by several per cent from run to run: the three searches compared
// in two ratios run more repetitions than the default five, so that noise does not decide them.
constexpr int kMillionRepetitions = 9;
BENCHMARK(BM_TagSearch_AllPoints_Control)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kMillionRepetitions);
BENCHMARK(BM_TagSearch_AllPoints_Bare)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kMillionRepetitions);

// Jumping between the ends of a million rows, each jump repainted.
void BM_TagSearch_ScrollToLastRow(benchmark::State& state) {
    TagSearchArchives& a = archives();
    a.choose(1);
    a.control->SetTagMask(QStringLiteral("*"));
    a.control->search();
    QTableView* view = a.view();
    bool atEnd = false;
    for (auto _ : state) {
        atEnd ? view->scrollToTop() : view->scrollToBottom();
        atEnd = !atEnd;
        view->viewport()->repaint();
    }
}
void BM_TagSearch_Budget_16ms(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(16));
}
BENCHMARK(BM_TagSearch_ScrollToLastRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TagSearch_Budget_16ms)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_TagSearch_SelectAllMillion(benchmark::State& state) {
    TagSearchArchives& a = archives();
    a.choose(1);
    a.control->SetTagMask(QStringLiteral("*"));
    a.control->search();
    int chosen = 0;
    for (auto _ : state) {
        a.control->ClearSelectedTags();
        a.control->findChild<QPushButton*>(QStringLiteral("cmdSelectAll"))->click();
        chosen = a.control->PointListSelection()->Count();
    }
    state.counters["points"] = chosen;
}
void BM_TagSearch_Budget_1s(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::seconds(1));
}
BENCHMARK(BM_TagSearch_SelectAllMillion)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_TagSearch_Budget_1s)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_TagSearch_ThreeServers_Control(benchmark::State& state) {
    TagSearchArchives& a = archives();
    a.choose(3);
    a.control->SetTagMask(QStringLiteral("*"));
    for (auto _ : state) {
        state.PauseTiming();
        a.control->SetPointList(nullptr);
        state.ResumeTiming();
        a.searchAndPaint();
    }
    state.counters["points"] = double(a.control->PointList()->Count());
}
BENCHMARK(BM_TagSearch_ThreeServers_Control)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(kMillionRepetitions);

// From Stop to search() having returned, on a clause that pairs every point with every value.
void BM_TagSearch_StopLatency(benchmark::State& state) {
    TagSearchArchives& a = archives();
    a.choose(1);
    a.control->SetTagSearchView(1);
    a.control->SetAdvancedWhereClause(QStringLiteral("VQcomp.Value > 0"));
    for (auto _ : state) {
        QElapsedTimer sinceStop;
        QTimer stopper;
        stopper.setSingleShot(true);
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            sinceStop.start();
            a.control->Stop();
        });
        stopper.start(400);
        a.control->search();
        if (!sinceStop.isValid()) {
            state.SkipWithError("the search ended before Stop was pressed");
            break;
        }
        state.SetIterationTime(double(sinceStop.nsecsElapsed()) / 1e9);
    }
    a.control->SetTagSearchView(0);
}
void BM_TagSearch_Budget_50ms(benchmark::State& state) {
    for (auto _ : state) {
        QElapsedTimer slept;
        slept.start();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state.SetIterationTime(double(slept.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_TagSearch_StopLatency)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();
BENCHMARK(BM_TagSearch_Budget_50ms)->Unit(benchmark::kMillisecond)->Iterations(5)->UseManualTime();

const bool registered = [] {
    bench::addRatioGoal({"BM_TagSearch_PrefixMask_Control", "BM_TagSearch_Budget_10ms/iterations:20", 1.0});
    bench::addRatioGoal({"BM_TagSearch_AllPoints_Control/iterations:3/repeats:9",
                         "BM_TagSearch_AllPoints_Bare/iterations:3/repeats:9", 1.2});
    bench::addRatioGoal({"BM_TagSearch_ScrollToLastRow", "BM_TagSearch_Budget_16ms/iterations:20", 1.0,
                         bench::Clock::CpuToBudget, 16e-3});
    bench::addRatioGoal({"BM_TagSearch_SelectAllMillion/iterations:3", "BM_TagSearch_Budget_1s/iterations:1",
                         1.0, bench::Clock::CpuToBudget, 1.0});
    bench::addRatioGoal({"BM_TagSearch_ThreeServers_Control/iterations:3/repeats:9",
                         "BM_TagSearch_AllPoints_Control/iterations:3/repeats:9", 3.2});
    bench::addRatioGoal({"BM_TagSearch_StopLatency/iterations:5/manual_time",
                         "BM_TagSearch_Budget_50ms/iterations:5/manual_time", 1.0});
    return true;
}();

}  // namespace
