#pragma once

#include "archive/ArchiveExport.h"

#include <QString>

#include <vector>

namespace vq {

struct VQ_ARCHIVE_EXPORT SqlToken {
    enum class Type { Identifier, Number, String, Symbol, End };
    Type type;
    QString text;      // identifiers and symbols as written; strings without quotes
    int position;      // first character, counting from 1
    QString spelling;  // as written, quotes included, for messages
};

// Splits a where clause into tokens. Strings take single or double quotes; a doubled quote inside
// stands for one. Anything else raises a syntax error naming the position.
class VQ_ARCHIVE_EXPORT SqlDialectLexer {
public:
    static std::vector<SqlToken> tokenize(const QString& clause);
};

}  // namespace vq
