#pragma once

#include "archive/ArchiveExport.h"

#include "archive/dialect/SqlDialectVocabulary.h"

#include <QString>

#include <memory>
#include <vector>

namespace vq {

// One node of a parsed where clause. Positions count characters of the clause from 1.
struct VQ_ARCHIVE_EXPORT SqlNode {
    enum class Kind {
        Or,       // children: two or more conditions
        And,      // children: two or more conditions
        Not,      // children: one condition
        Compare,  // op: "=", "<>", "<", "<=", ">", ">="; children: left, right
        Like,     // children: operand, mask literal
        In,       // children: operand, then one literal per list item
        Column,   // table, column
        Number,   // number; text: the number as written
        String,   // text: the literal without its quotes
        Abs,      // children: one operand
        Negate,   // children: one operand
        Date,     // text: the time text
        DigCode,  // text: the state name
    };

    Kind kind;
    int position = 0;
    QString op;
    QString text;
    double number = 0;
    SqlTable table = SqlTable::Point;
    QString column;
    std::vector<std::unique_ptr<SqlNode>> children;

    SqlNode(Kind k, int pos) : kind(k), position(pos) {}

    bool isLiteral() const { return kind == Kind::Number || kind == Kind::String; }
    const SqlNode& child(size_t i) const { return *children[i]; }
};

using SqlNodePtr = std::unique_ptr<SqlNode>;

}  // namespace vq
