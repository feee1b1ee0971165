#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vq::bench {

// Speed is judged as a ratio against a baseline measured in the same run, so that the figures
// do not depend on how fast or busy the machine is.
struct RatioGoal {
    std::string measured;
    std::string baseline;
    double goal;  // the ratio to stay at or under
};

void addRatioGoal(RatioGoal goal);

// Runs after the last benchmark while the application still exists: for fixtures that hold
// widgets or large files.
void addCleanup(std::function<void()> cleanup);

// Runs every benchmark, then prints each ratio with its goal. Returns 0.
int runWithRatios(int argc, char** argv);

}  // namespace vq::bench
