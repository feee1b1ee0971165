#include "archive/sqlite/SqliteSearchFunctions.h"

#include "archive/dialect/ArchiveSummary.h"

#include <QString>

#include <sqlite3.h>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace vq {

using Event = ArchiveSummary::Event;

// Prepared reads of archived events, kept while the functions are installed.
class ArchiveEventReader {
public:
    explicit ArchiveEventReader(sqlite3* db) : m_db(db) {}
    ~ArchiveEventReader() {
        for (sqlite3_stmt* stmt : {m_inEffect, m_next, m_within}) sqlite3_finalize(stmt);
    }

    std::optional<Event> inEffect(qint64 point, double time) {
        return one(m_inEffect,
                   "SELECT time, value, status FROM archive WHERE point_id = ?1 AND time <= ?2"
                   " ORDER BY time DESC LIMIT 1",
                   point, time);
    }
    std::optional<Event> next(qint64 point, double time) {
        return one(m_next,
                   "SELECT time, value, status FROM archive WHERE point_id = ?1 AND time > ?2"
                   " ORDER BY time LIMIT 1",
                   point, time);
    }
    std::vector<Event> within(qint64 point, double from, double to) {
        std::vector<Event> events;
        sqlite3_stmt* stmt = prepared(m_within,
                                      "SELECT time, value, status FROM archive WHERE point_id = ?1"
                                      " AND time > ?2 AND time <= ?3 ORDER BY time");
        if (!stmt) return events;
        sqlite3_bind_int64(stmt, 1, point);
        sqlite3_bind_double(stmt, 2, from);
        sqlite3_bind_double(stmt, 3, to);
        while (sqlite3_step(stmt) == SQLITE_ROW) events.push_back(row(stmt));
        sqlite3_reset(stmt);
        return events;
    }

private:
    sqlite3_stmt* prepared(sqlite3_stmt*& slot, const char* sql) {
        if (!slot) sqlite3_prepare_v3(m_db, sql, -1, SQLITE_PREPARE_PERSISTENT, &slot, nullptr);
        return slot;
    }
    static Event row(sqlite3_stmt* stmt) {
        const int type = sqlite3_column_type(stmt, 1);
        const bool numeric = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
        return {sqlite3_column_double(stmt, 0),
                numeric ? std::optional<double>(sqlite3_column_double(stmt, 1)) : std::nullopt,
                sqlite3_column_int64(stmt, 2)};
    }
    std::optional<Event> one(sqlite3_stmt*& slot, const char* sql, qint64 point, double time) {
        sqlite3_stmt* stmt = prepared(slot, sql);
        if (!stmt) return std::nullopt;
        sqlite3_bind_int64(stmt, 1, point);
        sqlite3_bind_double(stmt, 2, time);
        std::optional<Event> event;
        if (sqlite3_step(stmt) == SQLITE_ROW) event = row(stmt);
        sqlite3_reset(stmt);
        return event;
    }

    sqlite3* m_db;
    sqlite3_stmt* m_inEffect = nullptr;
    sqlite3_stmt* m_next = nullptr;
    sqlite3_stmt* m_within = nullptr;
};

namespace {

void fold(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) return sqlite3_result_null(context);
    const auto* text = static_cast<const char16_t*>(sqlite3_value_text16(args[0]));
    const int bytes = sqlite3_value_bytes16(args[0]);
    const QString folded = QStringView(text, bytes / 2).toString().toCaseFolded();
    sqlite3_result_text16(context, folded.utf16(), int(folded.size() * 2), SQLITE_TRANSIENT);
}

ArchiveSummary::Result sample(sqlite3_context* context, sqlite3_value** args) {
    auto* reader = static_cast<ArchiveEventReader*>(sqlite3_user_data(context));
    const int function = sqlite3_value_int(args[0]);
    const qint64 point = sqlite3_value_int64(args[1]);
    const double time = sqlite3_value_double(args[2]);
    const double step = sqlite3_value_double(args[3]);
    if (function < ArchiveSummary::Interp || function > ArchiveSummary::Std) return {};
    if (function == ArchiveSummary::Interp)
        return ArchiveSummary::interpolate(time, reader->inEffect(point, time), reader->next(point, time));
    return ArchiveSummary::summarize(ArchiveSummary::Function(function), time, step,
                                     reader->inEffect(point, time - step),
                                     reader->within(point, time - step, time));
}

void resultOf(sqlite3_context* context, const std::optional<double>& value) {
    if (value && std::isfinite(*value))
        sqlite3_result_double(context, *value);
    else
        sqlite3_result_null(context);
}

void sampleValue(sqlite3_context* context, int, sqlite3_value** args) {
    resultOf(context, sample(context, args).value);
}

void samplePctGood(sqlite3_context* context, int, sqlite3_value** args) {
    resultOf(context, sample(context, args).pctGood);
}

}  // namespace

SqliteSearchFunctions::SqliteSearchFunctions(sqlite3* db)
    : m_reader(std::make_unique<ArchiveEventReader>(db)) {
    sqlite3_create_function_v2(db, "vq_fold", 1, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr, fold, nullptr,
                               nullptr, nullptr);
    sqlite3_create_function_v2(db, "vq_sample", 4, SQLITE_UTF8, m_reader.get(), sampleValue, nullptr, nullptr,
                               nullptr);
    sqlite3_create_function_v2(db, "vq_pctgood", 4, SQLITE_UTF8, m_reader.get(), samplePctGood, nullptr,
                               nullptr, nullptr);
}

SqliteSearchFunctions::~SqliteSearchFunctions() = default;

bool SqliteSearchFunctions::isAllowed(const char* name) {
    static const char* const allowed[] = {"vq_fold",   "vq_sample", "vq_pctgood", "abs",  "typeof",
                                          "julianday", "max",       "match",      "glob", "coalesce"};
    for (const char* candidate : allowed)
        if (sqlite3_stricmp(candidate, name) == 0) return true;
    return false;
}

}  // namespace vq
