#include "ClauseEvaluator.h"

#include "archive/dialect/ArchiveSummary.h"
#include "archive/dialect/SqlDialectParser.h"
#include "archive/dialect/SqlSamplePlan.h"
#include "archive/dialect/StoredDate.h"
#include "archive/dialect/TimeText.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "core/KeyedCollection.h"

#include <QHash>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace vq::test {

namespace {

// Three-valued AND (or OR): a deciding part wins, else an unknown part makes the whole unknown.
std::optional<bool> junction(const std::vector<std::optional<bool>>& parts, bool isAnd) {
    if (std::any_of(parts.begin(), parts.end(), [&](auto part) { return part && *part != isAnd; }))
        return !isAnd;
    return std::count(parts.begin(), parts.end(), std::nullopt) ? std::nullopt : std::optional(isAnd);
}

// A REAL as SQLite writes it: 15 significant digits and always a decimal point ("0.0").
QString sqliteText(double number) {
    const QString text = QString::number(number, 'g', 15);
    return text.contains(u'.') ? text : text + u".0"_qs;
}

QString typeLetter(int code) {
    static const QHash<int, QString> letters = {{6, u"I"_qs},  {8, u"I"_qs},   {11, u"R"_qs}, {12, u"R"_qs},
                                                {13, u"R"_qs}, {101, u"D"_qs}, {105, u"S"_qs}};
    return letters.value(code, u"B"_qs);
}

}  // namespace

struct ClauseEvaluator::Archive {
    struct Value {
        enum Type { Null, Number, Text } type = Null;
        double number = 0;
        QString text;
    };
    struct Event {
        qint64 point;
        double time;
        Value value;
        qint64 status;
    };
    struct Point {
        qint64 id;
        QString tag;
        QHash<QString, Value> columns;  // folded column name -> stored value
        std::vector<const Event*> events;
    };
    struct Sample {
        const Point* point;
        double time;
    };
    // One row of each table the clause names.
    struct Row {
        const Point* point = nullptr;
        const Event* event = nullptr;
        const QHash<QString, Value>* stored = nullptr;  // an alias or batch row
        std::map<SqlTable, Sample> samples;
    };
    enum class Kind { Text, Number, Time };

    Archive(ArchiveServer& server, QDateTime now) : m_now(std::move(now)) {
        SqliteDatabase& db = SqliteArchiveStorage::databaseOf(server.storage());
        auto read = [](SqliteStatement& query, int column) {
            const int type = query.columnType(column);
            if (type == SQLITE_TEXT) return Value{Value::Text, 0, query.text(column)};
            const bool number = type == SQLITE_INTEGER || type == SQLITE_FLOAT;
            return number ? Value{Value::Number, query.real(column), {}} : Value{};
        };
        auto rows = [&](const char* sql, auto&& each) {
            auto query = db.prepare(sql);
            while (query.next()) {
                QHash<QString, Value> row;
                for (int c = 0; c < sqlite3_column_count(query.handle()); ++c)
                    row.insert(QString::fromUtf8(sqlite3_column_name(query.handle(), c)).toLower(),
                               read(query, c));
                each(row);
            }
        };
        rows("SELECT * FROM points ORDER BY tag_key", [&](const QHash<QString, Value>& row) {
            m_points.push_back({qint64(row[u"point_id"_qs].number), row[u"tag"_qs].text, row, {}});
        });
        rows("SELECT point_id, time, value, status FROM archive ORDER BY point_id, time",
             [&](const auto& row) {
                 m_events.push_back({qint64(row[u"point_id"_qs].number), row[u"time"_qs].number,
                                     row[u"value"_qs], qint64(row[u"status"_qs].number)});
             });
        for (Point& point : m_points) m_pointById.insert(point.id, &point);
        for (const Event& event : m_events) m_pointById[event.point]->events.push_back(&event);
        rows("SELECT name, code FROM digital_states ORDER BY set_id, code", [&](const auto& row) {
            const QString name = foldKey(row[u"name"_qs].text);
            if (!m_stateCodes.contains(name)) m_stateCodes.insert(name, qint64(row[u"code"_qs].number));
        });
        rows("SELECT class_id, name FROM point_classes", [&](const auto& row) {
            m_classNames.insert(qint64(row[u"class_id"_qs].number), row[u"name"_qs].text);
        });
        rows("SELECT * FROM aliases", [&](const auto& row) { m_aliases.push_back(row); });
        rows("SELECT * FROM batches", [&](const auto& row) { m_batches.push_back(row); });
    }

    QStringList evaluate(const SqlNode& clause) const {
        std::vector<SqlTable> tables;
        for (SqlTable table : SqlDialectParser::tablesOf(clause)) {
            if (table == SqlTable::Point) continue;
            tables.push_back(table);
            if (SqlDialectVocabulary::isSampled(table)) {
                const SqlSamplePlan plan = SqlSamplePlan::of(clause, table, m_now);
                m_sampleTimes[table] = plan.times;
                m_steps[table] = {plan.step, plan.stepText};
            }
        }
        QStringList tags;
        for (const Point& point : m_points) {
            Row row;
            row.point = &point;
            bool matched = false;
            enumerate(clause, row, tables, 0, matched);
            if (matched) tags << point.tag;
        }
        return tags;
    }

    void enumerate(const SqlNode& clause, Row& row, std::vector<SqlTable>& tables, size_t next,
                   bool& matched) const {
        if (matched) return;
        if (next == tables.size()) {
            matched = test(clause, row).value_or(false);
            return;
        }
        const SqlTable table = tables[next];
        auto go = [&] { enumerate(clause, row, tables, next + 1, matched); };
        if (table == SqlTable::Comp) {
            for (const Event& event : m_events) row.event = &event, go();
        } else if (table == SqlTable::Alias || table == SqlTable::Batch) {
            for (const auto& stored : table == SqlTable::Alias ? m_aliases : m_batches)
                row.stored = &stored, go();
        } else {
            for (const Point& point : m_points)
                for (double time : m_sampleTimes.at(table)) row.samples[table] = {&point, time}, go();
        }
    }

    std::optional<bool> test(const SqlNode& node, const Row& row) const {
        std::vector<std::optional<bool>> parts;
        switch (node.kind) {
            case SqlNode::Kind::And:
            case SqlNode::Kind::Or:
                for (const SqlNodePtr& child : node.children) parts.push_back(test(*child, row));
                return junction(parts, node.kind == SqlNode::Kind::And);
            case SqlNode::Kind::Not:
                if (const auto inner = test(node.child(0), row)) return !*inner;
                return std::nullopt;
            case SqlNode::Kind::Compare:
                return compare(node.child(0), node.op, node.child(1), row);
            case SqlNode::Kind::Like:
                return like(node.child(0), node.child(1).text, row);
            case SqlNode::Kind::In:
                for (size_t i = 1; i < node.children.size(); ++i)
                    parts.push_back(compare(node.child(0), QStringLiteral("="), node.child(i), row));
                return junction(parts, false);
            default:
                return std::nullopt;
        }
    }

    const Point* pointOf(const SqlNode& node, const Row& row) const {
        switch (node.table) {
            case SqlTable::Point:
                return row.point;
            case SqlTable::Comp:
                return m_pointById.value(row.event->point);
            case SqlTable::Alias:
            case SqlTable::Batch:
                return m_pointById.value(qint64(row.stored->value(u"point_id"_qs).number));
            default:
                return row.samples.at(node.table).point;
        }
    }

    std::optional<bool> compare(const SqlNode& left, const QString& op, const SqlNode& right,
                                const Row& row) const {
        const auto isColumn = [](const SqlNode& n, const char16_t* column) {
            return n.kind == SqlNode::Kind::Column && n.column == QStringView(column);
        };
        if (op == u"=" && isColumn(left, u"Tag") && isColumn(right, u"Tag"))
            return pointOf(left, row) == pointOf(right, row);
        // The clauses put a mask or a time after the column it applies to.
        const bool wild =
            right.kind == SqlNode::Kind::String && (right.text.contains(u'*') || right.text.contains(u'?'));
        if ((op == u"=" || op == u"<>") && wild && !left.isLiteral()) {
            const auto matched = like(left, right.text, row);
            return matched && op == u"<>" ? std::optional(!*matched) : matched;
        }
        if (op == u"=" && left.table == SqlTable::Comp && isColumn(left, u"Time") &&
            right.kind != SqlNode::Kind::Column) {
            const Value at = value(right, row, Kind::Time);
            double newest = -INFINITY;
            for (const Event* event : pointOf(left, row)->events)
                if (event->time <= at.number) newest = std::max(newest, event->time);
            return row.event->time == newest;
        }
        const Kind kind = kindFor(left, right);
        const Value a = value(left, row, kind);
        const Value b = value(right, row, kind);
        if (a.type == Value::Null || b.type == Value::Null) return std::nullopt;
        const int order =
            kind == Kind::Text ? a.text.compare(b.text) : (a.number < b.number ? -1 : a.number > b.number);
        if (op == u"=" || op == u"<>") return (order == 0) == (op == u"=");
        return order == 0 ? op.endsWith(u'=') : (order < 0) == op.startsWith(u'<');
    }

    std::optional<bool> like(const SqlNode& operand, const QString& mask, const Row& row) const {
        const Value text = value(operand, row, Kind::Text);
        if (text.type == Value::Null) return std::nullopt;
        QString pattern;
        for (const QChar c : foldKey(mask))
            pattern += c == u'*' ? u".*"_qs : c == u'?' ? u"."_qs : QRegularExpression::escape(QString(c));
        const QRegularExpression expression(QRegularExpression::anchoredPattern(pattern),
                                            QRegularExpression::DotMatchesEverythingOption);
        return expression.match(text.text).hasMatch();
    }

    // Texts win, then times; the clauses compare an archived value with numbers only.
    static Kind kindFor(const SqlNode& left, const SqlNode& right) {
        bool text = false, time = false;
        for (const SqlNode* node : {&left, &right}) {
            if (node->kind == SqlNode::Kind::Column) {
                const SqlColumnKind kind = SqlDialectVocabulary::kindOf(node->table, node->column);
                text |= kind == SqlColumnKind::Text;
                time |= kind == SqlColumnKind::Time;
            }
            time |= node->kind == SqlNode::Kind::Date;
        }
        return text ? Kind::Text : time ? Kind::Time : Kind::Number;
    }

    Value value(const SqlNode& node, const Row& row, Kind as) const {
        const Value v = stored(node, row);
        if (as == Kind::Text && v.type != Value::Null)
            return {Value::Text, 0, foldKey(v.type == Value::Number ? sqliteText(v.number) : v.text)};
        return as != Kind::Text && v.type == Value::Text ? Value{} : v;  // a text never equals a number
    }

    Value stored(const SqlNode& node, const Row& row) const {
        switch (node.kind) {
            case SqlNode::Kind::Column:
                return column(node, row);
            case SqlNode::Kind::Number:
                return {Value::Number, node.number, {}};
            case SqlNode::Kind::String:
                return {Value::Text, 0, node.text};
            case SqlNode::Kind::Date:
                return {Value::Number, *TimeText::seconds(node.text, m_now), {}};
            case SqlNode::Kind::DigCode: {
                const auto code = m_stateCodes.constFind(foldKey(node.text.trimmed()));
                return code == m_stateCodes.constEnd() ? Value{} : Value{Value::Number, double(*code), {}};
            }
            case SqlNode::Kind::Abs: {
                const Value v = value(node.child(0), row, Kind::Number);
                return {v.type, std::fabs(v.number), {}};
            }
            default:
                return {};
        }
    }

    Value column(const SqlNode& node, const Row& row) const {
        const QString& name = node.column;
        if (name == u"Tag") return {Value::Text, 0, pointOf(node, row)->tag};
        if (node.table == SqlTable::Point) {
            const auto& stored = row.point->columns;
            if (name == u"Pointid" || name == u"PointNumber")
                return {Value::Number, double(row.point->id), {}};
            if (name == u"PointClass")
                return {Value::Text, 0, m_classNames.value(qint64(stored[u"class_id"_qs].number))};
            if (name == u"PointType")
                return {Value::Text, 0, typeLetter(int(stored[u"pointtype"_qs].number))};
            const Value v = stored.value(name.toLower());
            if (name == u"CreationDate" || name == u"ChangeDate")
                return {Value::Number, double(StoredDate::fromText(v.text).toSecsSinceEpoch()), {}};
            return v;
        }
        const Value now{Value::Number, double(m_now.toMSecsSinceEpoch()) / 1000.0, {}};
        switch (node.table) {
            case SqlTable::Comp:
                if (name == u"Status") return {Value::Number, double(row.event->status), {}};
                if (name == u"Time") return {Value::Number, row.event->time, {}};
                return row.event->value;
            case SqlTable::Alias:
                return name == u"Time" ? now : row.stored->value(name.toLower());
            case SqlTable::Batch: {
                static const QHash<QString, QString> columns = {{u"Batchid"_qs, u"batch_id"_qs},
                                                                {u"Starttime"_qs, u"start_time"_qs},
                                                                {u"Endtime"_qs, u"end_time"_qs},
                                                                {u"Time"_qs, u"end_time"_qs}};
                const Value v = row.stored->value(columns.value(name, name.toLower()));
                return name == u"Time" && v.type == Value::Null ? now : v;  // a running batch ends now
            }
            default:
                return sampled(node, row.samples.at(node.table));
        }
    }

    Value sampled(const SqlNode& node, const Sample& sample) const {
        if (node.column == u"Time") return {Value::Number, sample.time, {}};
        const auto& [step, stepText] = m_steps.at(node.table);
        if (node.column == u"TimeStep") return {Value::Text, 0, stepText};
        auto eventOf = [](const Event* e) {
            return ArchiveSummary::Event{
                e->time, e->value.type == Value::Number ? std::optional(e->value.number) : std::nullopt,
                e->status};
        };
        std::optional<ArchiveSummary::Event> before, after, start;
        std::vector<ArchiveSummary::Event> inside;
        for (const Event* e : sample.point->events) {
            if (e->time <= sample.time) before = eventOf(e);
            if (e->time > sample.time && !after) after = eventOf(e);
            if (e->time <= sample.time - step) start = eventOf(e);
            if (e->time > sample.time - step && e->time <= sample.time) inside.push_back(eventOf(e));
        }
        const int function = int(node.table) - int(SqlTable::Interp);
        const ArchiveSummary::Result result =
            function == ArchiveSummary::Interp ? ArchiveSummary::interpolate(sample.time, before, after)
                                               : ArchiveSummary::summarize(ArchiveSummary::Function(function),
                                                                           sample.time, step, start, inside);
        const std::optional<double>& v = node.column == u"Value" ? result.value : result.pctGood;
        return v ? Value{Value::Number, *v, {}} : Value{};
    }

    QDateTime m_now;
    std::vector<Point> m_points;
    std::vector<Event> m_events;
    std::vector<QHash<QString, Value>> m_aliases, m_batches;
    QHash<QString, qint64> m_stateCodes;
    QHash<qint64, QString> m_classNames;
    QHash<qint64, Point*> m_pointById;
    mutable std::map<SqlTable, std::vector<double>> m_sampleTimes;
    mutable std::map<SqlTable, std::pair<double, QString>> m_steps;
};

ClauseEvaluator::ClauseEvaluator(ArchiveServer& server, QDateTime now)
    : d(std::make_unique<Archive>(server, std::move(now))) {}

ClauseEvaluator::~ClauseEvaluator() = default;

QStringList ClauseEvaluator::evaluate(const SqlNode& clause) const {
    return d->evaluate(clause);
}

}  // namespace vq::test
