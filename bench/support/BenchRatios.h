#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace vq::bench {

// Which times a ratio compares. Work done on the calling thread alone is judged by its processor
// time, which other programs on a busy machine do not stretch; against a budget, that time is
// compared with the budget itself, as a busy machine makes its sleep last longer.
enum class Clock {
    Real,        // real time on both sides: for work that waits on other threads or processes
    Cpu,         // the processor time of the calling thread on both sides
    CpuToBudget  // the measured run's processor time against `budget`
};

// Speed is judged as a ratio against a baseline measured in the same run, so that the figures
// do not depend on how fast or busy the machine is.
struct RatioGoal {
    std::string measured;
    std::string baseline;
    double goal;  // the ratio of the two medians to stay at or under; 0 reports it without a goal
    Clock clock = Clock::Real;
    double budget = 0;  // seconds, for Clock::CpuToBudget; the baseline is a sleep that long
};

void addRatioGoal(RatioGoal goal);

// Runs after the last benchmark while the application still exists: for fixtures that hold
// widgets or large files.
void addCleanup(std::function<void()> cleanup);

// Runs every benchmark, by default five times with the repetitions of all benchmarks shuffled
// together, so that a measured run and its baseline see the same load; then prints each ratio
// of their medians with its goal. Flags on the command line override the defaults. Returns 0.
// `interleave` false keeps each benchmark's repetitions together, for programs whose fixtures
// each install the process-wide server library.
int runWithRatios(int argc, char** argv, bool interleave = true);

}  // namespace vq::bench
