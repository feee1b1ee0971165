#include "BenchRatios.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vq::bench {

namespace {

std::vector<RatioGoal>& goals() {
    static std::vector<RatioGoal> list;
    return list;
}

std::vector<std::function<void()>>& cleanups() {
    static std::vector<std::function<void()>> list;
    return list;
}

double median(std::vector<double> values) {
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    if (values.size() % 2) return values[middle];
    return (values[middle] + *std::max_element(values.begin(), values.begin() + middle)) / 2;
}

// Keeps the seconds per iteration of every repetition; shows the medians and their spread, and
// every repetition of a benchmark run only once or one that failed.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median" || run.aggregate_name == "cv") shown.push_back(run);
                continue;
            }
            record(run);
            if (run.repetitions <= 1 || run.error_occurred) shown.push_back(run);
        }
        if (!shown.empty()) ConsoleReporter::ReportRuns(shown);
    }
    // Seconds per iteration of each repetition, in real and in processor time.
    std::map<std::string, std::vector<double>> real;
    std::map<std::string, std::vector<double>> cpu;
    std::map<std::string, std::string> failed;

private:
    // A run that failed has no time to compare: its goal must not read as met.
    void record(const Run& run) {
        const std::string name = run.benchmark_name();
        if (run.error_occurred || run.GetAdjustedRealTime() <= 0) {
            failed[name] = run.error_occurred ? run.error_message : "no positive time";
            return;
        }
        const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
        real[name].push_back(run.GetAdjustedRealTime() / unit);
        cpu[name].push_back(run.GetAdjustedCPUTime() / unit);
    }
};

// 0 for a benchmark that did not run.
double medianOf(const std::map<std::string, std::vector<double>>& times, const std::string& name) {
    const auto found = times.find(name);
    return found == times.end() ? 0 : median(found->second);
}

const char* clockName(Clock clock) {
    switch (clock) {
        case Clock::Cpu:
            return "processor times";
        case Clock::CpuToBudget:
            return "processor time to budget";
        default:
            return "real times";
    }
}

void printRatio(const RatioGoal& goal, const RecordingReporter& reporter, int& missed) {
    for (const std::string& name : {goal.measured, goal.baseline}) {
        const auto failed = reporter.failed.find(name);
        if (failed == reporter.failed.end()) continue;
        std::printf("  %-48s NOT MEASURED: %s (%s)\n", goal.measured.c_str(), name.c_str(),
                    failed->second.c_str());
        ++missed;
        return;
    }
    const double measuredReal = medianOf(reporter.real, goal.measured);
    const double baselineReal = medianOf(reporter.real, goal.baseline);
    if (measuredReal <= 0 || baselineReal <= 0) return;  // filtered out
    const double realRatio = measuredReal / baselineReal;
    const double measured = medianOf(goal.clock == Clock::Real ? reporter.real : reporter.cpu, goal.measured);
    const double baseline =
        goal.clock == Clock::CpuToBudget
            ? goal.budget
            : medianOf(goal.clock == Clock::Cpu ? reporter.cpu : reporter.real, goal.baseline);
    const double ratio = measured / baseline;
    const bool met = ratio <= goal.goal;
    if (!met && goal.goal > 0) ++missed;
    const std::string against = goal.clock == Clock::CpuToBudget
                                    ? "a " + std::to_string(int(goal.budget * 1000 + 0.5)) + " ms budget"
                                    : goal.baseline;
    std::printf("  %-48s %6.2fx of %s ", goal.measured.c_str(), ratio, against.c_str());
    if (goal.goal > 0)
        std::printf("(goal <= %gx, %s) %s", goal.goal, clockName(goal.clock), met ? "met" : "MISSED");
    else
        std::printf("(no goal, %s) reported", clockName(goal.clock));
    if (goal.clock != Clock::Real) std::printf("; real times %.2fx of %s", realRatio, goal.baseline.c_str());
    std::printf("\n");
}

}  // namespace

void addCleanup(std::function<void()> cleanup) {
    cleanups().push_back(std::move(cleanup));
}

void addRatioGoal(RatioGoal goal) {
    goals().push_back(std::move(goal));
}

int runWithRatios(int argc, char** argv, bool interleave) {
    // The defaults come first, so that the same flags given on the command line win.
    std::vector<char*> args{argv[0], const_cast<char*>("--benchmark_repetitions=5"),
                            const_cast<char*>(interleave ? "--benchmark_enable_random_interleaving=true"
                                                         : "--benchmark_enable_random_interleaving=false")};
    args.insert(args.end(), argv + 1, argv + argc);
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& cleanup : cleanups()) cleanup();
    std::printf("\nRatios of medians against baselines, their repetitions run interleaved:\n");
    int missed = 0;
    for (const RatioGoal& goal : goals()) printRatio(goal, reporter, missed);
    std::printf("%s\n", missed ? "Some goals were MISSED or NOT MEASURED." : "Every goal measured was met.");
    benchmark::Shutdown();
    return 0;
}

}  // namespace vq::bench
