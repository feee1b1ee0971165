#include "archive/postgres/PgConnection.h"

#include "archive/storage/LocationSecrets.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <optional>

namespace vq::pg {

Rows::Rows(pg_result* result) : m_result(result, &PQclear) {}

int Rows::count() const {
    return PQntuples(m_result.get());
}

int Rows::columns() const {
    return PQnfields(m_result.get());
}

bool Rows::isNull(int row, int column) const {
    return PQgetisnull(m_result.get(), row, column) != 0;
}

QString Rows::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(m_result.get(), row, column),
                             PQgetlength(m_result.get(), row, column));
}

QByteArray Rows::utf8(int row, int column) const {
    return QByteArray(PQgetvalue(m_result.get(), row, column), PQgetlength(m_result.get(), row, column));
}

QByteArrayView Rows::view(int row, int column) const {
    return QByteArrayView(PQgetvalue(m_result.get(), row, column), PQgetlength(m_result.get(), row, column));
}

qint64 Rows::integer(int row, int column) const {
    return std::strtoll(PQgetvalue(m_result.get(), row, column), nullptr, 10);
}

double Rows::number(int row, int column) const {
    return std::strtod(PQgetvalue(m_result.get(), row, column), nullptr);
}

QByteArray Rows::bytes(int row, int column) const {
    size_t length = 0;
    unsigned char* raw = PQunescapeBytea(
        reinterpret_cast<const unsigned char*>(PQgetvalue(m_result.get(), row, column)), &length);
    if (!raw) return {};
    QByteArray decoded(reinterpret_cast<const char*>(raw), qsizetype(length));
    PQfreemem(raw);
    return decoded;
}

qint64 Rows::affected() const {
    return std::strtoll(PQcmdTuples(m_result.get()), nullptr, 10);
}

Failure::Failure(QByteArray state, QString message)
    : m_state(std::move(state)), m_message(std::move(message)), m_what(m_message.toUtf8()) {}

struct Connection::Canceller {
    PGcancel* cancel = nullptr;
    ~Canceller() {
        if (cancel) PQfreeCancel(cancel);
    }
};

namespace {

// libpq ends its messages with a newline; a message shown to a user does not.
QString messageOf(const char* text) {
    return QString::fromUtf8(text).trimmed();
}

// libpq quotes what it cannot parse of a location, password included: such a reason is
// withheld rather than shown.
QString reasonWithoutPassword(const QString& reason, const QString& uri) {
    for (const QString& password : passwordsIn(uri))
        if (reason.contains(password))
            return QStringLiteral(
                "libpq's reason is withheld as it repeats the password; check how the "
                "location is written (a '%' in a password is written %25)");
    return reason;
}

}  // namespace

Connection::Connection(const QString& uri) : m_shown(withoutPassword(uri)), m_canceller(new Canceller) {
    const QByteArray conninfo = conninfoOf(uri);
    m_conn = PQconnectdb(conninfo.constData());
    if (!m_conn) throw Failure("08006", QStringLiteral("cannot connect to %1: out of memory").arg(m_shown));
    if (PQstatus(m_conn) != CONNECTION_OK) {
        const QString reason = reasonWithoutPassword(messageOf(PQerrorMessage(m_conn)), uri);
        PQfinish(m_conn);
        m_conn = nullptr;
        throw Failure("08006", QStringLiteral("cannot connect to %1: %2").arg(m_shown, reason));
    }
    PQsetNoticeProcessor(
        m_conn, [](void*, const char*) {}, nullptr);
    m_canceller->cancel = PQgetCancel(m_conn);
}

Connection::~Connection() {
    m_canceller.reset();
    if (m_conn) PQfinish(m_conn);
}

QString Connection::withoutPassword(const QString& uri) {
    return locationForDisplay(uri);
}

QByteArray Connection::conninfoOf(const QString& uri) {
    const QString trimmed = uri.trimmed();
    const qsizetype end = trimmed.indexOf(QStringLiteral("://"));
    if (end < 0) return trimmed.toUtf8();
    return (trimmed.left(end).toLower() + trimmed.mid(end)).toUtf8();
}

// Reads what came; the end of the stream, read the next time round, marks the connection bad.
// A server that keeps talking unasked is taken for one going away.
bool Connection::isLost() {
    for (int round = 0; round < 4 && PQstatus(m_conn) == CONNECTION_OK; ++round) {
        pollfd socket{PQsocket(m_conn), POLLIN, 0};
        if (poll(&socket, 1, 0) <= 0) return false;
        if (!PQconsumeInput(m_conn)) break;
    }
    return true;
}

bool Connection::isSuperuser() const {
    const char* value = PQparameterStatus(m_conn, "is_superuser");
    return value && qstrcmp(value, "on") == 0;
}

Rows Connection::finish(pg_result* result) {
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return Rows(result);
    const char* field = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    // The field goes with the result. A connection libpq has given up is lost, whatever the
    // server said last.
    const QByteArray state = PQstatus(m_conn) == CONNECTION_BAD ? QByteArray("08006")
                             : field                            ? QByteArray(field)
                                                                : QByteArray();
    QString message = messageOf(result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn));
    if (message.isEmpty()) message = messageOf(PQerrorMessage(m_conn));
    PQclear(result);
    throw Failure(state, message);
}

namespace {

struct ParamArrays {
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;

    explicit ParamArrays(const Params& params) {
        for (const Param& param : params) {
            values.push_back(param.isNull ? nullptr : param.data.constData());
            lengths.push_back(int(param.data.size()));
            formats.push_back(param.binary ? 1 : 0);
        }
    }
};

}  // namespace

Rows Connection::exec(const QByteArray& sql, const Params& params) {
    const ParamArrays arrays(params);
    return finish(PQexecParams(m_conn, sql.constData(), int(params.size()), nullptr, arrays.values.data(),
                               arrays.lengths.data(), arrays.formats.data(), 0));
}

void Connection::execScript(const QByteArray& sql) {
    finish(PQexec(m_conn, sql.constData()));
}

void Connection::prepareOnce(const QByteArray& name, const QByteArray& sql, int parameters) {
    if (std::find(m_prepared.begin(), m_prepared.end(), name) != m_prepared.end()) return;
    finish(PQprepare(m_conn, name.constData(), sql.constData(), parameters, nullptr));
    m_prepared.push_back(name);
}

void Connection::raiseLost() const {
    throw Failure("08006", messageOf(PQerrorMessage(m_conn)));
}

Rows Connection::execPrepared(const QByteArray& name, const QByteArray& sql, const Params& params) {
    prepareOnce(name, sql, int(params.size()));
    const ParamArrays arrays(params);
    return finish(PQexecPrepared(m_conn, name.constData(), int(params.size()), arrays.values.data(),
                                 arrays.lengths.data(), arrays.formats.data(), 0));
}

// In libpq's pipeline mode each statement's results end with a null; the sync ends them all.
// Statements after a failed one answer "aborted".
void Connection::execPreparedThen(const QByteArray& name, const QByteArray& sql,
                                  const std::vector<Params>& runs, const QByteArray& last) {
    if (!runs.empty()) prepareOnce(name, sql, int(runs.front().size()));
    if (!PQenterPipelineMode(m_conn)) raiseLost();
    for (const Params& params : runs) {
        const ParamArrays arrays(params);
        if (!PQsendQueryPrepared(m_conn, name.constData(), int(params.size()), arrays.values.data(),
                                 arrays.lengths.data(), arrays.formats.data(), 0))
            raiseLost();
    }
    if (!PQsendQueryParams(m_conn, last.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0) ||
        !PQpipelineSync(m_conn))
        raiseLost();
    std::optional<Failure> failure;
    for (;;) {
        pg_result* result = PQgetResult(m_conn);
        if (!result) {
            if (PQstatus(m_conn) == CONNECTION_BAD) raiseLost();
            continue;
        }
        const ExecStatusType status = PQresultStatus(result);
        if (status == PGRES_PIPELINE_SYNC) {
            PQclear(result);
            break;
        }
        if (status == PGRES_FATAL_ERROR && !failure) {
            try {
                finish(result);
            } catch (const Failure& failed) {
                failure = failed;
            }
            continue;
        }
        PQclear(result);
    }
    PQexitPipelineMode(m_conn);
    if (failure) throw *failure;
}

void Connection::beginCopy(const QByteArray& sql) {
    pg_result* result = PQexec(m_conn, sql.constData());
    if (PQresultStatus(result) == PGRES_COPY_IN) {
        PQclear(result);
        return;
    }
    finish(result);
}

void Connection::putCopyData(const QByteArray& rows) {
    if (PQputCopyData(m_conn, rows.constData(), int(rows.size())) != 1)
        throw Failure("08006", messageOf(PQerrorMessage(m_conn)));
}

void Connection::endCopy() {
    if (PQputCopyEnd(m_conn, nullptr) != 1) throw Failure("08006", messageOf(PQerrorMessage(m_conn)));
    // The COPY's own result, then the end of its results.
    std::optional<Failure> failed;
    while (pg_result* result = PQgetResult(m_conn)) {
        try {
            finish(result);
        } catch (const Failure& failure) {
            if (!failed) failed = failure;
        }
    }
    if (failed) throw *failed;
}

void Connection::cancel() {
    char reason[256];
    if (m_canceller->cancel) PQcancel(m_canceller->cancel, reason, int(sizeof reason));
}

}  // namespace vq::pg
