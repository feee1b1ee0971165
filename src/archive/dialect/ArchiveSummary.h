#pragma once

#include "archive/ArchiveExport.h"

#include <optional>
#include <vector>

namespace vq {

// What the interpolated and summary tables of the point search compute from archived events.
// An event is good when its status is 0 and its value a number; a value holds until the next
// event.
class VQ_ARCHIVE_EXPORT ArchiveSummary {
public:
    enum Function { Interp, Avg, Mean, Total, Min, Max, Range, Std };

    struct Event {
        double time;
        std::optional<double> value;  // none for a text value
        long long status;
    };
    struct Result {
        std::optional<double> value;
        std::optional<double> pctGood;
    };

    // Interpolation at `time`: linear between the good events around it, else the value in
    // effect. `before` is the newest event at or before the time, `after` the next one.
    static Result interpolate(double time, const std::optional<Event>& before,
                              const std::optional<Event>& after);

    // A summary over (time - step, time]: `start` is the event in effect at the window's start,
    // `events` those inside it, oldest first. Avg is time-weighted, Total the time integral in
    // value-days; Mean, Min, Max, Range and Std (population) use the good events inside the window.
    // PctGood is the share of the window covered by good values.
    static Result summarize(Function function, double time, double step, const std::optional<Event>& start,
                            const std::vector<Event>& events);
};

}  // namespace vq
