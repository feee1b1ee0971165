#pragma once

#include "sdk/SdkExport.h"

#include <QtGlobal>

#include <memory>

namespace vq {

/// Many point writes of one server stored together: while a batch is open, each write of a point
/// on that server (SdkPointAttributes::SetAttributes, SdkPoints::Add) is still all-or-nothing for
/// its own point, a refused point leaving the others alone, but the writes share one commit and
/// the history records them as one change set. Writes of the same server from this thread only.
class VQ_SDK_EXPORT SdkWriteBatch {
public:
    /// Dropping a batch undoes every write made through it since its last commit().
    virtual ~SdkWriteBatch() = default;

    /// Stores the writes made since the batch began or last committed, with one change set for
    /// them. Returns that change set's id: 0 when nothing changed or the server keeps no history.
    /// The batch stays open for further writes, which go into a new change set. A failure raises
    /// and leaves none of the writes since the last commit stored.
    virtual qint64 commit() = 0;
};

/// A batch is owned by the one who began it.
using SdkWriteBatchPtr = std::unique_ptr<SdkWriteBatch>;

}  // namespace vq
