#pragma once

#include "archive/ArchiveExport.h"

#include "archive/dialect/SqlDialectLexer.h"
#include "archive/dialect/SqlNode.h"

#include <set>

namespace vq {

// Parses a where clause of the servers' SQL dialect into a tree, checking table and column names
// on the way. Errors name the position and the token in words a user can act on. Clauses that
// are too long, too deep or too wide are refused before anything runs.
class VQ_ARCHIVE_EXPORT SqlDialectParser {
public:
    static constexpr int MaxClauseLength = 20000;
    static constexpr int MaxDepth = 40;
    static constexpr int MaxListItems = 200;
    static constexpr int MaxConditions = 300;

    static SqlNodePtr parse(const QString& clause);
    // The tables a parsed clause refers to.
    static std::set<SqlTable> tablesOf(const SqlNode& clause);

private:
    explicit SqlDialectParser(std::vector<SqlToken> tokens) : m_tokens(std::move(tokens)) {}

    SqlNodePtr orExpression();
    SqlNodePtr andExpression();
    SqlNodePtr notExpression();
    SqlNodePtr predicate();
    SqlNodePtr likeOrIn(SqlNodePtr operand, bool negated);
    SqlNodePtr operand();
    SqlNodePtr literal(const char* what);
    SqlNodePtr column(const SqlToken& tableToken);
    SqlNodePtr function(const SqlToken& name);
    SqlNodePtr textArgument(SqlNode::Kind kind, const SqlToken& name);

    const SqlToken& peek() const { return m_tokens[m_at]; }
    const SqlToken& take() { return m_tokens[m_at < m_tokens.size() - 1 ? m_at++ : m_at]; }
    bool isWord(const char* word) const;
    bool isSymbol(const char* symbol) const;
    void expectSymbol(const char* symbol, const QString& after);
    [[noreturn]] void fail(const QString& expected) const;

    std::vector<SqlToken> m_tokens;
    size_t m_at = 0;
    int m_depth = 0;
    int m_conditions = 0;
};

}  // namespace vq
