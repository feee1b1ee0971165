#include "BenchRatios.h"

#include <cstdio>

namespace vq::bench {

namespace {

std::vector<RatioGoal>& goals() {
    static std::vector<RatioGoal> list;
    return list;
}

// Keeps the time per iteration of every run beside the console output.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration) continue;
            // A run that failed has no time to compare: its goal must not read as met.
            if (run.error_occurred || run.GetAdjustedRealTime() <= 0)
                failed[run.benchmark_name()] = run.error_occurred ? run.error_message : "no positive time";
            else
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, std::string> failed;
};

std::vector<std::function<void()>>& cleanups() {
    static std::vector<std::function<void()>> list;
    return list;
}

}  // namespace

void addCleanup(std::function<void()> cleanup) {
    cleanups().push_back(std::move(cleanup));
}

void addRatioGoal(RatioGoal goal) {
    goals().push_back(std::move(goal));
}

int runWithRatios(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& cleanup : cleanups()) cleanup();
    std::printf("\nRatios against baselines run in the same process:\n");
    for (const RatioGoal& goal : goals()) {
        for (const std::string& name : {goal.measured, goal.baseline}) {
            const auto failed = reporter.failed.find(name);
            if (failed != reporter.failed.end())
                std::printf("  %-48s NOT MEASURED: %s (%s)\n", goal.measured.c_str(), name.c_str(),
                            failed->second.c_str());
        }
        const auto measured = reporter.times.find(goal.measured);
        const auto baseline = reporter.times.find(goal.baseline);
        if (measured == reporter.times.end() || baseline == reporter.times.end()) continue;
        const double ratio = measured->second / baseline->second;
        std::printf("  %-48s %6.2fx of %s (goal <= %.1fx) %s\n", goal.measured.c_str(), ratio,
                    goal.baseline.c_str(), goal.goal, ratio <= goal.goal ? "met" : "MISSED");
    }
    benchmark::Shutdown();
    return 0;
}

}  // namespace vq::bench
