#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace vq {

class ArchiveServer;

// Fills an archive with believable sample points of every class and point type, their digital
// state sets and archived values, fast enough for archives of millions of points. Seeding again
// continues with new tags; a tag that already exists is skipped.
// On an SQLite file the load works on the connection directly (SqliteArchiveSeeder.cpp); other
// storages get the points through their bulk load (ArchiveStorage::beginBulkLoad).
class ArchiveSeeder {
public:
    struct Result {
        int64_t points = 0;
        int64_t values = 0;
        int64_t skipped = 0;
    };

    // The server must be logged on; the points belong to its user.
    static Result seed(ArchiveServer& server, int64_t count, int valuesPerPoint = 2, uint32_t seed = 1,
                       const std::function<void(int64_t done)>& progress = {});

private:
    static Result seedSqlite(ArchiveServer& server, int64_t count, int valuesPerPoint, uint32_t seed,
                             const std::function<void(int64_t done)>& progress);
    static Result seedInBulk(ArchiveServer& server, int64_t count, int valuesPerPoint, uint32_t seed,
                             const std::function<void(int64_t done)>& progress);
};

}  // namespace vq
