// The point search on a million-point PostgreSQL archive against hand-written PostgreSQL queries
// of the same meaning: a prefix tag mask, every point into a point list, and an inner substring
// against its time budget. The server is VQ_BENCH_POSTGRES_URI, or a throwaway cluster started
// with the tests' cluster script; the points are those of a seeded SQLite archive, copied over.
#include "BenchRatios.h"
#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveSeeder.h"
#include "archive/ArchiveServer.h"
#include "archive/postgres/PgConnection.h"
#include "archive/postgres/PostgresSearchSchema.h"
#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <libpq-fe.h>
#include <sqlite3.h>

#include <thread>

namespace {

using namespace vq;

constexpr int64_t kPoints = 1'000'000;

// A value in COPY's text format.
void appendCopyField(QByteArray& line, const QByteArray& value) {
    for (const char c : value) {
        switch (c) {
            case '\\':
                line += "\\\\";
                break;
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            default:
                line += c;
        }
    }
}

struct PostgresBenchArchive {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-pgsearch-bench-XXXXXX")};
    QString serverUri;
    bool ownCluster = false;
    QString database = QStringLiteral("vq_bench_%1").arg(QCoreApplication::applicationPid());
    QString uri;
    std::shared_ptr<ArchiveServer> server;
    std::unique_ptr<pg::Connection> direct;  // for the hand-written queries
    QString prefix;                          // a tag prefix of about a thousand points
    QString inner;                           // an inner piece of a tag, in few tags
    QString failure;

    PostgresBenchArchive() {
        try {
            startServer();
            pg::Connection(serverUri).execScript("CREATE DATABASE " + database.toUtf8());
            uri = serverUri + (serverUri.contains(u'?') ? u'&' : u'?') + QStringLiteral("dbname=") + database;
            server = ArchiveServer::create(uri, QStringLiteral("pgbench"), QStringLiteral("VQ3"),
                                           QStringLiteral("VQ 3.4.1"));
            server->Open(QStringLiteral("vqadmin"), QString());
            direct = std::make_unique<pg::Connection>(uri);
            load();
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        }
    }

    ~PostgresBenchArchive() {
        server.reset();
        direct.reset();
        if (!uri.isEmpty()) {
            try {
                pg::Connection(serverUri).execScript("DROP DATABASE IF EXISTS " + database.toUtf8() +
                                                     " WITH (FORCE)");
            } catch (const pg::Failure&) {
                // A cluster of its own goes below anyway.
            }
        }
        if (ownCluster) cluster(QStringLiteral("stop"));
    }

    bool cluster(const QString& action) const {
        QProcess script;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PG_BINDIR"), QStringLiteral(VQ_POSTGRES_BINDIR));
        script.setProcessEnvironment(environment);
        script.start(QStringLiteral("sh"), {QStringLiteral(VQ_CLUSTER_SCRIPT), action, clusterDir()});
        return script.waitForFinished(120000) && script.exitCode() == 0;
    }
    // Beside the temporary folder rather than in it: the server's own user must reach it when
    // the benchmarks run as root, and a socket path has to stay short.
    QString clusterDir() const {
        return QDir::tempPath() + QStringLiteral("/vq-pgbench-%1").arg(QCoreApplication::applicationPid());
    }

    void startServer() {
        serverUri = qEnvironmentVariable("VQ_BENCH_POSTGRES_URI");
        if (!serverUri.isEmpty()) return;
        if (!cluster(QStringLiteral("start")))
            throw std::runtime_error("no VQ_BENCH_POSTGRES_URI and the throwaway cluster did not start");
        ownCluster = true;
        serverUri = QStringLiteral("postgresql:///postgres?host=%1&user=postgres").arg(clusterDir());
    }

    // The points of a seeded SQLite archive, their search columns copied in one COPY; the trigram
    // indexes are made again after the load, which is quicker than keeping them up row by row.
    void load() {
        const QString file = dir.filePath(QStringLiteral("seed.vqa"));
        auto seeded = ArchiveServer::create(file, QStringLiteral("seed"), QStringLiteral("VQ3"),
                                            QStringLiteral("VQ 3.4.1"));
        seeded->Open(QStringLiteral("vqadmin"), QString());
        ArchiveSeeder::seed(*seeded, kPoints, 0);
        direct->execScript(
            "DROP INDEX points_tag_trigrams; DROP INDEX points_descriptor_trigrams;"
            " COMMENT ON TABLE aliases IS NULL");
        PGconn* conn = direct->handle();
        PQclear(PQexec(
            conn,
            "COPY points(point_id, class_id, tag_key, \"Tag\", \"PointType\", \"Descriptor\") FROM STDIN"));
        auto rows = seeded->database().prepare(
            "SELECT point_id, class_id, tag_key, \"Tag\", \"PointType\", \"Descriptor\" FROM points");
        QByteArray chunk;
        while (rows.next()) {
            for (int c = 0; c < 6; ++c) {
                if (c) chunk += '\t';
                if (rows.columnType(c) == SQLITE_NULL)
                    chunk += "\\N";
                else
                    appendCopyField(chunk, rows.text(c).toUtf8());
            }
            chunk += '\n';
            if (chunk.size() > (1 << 20)) {
                PQputCopyData(conn, chunk.constData(), int(chunk.size()));
                chunk.clear();
            }
        }
        PQputCopyData(conn, chunk.constData(), int(chunk.size()));
        PQputCopyEnd(conn, nullptr);
        while (PGresult* result = PQgetResult(conn)) {
            const bool failed = PQresultStatus(result) == PGRES_FATAL_ERROR;
            const std::string message = PQresultErrorMessage(result);
            PQclear(result);
            if (failed) throw std::runtime_error("COPY failed: " + message);
        }
        PostgresSearchSchema::ensure(*direct);
        direct->execScript("VACUUM ANALYZE points");
        pickMasks(*seeded);
    }

    void pickMasks(ArchiveServer& seeded) {
        auto query = seeded.database().prepare(
            "WITH lengths(k) AS (VALUES (4), (5), (6), (7))"
            " SELECT substr(\"Tag\", 1, k), count(*) AS n FROM points, lengths GROUP BY 1"
            " ORDER BY abs(n - 1000) LIMIT 1");
        if (query.next()) prefix = query.text(0);
        // Four characters from inside tags, there in about a hundred of them.
        auto pieces = seeded.database().prepare(
            "SELECT substr(tag_key, 3, 4) AS piece, count(*) AS n FROM points GROUP BY 1"
            " ORDER BY abs(n - 100), piece LIMIT 1");
        if (pieces.next()) inner = pieces.text(0);
    }

    // The hand-written query's rows read as a search reads them.
    size_t handWritten(const QByteArray& sql, const pg::Params& params) const {
        const pg::Rows rows = direct->exec(sql, params);
        std::vector<std::pair<qint64, QString>> points;
        points.reserve(size_t(rows.count()));
        for (int i = 0; i < rows.count(); ++i) points.emplace_back(rows.integer(i, 0), rows.text(i, 1));
        return points.size();
    }
};

std::unique_ptr<PostgresBenchArchive>& made() {
    static std::unique_ptr<PostgresBenchArchive> a;
    return a;
}

// The archive, or null when there is no server to measure on (the benchmark then says why).
PostgresBenchArchive* archive(benchmark::State& state) {
    if (!made()) {
        made() = std::make_unique<PostgresBenchArchive>();
        bench::addCleanup([] { made().reset(); });
    }
    if (!made()->failure.isEmpty()) {
        state.SkipWithError(made()->failure.toStdString().c_str());
        return nullptr;
    }
    return made().get();
}

void BM_PgSearch_PrefixMask(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    const QString clause = QStringLiteral("VQPOINT.TAG LIKE '%1*'").arg(a->prefix);
    int count = 0;
    for (auto _ : state) count = a->server->GetPointsSQL(clause, SdkNamedValues(), nullptr)->Count();
    state.counters["points"] = count;
}
void BM_PgSearch_PrefixMask_HandWritten(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    const pg::Params params = {pg::Param::text(a->prefix.toCaseFolded() + u'%')};
    for (auto _ : state)
        benchmark::DoNotOptimize(a->handWritten(
            "SELECT point_id, \"Tag\" FROM points WHERE tag_key LIKE $1 ORDER BY tag_key", params));
}
BENCHMARK(BM_PgSearch_PrefixMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PgSearch_PrefixMask_HandWritten)->Unit(benchmark::kMillisecond);

void BM_PgSearch_SubstringMask(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    const QString clause = QStringLiteral("VQPOINT.TAG LIKE '*%1*'").arg(a->inner);
    int count = 0;
    for (auto _ : state)
        count =
            silently(0, [&] { return a->server->GetPointsSQL(clause, SdkNamedValues(), nullptr)->Count(); });
    state.counters["points"] = count;
}
void BM_PgSearch_Budget_20ms(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}
BENCHMARK(BM_PgSearch_SubstringMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PgSearch_Budget_20ms)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_PgSearch_AllPoints(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    int count = 0;
    for (auto _ : state)
        count =
            a->server->GetPointsSQL(QStringLiteral("VQPoint.Tag = '*'"), SdkNamedValues(), nullptr)->Count();
    state.counters["points"] = count;
}
void BM_PgSearch_AllPoints_HandWritten(benchmark::State& state) {
    PostgresBenchArchive* a = archive(state);
    if (!a) return;
    for (auto _ : state)
        benchmark::DoNotOptimize(a->handWritten("SELECT point_id, \"Tag\" FROM points ORDER BY tag_key", {}));
}
BENCHMARK(BM_PgSearch_AllPoints)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PgSearch_AllPoints_HandWritten)->Unit(benchmark::kMillisecond)->Iterations(3);

const bool registered = [] {
    bench::addRatioGoal({"BM_PgSearch_PrefixMask", "BM_PgSearch_PrefixMask_HandWritten", 1.2});
    bench::addRatioGoal({"BM_PgSearch_SubstringMask", "BM_PgSearch_Budget_20ms/iterations:10", 1.0});
    bench::addRatioGoal(
        {"BM_PgSearch_AllPoints/iterations:3", "BM_PgSearch_AllPoints_HandWritten/iterations:3", 1.5});
    return true;
}();

}  // namespace
