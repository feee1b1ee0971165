#pragma once

#include "archive/ArchiveExport.h"

#include "archive/dialect/SqlNode.h"

#include <QStringView>

#include <chrono>
#include <functional>

namespace vq {

// Where a parsed where clause meets storage: translating it for one storage engine and running
// it. The SQLite archive has one; another engine is another implementation, not a rewrite.
class VQ_ARCHIVE_EXPORT PointSearchEngine {
public:
    using PointSink = std::function<void(qint64 pointId, QStringView tag)>;

    virtual ~PointSearchEngine() = default;

    // Hands every distinct matching point to `sink`, in tag order. Raises QueryInvalid for a
    // clause it cannot run and QueryCancelled when cancelled or over the time limit.
    virtual void search(const SqlNode& clause, const PointSink& sink) = 0;
    // Stops the search running now, from any thread; the next search is not affected.
    virtual void cancel() = 0;
    virtual bool isRunning() const = 0;
    virtual void setTimeLimit(std::chrono::milliseconds limit) = 0;
};

}  // namespace vq
