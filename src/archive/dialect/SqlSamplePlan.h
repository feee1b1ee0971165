#pragma once

#include "archive/ArchiveExport.h"

#include "archive/dialect/SqlNode.h"

#include <QDateTime>

#include <vector>

namespace vq {

// When the rows of an interpolated or summary table are made. The clause's own top-level
// conditions on TABLE.TIME choose the times: "= x" one row at x; ">= a" and "<= b" rows at b,
// b - step, ... down to a (b defaults to now); no condition, one row at now. The step is the
// clause's "TABLE.TIMESTEP = 'text'" or one hour. Summaries cover the step before each time.
struct VQ_ARCHIVE_EXPORT SqlSamplePlan {
    static constexpr int MaxSamples = 1000;
    static constexpr double DefaultStep = 3600;

    std::vector<double> times;
    double step = DefaultStep;
    QString stepText = QStringLiteral("1h");

    static SqlSamplePlan of(const SqlNode& clause, SqlTable table, const QDateTime& now);
};

}  // namespace vq
