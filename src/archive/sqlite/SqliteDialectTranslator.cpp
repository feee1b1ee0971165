#include "archive/sqlite/SqliteDialectTranslator.h"

#include <QRegularExpression>

#include <algorithm>

namespace vq {

namespace {

// The trigrams the trigram index is asked for: pieces of three characters cut from the literal
// runs of the mask (the last piece of a run ending with it), all of which a matching text
// contains. Each piece costs the index a list of every text holding it, so only three are asked
// for, spread over the mask; the mask itself then checks the few candidates. Only plain ASCII
// pieces are used, as the index and the tag key fold other letters each in their own way.
QStringList trigramsOf(const QString& mask) {
    constexpr qsizetype kAsked = 3;
    QStringList pieces;
    for (const QString& run : mask.split(QRegularExpression(QStringLiteral("[*?]")), Qt::SkipEmptyParts)) {
        for (qsizetype at = 0; run.size() >= 3 && at < run.size(); at += 3) {
            const QString piece = run.mid(std::min(at, run.size() - 3), 3);
            const bool ascii =
                std::all_of(piece.begin(), piece.end(), [](QChar c) { return c.unicode() < 128; });
            if (ascii && !pieces.contains(piece)) pieces << piece;
        }
    }
    if (pieces.size() <= kAsked) return pieces;
    QStringList spread;
    for (qsizetype i = 0; i < kAsked; ++i) spread << pieces[i * (pieces.size() - 1) / (kAsked - 1)];
    return spread;
}

}  // namespace

QString SqliteDialectTranslator::placeholder(size_t number, const Variant&) const {
    return u'?' + QString::number(number);
}

QString SqliteDialectTranslator::statement(const QString& with, bool distinct, const QString& from,
                                           const QString& where) const {
    return QStringLiteral("%1 SELECT %2p.point_id, p.\"Tag\" FROM %3 WHERE %4 ORDER BY p.tag_key")
        .arg(with, distinct ? QStringLiteral("DISTINCT ") : QString(), from, where);
}

QString SqliteDialectTranslator::maskTest(const QString& text, const QString& foldedMask) {
    return text + QStringLiteral(" GLOB ") + bind(Variant(globPattern(foldedMask)));
}

QString SqliteDialectTranslator::archivedNumber(const QString& value) const {
    return QStringLiteral("(CASE WHEN typeof(%1) IN ('integer', 'real') THEN %1 END)").arg(value);
}

QString SqliteDialectTranslator::storedSeconds(const QString& date) const {
    return QStringLiteral("((julianday(%1) - 2440587.5) * 86400.0)").arg(date);
}

// The trigram index narrows a mask with a literal of three or more characters to the points that
// contain it; a literal prefix of a tag is better served by the tag index itself.
QString SqliteDialectTranslator::maskNarrowing(const SqlNode& operand, const QString& foldedMask) {
    if (operand.kind != SqlNode::Kind::Column || operand.table != SqlTable::Point) return {};
    const bool isTag = operand.column == u"Tag";
    if (!isTag && operand.column != u"Descriptor") return {};
    if (isTag && literalPrefixLength(foldedMask) >= 3) return {};
    QStringList phrases = trigramsOf(foldedMask);
    if (phrases.isEmpty()) return {};
    for (QString& phrase : phrases) phrase = u'"' + phrase.replace(u'"', QStringLiteral("\"\"")) + u'"';
    const QString index = isTag ? QStringLiteral("tag_trigrams") : QStringLiteral("descriptor_trigrams");
    return QStringLiteral(" AND p.point_id IN (SELECT rowid FROM %1 WHERE %1 MATCH %2)")
        .arg(index, bind(Variant(phrases.join(QStringLiteral(" AND ")))));
}

QString SqliteDialectTranslator::globPattern(const QString& foldedMask) {
    QString pattern;
    pattern.reserve(foldedMask.size() + 8);
    for (const QChar c : foldedMask) {
        if (c == u'*' && pattern.endsWith(u'*')) continue;
        if (c == u'[')
            pattern += QStringLiteral("[[]");
        else if (c == u']')
            pattern += QStringLiteral("[]]");
        else
            pattern += c;
    }
    return pattern;
}

}  // namespace vq
