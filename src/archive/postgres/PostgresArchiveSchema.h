#pragma once

#include "archive/storage/ArchiveCatalog.h"

#include <QByteArray>
#include <QStringList>

#include <vector>

namespace vq {

// The tables of an archive on PostgreSQL. They carry the SQLite archive's table and column names
// so that whatever reads one reads the other; the differences are PostgreSQL's own types, names
// compared by lower() through unique expression indexes (SQLite's NOCASE), an ordering column
// `seq` on users and groups where SQLite orders by rowid, and the archived value kept as text
// beside `value_is_number`, which gives back a number where SQLite stored a REAL.
class PostgresArchiveSchema {
public:
    // The statements that make the tables and indexes for points of those classes; `columns`
    // are ArchiveCatalog::storedColumns(classes).
    static QByteArray sql(const QStringList& columns, const std::vector<ArchiveClassInfo>& classes);
    // The PostgreSQL column type of an attribute type.
    static const char* columnType(AttributeType type);
    // An identifier in double quotes, any quote in it doubled.
    static QString quoted(const QString& identifier);
    // The tables an archive consists of; a database holding any of them is not made into one.
    static const QStringList& tables();
    // The key of the transaction-level advisory lock that every writer of an archive takes first,
    // so writers take turns as they do on an SQLite file.
    static constexpr qint64 WriteLock = 0x5651'4152'4348'0001;
    // The key of the session-level advisory lock a copy holds while it builds an archive.
    static constexpr qint64 CopyLock = 0x5651'4152'4348'0002;
    // The server_info key that marks an archive whose copy is not complete.
    static constexpr const char* UnfinishedFact = "unfinished_copy";
};

}  // namespace vq
