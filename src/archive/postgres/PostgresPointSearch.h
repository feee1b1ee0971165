#pragma once

#include "archive/postgres/PgConnection.h"
#include "archive/storage/PointSearchEngine.h"

#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace vq {

struct SqlQuery;

// Runs point searches on a PostgreSQL archive through a connection of its own. Each search is
// one read-only transaction with a statement time limit; the rows come through a cursor a batch
// at a time, so a search of every point never holds them all. cancel() asks the server to stop
// the running statement.
class PostgresPointSearch : public PointSearchEngine {
public:
    static constexpr std::chrono::milliseconds DefaultTimeLimit{30000};
    // Rows fetched from the cursor at a time.
    static constexpr int BatchRows = 8192;

    // `uri`: the archive's libpq URI; `pointColumns`: the stored columns of its point table.
    PostgresPointSearch(QString uri, QStringList pointColumns);
    ~PostgresPointSearch() override;

    void search(const SqlNode& clause, const PointSink& sink) override;
    void cancel() override;
    bool isRunning() const override { return m_running.load(); }
    // From any thread; a search takes the limit set when it starts.
    void setTimeLimit(std::chrono::milliseconds limit) override { m_nextTimeLimit = limit; }

    // Runs translated SQL as a search does; for tests of the safety net itself. The statement's
    // first two columns are the point id and the tag.
    void run(const SqlQuery& query, const PointSink& sink);

private:
    // One statement of a pipeline; `types` may give the parameters' type ids.
    struct Statement {
        QByteArray sql;
        pg::Params params = {};
        std::vector<unsigned> types = {};
    };

    pg::Connection& connection();
    pg::Rows exchange(const std::vector<Statement>& statements);
    void request(const std::vector<Statement>& statements);
    pg::Rows answer();
    static void send(pg_conn* conn, const Statement& statement);
    void deliver(const pg::Rows& rows, const PointSink& sink);
    QStringView tagOf(QByteArrayView utf8);
    pg::Param timeLeft() const;
    void rollback();
    void sendCommit();
    void finishCommit(bool wait);
    [[noreturn]] void fail(const pg::Failure& failure);

    QString m_uri;
    QStringList m_pointColumns;
    std::unique_ptr<pg::Connection> m_connection;
    std::mutex m_cancelMutex;  // cancel() against the connection being replaced
    std::atomic<std::chrono::milliseconds> m_nextTimeLimit{DefaultTimeLimit};
    // The running search's limit.
    std::chrono::milliseconds m_timeLimit = DefaultTimeLimit;
    std::chrono::milliseconds m_sessionLimit{-1};  // the connection's own statement_timeout
    std::atomic<bool> m_running{false};
    size_t m_requested = 0;                // statements sent whose answers are not read yet
    bool m_commitSent = false;             // the last search's COMMIT, whose answer is read by the next one
    std::atomic<unsigned> m_cancelled{0};  // searches cancelled so far
    unsigned m_searchNumber = 0;           // the cancel count when the running search started
    std::chrono::steady_clock::time_point m_deadline;
    // The row being delivered's tag, reused from row to row.
    std::u16string m_tag;
    QString m_decodedTag;
};

}  // namespace vq
