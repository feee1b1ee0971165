#include "PostgresArchiveCopy.h"

#include "archive/postgres/PgConnection.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"

#include <sqlite3.h>

namespace vq::test {

namespace {

QString quoted(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// A stored SQLite value as PostgreSQL reads it back: numbers exactly, integral doubles without
// a fraction so that they fit integer columns.
pg::Param paramOf(SqliteStatement& row, int column) {
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

void copyTable(SqliteDatabase& db, pg::Connection& to, const QString& table) {
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
void copyArchive(SqliteDatabase& db, pg::Connection& to) {
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

void copyToPostgres(ArchiveServer& from, const QString& uri) {
    SqliteDatabase& db = SqliteArchiveStorage::databaseOf(from.storage());
    pg::Connection to(uri);
    to.execScript("BEGIN");
    for (const char* table :
         {"points", "point_classes", "digital_sets", "digital_states", "aliases", "batches"})
        copyTable(db, to, QString::fromLatin1(table));
    copyArchive(db, to);
    to.execScript("COMMIT");
}

}  // namespace vq::test
