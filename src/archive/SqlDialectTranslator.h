#pragma once

#include "SqlNode.h"
#include "core/Variant.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <map>
#include <vector>

namespace vq {

// SQLite SQL for one point search; the values of the clause travel as numbered parameters.
struct SqlQuery {
    QByteArray sql;
    std::vector<Variant> parameters;  // ?1, ?2, ...: doubles or texts
};

// Translates a parsed where clause into a read-only SQLite query over the archive's tables that
// answers the distinct matching points (point_id, Tag) in tag order. Literals become bound
// parameters; names come only from the vocabulary and the archive's own point columns.
// Texts compare case-folded; masks become GLOB patterns over folded text, which a stored folded
// tag answers with an index range, helped by the trigram index for inner literals.
class SqlDialectTranslator {
public:
    static constexpr int MaxMaskLength = 256;
    static constexpr int MaxMaskWildcards = 16;

    // `pointColumns`: the columns the archive's point table has; `now` fixes "*" for the query.
    SqlDialectTranslator(QStringList pointColumns, QDateTime now);

    SqlQuery translate(const SqlNode& clause);

    // A mask with * and ? as a GLOB pattern for folded text: other GLOB characters match literally.
    static QString globPattern(const QString& foldedMask);

private:
    enum class Kind { Text, Number, Time, Value, NumberLiteral, StringLiteral };

    QString condition(const SqlNode& node, bool positive);
    QString junction(const SqlNode& node, const char* word, bool positive);
    QString compare(const SqlNode& left, const QString& op, const SqlNode& right, bool positive);
    QString like(const SqlNode& operand, const SqlNode& mask, bool positive);
    QString tagKeyRange(const SqlNode& operand, const QString& foldedMask, bool& exact);
    QString trigramFilter(const SqlNode& operand, const QString& foldedMask);
    QString value(const SqlNode& node, Kind as);
    QString literal(const SqlNode& node, Kind as);
    double timeOf(const SqlNode& node, const QString& shown, const QString& examples) const;
    QString column(const SqlNode& node, bool& folded);
    QString pointColumn(const QString& name, bool& folded) const;
    QString sampledColumn(const SqlNode& node, bool& folded);
    QString aliasColumn(const QString& name);
    QString batchColumn(const QString& name);
    QString pointIdOf(SqlTable table) const;
    QString alias(SqlTable table) const;
    QString fromClause(const SqlNode& clause);
    QString bind(const Variant& value);
    static Kind kindOf(const SqlNode& node);
    static Kind commonKind(const SqlNode& left, const SqlNode& right);

    QStringList m_pointColumns;
    QDateTime m_now;
    std::vector<Variant> m_parameters;
    std::map<SqlTable, QString> m_steps;      // the bound step of each sampled table, in seconds
    std::map<SqlTable, QString> m_stepTexts;  // ... and as the clause wrote it
    QString m_withClause;
};

}  // namespace vq
