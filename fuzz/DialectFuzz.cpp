// Feeds arbitrary where clauses to the search dialect alone: lexer, parser, the tables a clause
// names and the sample plan of each. Built against the dialect's library only, with no storage
// engine, so it also proves the dialect needs neither SQLite nor libpq. A finding is a crash or
// an exception other than the dialect's own errors.
#include "archive/dialect/SqlDialectParser.h"
#include "archive/dialect/SqlSamplePlan.h"
#include "core/Error.h"

#include <QDateTime>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vq;
    const QString clause = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QDateTime now = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    try {
        const SqlNodePtr parsed = SqlDialectParser::parse(clause);
        for (SqlTable table : SqlDialectParser::tablesOf(*parsed))
            if (table != SqlTable::Point) SqlSamplePlan::of(*parsed, table, now);
    } catch (const Error&) {
        // Syntax errors and refusals are answers.
    }
    return 0;
}
