#pragma once

#include "archive/dialect/SqlDialectTranslator.h"

namespace vq {

// The PostgreSQL translation: masks become LIKE patterns over folded text, which the trigram
// indexes of PostgresSearchSchema answer for inner literals; parameters are $1, $2, ... cast to
// their type, and tag order is the folded tag's code point order (COLLATE "C"), as on SQLite.
// The search's columns are point_id, Tag and the tag key the rows are ordered by.
class PostgresDialectTranslator : public SqlDialectTranslator {
public:
    using SqlDialectTranslator::SqlDialectTranslator;

    // A mask with * and ? as a LIKE pattern: %, _ and \ match literally.
    static QString likePattern(const QString& foldedMask);

protected:
    QString placeholder(size_t number, const Variant& value) const override;
    QString statement(const QString& with, bool distinct, const QString& from,
                      const QString& where) const override;
    QString maskTest(const QString& text, const QString& foldedMask) override;
    QString orderedKey(const QString& key) const override;
    QString archivedValue() const override;
    QString archivedNumber(const QString& value) const override;
    QString storedSeconds(const QString& date) const override;
    QString noSampleTime() const override;
};

}  // namespace vq
