// Point Builder speed, with real widgets on the offscreen platform: opening a point with every
// attribute of its class into both sheets and both panels, and one committed edit with the
// painting it causes against the same edit on a collection nothing is bound to. Both measure what
// a user waits for: the work, then the paint the event loop does for what the views marked dirty.
// Their budgets, 5 ms and 2 ms, are measured as sleeps.
#include "BenchRatios.h"
#include "ClassicPointArchive.h"
#include "PointBuilderWindow.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "editors/VQCompressionSpecs.h"
#include "model/PropSheetEntries.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointType.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServers.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <thread>

namespace {

using namespace vq;

// Counts the paint events any widget receives, to show that a run really draws.
class PaintCounter : public QObject {
public:
    PaintCounter() { QApplication::instance()->installEventFilter(this); }
    ~PaintCounter() override { QApplication::instance()->removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int64_t paints = 0;
};

// Span edits that alternate between two values, so that every one changes the entry.
class AlternatingSpan {
public:
    void edit(PropSheetEntries& entries) { entries.SetValue(m_name, m_values[m_next++ & 1]); }

private:
    const QString m_name = QStringLiteral("Span");
    const Variant m_values[2] = {Variant(300.0), Variant(200.0)};
    int64_t m_next = 0;
};

struct BuilderFixture {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-builder-bench-XXXXXX")};
    std::shared_ptr<ArchiveServer> server;
    std::unique_ptr<PointBuilderWindow> window;
    const QString tag = QStringLiteral("Boiler.Temp");

    BuilderFixture() {
        const QString path = dir.filePath(QStringLiteral("builder.vqa"));
        server = bench::makeClassicPointArchive(dir.filePath(QStringLiteral("servers.json")), path,
                                                QStringLiteral("builder"), tag);
        SdkApplication::instance()->Servers()->Add(QStringLiteral("builder"), path, true);
        window = std::make_unique<PointBuilderWindow>();
        window->resize(1200, 700);
        window->show();
        window->openPoint(tag);
        QApplication::processEvents();
    }

    // Paints what the views marked dirty, as the event loop does after a user's edit.
    static void paintPending() { QApplication::processEvents(); }
};

BuilderFixture* builder = nullptr;

// Made on first use; its widgets go before the application object, which calls post routines first.
BuilderFixture& fixture() {
    if (!builder) {
        builder = new BuilderFixture;
        qAddPostRoutine([] {
            delete builder;
            builder = nullptr;
        });
    }
    return *builder;
}

// Answers the window's next question with its default answer, as a user pressing Enter would.
void answerNextQuestion() {
    QTimer::singleShot(0, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->defaultButton()->click();
    });
}

void sleepFor(benchmark::State& state, std::chrono::microseconds budget) {
    for (auto _ : state) std::this_thread::sleep_for(budget);
}

// A stored point filled into both sheets, both panels and the status bar, and painted.
void BM_PointBuilder_OpenPoint(benchmark::State& state) {
    BuilderFixture& f = fixture();
    PaintCounter counter;
    for (auto _ : state) {
        f.window->openPoint(f.tag);
        f.paintPending();
    }
    state.counters["entries"] = double(f.window->entries()->Count());
    state.counters["paints"] = benchmark::Counter(double(counter.paints), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PointBuilder_OpenPoint)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PointBuilder_Budget5ms(benchmark::State& state) {
    sleepFor(state, std::chrono::milliseconds(5));
}
BENCHMARK(BM_PointBuilder_Budget5ms)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(50);

// One committed span edit on a collection no view listens to.
void BM_PointBuilder_EditUnbound(benchmark::State& state) {
    BuilderFixture& f = fixture();
    PropSheetEntries entries;
    entries.AddAttributesForPoint(f.server->Points()->Item(f.tag));
    AlternatingSpan span;
    for (auto _ : state) span.edit(entries);
}
BENCHMARK(BM_PointBuilder_EditUnbound)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same edit on the window's collection: every view rewrites what it shows, then paints it.
void BM_PointBuilder_EditBound(benchmark::State& state) {
    BuilderFixture& f = fixture();
    PropSheetEntries& entries = *f.window->entries();
    AlternatingSpan span;
    PaintCounter counter;
    for (auto _ : state) {
        span.edit(entries);
        f.paintPending();
    }
    answerNextQuestion();
    f.window->revert();  // the next repetition, or the next benchmark, opens an unedited window
    state.counters["paints"] = benchmark::Counter(double(counter.paints), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_PointBuilder_EditBound)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_PointBuilder_Budget2ms(benchmark::State& state) {
    sleepFor(state, std::chrono::milliseconds(2));
}
BENCHMARK(BM_PointBuilder_Budget2ms)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(100);

const bool registered = [] {
    bench::addRatioGoal({"BM_PointBuilder_OpenPoint/real_time",
                         "BM_PointBuilder_Budget5ms/iterations:50/real_time", 1.0, bench::Clock::CpuToBudget,
                         5e-3});
    // About 3 us per unbound edit: 600 of them are about 2 ms.
    bench::addRatioGoal({"BM_PointBuilder_EditBound/real_time", "BM_PointBuilder_EditUnbound/real_time",
                         600.0, bench::Clock::Cpu});
    bench::addRatioGoal({"BM_PointBuilder_EditBound/real_time",
                         "BM_PointBuilder_Budget2ms/iterations:100/real_time", 1.0, bench::Clock::CpuToBudget,
                         2e-3});
    return true;
}();

}  // namespace
