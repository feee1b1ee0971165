// Feeds arbitrary where clauses to the point search of a small seeded archive. A finding is a
// crash, an exception other than the archive's own errors, a search past its time limit, or
// any change to the archive.
#include "archive/data/ArchiveSeeder.h"
#include "archive/dialect/SqlDialectParser.h"
#include "archive/server/ArchiveServer.h"
#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace vq;

struct Fixture {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-fuzz-XXXXXX")};
    std::shared_ptr<ArchiveServer> server;
    sqlite3* watcher = nullptr;
    qint64 version = 0;

    Fixture() {
        const QString path = dir.filePath(QStringLiteral("fuzz.vqa"));
        server = ArchiveServer::create(path, QStringLiteral("fuzz"), QStringLiteral("VQ3"),
                                       QStringLiteral("VQ 3.4.1"));
        server->Open(QStringLiteral("vqadmin"), QString());
        ArchiveSeeder::seed(*server, 200, 2);
        server->setSearchTimeLimit(std::chrono::milliseconds(250));
        sqlite3_open_v2(path.toUtf8().constData(), &watcher, SQLITE_OPEN_READONLY, nullptr);
        version = dataVersion();
    }

    // Changes whenever another connection commits to the file.
    qint64 dataVersion() const {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(watcher, "PRAGMA data_version", -1, &stmt, nullptr);
        sqlite3_step(stmt);
        const qint64 value = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
        return value;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

SdkNamedValues tablesOf(const QString& clause) {
    SdkNamedValues set;
    try {
        for (SqlTable table : SqlDialectParser::tablesOf(*SqlDialectParser::parse(clause)))
            if (table != SqlTable::Point) set.Add(SqlDialectVocabulary::setName(table), Variant(int16_t(0)));
    } catch (const Error&) {
    }
    return set;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fixture& f = fixture();
    const QString clause = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto started = std::chrono::steady_clock::now();
    try {
        f.server->GetPointsSQL(clause, tablesOf(clause), nullptr);
    } catch (const Error&) {
        // Refusals, syntax errors, "no point matches" and time limits are all answers.
    }
    if (std::chrono::steady_clock::now() - started > std::chrono::seconds(5)) {
        std::fprintf(stderr, "search ran past its time limit\n");
        std::abort();
    }
    if (f.dataVersion() != f.version) {
        std::fprintf(stderr, "the archive changed during a search\n");
        std::abort();
    }
    return 0;
}
