#pragma once

#include <memory>

struct sqlite3;

namespace vq {

class ArchiveEventReader;

// The SQL functions the translated searches call, registered on a search connection for as long
// as this object lives (destroy it before closing the connection): vq_fold(text) case-folds;
// vq_sample(function, point_id, time, step) and vq_pctgood(...) compute the interpolated and
// summary tables from the archived events.
class SqliteSearchFunctions {
public:
    explicit SqliteSearchFunctions(sqlite3* db);
    ~SqliteSearchFunctions();
    SqliteSearchFunctions(const SqliteSearchFunctions&) = delete;
    SqliteSearchFunctions& operator=(const SqliteSearchFunctions&) = delete;

    // Whether the search connection may call the SQL function `name`.
    static bool isAllowed(const char* name);

private:
    std::unique_ptr<ArchiveEventReader> m_reader;
};

}  // namespace vq
