#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <memory>
#include <vector>

struct pg_conn;
struct pg_result;

namespace vq::pg {

// One value sent with a statement: text in PostgreSQL's input form, bytes sent as binary, or NULL.
struct Param {
    QByteArray data;
    bool isNull = false;
    bool binary = false;

    static Param text(const QString& value) { return {value.toUtf8()}; }
    static Param integer(qint64 value) { return {QByteArray::number(value)}; }
    // Full precision, so a double survives the trip unchanged.
    static Param number(double value) { return {QByteArray::number(value, 'g', 17)}; }
    static Param bytes(const QByteArray& value) { return {value, false, true}; }
    static Param null() { return {{}, true}; }
};

using Params = std::vector<Param>;

// The rows of a finished statement, read as text (libpq's text format).
class Rows {
public:
    explicit Rows(pg_result* result);

    int count() const;
    int columns() const;
    bool isNull(int row, int column) const;
    QString text(int row, int column) const;
    QByteArray utf8(int row, int column) const;
    // The value's text in place, valid while these rows live.
    QByteArrayView view(int row, int column) const;
    qint64 integer(int row, int column) const;
    double number(int row, int column) const;
    // A bytea column, decoded from its hex text.
    QByteArray bytes(int row, int column) const;
    // The number of rows an INSERT, UPDATE or DELETE touched.
    qint64 affected() const;

private:
    std::shared_ptr<pg_result> m_result;
};

// A statement that failed on the server: the message and its SQLSTATE, so callers can tell a
// unique violation or a cancel from a lost connection.
class Failure : public std::exception {
public:
    Failure(QByteArray state, QString message);
    const QByteArray& state() const { return m_state; }
    const QString& message() const { return m_message; }
    const char* what() const noexcept override { return m_what.constData(); }

    bool isUniqueViolation() const { return m_state == "23505"; }
    bool isCancel() const { return m_state == "57014"; }
    bool isLockTimeout() const { return m_state == "55P03" || m_state == "40P01"; }
    // Besides the connection errors: the server shutting down or starting (a restart), which
    // ends the session as surely.
    bool isConnectionLost() const {
        return m_state.startsWith("08") || m_state.isEmpty() || m_state.startsWith("57P0");
    }

private:
    QByteArray m_state;
    QString m_message;
    QByteArray m_what;
};

// One libpq connection. The connection's own credentials come from libpq's usual places (the
// URI, the password file, a service file, the environment); nothing here adds any.
class Connection {
public:
    // Connects, or raises Failure with libpq's reason.
    explicit Connection(const QString& uri);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs one statement with its parameters ($1, $2, ...); raises Failure when it fails.
    Rows exec(const QByteArray& sql, const Params& params = {});
    // Runs statements without parameters (several allowed, separated by semicolons).
    void execScript(const QByteArray& sql);
    // Runs the statement prepared under `name` (prepared on first use with `sql`).
    Rows execPrepared(const QByteArray& name, const QByteArray& sql, const Params& params);
    // Runs the statement prepared under `name` once for each list of parameters, then `last`
    // (without parameters), in one round trip. The first failure is raised; what follows it in
    // the round trip does not run.
    void execPreparedThen(const QByteArray& name, const QByteArray& sql, const std::vector<Params>& runs,
                          const QByteArray& last);

    // A COPY ... FROM STDIN: starts it, sends its rows in COPY's text form, and ends it (raising
    // what the server found wrong with them).
    void beginCopy(const QByteArray& sql);
    void putCopyData(const QByteArray& rows);
    void endCopy();

    // Asks the server to stop the statement running on this connection; safe from any thread.
    void cancel();

    // True when the server has dropped this connection: libpq knows it already, or the server
    // spoke while nothing was asked of it, which it does only when closing the session (a
    // restart, a terminated backend). Looks without waiting.
    bool isLost();
    // True when the connection's role is a superuser of its server.
    bool isSuperuser() const;

    pg_conn* handle() const { return m_conn; }
    // The URI as it may be shown: without a password.
    const QString& shownUri() const { return m_shown; }

    // The location without any password it carries, for messages.
    static QString withoutPassword(const QString& uri);
    // The location as libpq takes it: libpq knows a URI only by a lower-case scheme and would
    // read "PostgreSQL://..." as key=value text.
    static QByteArray conninfoOf(const QString& uri);

private:
    Rows finish(pg_result* result);
    void prepareOnce(const QByteArray& name, const QByteArray& sql, int parameters);
    [[noreturn]] void raiseLost() const;

    pg_conn* m_conn = nullptr;
    QString m_shown;
    std::vector<QByteArray> m_prepared;
    struct Canceller;
    std::unique_ptr<Canceller> m_canceller;
};

}  // namespace vq::pg
