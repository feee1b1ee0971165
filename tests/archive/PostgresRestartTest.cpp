// A PostgreSQL server that restarts, or drops a session, under a program that holds an archive
// open: the next call connects anew, and a write that loses its connection midway keeps nothing.
#include "ArchiveTestSupport.h"
#include "archive/dialect/SqlDialectTranslator.h"
#include "archive/postgres/PostgresPointSearch.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkPointList.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <chrono>
#include <thread>

namespace vq::test {
namespace {

class PostgresRestart : public ArchiveTest {
protected:
    StorageBackend backend() const override { return StorageBackend::Postgres; }

    // Restarts the test cluster as an operator would: every session ends with it.
    static void restartServer() {
#ifdef VQ_POSTGRES_CLUSTER_SCRIPT
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"PG_BINDIR"_s, QStringLiteral(VQ_POSTGRES_BINDIR));
        QProcess restart;
        restart.setProcessEnvironment(environment);
        restart.start(u"sh"_s, {QStringLiteral(VQ_POSTGRES_CLUSTER_SCRIPT), u"restart"_s,
                                QStringLiteral(VQ_POSTGRES_CLUSTER_DIR)});
        ASSERT_TRUE(restart.waitForFinished(120000));
        ASSERT_EQ(restart.exitCode(), 0) << restart.readAllStandardError().toStdString();
#else
        GTEST_SKIP() << "the tests run on a server of one's own, which they never restart";
#endif
    }

    // Ends the archive's sessions that `waiting` picks (a pg_stat_activity condition), waiting
    // until they have ended; how many.
    int endSessions(const std::string& waiting = "true") const {
        return std::stoi(
            PgConnection(m_database->uri())
                .exec("SELECT count(pg_terminate_backend(pid, 10000)) FROM pg_stat_activity WHERE "
                      "datname = current_database() AND pid <> pg_backend_pid() AND " +
                      waiting));
    }
};

int found(ArchiveServer& server, const QString& clause) {
    return server.GetPointsSQL(clause, SdkNamedValues(), nullptr)->Count();
}

TEST_F(PostgresRestart, TheNextCallConnectsAnewAndALostWriteKeepsNothing) {
    createArchive();
    auto server = logOn();
    SdkPointsPtr points = server->Points();
    points->Add(u"A-1"_s, u"base"_s, pointtype::Float32, {});
    ASSERT_EQ(found(*server, u"VQPOINT.TAG = 'A-1'"_s), 1);

    restartServer();
    if (IsSkipped()) return;
    points->Add(u"A-2"_s, u"base"_s, pointtype::Float32, {});
    EXPECT_EQ(found(*server, u"VQPOINT.TAG LIKE 'A-*'"_s), 2);

    // Inside a write the connection is never made anew: the write fails whole and says so.
    {
        auto write = server->storage().beginWrite();
        server->storage().addGroup(u"first"_s);
        ASSERT_GE(endSessions(), 1);
        const Error lost = raised([&] { server->storage().addGroup(u"second"_s); });
        EXPECT_EQ(lost.number(), sdkerr::ServerUnavailable);
        EXPECT_TRUE(lost.description().contains(u"nothing of this write was kept"))
            << lost.description().toStdString();
    }
    points->Add(u"A-3"_s, u"base"_s, pointtype::Float32, {});
    EXPECT_EQ(reopen()->Groups(), QStringList{u"vqadmin"_s});
    EXPECT_EQ(reopen()->pointCount(), 3);

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
}

}  // namespace
}  // namespace vq::test
