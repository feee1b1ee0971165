#include "archive/dialect/SqlDialectTranslator.h"

#include "archive/dialect/SqlDialectError.h"
#include "archive/dialect/SqlDialectParser.h"
#include "archive/dialect/SqlSamplePlan.h"
#include "archive/dialect/TimeText.h"
#include "core/KeyedCollection.h"

#include <algorithm>

namespace vq {

namespace {

// Values compared as text are compared case-folded.
QString foldedIf(bool text, const QString& sql) {
    return text ? QStringLiteral("vq_fold(") + sql + u')' : sql;
}

QString quotedName(const QString& name) {
    return u'"' + QString(name).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

bool hasWildcard(const QString& text) {
    return text.contains(u'*') || text.contains(u'?');
}

bool isNumericText(const QString& text) {
    return Variant(text).isNumeric();
}

const char* const kPointTypeLetter =
    "(CASE WHEN p.\"PointType\" IN (6, 8) THEN 'i' WHEN p.\"PointType\" IN (11, 12, 13) THEN 'r'"
    " WHEN p.\"PointType\" = 101 THEN 'd' WHEN p.\"PointType\" = 105 THEN 's'"
    " WHEN p.\"PointType\" = 102 THEN 'b' END)";

}  // namespace

SqlDialectTranslator::SqlDialectTranslator(QStringList pointColumns, QDateTime now)
    : m_pointColumns(std::move(pointColumns)), m_now(std::move(now)) {}

SqlQuery SqlDialectTranslator::translate(const SqlNode& clause) {
    m_parameters.clear();
    m_steps.clear();
    const QString from = fromClause(clause);
    std::set<SqlTable> tables = SqlDialectParser::tablesOf(clause);
    tables.erase(SqlTable::Point);
    const bool joined = !tables.empty();
    const QString where = condition(clause, true);
    return {statement(m_withClause, joined, from, where).trimmed().toUtf8(), m_parameters};
}

QString SqlDialectTranslator::fromClause(const SqlNode& clause) {
    QStringList from = {QStringLiteral("points p")};
    QStringList with;
    for (SqlTable table : SqlDialectParser::tablesOf(clause)) {
        switch (table) {
            case SqlTable::Point:
                break;
            case SqlTable::Comp:
                from << QStringLiteral("archive c");
                break;
            case SqlTable::Alias:
                from << QStringLiteral("aliases a");
                break;
            case SqlTable::Batch:
                from << QStringLiteral("batches b");
                break;
            default: {
                const SqlSamplePlan plan = SqlSamplePlan::of(clause, table, m_now);
                QStringList rows;
                for (double time : plan.times) rows << u'(' + bind(Variant(time)) + u')';
                if (rows.isEmpty()) rows << noSampleTime();
                const QString times = u's' + QString::number(int(table));
                with << times + QStringLiteral("(t) AS (VALUES ") + rows.join(u", ") + u')';
                from << alias(table).prepend(QStringLiteral("points ")) << times;
                m_steps[table] = bind(Variant(plan.step));
                m_stepTexts[table] = bind(Variant(foldKey(plan.stepText)));
            }
        }
    }
    m_withClause = with.isEmpty() ? QString() : QStringLiteral("WITH ") + with.join(u", ");
    return from.join(u", ");
}

QString SqlDialectTranslator::alias(SqlTable table) const {
    switch (table) {
        case SqlTable::Point:
            return QStringLiteral("p");
        case SqlTable::Comp:
            return QStringLiteral("c");
        case SqlTable::Alias:
            return QStringLiteral("a");
        case SqlTable::Batch:
            return QStringLiteral("b");
        default:
            return u'x' + QString::number(int(table));
    }
}

QString SqlDialectTranslator::pointIdOf(SqlTable table) const {
    return alias(table) + QStringLiteral(".point_id");
}

QString SqlDialectTranslator::bind(const Variant& value) {
    m_parameters.push_back(value);
    return placeholder(m_parameters.size(), value);
}

QString SqlDialectTranslator::noSampleTime() const {
    return QStringLiteral("(NULL)");
}

QString SqlDialectTranslator::archivedValue() const {
    return QStringLiteral("c.value");
}

QString SqlDialectTranslator::orderedKey(const QString& key) const {
    return key;
}

QString SqlDialectTranslator::maskNarrowing(const SqlNode&, const QString&) {
    return {};
}

qsizetype SqlDialectTranslator::literalPrefixLength(const QString& mask) {
    qsizetype n = 0;
    while (n < mask.size() && mask[n] != u'*' && mask[n] != u'?') ++n;
    return n;
}

QString SqlDialectTranslator::condition(const SqlNode& node, bool positive) {
    switch (node.kind) {
        case SqlNode::Kind::Or:
            return junction(node, " OR ", positive);
        case SqlNode::Kind::And:
            return junction(node, " AND ", positive);
        case SqlNode::Kind::Not:
            return QStringLiteral("(NOT ") + condition(node.child(0), false) + u')';
        case SqlNode::Kind::Compare:
            return compare(node.child(0), node.op, node.child(1), positive);
        case SqlNode::Kind::Like:
            return like(node.child(0), node.child(1), positive);
        case SqlNode::Kind::In: {
            QStringList alternatives;
            for (size_t i = 1; i < node.children.size(); ++i)
                alternatives << compare(node.child(0), QStringLiteral("="), node.child(i), positive);
            return u'(' + alternatives.join(QStringLiteral(" OR ")) + u')';
        }
        default:
            throw SqlDialectError::at(node.position,
                                      QStringLiteral("a value stands where a condition is needed"));
    }
}

QString SqlDialectTranslator::junction(const SqlNode& node, const char* word, bool positive) {
    QStringList parts;
    for (const SqlNodePtr& child : node.children) parts << condition(*child, positive);
    return u'(' + parts.join(QLatin1String(word)) + u')';
}

SqlDialectTranslator::Kind SqlDialectTranslator::kindOf(const SqlNode& node) {
    switch (node.kind) {
        case SqlNode::Kind::Column:
            switch (SqlDialectVocabulary::kindOf(node.table, node.column)) {
                case SqlColumnKind::Text:
                    return Kind::Text;
                case SqlColumnKind::Time:
                    return Kind::Time;
                case SqlColumnKind::Value:
                    return Kind::Value;
                case SqlColumnKind::Number:
                    return Kind::Number;
            }
            return Kind::Number;
        case SqlNode::Kind::Number:
            return Kind::NumberLiteral;
        case SqlNode::Kind::String:
            return Kind::StringLiteral;
        case SqlNode::Kind::Date:
            return Kind::Time;
        default:
            return Kind::Number;
    }
}

// Texts win over everything, then times; an archived value is a text only against a text that
// is not a number; two literals compare as numbers only when both are numeric.
SqlDialectTranslator::Kind SqlDialectTranslator::commonKind(const SqlNode& left, const SqlNode& right) {
    const Kind a = kindOf(left), b = kindOf(right);
    auto either = [&](Kind k) { return a == k || b == k; };
    const SqlNode& other = a == Kind::StringLiteral ? left : right;
    const bool textLiteral = either(Kind::StringLiteral) && !isNumericText(other.text);
    if (either(Kind::Text)) return Kind::Text;
    if (either(Kind::Time)) return Kind::Time;
    if (either(Kind::Value)) return textLiteral ? Kind::Text : Kind::Number;
    if (a == Kind::StringLiteral && b == Kind::StringLiteral) return Kind::Text;
    if (either(Kind::StringLiteral) && either(Kind::NumberLiteral))
        return textLiteral ? Kind::Text : Kind::Number;
    return Kind::Number;
}

QString SqlDialectTranslator::compare(const SqlNode& left, const QString& op, const SqlNode& right,
                                      bool positive) {
    const bool tagJoin = op == u"=" && left.kind == SqlNode::Kind::Column &&
                         right.kind == SqlNode::Kind::Column && left.column == u"Tag" &&
                         right.column == u"Tag" && left.table != SqlTable::Batch &&
                         right.table != SqlTable::Batch;
    if (tagJoin) return u'(' + pointIdOf(left.table) + QStringLiteral(" = ") + pointIdOf(right.table) + u')';
    // "=" against a mask is a mask search, as the simple search sends "Tag = '*'" for all points.
    for (const auto& [operand, mask] : {std::pair{&left, &right}, std::pair{&right, &left}}) {
        if ((op == u"=" || op == u"<>") && mask->kind == SqlNode::Kind::String && hasWildcard(mask->text) &&
            !operand->isLiteral()) {
            return op == u"=" ? like(*operand, *mask, positive)
                              : QStringLiteral("(NOT ") + like(*operand, *mask, false) + u')';
        }
    }
    // The event of VQCOMP in effect at a time is the newest one at or before it.
    for (const auto& [column, time] : {std::pair{&left, &right}, std::pair{&right, &left}}) {
        if (op == u"=" && column->kind == SqlNode::Kind::Column && column->table == SqlTable::Comp &&
            column->column == u"Time" && time->kind != SqlNode::Kind::Column) {
            return QStringLiteral(
                       "(c.time = (SELECT max(time) FROM archive WHERE point_id = c.point_id AND time <= "
                       "%1))")
                .arg(value(*time, Kind::Time));
        }
    }
    const Kind kind = commonKind(left, right);
    // Folded texts order by code point on every engine, whatever the database's collation.
    // The right side binds its values first, as the SQLite translation always numbered them.
    const QString second = kind == Kind::Text ? orderedKey(value(right, kind)) : value(right, kind);
    return u'(' + value(left, kind) + u' ' + op + u' ' + second + u')';
}

QString SqlDialectTranslator::like(const SqlNode& operand, const SqlNode& mask, bool positive) {
    const QString folded = foldKey(mask.text);
    if (folded.size() > MaxMaskLength || folded.count(u'*') + folded.count(u'?') > MaxMaskWildcards)
        throw SqlDialectError::at(mask.position,
                                  QStringLiteral("the mask is too long or has too many wildcards (at most "
                                                 "%1 characters and %2 of * and ?)")
                                      .arg(MaxMaskLength)
                                      .arg(MaxMaskWildcards));
    // A lone "*" matches every text, so "Tag = '*'" reads the points without testing each tag.
    if (std::all_of(folded.begin(), folded.end(), [](QChar c) { return c == u'*'; }) && !folded.isEmpty())
        return u'(' + value(operand, Kind::Text) + QStringLiteral(" IS NOT NULL)");
    bool exact = false;
    const QString range = tagKeyRange(operand, folded, exact);
    if (exact) return u'(' + range + u')';
    const QString text = value(operand, Kind::Text);
    QString test = u'(' + maskTest(text, folded) + u')';
    // Every text the pattern matches lies in the range, so it may stand under a NOT as well.
    if (!range.isEmpty()) test += QStringLiteral(" AND ") + range;
    if (positive) test += maskNarrowing(operand, folded);
    return u'(' + test + u')';
}

// The literal prefix of a tag mask as a range of the tag key index. An engine may find such a
// range in the mask itself, but only by looking at the bound pattern, which ties the plan to one
// pattern; spelled out, one prepared statement serves every prefix. `exact` tells that the range
// alone means the mask ("abc*").
QString SqlDialectTranslator::tagKeyRange(const SqlNode& operand, const QString& foldedMask, bool& exact) {
    exact = false;
    if (operand.kind != SqlNode::Kind::Column || operand.column != u"Tag" ||
        operand.table == SqlTable::Comp || operand.table == SqlTable::Alias ||
        operand.table == SqlTable::Batch)
        return {};
    const QString prefix = foldedMask.left(literalPrefixLength(foldedMask));
    if (prefix.isEmpty()) return {};
    bool folded = false;
    const QString key = orderedKey(column(operand, folded));
    QString range = QStringLiteral("%1 >= %2").arg(key, bind(Variant(prefix)));
    // Keys with the prefix sort below it with its last ASCII character raised by one: UTF-8 keeps
    // code point order, and raising an ASCII character cannot run into a multi-byte one.
    for (qsizetype at = prefix.size() - 1; at >= 0; --at) {
        const char16_t c = prefix.at(at).unicode();
        if (c >= 0x7f) continue;
        range += QStringLiteral(" AND %1 < %2").arg(key, bind(Variant(prefix.left(at) + QChar(c + 1))));
        exact = at == prefix.size() - 1 &&
                std::all_of(foldedMask.begin() + prefix.size(), foldedMask.end(),
                            [](QChar m) { return m == u'*'; }) &&
                prefix.size() < foldedMask.size();
        break;
    }
    return range;
}

QString SqlDialectTranslator::value(const SqlNode& node, Kind as) {
    switch (node.kind) {
        case SqlNode::Kind::Column: {
            bool folded = false;
            const QString sql = column(node, folded);
            if (as == Kind::Text) return foldedIf(!folded, sql);
            if (kindOf(node) == Kind::Value) return archivedNumber(sql);
            return sql;
        }
        case SqlNode::Kind::Number:
        case SqlNode::Kind::String:
            return literal(node, as);
        case SqlNode::Kind::Date: {
            const double seconds = timeOf(node, QStringLiteral("DATE(\"%1\")"),
                                          QStringLiteral("'*', '*-1h', 't', 'y' or '2024-03-01 08:00'"));
            return bind(as == Kind::Text ? Variant(QString::number(seconds, 'f', 3)) : Variant(seconds));
        }
        case SqlNode::Kind::DigCode: {
            const QString code = QStringLiteral(
                                     "(SELECT code FROM digital_states WHERE vq_fold(name) = %1 ORDER BY "
                                     "set_id, code LIMIT 1)")
                                     .arg(bind(Variant(foldKey(node.text.trimmed()))));
            return foldedIf(as == Kind::Text, code);
        }
        case SqlNode::Kind::Abs: {
            return foldedIf(as == Kind::Text,
                            QStringLiteral("abs(") + value(node.child(0), Kind::Number) + u')');
        }
        case SqlNode::Kind::Negate: {
            return foldedIf(as == Kind::Text,
                            QStringLiteral("(-") + value(node.child(0), Kind::Number) + u')');
        }
        default:
            throw SqlDialectError::at(node.position,
                                      QStringLiteral("a condition stands where a value is needed"));
    }
}

// The time a text names, in seconds; `shown` quotes the text in the error, `examples` follow it.
double SqlDialectTranslator::timeOf(const SqlNode& node, const QString& shown,
                                    const QString& examples) const {
    if (const auto seconds = TimeText::seconds(node.text, m_now)) return *seconds;
    throw SqlDialectError::at(
        node.position,
        shown.arg(node.text) + QStringLiteral(" is not a time; write for example ") + examples);
}

QString SqlDialectTranslator::literal(const SqlNode& node, Kind as) {
    if (as == Kind::Text) return bind(Variant(foldKey(node.text)));
    if (node.kind == SqlNode::Kind::Number) return bind(Variant(node.number));
    if (as == Kind::Time)
        return bind(Variant(
            timeOf(node, QStringLiteral("\"%1\""), QStringLiteral("'*-1h', 't' or '2024-03-01 08:00'"))));
    if (!isNumericText(node.text))
        throw SqlDialectError::at(
            node.position, QStringLiteral("\"%1\" is compared with a number but is not one").arg(node.text));
    return bind(Variant(Variant(node.text).toDouble()));
}

QString SqlDialectTranslator::column(const SqlNode& node, bool& folded) {
    folded = false;
    const QString& name = node.column;
    switch (node.table) {
        case SqlTable::Point:
            return pointColumn(name, folded);
        case SqlTable::Comp:
        case SqlTable::Alias:
        case SqlTable::Batch:
            if (name == u"Tag") {
                folded = true;
                return QStringLiteral("(SELECT tag_key FROM points WHERE point_id = %1)")
                    .arg(pointIdOf(node.table));
            }
            if (node.table == SqlTable::Comp)
                return name == u"Value" ? archivedValue() : QStringLiteral("c.") + name.toLower();
            if (node.table == SqlTable::Alias) return aliasColumn(name);
            return batchColumn(name);
        default:
            return sampledColumn(node, folded);
    }
}

// Aliases carry no history: their time is the time of the search.
QString SqlDialectTranslator::aliasColumn(const QString& name) {
    if (name == u"Time") return bind(Variant(double(m_now.toMSecsSinceEpoch()) / 1000.0));
    return name == u"Alias" ? QStringLiteral("a.alias") : QStringLiteral("a.unit");
}

// A batch's time is its end, or the time of the search while it runs.
QString SqlDialectTranslator::batchColumn(const QString& name) {
    if (name == u"Time")
        return QStringLiteral("coalesce(b.end_time, %1)")
            .arg(bind(Variant(double(m_now.toMSecsSinceEpoch()) / 1000.0)));
    static const QHash<QString, QString> columns = {{u"Batchid"_qs, u"b.batch_id"_qs},
                                                    {u"Endtime"_qs, u"b.end_time"_qs},
                                                    {u"Product"_qs, u"b.product"_qs},
                                                    {u"Starttime"_qs, u"b.start_time"_qs},
                                                    {u"Unit"_qs, u"b.unit"_qs}};
    return columns.value(name);
}

QString SqlDialectTranslator::pointColumn(const QString& name, bool& folded) const {
    if (name == u"Tag") {
        folded = true;
        return QStringLiteral("p.tag_key");
    }
    if (name == u"PointType") {
        folded = true;
        return QString::fromLatin1(kPointTypeLetter);
    }
    if (name == u"Pointid" || name == u"PointNumber") return QStringLiteral("p.point_id");
    if (name == u"PointClass")
        return QStringLiteral("(SELECT name FROM point_classes WHERE class_id = p.class_id)");
    const auto stored =
        std::find_if(m_pointColumns.cbegin(), m_pointColumns.cend(),
                     [&](const QString& column) { return column.compare(name, Qt::CaseInsensitive) == 0; });
    if (stored == m_pointColumns.cend()) return QStringLiteral("NULL");
    const QString sql = QStringLiteral("p.") + quotedName(*stored);
    if (name == u"CreationDate" || name == u"ChangeDate") return storedSeconds(sql);
    return sql;
}

QString SqlDialectTranslator::sampledColumn(const SqlNode& node, bool& folded) {
    const QString x = alias(node.table);
    const QString times = u's' + QString::number(int(node.table));
    const int function = int(node.table) - int(SqlTable::Interp);
    if (node.column == u"Tag") {
        folded = true;
        return x + QStringLiteral(".tag_key");
    }
    if (node.column == u"Time") return times + QStringLiteral(".t");
    if (node.column == u"TimeStep") {
        folded = true;
        return m_stepTexts.at(node.table);
    }
    const char* name = node.column == u"Value" ? "vq_sample" : "vq_pctgood";
    return QStringLiteral("%1(%2, %3.point_id, %4.t, %5)")
        .arg(QLatin1String(name))
        .arg(function)
        .arg(x, times, m_steps.at(node.table));
}

}  // namespace vq
