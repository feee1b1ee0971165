#pragma once

#include "archive/ArchiveExport.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace vq {

class ArchiveServer;

// Fills an archive with believable sample points of every class and point type, their digital
// state sets and archived values, fast enough for archives of millions of points. Seeding again
// continues with new tags; a tag that already exists is skipped.
// Every storage gets the points through its bulk load (ArchiveStorage::beginBulkLoad), the one
// way in for many points at once.
class VQ_ARCHIVE_EXPORT ArchiveSeeder {
public:
    struct Result {
        int64_t points = 0;
        int64_t values = 0;
        int64_t skipped = 0;
    };

    // The server must be logged on; the points belong to its user.
    static Result seed(ArchiveServer& server, int64_t count, int valuesPerPoint = 2, uint32_t seed = 1,
                       const std::function<void(int64_t done)>& progress = {});
};

}  // namespace vq
