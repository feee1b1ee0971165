#include "archive/sqlite/SqlitePointSearch.h"

#include "archive/sqlite/SqliteDatabase.h"

#include "archive/sqlite/SqliteDialectTranslator.h"
#include "archive/sqlite/SqliteSearchFunctions.h"
#include "sdk/SdkErrors.h"

#include <QDateTime>

#include <sqlite3.h>

#include <algorithm>
#include <cstring>

namespace vq {

namespace {

const QString searchSource = QStringLiteral("VQArchive");

// The tables a search may read: the archive's own, with the trigram indexes' inner tables.
bool isSearchTable(const char* name) {
    static const char* const tables[] = {"points",  "archive",       "aliases",
                                         "batches", "point_classes", "digital_states"};
    for (const char* table : tables)
        if (sqlite3_stricmp(table, name) == 0) return true;
    for (const char* index : {"tag_trigrams", "descriptor_trigrams"})
        if (sqlite3_strnicmp(name, index, int(strlen(index))) == 0) return true;
    return false;
}

// Limits that no search the translator makes comes near, so that nothing built by hand can
// make SQLite work unboundedly hard before the progress handler even runs.
void limit(sqlite3* db) {
    sqlite3_limit(db, SQLITE_LIMIT_LENGTH, 1'000'000);
    sqlite3_limit(db, SQLITE_LIMIT_SQL_LENGTH, 400'000);
    sqlite3_limit(db, SQLITE_LIMIT_EXPR_DEPTH, 1000);
    sqlite3_limit(db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 4 * SqlDialectTranslator::MaxMaskLength);
    sqlite3_limit(db, SQLITE_LIMIT_VARIABLE_NUMBER, 20'000);
    sqlite3_limit(db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(db, SQLITE_LIMIT_COMPOUND_SELECT, 4);
    sqlite3_limit(db, SQLITE_LIMIT_FUNCTION_ARG, 8);
    sqlite3_limit(db, SQLITE_LIMIT_TRIGGER_DEPTH, 1);
    sqlite3_limit(db, SQLITE_LIMIT_WORKER_THREADS, 0);
}

void bindAll(sqlite3_stmt* stmt, const std::vector<Variant>& parameters) {
    for (size_t i = 0; i < parameters.size(); ++i) {
        const Variant& value = parameters[i];
        if (value.isNumeric() && value.type() != Variant::Type::String) {
            sqlite3_bind_double(stmt, int(i) + 1, value.toDouble());
        } else {
            const QByteArray utf8 = value.toString().toUtf8();
            sqlite3_bind_text(stmt, int(i) + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
    }
}

}  // namespace

SqlitePointSearch::SqlitePointSearch(QString path, QStringList pointColumns, bool immutable)
    : m_path(std::move(path)), m_pointColumns(std::move(pointColumns)), m_immutable(immutable) {}

SqlitePointSearch::~SqlitePointSearch() {
    for (const Prepared& prepared : m_prepared) sqlite3_finalize(prepared.stmt);
    m_functions.reset();
    sqlite3_close(m_db);
}

void SqlitePointSearch::openConnection() {
    if (m_db) return;
    sqlite3* db = nullptr;
    const QByteArray name = m_immutable ? SqliteDatabase::immutableUri(m_path) : m_path.toUtf8();
    const int rc = sqlite3_open_v2(name.constData(), &db,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw Error(
            sdkerr::ServerUnavailable, searchSource,
            QStringLiteral("The archive \"%1\" cannot be opened for searching: %2").arg(m_path, message));
    }
    m_db = db;
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 5000);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
    // Plans must not depend on bound values, or binding new ones would make SQLite prepare a
    // cached statement again; the translator spells out the index ranges instead.
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_QPSG, 1, nullptr);
    limit(db);
    m_functions = std::make_unique<SqliteSearchFunctions>(db);
    // The trigram indexes declare their columns through SQL of their own when first used; that
    // happens here, before the authorizer, which would rightly refuse a declaration.
    sqlite3_exec(db,
                 "SELECT rowid FROM tag_trigrams WHERE rowid = 0;"
                 " SELECT rowid FROM descriptor_trigrams WHERE rowid = 0",
                 nullptr, nullptr, nullptr);
    // Searches jump from index entries to point rows all over the file: mapped pages and a larger
    // cache spare them a read call per row.
    sqlite3_exec(db, "PRAGMA cache_size = -32768; PRAGMA mmap_size = 268435456", nullptr, nullptr, nullptr);
    sqlite3_set_authorizer(db, &SqlitePointSearch::authorize, this);
    sqlite3_progress_handler(db, 1000, &SqlitePointSearch::progress, this);
}

int SqlitePointSearch::authorize(void* self, int action, const char* a, const char* b, const char*,
                                 const char*) {
    auto* search = static_cast<SqlitePointSearch*>(self);
    switch (action) {
        case SQLITE_SELECT:
            return SQLITE_OK;
        case SQLITE_READ:
            if (a && isSearchTable(a)) return SQLITE_OK;
            search->m_denied = QStringLiteral("reading table %1").arg(QString::fromUtf8(a ? a : "?"));
            return SQLITE_DENY;
        case SQLITE_PRAGMA:
            // The trigram index asks whether the file changed; a read of a counter, without argument.
            if (a && !b && sqlite3_stricmp(a, "data_version") == 0) return SQLITE_OK;
            search->m_denied = QStringLiteral("the pragma %1").arg(QString::fromUtf8(a ? a : "?"));
            return SQLITE_DENY;
        case SQLITE_FUNCTION:
            if (b && SqliteSearchFunctions::isAllowed(b)) return SQLITE_OK;
            search->m_denied = QStringLiteral("calling function %1").arg(QString::fromUtf8(b ? b : "?"));
            return SQLITE_DENY;
        default:
            search->m_denied = QStringLiteral("an action other than reading (code %1)").arg(action);
            return SQLITE_DENY;
    }
}

int SqlitePointSearch::progress(void* self) {
    auto* search = static_cast<SqlitePointSearch*>(self);
    if (search->m_cancelled.load(std::memory_order_relaxed) != search->m_searchNumber) return 1;
    if (std::chrono::steady_clock::now() > search->m_deadline) {
        search->m_timedOut = true;
        return 1;
    }
    return 0;
}

void SqlitePointSearch::cancel() {
    if (m_running.load()) ++m_cancelled;
}

void SqlitePointSearch::search(const SqlNode& clause, const PointSink& sink) {
    SqliteDialectTranslator translator(m_pointColumns, QDateTime::currentDateTimeUtc());
    run(translator.translate(clause), sink);
}

// Searches of one shape translate to the same SQL with other parameters, so their statements are
// kept, most recently used first. Only statements the authorizer let through are kept; a schema
// change makes SQLite prepare a kept one again, under the same authorizer, on its next step.
sqlite3_stmt* SqlitePointSearch::prepare(const SqlQuery& query) {
    openConnection();
    m_denied.clear();
    const auto kept = std::find_if(m_prepared.begin(), m_prepared.end(),
                                   [&](const Prepared& prepared) { return prepared.sql == query.sql; });
    sqlite3_stmt* stmt = nullptr;
    if (kept != m_prepared.end()) {
        stmt = kept->stmt;
        std::rotate(m_prepared.begin(), kept, kept + 1);
        sqlite3_clear_bindings(stmt);
    } else {
        const int rc = sqlite3_prepare_v3(m_db, query.sql.constData(), int(query.sql.size()),
                                          SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
        if (rc != SQLITE_OK) fail(m_denied.isEmpty() ? rc : SQLITE_AUTH, QStringLiteral("preparing"));
        if (!sqlite3_stmt_readonly(stmt)) {
            sqlite3_finalize(stmt);
            throw Error(sdkerr::QueryInvalid, searchSource,
                        QStringLiteral("The search was refused: it would change the archive"));
        }
        if (m_prepared.size() == KeptStatements) {
            sqlite3_finalize(m_prepared.back().stmt);
            m_prepared.pop_back();
        }
        m_prepared.insert(m_prepared.begin(), Prepared{query.sql, stmt});
    }
    bindAll(stmt, query.parameters);
    return stmt;
}

void SqlitePointSearch::run(const SqlQuery& query, const PointSink& sink) {
    sqlite3_stmt* stmt = prepare(query);
    struct Running {
        SqlitePointSearch& search;
        sqlite3_stmt* stmt;
        // Reset at once, so that a kept statement holds no read transaction between searches.
        ~Running() {
            sqlite3_reset(stmt);
            search.m_running = false;
        }
    } running{*this, stmt};
    m_searchNumber = m_cancelled.load();
    m_timedOut = false;
    m_timeLimit = m_nextTimeLimit.load();
    m_deadline = std::chrono::steady_clock::now() + m_timeLimit;
    m_running = true;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* tag = static_cast<const char16_t*>(sqlite3_column_text16(stmt, 1));
        sink(sqlite3_column_int64(stmt, 0), QStringView(tag, sqlite3_column_bytes16(stmt, 1) / 2));
    }
    if (rc != SQLITE_DONE) fail(rc, QStringLiteral("searching"));
}

void SqlitePointSearch::fail(int code, const QString& what) {
    const QString message = QString::fromUtf8(sqlite3_errmsg(m_db));
    switch (code & 0xff) {
        case SQLITE_INTERRUPT:
            if (m_timedOut)
                throw Error(
                    sdkerr::QueryCancelled, searchSource,
                    QStringLiteral("The search was stopped at its time limit of %1 s; narrow the clause, for "
                                   "example by joining the tables by tag")
                        .arg(double(m_timeLimit.count()) / 1000.0));
            throw Error(sdkerr::QueryCancelled, searchSource, QStringLiteral("The search was cancelled"));
        case SQLITE_AUTH:
            throw Error(sdkerr::QueryInvalid, searchSource,
                        QStringLiteral("The search was refused: it tried %1")
                            .arg(m_denied.isEmpty() ? message : m_denied));
        case SQLITE_TOOBIG:
        case SQLITE_ERROR:
            throw Error(sdkerr::QueryInvalid, searchSource,
                        QStringLiteral("The search cannot run on archive \"%1\" (%2 failed: %3)")
                            .arg(m_path, what, message));
        default:
            throw Error(
                sdkerr::StorageFailed, searchSource,
                QStringLiteral("The archive \"%1\" failed while %2 a search: %3").arg(m_path, what, message));
    }
}

}  // namespace vq
