#include "archive/postgres/PostgresPointSearch.h"

#include "archive/postgres/PgConnection.h"
#include "archive/postgres/PostgresDialectTranslator.h"
#include "sdk/SdkErrors.h"

#include <QDateTime>

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <utility>

namespace vq {

namespace {

const QString searchSource = QStringLiteral("VQArchive");

// How often a running statement looks whether it was cancelled, and asks the server again.
constexpr int kCancelPollMs = 50;

constexpr Oid kFloat8 = 701;
constexpr Oid kText = 25;

// The parameters with their types: a translation binds some values it may not use (the step
// text of a sampled table), whose type the server could not tell from the statement.
struct TypedParams {
    pg::Params params;
    std::vector<Oid> types;
};

TypedParams paramsOf(const std::vector<Variant>& parameters) {
    TypedParams typed;
    for (const Variant& value : parameters) {
        const bool number = value.isNumeric() && value.type() != Variant::Type::String;
        typed.params.push_back(number ? pg::Param::number(value.toDouble())
                                      : pg::Param::text(value.toString()));
        typed.types.push_back(number ? kFloat8 : kText);
    }
    return typed;
}

// A bigint column's text: decimal digits, perhaps after a minus sign.
qint64 pointIdOf(QByteArrayView text) {
    const bool negative = text.startsWith('-');
    quint64 value = 0;
    for (const char digit : text.sliced(negative ? 1 : 0)) value = value * 10 + quint64(digit - '0');
    return qint64(negative ? 0 - value : value);
}

QString messageOf(PGconn* conn) {
    return QString::fromUtf8(PQerrorMessage(conn)).trimmed();
}

// The failure a result reports, with the SQLSTATE the server gave; the result is freed.
pg::Failure failureOf(PGresult* result, PGconn* conn) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    QString message = QString::fromUtf8(result ? PQresultErrorMessage(result) : "").trimmed();
    if (message.isEmpty()) message = messageOf(conn);
    pg::Failure failure(state ? QByteArray(state) : QByteArray(), message);
    PQclear(result);
    return failure;
}

// The cursor is planned for all of its rows, as the query alone would be: planned for the first
// tenth, an inner substring walks the tag index in order instead of asking the trigram index.
const QByteArray kSessionSettings = "SET cursor_tuple_fraction = 1";
// The whole time limit holds for the connection; a search of several batches gives each later
// batch what is left of it.
const QByteArray kTimeLimit = "SELECT set_config('statement_timeout', $1, false)";
const QByteArray kTimeLeft = "SELECT set_config('statement_timeout', $1, true)";
const QByteArray kDeclare = "DECLARE vq_search NO SCROLL CURSOR FOR ";
const QByteArray kFetch = "FETCH " + QByteArray::number(PostgresPointSearch::BatchRows) + " FROM vq_search";

}  // namespace

PostgresPointSearch::PostgresPointSearch(QString uri, QStringList pointColumns)
    : m_uri(std::move(uri)), m_pointColumns(std::move(pointColumns)) {}

PostgresPointSearch::~PostgresPointSearch() = default;

// A connection the server dropped since the last search (a restart) is made anew; behind a
// COMMIT still unanswered, a lost connection shows in the search itself.
pg::Connection& PostgresPointSearch::connection() {
    if (m_connection && !m_commitSent && m_connection->isLost()) {
        const std::lock_guard lock(m_cancelMutex);
        m_connection.reset();
    }
    if (m_connection) return *m_connection;
    try {
        auto connection = std::make_unique<pg::Connection>(m_uri);
        connection->execScript(kSessionSettings);
        m_sessionLimit = std::chrono::milliseconds(-1);
        const std::lock_guard lock(m_cancelMutex);
        m_connection = std::move(connection);
    } catch (const pg::Failure& failure) {
        throw Error(sdkerr::ServerUnavailable, searchSource,
                    QStringLiteral("The archive \"%1\" cannot be reached for searching: %2")
                        .arg(pg::Connection::withoutPassword(m_uri), failure.message()));
    }
    return *m_connection;
}

void PostgresPointSearch::cancel() {
    if (!m_running.load()) return;
    ++m_cancelled;
    const std::lock_guard lock(m_cancelMutex);
    if (m_connection) m_connection->cancel();
}

void PostgresPointSearch::search(const SqlNode& clause, const PointSink& sink) {
    PostgresDialectTranslator translator(m_pointColumns, QDateTime::currentDateTimeUtc());
    run(translator.translate(clause), sink);
}

// The transaction, its limits, the cursor and its first rows go to the server in one pipeline,
// and the transaction ends while the sink takes the last rows: a search of one batch costs one
// round trip. The commit's answer is read by the next search, which queues its own statements
// behind it if it has not come yet; a read-only transaction has nothing to lose if it never comes.
void PostgresPointSearch::run(const SqlQuery& query, const PointSink& sink) {
    m_timeLimit = m_nextTimeLimit.load();
    finishCommit(m_timeLimit != m_sessionLimit);  // a limit is set outside a pipeline
    pg::Connection& db = connection();
    struct Running {
        std::atomic<bool>& running;
        ~Running() { running = false; }
    } running{m_running};
    m_searchNumber = m_cancelled.load();
    m_deadline = std::chrono::steady_clock::now() + m_timeLimit;
    m_running = true;
    try {
        const TypedParams typed = paramsOf(query.parameters);
        timeLeft();  // a limit of nothing stops the search here: 0 would mean none to the server
        if (m_sessionLimit != m_timeLimit) {
            db.exec(kTimeLimit, {pg::Param::integer(m_timeLimit.count())});
            m_sessionLimit = m_timeLimit;
        }
        // Searches run in one read-only transaction, so a search can never write, whatever it says.
        pg::Rows rows =
            exchange({{"BEGIN READ ONLY"}, {kDeclare + query.sql, typed.params, typed.types}, {kFetch}});
        // The server makes the next batch while the sink takes this one.
        while (rows.count() == BatchRows) {
            request({{kTimeLeft, {timeLeft()}}, {kFetch}});
            deliver(rows, sink);
            rows = answer();
        }
        sendCommit();
        deliver(rows, sink);
    } catch (const pg::Failure& failure) {
        rollback();
        fail(failure);
    } catch (...) {
        rollback();
        throw;
    }
}

// Rows are read in place: no string made and freed per row.
void PostgresPointSearch::deliver(const pg::Rows& rows, const PointSink& sink) {
    const int count = rows.count();
    for (int i = 0; i < count; ++i) sink(pointIdOf(rows.view(i, 0)), tagOf(rows.view(i, 1)));
}

// Tags are mostly ASCII, which widens as it stands; any other tag goes through Qt's decoder.
QStringView PostgresPointSearch::tagOf(QByteArrayView utf8) {
    m_tag.resize(size_t(utf8.size()));
    char16_t* out = m_tag.data();
    for (const char byte : utf8) {
        if (uchar(byte) >= 0x80) {
            m_decodedTag = QString::fromUtf8(utf8);
            return m_decodedTag;
        }
        *out++ = uchar(byte);
    }
    return QStringView(m_tag.data(), utf8.size());
}

// Each statement has the time the search has left, so a search of many batches keeps its limit.
pg::Param PostgresPointSearch::timeLeft() const {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(m_deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) throw pg::Failure("57014", QStringLiteral("the time limit passed"));
    return pg::Param::integer(left.count());
}

void PostgresPointSearch::send(PGconn* conn, const Statement& statement) {
    std::vector<const char*> values;
    std::vector<int> lengths;
    for (const pg::Param& param : statement.params) {
        values.push_back(param.isNull ? nullptr : param.data.constData());
        lengths.push_back(int(param.data.size()));
    }
    if (!PQsendQueryParams(conn, statement.sql.constData(), int(statement.params.size()),
                           statement.types.empty() ? nullptr : statement.types.data(), values.data(),
                           lengths.data(), nullptr, 0))
        throw pg::Failure("08006", messageOf(conn));
}

pg::Rows PostgresPointSearch::exchange(const std::vector<Statement>& statements) {
    request(statements);
    return answer();
}

// Sends the statements in one pipeline; answer() waits for what they give.
void PostgresPointSearch::request(const std::vector<Statement>& statements) {
    if (m_cancelled.load() != m_searchNumber) throw pg::Failure("57014", QStringLiteral("cancelled"));
    PGconn* conn = m_connection->handle();
    if (!PQenterPipelineMode(conn)) throw pg::Failure("08006", messageOf(conn));
    for (const Statement& statement : statements) send(conn, statement);
    if (!PQpipelineSync(conn)) throw pg::Failure("08006", messageOf(conn));
    m_requested = statements.size();
}

// Waits for all the requested statements' answers: the last one's rows, or the first failure. The
// last search's COMMIT, when its answer (or part of it) is still to come, answers first. A cancel
// request that reaches the server while it waits between statements is dropped there, so a
// cancelled search asks the server again while its statements run.
pg::Rows PostgresPointSearch::answer() {
    PGconn* conn = m_connection->handle();
    const size_t statements = std::exchange(m_requested, 0);
    size_t syncs = m_commitSent ? 2 : 1;  // the COMMIT's pipeline, then this one
    m_commitSent = false;
    PGresult* last = nullptr;
    std::optional<pg::Failure> failure;
    size_t answered = 0;  // statements whose results are all in
    bool synced = false;
    pollfd socket{PQsocket(conn), POLLIN, 0};
    while (!synced) {
        while (!synced && !PQisBusy(conn)) {
            PGresult* result = PQgetResult(conn);
            if (!result) {
                ++answered;
                continue;
            }
            switch (PQresultStatus(result)) {
                case PGRES_PIPELINE_SYNC:
                    synced = --syncs == 0;
                    answered = 0;
                    PQclear(result);
                    break;
                case PGRES_TUPLES_OK:
                case PGRES_COMMAND_OK:
                    if (syncs == 1 && answered + 1 == statements) std::swap(last, result);
                    PQclear(result);
                    break;
                case PGRES_PIPELINE_ABORTED:
                    PQclear(result);
                    break;
                default:
                    if (!failure)
                        failure = failureOf(result, conn);
                    else
                        PQclear(result);
            }
        }
        if (synced) break;
        if (poll(&socket, 1, kCancelPollMs) < 0 && errno != EINTR)
            throw pg::Failure("08006", messageOf(conn));
        if (!PQconsumeInput(conn)) throw pg::Failure("08006", messageOf(conn));
        if (m_cancelled.load() != m_searchNumber && PQisBusy(conn)) m_connection->cancel();
    }
    PQexitPipelineMode(conn);
    pg::Rows rows(last);
    if (failure) throw *failure;
    return rows;
}

// Ends the transaction in a pipeline of its own, which the next search's statements may follow
// before its answer has come.
void PostgresPointSearch::sendCommit() {
    PGconn* conn = m_connection->handle();
    if (!PQenterPipelineMode(conn)) throw pg::Failure("08006", messageOf(conn));
    send(conn, {"COMMIT"});
    if (!PQpipelineSync(conn)) throw pg::Failure("08006", messageOf(conn));
    m_commitSent = true;
}

// Reads the answer to the last search's COMMIT if it has come, or with `wait` once it comes. A
// connection lost meanwhile is made anew.
void PostgresPointSearch::finishCommit(bool wait) {
    if (!m_commitSent) return;
    PGconn* conn = m_connection->handle();
    bool lost = !PQconsumeInput(conn);
    int ends = 0;  // the COMMIT's result is followed by one end of results, then the sync
    while (!lost && (wait || !PQisBusy(conn))) {
        PGresult* result = PQgetResult(conn);
        if (!result) {
            lost = ++ends > 1 || PQstatus(conn) != CONNECTION_OK;
            continue;
        }
        const ExecStatusType status = PQresultStatus(result);
        PQclear(result);
        if (status == PGRES_PIPELINE_SYNC) {
            m_commitSent = false;
            PQexitPipelineMode(conn);
            return;
        }
        lost = status != PGRES_COMMAND_OK;
    }
    if (!lost) return;
    m_commitSent = false;
    const std::lock_guard lock(m_cancelMutex);
    m_connection.reset();
}

void PostgresPointSearch::rollback() {
    if (m_commitSent) return;  // a sink that failed on the last rows, or nothing begun
    try {
        if (m_requested) answer();  // the next batch, asked for before the sink failed
    } catch (const pg::Failure&) {
        // Whatever it was, the rollback below ends it or finds the connection gone.
    }
    try {
        m_connection->execScript("ROLLBACK");
    } catch (const pg::Failure&) {
        // The connection is gone; the next search makes a new one.
        const std::lock_guard lock(m_cancelMutex);
        m_connection.reset();
    }
}

void PostgresPointSearch::fail(const pg::Failure& failure) {
    const QString shown = pg::Connection::withoutPassword(m_uri);
    const QByteArray& state = failure.state();
    if (failure.isCancel()) {
        if (m_cancelled.load() != m_searchNumber)
            throw Error(sdkerr::QueryCancelled, searchSource, QStringLiteral("The search was cancelled"));
        throw Error(sdkerr::QueryCancelled, searchSource,
                    QStringLiteral("The search was stopped at its time limit of %1 s; narrow the clause, for "
                                   "example by joining the tables by tag")
                        .arg(double(m_timeLimit.count()) / 1000.0));
    }
    if (failure.isConnectionLost())
        throw Error(sdkerr::ServerUnavailable, searchSource,
                    QStringLiteral("The archive \"%1\" could not be reached while searching: %2")
                        .arg(shown, failure.message()));
    if (state == "25006")
        throw Error(sdkerr::QueryInvalid, searchSource,
                    QStringLiteral("The search was refused: it would change the archive (%1)")
                        .arg(failure.message()));
    // Syntax and access rules, data exceptions, unsupported features and program limits: the
    // clause as translated cannot run, which no retry changes.
    for (const char* invalid : {"42", "22", "0A", "54", "2F"}) {
        if (state.startsWith(invalid))
            throw Error(
                sdkerr::QueryInvalid, searchSource,
                QStringLiteral("The search cannot run on archive \"%1\": %2").arg(shown, failure.message()));
    }
    throw Error(
        sdkerr::StorageFailed, searchSource,
        QStringLiteral("The archive \"%1\" failed while searching: %2").arg(shown, failure.message()));
}

}  // namespace vq
