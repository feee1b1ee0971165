#include "archive/postgres/PostgresDialectTranslator.h"

namespace vq {

QString PostgresDialectTranslator::likePattern(const QString& foldedMask) {
    QString pattern;
    pattern.reserve(foldedMask.size() + 8);
    QChar last;
    for (const QChar c : foldedMask) {
        const bool repeated = c == u'*' && last == u'*';
        last = c;
        if (repeated) continue;
        if (c == u'*') {
            pattern += u'%';
        } else if (c == u'?') {
            pattern += u'_';
        } else {
            if (c == u'%' || c == u'_' || c == u'\\') pattern += u'\\';
            pattern += c;
        }
    }
    return pattern;
}

// Numbers travel as double precision like SQLite's REAL, texts as text; the cast lets a value
// stand where its type is not otherwise known (VALUES, coalesce).
QString PostgresDialectTranslator::placeholder(size_t number, const Variant& value) const {
    const bool isNumber = value.isNumeric() && value.type() != Variant::Type::String;
    return u'$' + QString::number(number) + QLatin1String(isNumber ? "::float8" : "::text");
}

// Only DISTINCT needs the order key among its columns; elsewhere it would cross the wire for
// nothing with every row.
QString PostgresDialectTranslator::statement(const QString& with, bool distinct, const QString& from,
                                             const QString& where) const {
    if (!distinct)
        return QStringLiteral(
                   "%1 SELECT p.point_id, p.\"Tag\" FROM %2 WHERE %3 ORDER BY p.tag_key COLLATE \"C\"")
            .arg(with, from, where);
    return QStringLiteral(
               "%1 SELECT DISTINCT p.point_id, p.\"Tag\", p.tag_key COLLATE \"C\" AS tag_order"
               " FROM %2 WHERE %3 ORDER BY tag_order")
        .arg(with, from, where);
}

QString PostgresDialectTranslator::maskTest(const QString& text, const QString& foldedMask) {
    return text + QStringLiteral(" LIKE ") + bind(Variant(likePattern(foldedMask)));
}

QString PostgresDialectTranslator::orderedKey(const QString& key) const {
    return key + QStringLiteral(" COLLATE \"C\"");
}

// The archive keeps a value as text beside whether it is a number; a number reads as text the
// way SQLite writes a REAL (vq_fold of a double), so a mask over values means the same on both.
QString PostgresDialectTranslator::archivedValue() const {
    return QStringLiteral("(CASE WHEN c.value_is_number THEN vq_fold(c.value::float8) ELSE c.value END)");
}

QString PostgresDialectTranslator::archivedNumber(const QString&) const {
    return QStringLiteral("(CASE WHEN c.value_is_number THEN c.value::float8 END)");
}

QString PostgresDialectTranslator::storedSeconds(const QString& date) const {
    return QStringLiteral("vq_seconds(%1)").arg(date);
}

QString PostgresDialectTranslator::noSampleTime() const {
    return QStringLiteral("(NULL::float8)");
}

}  // namespace vq
