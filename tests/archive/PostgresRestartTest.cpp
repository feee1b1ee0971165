// A PostgreSQL server that restarts, or ends a session, under a program that holds an archive
// open: the next call connects anew, and a write that loses its connection midway keeps nothing.
#include "ArchiveTestSupport.h"
#include "archive/dialect/SqlDialectTranslator.h"
#include "archive/postgres/PostgresPointSearch.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkPointList.h"

#include <thread>

namespace vq::test {
namespace {

struct PostgresRestart : ArchiveTest {
    StorageBackend backend() const override { return StorageBackend::Postgres; }

    // Ends the archive's sessions that `picked` (a pg_stat_activity condition) names, and waits
    // until they have ended; how many.
    qint64 endSessions(const QByteArray& picked = "true") const {
        return PgConnection(archivePath())
            .exec(
                "SELECT count(pg_terminate_backend(pid, 10000)) FROM pg_stat_activity "
                "WHERE datname = current_database() AND pid <> pg_backend_pid() AND " +
                picked)
            .integer(0, 0);
    }
};

TEST_F(PostgresRestart, TheNextCallConnectsAnewAndALostWriteKeepsNothing) {
#ifndef VQ_POSTGRES_RESTART
    GTEST_SKIP() << "a server of one's own is never restarted by a test";
#else
    createArchive();
    auto server = logOn();
    const auto add = [&](const char* tag) { server->Points()->Add(tag, u"base"_s, pointtype::Float32, {}); };
    const auto found = [&] {
        return server->GetPointsSQL(u"VQPOINT.TAG LIKE 'A-*'"_s, {}, nullptr)->Count();
    };
    add("A-1");
    ASSERT_EQ(found(), 1);
    ASSERT_EQ(std::system(VQ_POSTGRES_RESTART), 0);
    add("A-2");
    EXPECT_EQ(found(), 2);

    {
        auto write = server->storage().beginWrite();
        server->storage().addGroup(u"first"_s);
        ASSERT_GE(endSessions(), 1);
        const Error lost = raised([&] { server->storage().addGroup(u"second"_s); });
        EXPECT_EQ(lost.number(), sdkerr::ServerUnavailable);
        EXPECT_TRUE(lost.description().contains(u"nothing of this write was kept"));
    }
    add("A-3");  // on a connection made anew after the failed call
    EXPECT_EQ(found(), 3);

    // A search whose session ends while it runs finds the server unavailable, not broken.
    PostgresPointSearch search(archivePath(), server->pointColumns());
    std::thread ender([&] {
        for (int tries = 0; tries < 500 && endSessions("wait_event = 'PgSleep'") == 0; ++tries)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    });
    const Error cut = raised([&] {
        search.run({"SELECT point_id, \"Tag\" FROM points, pg_sleep(20)", {}}, [](qint64, QStringView) {});
    });
    ender.join();
    EXPECT_EQ(cut.number(), sdkerr::ServerUnavailable) << cut.description().toStdString();
#endif
}

}  // namespace
}  // namespace vq::test
