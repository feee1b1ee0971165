#pragma once

#include <benchmark/benchmark.h>

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

// Runs every benchmark, then prints each ratio with its goal. Returns 0.
int runWithRatios(int argc, char** argv);

}  // namespace vq::bench
