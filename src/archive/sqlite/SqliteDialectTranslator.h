#pragma once

#include "archive/dialect/SqlDialectTranslator.h"

namespace vq {

// The SQLite translation: masks become GLOB patterns over folded text, helped by the trigram
// index for inner literals; parameters are ?1, ?2, ...
class SqliteDialectTranslator : public SqlDialectTranslator {
public:
    using SqlDialectTranslator::SqlDialectTranslator;

    // A mask with * and ? as a GLOB pattern for folded text: other GLOB characters match literally.
    static QString globPattern(const QString& foldedMask);

protected:
    QString placeholder(size_t number, const Variant& value) const override;
    QString statement(const QString& with, bool distinct, const QString& from,
                      const QString& where) const override;
    QString maskTest(const QString& text, const QString& foldedMask) override;
    QString maskNarrowing(const SqlNode& operand, const QString& foldedMask) override;
    QString archivedNumber(const QString& value) const override;
    QString storedSeconds(const QString& date) const override;
};

}  // namespace vq
