#pragma once

#include "archive/ArchiveExport.h"

#include <QString>
#include <QStringList>
#include <QStringView>

namespace vq {

// The tables of the servers' SQL dialect.
enum class SqlTable { Point, Comp, Alias, Batch, Interp, Avg, Mean, Total, Min, Max, Range, Std };

// How values of a column compare: folded text, numbers, times (seconds since 1970, UTC), or an
// archived value that is a number or a text.
enum class SqlColumnKind { Text, Number, Time, Value };

// The dialect's tables and columns as data: names as the clause builder writes them, the name
// an extra-table set carries, and what kind of value every column holds.
class VQ_ARCHIVE_EXPORT SqlDialectVocabulary {
public:
    static constexpr int TableCount = 12;

    // Name lookups ignore letter case; an unknown table is nullopt-like: returns false.
    static bool findTable(QStringView name, SqlTable& table);
    // "VQPOINT", "VQCOMP", ...
    static QString tableName(SqlTable table);
    // The name an extra-table set uses: "VQcomp", "VQinterp", ...
    static QString setName(SqlTable table);
    static const QStringList& columns(SqlTable table);
    // The column's name as the vocabulary spells it, or empty when the table has no such column.
    static QString column(SqlTable table, QStringView name);
    static SqlColumnKind kindOf(SqlTable table, const QString& column);
    // Interpolated and summary tables: rows made at sample times rather than stored.
    static bool isSampled(SqlTable table);
    static QStringList tableNames();
};

}  // namespace vq
