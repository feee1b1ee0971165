// The point table on 10,000 seeded points of every class with ten attribute columns, drawn on the
// offscreen platform: the first screen after adding the points, every row read in the slices the
// control loads while the window stays live, and one value set into all 10,000 cells of a column
// and painted. Each is judged by its processor time against a budget measured as a sleep.
#include "BenchRatios.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "table/PointTableModel.h"
#include "table/VQPointTable.h"

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTemporaryDir>

#include <malloc.h>

#include <chrono>
#include <thread>

namespace {

using namespace vq;

constexpr int kPoints = 10'000;

struct TableArchive {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-table-bench-XXXXXX")};
    std::shared_ptr<ArchiveServer> server;
    SdkPointListPtr points;

    TableArchive() {
        // The rows' entries read the point classes through the installed server library.
        ArchiveApplication::install(dir.filePath(QStringLiteral("servers.json")));
        server = ArchiveServer::create(dir.filePath(QStringLiteral("table.vqa")), QStringLiteral("table"),
                                       QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"));
        server->Open(QStringLiteral("vqadmin"), QString());
        ArchiveSeeder::seed(*server, kPoints, 1);
        points = server->GetPointsSQL(QStringLiteral("VQPOINT.TAG = '*'"), SdkNamedValues(), nullptr);
    }
};

TableArchive& archive() {
    static TableArchive* made = [] {
        auto* a = new TableArchive;
        bench::addCleanup([a] { delete a; });
        return a;
    }();
    return *made;
}

// A control of a usual window's size with the default columns, shown.
std::unique_ptr<VQPointTable> shownTable() {
    auto table = std::make_unique<VQPointTable>();
    table->resize(1400, 800);
    table->show();
    QApplication::processEvents();
    return table;
}

// Runs the event loop until the control has read every row, as it does while the user waits.
void loadEveryRow(VQPointTable& table) {
    while (table.model()->unloadedRows() > 0) QApplication::processEvents();
    QApplication::processEvents();
}

size_t heapInUse() {
    return mallinfo2().uordblks;
}

void BM_PointTable_FirstScreen(benchmark::State& state) {
    TableArchive& a = archive();
    for (auto _ : state) {
        state.PauseTiming();
        auto table = shownTable();
        state.ResumeTiming();
        table->AddPoints(*a.points);
        table->view()->viewport()->repaint();
        state.PauseTiming();
        table.reset();  // before its slices run: only the first screen is measured
        state.ResumeTiming();
    }
    state.counters["rows"] = double(a.points->Count());
    state.counters["columns"] = double(PointTableModel::defaultColumns().size());
}
BENCHMARK(BM_PointTable_FirstScreen)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_PointTable_AllRows(benchmark::State& state) {
    TableArchive& a = archive();
    double bytesPerPoint = 0;
    double modelBytesPerPoint = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto table = shownTable();
        const size_t before = heapInUse();
        state.ResumeTiming();
        table->AddPoints(*a.points);
        loadEveryRow(*table);
        state.PauseTiming();
        bytesPerPoint = double(heapInUse() - before) / kPoints;
        modelBytesPerPoint = double(table->model()->memoryUsage()) / kPoints;
        table.reset();
        state.ResumeTiming();
    }
    state.counters["heap_bytes_per_point"] = bytesPerPoint;
    state.counters["model_bytes_per_point"] = modelBytesPerPoint;
}
BENCHMARK(BM_PointTable_AllRows)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Every cell of the descriptor column selected, one value typed into them, validated by each
// point's own entries, and the screen painted.
void BM_PointTable_SetTenThousandCells(benchmark::State& state) {
    TableArchive& a = archive();
    int64_t set = 0;
    int64_t skipped = 0;
    double editedBytesPerPoint = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto table = shownTable();
        const size_t before = heapInUse();
        table->AddPoints(*a.points);
        loadEveryRow(*table);
        PointTableModel& model = *table->model();
        const int column = model.columnOf(QStringLiteral("Descriptor"));
        QModelIndexList cells;
        cells.reserve(model.rowCount());
        for (int row = 0; row < model.rowCount(); ++row) cells.append(model.index(row, column));
        state.ResumeTiming();
        const PointTableEditReport report = model.setCells(cells, QStringLiteral("Unit 4 temperature"));
        set = report.set;
        skipped = report.skipped;
        table->view()->viewport()->repaint();
        state.PauseTiming();
        editedBytesPerPoint = double(heapInUse() - before) / kPoints;
        table.reset();
        state.ResumeTiming();
    }
    state.counters["cells_set"] = double(set);
    // With every row's own entries made: what editing a whole table costs.
    state.counters["edited_heap_bytes_per_point"] = editedBytesPerPoint;
    state.counters["cells_skipped"] = double(skipped);
}
BENCHMARK(BM_PointTable_SetTenThousandCells)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void sleepFor(benchmark::State& state, std::chrono::milliseconds budget) {
    for (auto _ : state) std::this_thread::sleep_for(budget);
}
void BM_PointTable_Budget100ms(benchmark::State& state) {
    sleepFor(state, std::chrono::milliseconds(100));
}
BENCHMARK(BM_PointTable_Budget100ms)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
void BM_PointTable_Budget1s(benchmark::State& state) {
    sleepFor(state, std::chrono::seconds(1));
}
BENCHMARK(BM_PointTable_Budget1s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
void BM_PointTable_Budget2s(benchmark::State& state) {
    sleepFor(state, std::chrono::seconds(2));
}
BENCHMARK(BM_PointTable_Budget2s)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

const bool registered = [] {
    bench::addRatioGoal({"BM_PointTable_FirstScreen/iterations:10/real_time",
                         "BM_PointTable_Budget100ms/iterations:10/real_time", 1.0, bench::Clock::CpuToBudget,
                         0.1});
    bench::addRatioGoal({"BM_PointTable_AllRows/iterations:1/real_time",
                         "BM_PointTable_Budget2s/iterations:1/real_time", 1.0, bench::Clock::CpuToBudget,
                         2.0});
    bench::addRatioGoal({"BM_PointTable_SetTenThousandCells/iterations:1/real_time",
                         "BM_PointTable_Budget1s/iterations:1/real_time", 1.0, bench::Clock::CpuToBudget,
                         1.0});
    return true;
}();

}  // namespace
