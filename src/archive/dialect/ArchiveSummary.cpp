#include "archive/dialect/ArchiveSummary.h"

#include <algorithm>
#include <cmath>

namespace vq {

namespace {

bool isGood(const ArchiveSummary::Event& event) {
    return event.status == 0 && event.value.has_value();
}

struct Weighted {
    double integral = 0;
    double covered = 0;
};

Weighted timeWeighted(double from, double to, const std::optional<ArchiveSummary::Event>& start,
                      const std::vector<ArchiveSummary::Event>& events) {
    Weighted sum;
    const ArchiveSummary::Event* current = start ? &*start : nullptr;
    double since = from;
    auto close = [&](double until) {
        if (current && isGood(*current) && until > since) {
            sum.integral += *current->value * (until - since);
            sum.covered += until - since;
        }
    };
    for (const ArchiveSummary::Event& event : events) {
        close(event.time);
        current = &event;
        since = std::max(from, event.time);
    }
    close(to);
    return sum;
}

std::optional<double> overEvents(ArchiveSummary::Function function, const std::vector<double>& values) {
    if (values.empty()) return std::nullopt;
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    double mean = 0;
    for (double v : values) mean += v;
    mean /= double(values.size());
    switch (function) {
        case ArchiveSummary::Min:
            return *low;
        case ArchiveSummary::Max:
            return *high;
        case ArchiveSummary::Range:
            return *high - *low;
        case ArchiveSummary::Std: {
            double squares = 0;
            for (double v : values) squares += (v - mean) * (v - mean);
            return std::sqrt(squares / double(values.size()));
        }
        default:
            return mean;
    }
}

}  // namespace

ArchiveSummary::Result ArchiveSummary::interpolate(double time, const std::optional<Event>& before,
                                                   const std::optional<Event>& after) {
    if (!before) return {};
    Result result{before->value, isGood(*before) ? 100.0 : 0.0};
    if (after && isGood(*before) && isGood(*after) && after->time > before->time) {
        const double share = (time - before->time) / (after->time - before->time);
        result.value = *before->value + share * (*after->value - *before->value);
    }
    return result;
}

ArchiveSummary::Result ArchiveSummary::summarize(Function function, double time, double step,
                                                 const std::optional<Event>& start,
                                                 const std::vector<Event>& events) {
    const Weighted weighted = timeWeighted(time - step, time, start, events);
    Result result;
    result.pctGood = step > 0 ? 100.0 * weighted.covered / step : 0.0;
    if (function == Avg || function == Total) {
        if (weighted.covered > 0)
            result.value =
                function == Avg ? weighted.integral / weighted.covered : weighted.integral / 86400.0;
        return result;
    }
    std::vector<double> values;
    for (const Event& event : events)
        if (isGood(event)) values.push_back(*event.value);
    result.value = overEvents(function, values);
    return result;
}

}  // namespace vq
