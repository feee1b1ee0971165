// Point search speed on a million seeded points, each search against a hand-written SQLite query
// of the same meaning filling the same point list, and two absolute budgets (a substring mask,
// cancelling) against sleeps of the budget's length.
#include "BenchRatios.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <atomic>
#include <thread>

namespace {

using namespace vq;

constexpr int64_t kPoints = 1'000'000;

struct SearchArchive {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-search-bench-XXXXXX")};
    std::shared_ptr<ArchiveServer> server;
    sqlite3* plain = nullptr;  // the hand-written queries' own read-only connection
    QString prefix;            // a tag prefix of about a thousand points
    QString phrase;            // an inner descriptor text of a few hundred points
    SdkNamedValues comp;

    SearchArchive() {
        const QString path = dir.filePath(QStringLiteral("search.vqa"));
        server = ArchiveServer::create(path, QStringLiteral("bench"), QStringLiteral("VQ3"),
                                       QStringLiteral("VQ 3.4.1"));
        server->Open(QStringLiteral("vqadmin"), QString());
        ArchiveSeeder::seed(*server, kPoints, 2);
        sqlite3_open_v2(path.toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr);
        prefix = pick(
            "WITH lengths(k) AS (VALUES (4), (5), (6), (7))"
            " SELECT substr(tag_key, 1, k), count(*) AS n FROM points, lengths GROUP BY 1"
            " ORDER BY abs(n - 1000) LIMIT 1");
        const QString descriptor = pick(
            "SELECT lower(Descriptor), count(*) AS n FROM points GROUP BY 1"
            " HAVING n BETWEEN 200 AND 800 LIMIT 1");
        phrase = descriptor.mid(2, descriptor.size() - 4);
        comp.Add(QStringLiteral("VQcomp"), Variant(int16_t(0)));
    }

    QString pick(const char* sql) const {
        auto query = SqliteArchiveStorage::databaseOf(server->storage()).prepare(sql);
        return query.next() ? query.text(0) : QString();
    }
};

SearchArchive& archive() {
    static SearchArchive a;
    return a;
}

SdkPointListPtr searchArchive(const QString& clause, const SdkNamedValues& tables = SdkNamedValues()) {
    return archive().server->GetPointsSQL(clause, tables, nullptr);
}

// The hand-written side: prepare, bind texts and numbers, and fill a point list as the
// archive does (counting first when asked, so that the list is allocated once).
SdkPointListPtr searchPlain(const char* sql, const QVariantList& parameters) {
    SearchArchive& a = archive();
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(a.plain, sql, -1, &stmt, nullptr);
    for (int i = 0; i < parameters.size(); ++i) {
        if (parameters[i].typeId() == QMetaType::Double) {
            sqlite3_bind_double(stmt, i + 1, parameters[i].toDouble());
        } else {
            const QByteArray text = parameters[i].toString().toUtf8();
            sqlite3_bind_text(stmt, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
    }
    auto list = SdkPointList::create();
    const SdkServerPtr server = a.server;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* tag = static_cast<const char16_t*>(sqlite3_column_text16(stmt, 1));
        list->AddHandle(server, sqlite3_column_int64(stmt, 0),
                        QStringView(tag, sqlite3_column_bytes16(stmt, 1) / 2));
    }
    sqlite3_finalize(stmt);
    return list;
}

void report(benchmark::State& state, const SdkPointListPtr& list) {
    state.counters["points"] = double(list->Count());
    state.counters["bytes_per_point"] = double(list->MemoryUsage()) / std::max(1, list->Count());
}

void BM_Search_PrefixMask_Archive(benchmark::State& state) {
    const QString clause = QStringLiteral("VQPOINT.TAG LIKE '%1*'").arg(archive().prefix.toUpper());
    SdkPointListPtr list;
    for (auto _ : state) list = searchArchive(clause);
    report(state, list);
}
void BM_Search_PrefixMask_PlainSqlite(benchmark::State& state) {
    const QString low = archive().prefix;
    const QString high = low.left(low.size() - 1) + QChar(low.back().unicode() + 1);
    SdkPointListPtr list;
    for (auto _ : state)
        list = searchPlain(
            "SELECT point_id, \"Tag\" FROM points WHERE tag_key >= ?1 AND tag_key < ?2 ORDER BY tag_key",
            {low, high});
    report(state, list);
}
BENCHMARK(BM_Search_PrefixMask_Archive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_PrefixMask_PlainSqlite)->Unit(benchmark::kMillisecond);

void BM_Search_AllPoints_Archive(benchmark::State& state) {
    SdkPointListPtr list;
    for (auto _ : state) {
        list.reset();
        list = searchArchive(QStringLiteral("VQPoint.Tag = '*'"));
    }
    report(state, list);
}
void BM_Search_AllPoints_PlainSqlite(benchmark::State& state) {
    SdkPointListPtr list;
    for (auto _ : state) {
        list.reset();
        list = searchPlain("SELECT point_id, \"Tag\" FROM points ORDER BY tag_key", {});
    }
    report(state, list);
}
BENCHMARK(BM_Search_AllPoints_Archive)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Search_AllPoints_PlainSqlite)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Search_DescriptorSubstring_Archive(benchmark::State& state) {
    const QString clause = QStringLiteral("VQPOINT.DESCRIPTOR LIKE '*%1*'").arg(archive().phrase);
    SdkPointListPtr list;
    for (auto _ : state) list = searchArchive(clause);
    report(state, list);
}
void BM_Search_DescriptorSubstring_PlainSqlite(benchmark::State& state) {
    // The trigram index's own substring search, which checks every candidate's text itself.
    const QString pattern = u'%' + archive().phrase + u'%';
    SdkPointListPtr list;
    for (auto _ : state)
        list = searchPlain(
            "SELECT point_id, \"Tag\" FROM points WHERE point_id IN"
            " (SELECT rowid FROM descriptor_trigrams WHERE Descriptor LIKE ?1) ORDER BY tag_key",
            {pattern});
    report(state, list);
}
void BM_Budget_10ms(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
BENCHMARK(BM_Search_DescriptorSubstring_Archive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Search_DescriptorSubstring_PlainSqlite)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Budget_10ms)->Unit(benchmark::kMillisecond)->Iterations(20);

// Points whose current value is over a threshold: a scan of the archived values either way.
void BM_Search_CurrentValueJoin_Archive(benchmark::State& state) {
    SdkPointListPtr list;
    for (auto _ : state)
        list = searchArchive(
            QStringLiteral("VQcomp.Value > 900 AND VQpoint.Tag = VQcomp.Tag AND VQcomp.Time = DATE(\"*\")"),
            archive().comp);
    report(state, list);
}
void BM_Search_CurrentValueJoin_PlainSqlite(benchmark::State& state) {
    SdkPointListPtr list;
    for (auto _ : state)
        list = searchPlain(
            "SELECT DISTINCT p.point_id, p.\"Tag\" FROM points p JOIN archive c ON c.point_id = p.point_id"
            " WHERE c.value > ?1 AND typeof(c.value) IN ('integer', 'real') AND c.time = (SELECT max(time) "
            "FROM archive a"
            " WHERE a.point_id = c.point_id AND a.time <= ?2) ORDER BY p.tag_key",
            {900.0, double(QDateTime::currentSecsSinceEpoch())});
    report(state, list);
}
BENCHMARK(BM_Search_CurrentValueJoin_Archive)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Search_CurrentValueJoin_PlainSqlite)->Unit(benchmark::kMillisecond)->Iterations(3);

// From the cancel request to the search thread having its answer.
void BM_Search_CancelLatency(benchmark::State& state) {
    auto server = ArchiveServer::open(QStringLiteral("bench"), archive().server->path());
    server->setSearchTimeLimit(std::chrono::minutes(10));
    SdkNamedValues tables;
    tables.Add(QStringLiteral("VQcomp"), Variant(int16_t(0)));
    tables.Add(QStringLiteral("VQinterp"), Variant(int16_t(0)));
    server->pointCount();
    for (auto _ : state) {
        state.PauseTiming();
        std::atomic<bool> done{false};
        std::thread search([&] {
            try {
                server->GetPointsSQL(QStringLiteral("VQcomp.Value > VQinterp.Value"), tables, nullptr);
            } catch (const Error&) {
            }
            done = true;
        });
        while (!server->isSearching()) std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state.ResumeTiming();
        server->cancelSearch();
        while (!done) std::this_thread::yield();
        state.PauseTiming();
        search.join();
        state.ResumeTiming();
    }
}
void BM_Budget_50ms(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(50));
}
BENCHMARK(BM_Search_CancelLatency)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_Budget_50ms)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

const bool registered = [] {
    bench::addRatioGoal(
        {"BM_Search_PrefixMask_Archive", "BM_Search_PrefixMask_PlainSqlite", 1.2, bench::Clock::Cpu});
    bench::addRatioGoal({"BM_Search_AllPoints_Archive/iterations:5",
                         "BM_Search_AllPoints_PlainSqlite/iterations:5", 2.0, bench::Clock::Cpu});
    bench::addRatioGoal({"BM_Search_DescriptorSubstring_Archive", "BM_Budget_10ms/iterations:20", 1.0,
                         bench::Clock::CpuToBudget, 10e-3});
    bench::addRatioGoal({"BM_Search_CurrentValueJoin_Archive/iterations:3",
                         "BM_Search_CurrentValueJoin_PlainSqlite/iterations:3", 1.5, bench::Clock::Cpu});
    bench::addRatioGoal(
        {"BM_Search_CancelLatency/iterations:5/real_time", "BM_Budget_50ms/iterations:5/real_time", 1.0});
    return true;
}();

}  // namespace
