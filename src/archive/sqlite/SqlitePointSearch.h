#pragma once

#include "archive/storage/PointSearchEngine.h"

#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace vq {

class SqliteSearchFunctions;
struct SqlQuery;

// Runs point searches on an SQLite archive through a connection of its own, opened read-only,
// under an authorizer that lets a statement read only the archive's search tables and call only
// the search functions, with tight SQLite limits and a progress handler that cancels a search on
// request or when it runs past its time limit.
class SqlitePointSearch : public PointSearchEngine {
public:
    static constexpr std::chrono::milliseconds DefaultTimeLimit{30000};
    // Prepared statements kept for searches of the same shape.
    static constexpr size_t KeptStatements = 16;

    // `pointColumns`: the stored columns of the archive's point table.
    // `immutable`: the file lies where nobody can change it (a read-only folder).
    SqlitePointSearch(QString path, QStringList pointColumns, bool immutable = false);
    ~SqlitePointSearch() override;

    void search(const SqlNode& clause, const PointSink& sink) override;
    void cancel() override;
    bool isRunning() const override { return m_running.load(); }
    // From any thread; a search takes the limit set when it starts.
    void setTimeLimit(std::chrono::milliseconds limit) override { m_nextTimeLimit = limit; }

    // Runs translated SQL as a search does; for tests of the safety net itself.
    void run(const SqlQuery& query, const PointSink& sink);

private:
    void openConnection();
    sqlite3_stmt* prepare(const SqlQuery& query);
    [[noreturn]] void fail(int code, const QString& what);
    static int authorize(void* self, int action, const char* a, const char* b, const char* db,
                         const char* trigger);
    static int progress(void* self);

    QString m_path;
    QStringList m_pointColumns;
    bool m_immutable = false;
    sqlite3* m_db = nullptr;
    struct Prepared {
        QByteArray sql;
        sqlite3_stmt* stmt;
    };
    std::vector<Prepared> m_prepared;  // most recently used first
    std::unique_ptr<SqliteSearchFunctions> m_functions;
    std::atomic<std::chrono::milliseconds> m_nextTimeLimit{DefaultTimeLimit};
    // The running search's limit.
    std::chrono::milliseconds m_timeLimit = DefaultTimeLimit;
    std::chrono::steady_clock::time_point m_deadline;
    std::atomic<bool> m_running{false};
    std::atomic<unsigned> m_cancelled{0};  // searches cancelled so far
    unsigned m_searchNumber = 0;           // the cancel count when the running search started
    bool m_timedOut = false;
    QString m_denied;
};

}  // namespace vq
