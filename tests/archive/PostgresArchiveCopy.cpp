#include "PostgresArchiveCopy.h"

#include "archive/ArchiveDatabase.h"
#include "archive/ArchiveServer.h"
#include "archive/postgres/PgConnection.h"
#include "archive/postgres/PostgresSearchSchema.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <sqlite3.h>

#include <stdexcept>

namespace vq::test {

namespace {

QString serverUri() {
    const QString uri = qEnvironmentVariable("VQ_TEST_POSTGRES_URI");
    if (uri.isEmpty())
        throw std::runtime_error(
            "VQ_TEST_POSTGRES_URI is not set; ctest sets it to the cluster it starts, or set it to a server "
            "of your own");
    return uri;
}

QString withDatabase(const QString& uri, const QString& database) {
    return uri + (uri.contains(u'?') ? u'&' : u'?') + QStringLiteral("dbname=") + database;
}

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A stored SQLite value as PostgreSQL reads it back: numbers exactly, integral doubles without
// a fraction so that they fit integer columns.
pg::Param paramOf(ArchiveStatement& row, int column) {
    switch (row.columnType(column)) {
        case SQLITE_NULL:
            return pg::Param::null();
        case SQLITE_INTEGER:
            return pg::Param::integer(row.integer(column));
        case SQLITE_FLOAT: {
            const double value = row.real(column);
            return value == double(qint64(value)) ? pg::Param::integer(qint64(value))
                                                  : pg::Param::number(value);
        }
        default:
            return pg::Param::text(row.text(column));
    }
}

QString typeOf(const char* declared) {
    const QByteArray type = QByteArray(declared ? declared : "").toUpper();
    if (type.contains("INT")) return QStringLiteral("bigint");
    if (type.contains("REAL")) return QStringLiteral("double precision");
    return QStringLiteral("text");
}

// The archive tables as the PostgreSQL archive lays them out.
void makeTables(ArchiveDatabase& db, pg::Connection& to) {
    QString points = QStringLiteral(
        "CREATE TABLE points(point_id bigint PRIMARY KEY, class_id bigint NOT NULL, tag_key text COLLATE "
        "\"C\" "
        "NOT NULL UNIQUE, \"Tag\" text NOT NULL, \"PointType\" integer NOT NULL");
    auto columns = db.prepare("SELECT name, type FROM pragma_table_info('points') ORDER BY cid");
    while (columns.next()) {
        const QString name = columns.text(0);
        if (name == u"point_id" || name == u"class_id" || name == u"tag_key" || name == u"Tag" ||
            name == u"PointType")
            continue;
        points += QStringLiteral(", ") + quoted(name) + u' ' + typeOf(columns.text(1).toUtf8().constData());
    }
    to.execScript(
        (points + QStringLiteral(");")).toUtf8() +
        "CREATE TABLE point_classes(class_id bigint PRIMARY KEY, name text NOT NULL, revision integer "
        "NOT NULL);"
        "CREATE TABLE digital_sets(set_id bigint PRIMARY KEY, name text NOT NULL);"
        "CREATE TABLE digital_states(set_id bigint NOT NULL, code integer NOT NULL, name text NOT NULL,"
        " PRIMARY KEY(set_id, code));"
        "CREATE TABLE archive(point_id bigint NOT NULL, time double precision NOT NULL, value text,"
        " value_is_number boolean NOT NULL, status integer NOT NULL, PRIMARY KEY(point_id, time));");
}

void copyTable(ArchiveDatabase& db, pg::Connection& to, const QString& table) {
    auto rows = db.prepare("SELECT * FROM " + table.toUtf8());
    const int count = sqlite3_column_count(rows.handle());
    QStringList names, places;
    for (int c = 0; c < count; ++c) {
        names << quoted(QString::fromUtf8(sqlite3_column_name(rows.handle(), c)));
        places << u'$' + QString::number(c + 1);
    }
    const QByteArray insert = QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                  .arg(table, names.join(u','), places.join(u','))
                                  .toUtf8();
    to.exec("DELETE FROM " + table.toUtf8());
    while (rows.next()) {
        pg::Params params;
        for (int c = 0; c < count; ++c) params.push_back(paramOf(rows, c));
        to.exec(insert, params);
    }
}

// Archived values keep their text beside whether they are numbers.
void copyArchive(ArchiveDatabase& db, pg::Connection& to) {
    auto rows = db.prepare("SELECT point_id, time, value, status FROM archive");
    to.exec("DELETE FROM archive");
    while (rows.next()) {
        const int type = rows.columnType(2);
        const bool number = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
        to.exec(
            "INSERT INTO archive(point_id, time, value, value_is_number, status) VALUES($1, $2, $3, $4, $5)",
            {pg::Param::integer(rows.integer(0)), pg::Param::number(rows.real(1)),
             number ? pg::Param::number(rows.real(2))
                    : (type == SQLITE_NULL ? pg::Param::null() : pg::Param::text(rows.text(2))),
             pg::Param::text(number ? QStringLiteral("true") : QStringLiteral("false")),
             pg::Param::integer(rows.integer(3))});
    }
}

}  // namespace

PostgresTestDatabase::PostgresTestDatabase() : m_serverUri(serverUri()) {
    m_name = QStringLiteral("vq_search_%1_%2")
                 .arg(QCoreApplication::applicationPid())
                 .arg(QRandomGenerator::global()->bounded(1000000));
    pg::Connection(m_serverUri).execScript("CREATE DATABASE " + m_name.toUtf8());
    m_uri = withDatabase(m_serverUri, m_name);
}

PostgresTestDatabase::~PostgresTestDatabase() {
    try {
        pg::Connection(m_serverUri)
            .execScript("DROP DATABASE IF EXISTS " + m_name.toUtf8() + " WITH (FORCE)");
    } catch (const pg::Failure&) {
        // The cluster goes with the test run anyway.
    }
}

void copyToPostgres(ArchiveServer& from, const QString& uri) {
    ArchiveDatabase& db = from.database();
    pg::Connection to(uri);
    to.execScript("BEGIN");
    makeTables(db, to);
    for (const char* table : {"points", "point_classes", "digital_sets", "digital_states"})
        copyTable(db, to, QString::fromLatin1(table));
    copyArchive(db, to);
    to.execScript("COMMIT");
    PostgresSearchSchema::ensure(to);
    for (const char* table : {"aliases", "batches"}) copyTable(db, to, QString::fromLatin1(table));
}

}  // namespace vq::test
