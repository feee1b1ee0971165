#pragma once

#include "archive/ArchiveExport.h"

#include "archive/dialect/SqlNode.h"
#include "core/Variant.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

#include <map>
#include <vector>

namespace vq {

// SQL for one point search; the values of the clause travel as numbered parameters.
struct VQ_ARCHIVE_EXPORT SqlQuery {
    QByteArray sql;
    std::vector<Variant> parameters;  // doubles or texts, first to last
};

// Translates a parsed where clause into a read-only query over the archive's tables that answers
// the distinct matching points (point_id, Tag) in tag order. Literals become bound parameters;
// names come only from the vocabulary and the archive's own point columns. Texts compare
// case-folded (vq_fold); a stored folded tag answers literal tag prefixes with an index range.
// This walker holds what every storage engine shares; each engine's subclass spells what its SQL
// says differently: placeholders, mask tests, archived values and stored dates.
class VQ_ARCHIVE_EXPORT SqlDialectTranslator {
public:
    static constexpr int MaxMaskLength = 256;
    static constexpr int MaxMaskWildcards = 16;

    // `pointColumns`: the columns the archive's point table has; `now` fixes "*" for the query.
    SqlDialectTranslator(QStringList pointColumns, QDateTime now);
    virtual ~SqlDialectTranslator() = default;

    SqlQuery translate(const SqlNode& clause);

protected:
    enum class Kind { Text, Number, Time, Value, NumberLiteral, StringLiteral };

    // The placeholder of the `number`th parameter (from 1), holding `value`.
    virtual QString placeholder(size_t number, const Variant& value) const = 0;
    // The whole statement around the parts the walker made.
    virtual QString statement(const QString& with, bool distinct, const QString& from,
                              const QString& where) const = 0;
    // A test of folded text `text` against a mask of * and ?; everything else matches literally.
    virtual QString maskTest(const QString& text, const QString& foldedMask) = 0;
    // A further condition that narrows a positive mask test through an index, or nothing.
    virtual QString maskNarrowing(const SqlNode& operand, const QString& foldedMask);
    // Folded text (the tag key, a folded value) as compared for ranges and order: by code point.
    virtual QString orderedKey(const QString& key) const;
    // VQCOMP.VALUE as stored: a number or a text.
    virtual QString archivedValue() const;
    // An archived value as a number, or NULL when it is a text.
    virtual QString archivedNumber(const QString& value) const = 0;
    // A stored date text in seconds since 1970 (UTC), or NULL when it is not a date.
    virtual QString storedSeconds(const QString& date) const = 0;
    // The sample time row of a sampled table with no sample time at all.
    virtual QString noSampleTime() const;

    QString bind(const Variant& value);
    QString value(const SqlNode& node, Kind as);
    // The length of the mask's literal start, before its first * or ?.
    static qsizetype literalPrefixLength(const QString& mask);

private:
    QString condition(const SqlNode& node, bool positive);
    QString junction(const SqlNode& node, const char* word, bool positive);
    QString compare(const SqlNode& left, const QString& op, const SqlNode& right, bool positive);
    QString like(const SqlNode& operand, const SqlNode& mask, bool positive);
    QString tagKeyRange(const SqlNode& operand, const QString& foldedMask, bool& exact);
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
