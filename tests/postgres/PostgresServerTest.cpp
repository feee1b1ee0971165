// What the PostgreSQL archive relies on from the server and libpq, checked against a real server.
#include "PostgresTestServer.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace vq::test {
namespace {

using Clock = std::chrono::steady_clock;

// Polls `sql` on `watcher` until it yields true; a server that never gets there fails the test
// after a generous deadline instead of hanging it.
bool becomesTrue(const PgConnection& watcher, const std::string& sql) {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        if (watcher.exec(sql) == "t") return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

std::string backendIs(const PgConnection& conn, const std::string& condition) {
    return "SELECT EXISTS (SELECT 1 FROM pg_stat_activity WHERE pid = " + std::to_string(conn.backendPid()) +
           " AND " + condition + ")";
}

// The result of a query sent with PQsendQuery; the connection is ready for the next one after.
PgResult awaitResult(const PgConnection& conn) {
    PgResult result(PQgetResult(conn.get()), &PQclear);
    while (PGresult* extra = PQgetResult(conn.get())) PQclear(extra);
    return result;
}

using PostgresServerTest = PostgresTest;

TEST_F(PostgresServerTest, EachTestGetsItsOwnDatabaseWithTrigramSearch) {
    const PgConnection conn = connect();
    EXPECT_EQ(conn.exec("SELECT current_database()"), database());
    EXPECT_EQ(admin().exec("SELECT current_database()"), "postgres");

    conn.exec("CREATE EXTENSION pg_trgm");
    conn.exec("CREATE TABLE tags (name text)");
    conn.exec("CREATE INDEX tags_name ON tags USING gin (name gin_trgm_ops)");
    conn.exec("INSERT INTO tags VALUES ('SINUSOID'), ('SINUSOIDU'), ('CDT158'), ('BA:TEMP.1')");
    EXPECT_EQ(conn.exec("SELECT string_agg(name, ',' ORDER BY name) FROM tags "
                        "WHERE name ILIKE '%nuso%'"),
              "SINUSOID,SINUSOIDU");
    EXPECT_EQ(conn.exec("SELECT similarity('SINUSOID', 'SINUSOIDU') > 0.5"), "t");
    // The tables are the test's own: the server's default database does not see them.
    EXPECT_EQ(admin().exec("SELECT to_regclass('tags') IS NULL"), "t");
}

TEST_F(PostgresServerTest, ReadOnlyTransactionAndStatementTimeoutRefuseWithTheirStates) {
    const PgConnection conn = connect();
    conn.exec("CREATE TABLE points (tag text)");

    conn.exec("BEGIN READ ONLY");
    EXPECT_EQ(sqlState(conn.run("INSERT INTO points VALUES ('CDT158')").get()), "25006");
    conn.exec("ROLLBACK");
    EXPECT_EQ(conn.exec("SELECT count(*) FROM points"), "0");

    conn.exec("BEGIN");
    conn.exec("SET LOCAL statement_timeout = '50ms'");
    EXPECT_EQ(sqlState(conn.run("SELECT pg_sleep(30)").get()), "57014");
    conn.exec("ROLLBACK");
    // LOCAL ends with the transaction; the next statement has no time limit again.
    EXPECT_EQ(conn.exec("SHOW statement_timeout"), "0");
}

TEST_F(PostgresServerTest, CancelFromAnotherThreadStopsARunningStatement) {
    const PgConnection conn = connect();
    ASSERT_EQ(PQsendQuery(conn.get(), "SELECT pg_sleep(30)"), 1);

    std::atomic<Clock::rep> cancelledAt{0};
    std::string cancelError = "the statement was never seen running";
    std::thread canceller([&] {
        try {
            if (!becomesTrue(admin(), backendIs(conn, "state = 'active' AND query LIKE '%pg_sleep%'")))
                return;
            std::unique_ptr<PGcancel, decltype(&PQfreeCancel)> cancel(PQgetCancel(conn.get()), &PQfreeCancel);
            char error[256] = {};
            cancelledAt = Clock::now().time_since_epoch().count();
            cancelError = PQcancel(cancel.get(), error, sizeof error) ? "" : error;
        } catch (const std::exception& error) {
            cancelError = error.what();  // an exception must not end the test program
        }
    });
    const PgResult result = awaitResult(conn);
    const auto finishedAt = Clock::now();
    canceller.join();

    ASSERT_EQ(cancelError, "");
    EXPECT_EQ(sqlState(result.get()), "57014") << PQresultErrorMessage(result.get());
    const auto latency = finishedAt - Clock::time_point(Clock::duration(cancelledAt.load()));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(latency).count();
    RecordProperty("cancel_latency_ms", std::to_string(ms));
    std::printf("cancel latency: %lld ms\n", static_cast<long long>(ms));
    // The connection stays usable after a cancelled statement.
    EXPECT_EQ(conn.exec("SELECT 1"), "1");
}

TEST_F(PostgresServerTest, TwoWritersOfOneRowTakeTurns) {
    const PgConnection first = connect();
    const PgConnection second = connect();
    first.exec("CREATE TABLE counters (id int PRIMARY KEY, n int NOT NULL)");
    first.exec("INSERT INTO counters VALUES (1, 0)");

    first.exec("BEGIN");
    first.exec("UPDATE counters SET n = n + 1 WHERE id = 1");
    ASSERT_EQ(PQsendQuery(second.get(), "UPDATE counters SET n = n + 1 WHERE id = 1 RETURNING n"), 1);
    ASSERT_TRUE(becomesTrue(admin(), backendIs(second, "wait_event_type = 'Lock'")))
        << "the second writer never waited for the first";
    ASSERT_EQ(PQconsumeInput(second.get()), 1);
    EXPECT_EQ(PQisBusy(second.get()), 1) << "the second writer went ahead of an open transaction";

    first.exec("COMMIT");
    const PgResult result = awaitResult(second);
    ASSERT_EQ(PQresultStatus(result.get()), PGRES_TUPLES_OK) << PQresultErrorMessage(result.get());
    // The second update starts from the first one's committed value: no update is lost.
    EXPECT_STREQ(PQgetvalue(result.get(), 0, 0), "2");
    EXPECT_EQ(first.exec("SELECT n FROM counters"), "2");
}

}  // namespace
}  // namespace vq::test
