// The Point Builder's tag completion on a million points: each keystroke refills the suggestions
// from the server's tag index and shows them in the completer's popup. Measured per keystroke of
// a tag typed from its first character to its last, against a hand-written SQLite prefix query
// of the same twelve rows, and against one frame (16 ms): no visible delay.
#include "BenchRatios.h"
#include "TagCompleter.h"
#include "archive/data/ArchiveSeeder.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace {

using namespace vq;

constexpr int64_t kPoints = 1'000'000;

struct CompletionArchive {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-completion-bench-XXXXXX")};
    std::shared_ptr<ArchiveServer> server;
    sqlite3* plain = nullptr;
    sqlite3_stmt* prefixQuery = nullptr;
    QString tag;  // typed key by key: a tag from the middle of the index
    QLineEdit* field = nullptr;
    TagCompleter* completer = nullptr;

    CompletionArchive() {
        const QString path = dir.filePath(QStringLiteral("completion.vqa"));
        server = ArchiveServer::create(path, QStringLiteral("bench"), QStringLiteral("VQ3"),
                                       QStringLiteral("VQ 3.4.1"));
        server->Open(QStringLiteral("vqadmin"), QString());
        ArchiveSeeder::seed(*server, kPoints, 0);
        auto middle = SqliteArchiveStorage::databaseOf(server->storage())
                          .prepare(
                              "SELECT \"Tag\" FROM points ORDER BY tag_key LIMIT 1 OFFSET (SELECT count(*) / "
                              "2 FROM points)");
        if (middle.next()) tag = middle.text(0);
        sqlite3_open_v2(path.toUtf8().constData(), &plain, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_prepare_v2(plain,
                           "SELECT \"Tag\" FROM points WHERE tag_key >= ?1 AND tag_key < ?2 ORDER BY tag_key "
                           "LIMIT 12",
                           -1, &prefixQuery, nullptr);
        field = new QLineEdit;
        completer = new TagCompleter(field);
        completer->setServer(server);
        field->resize(300, 30);
        field->show();
        QApplication::processEvents();
        bench::addCleanup([this] {
            delete field;
            sqlite3_finalize(prefixQuery);
            sqlite3_close(plain);
            server.reset();
        });
    }

    // The text after the next keystroke: the tag's first 1, 2, ... characters, then again.
    QString nextTyped(qsizetype& keys) const { return tag.left(keys++ % tag.size() + 1); }
};

CompletionArchive& archive() {
    static auto* a = new CompletionArchive;  // its cleanup runs while the application exists
    return *a;
}

// What the field does on a keystroke: refill, then complete the typed text in the popup.
void BM_TagCompletion_Keystroke(benchmark::State& state) {
    CompletionArchive& a = archive();
    qsizetype keys = 0;
    int64_t suggested = 0;
    for (auto _ : state) {
        const QString typed = a.nextTyped(keys);
        a.field->setText(typed);
        a.completer->refill(typed);
        a.completer->completer()->setCompletionPrefix(typed);
        a.completer->completer()->complete();
        QApplication::processEvents();
        suggested += a.completer->completer()->completionCount();
    }
    a.completer->completer()->popup()->hide();
    state.counters["suggestions"] = benchmark::Counter(double(suggested), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_TagCompletion_Keystroke)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The server's part alone.
void BM_TagCompletion_TagsStartingWith(benchmark::State& state) {
    CompletionArchive& a = archive();
    qsizetype keys = 0;
    for (auto _ : state) benchmark::DoNotOptimize(a.server->TagsStartingWith(a.nextTyped(keys), 12));
}
BENCHMARK(BM_TagCompletion_TagsStartingWith)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The same twelve tags by hand: a prepared range query on the folded tag index.
void BM_TagCompletion_PlainSqlite(benchmark::State& state) {
    CompletionArchive& a = archive();
    qsizetype keys = 0;
    for (auto _ : state) {
        const QByteArray low = a.nextTyped(keys).toCaseFolded().toUtf8();
        QByteArray high = low;
        high.back() = char(high.back() + 1);
        sqlite3_bind_text(a.prefixQuery, 1, low.constData(), int(low.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(a.prefixQuery, 2, high.constData(), int(high.size()), SQLITE_TRANSIENT);
        QStringList tags;
        while (sqlite3_step(a.prefixQuery) == SQLITE_ROW)
            tags << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(a.prefixQuery, 0)));
        sqlite3_reset(a.prefixQuery);
        benchmark::DoNotOptimize(tags);
    }
}
BENCHMARK(BM_TagCompletion_PlainSqlite)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_TagCompletion_Frame16ms(benchmark::State& state) {
    for (auto _ : state) std::this_thread::sleep_for(std::chrono::milliseconds(16));
}
BENCHMARK(BM_TagCompletion_Frame16ms)->Unit(benchmark::kMicrosecond)->UseRealTime()->Iterations(30);

const bool registered = [] {
    bench::addRatioGoal({"BM_TagCompletion_TagsStartingWith/real_time",
                         "BM_TagCompletion_PlainSqlite/real_time", 2.0, bench::Clock::Cpu});
    // The popup's layout and paint are most of a keystroke; the search stays a small part of it.
    bench::addRatioGoal({"BM_TagCompletion_Keystroke/real_time", "BM_TagCompletion_PlainSqlite/real_time",
                         100.0, bench::Clock::Cpu});
    bench::addRatioGoal({"BM_TagCompletion_Keystroke/real_time",
                         "BM_TagCompletion_Frame16ms/iterations:30/real_time", 0.25,
                         bench::Clock::CpuToBudget, 16e-3});
    return true;
}();

}  // namespace
