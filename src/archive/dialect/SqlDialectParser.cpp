#include "archive/dialect/SqlDialectParser.h"

#include "archive/dialect/SqlDialectError.h"

namespace vq {

namespace {

QString describe(const SqlToken& token) {
    if (token.type == SqlToken::Type::End) return QStringLiteral("the end of the clause");
    return u'"' + token.spelling.left(40) + u'"';
}

// Keeps the nesting of a clause bounded, so that no clause can exhaust the stack.
class DepthGuard {
public:
    DepthGuard(int& depth, int position) : m_depth(depth) {
        if (++m_depth > SqlDialectParser::MaxDepth)
            throw SqlDialectError::at(position,
                                      QStringLiteral("the clause nests deeper than %1 levels; simplify it")
                                          .arg(SqlDialectParser::MaxDepth));
    }
    ~DepthGuard() { --m_depth; }

private:
    int& m_depth;
};

void collectTables(const SqlNode& node, std::set<SqlTable>& tables) {
    if (node.kind == SqlNode::Kind::Column) tables.insert(node.table);
    for (const SqlNodePtr& child : node.children) collectTables(*child, tables);
}

}  // namespace

SqlNodePtr SqlDialectParser::parse(const QString& clause) {
    if (clause.size() > MaxClauseLength)
        throw SqlDialectError::invalid(QStringLiteral("it is %1 characters long; at most %2 are allowed")
                                           .arg(clause.size())
                                           .arg(MaxClauseLength));
    if (clause.trimmed().isEmpty()) throw SqlDialectError::invalid(QStringLiteral("it is empty"));
    SqlDialectParser parser(SqlDialectLexer::tokenize(clause));
    SqlNodePtr root = parser.orExpression();
    if (parser.peek().type != SqlToken::Type::End)
        parser.fail(QStringLiteral("AND, OR or the end of the clause"));
    return root;
}

std::set<SqlTable> SqlDialectParser::tablesOf(const SqlNode& clause) {
    std::set<SqlTable> tables;
    collectTables(clause, tables);
    return tables;
}

bool SqlDialectParser::isWord(const char* word) const {
    return peek().type == SqlToken::Type::Identifier &&
           peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool SqlDialectParser::isSymbol(const char* symbol) const {
    return peek().type == SqlToken::Type::Symbol && peek().text == QLatin1String(symbol);
}

void SqlDialectParser::expectSymbol(const char* symbol, const QString& after) {
    if (!isSymbol(symbol)) fail(QStringLiteral("\"%1\" after %2").arg(QLatin1String(symbol), after));
    take();
}

void SqlDialectParser::fail(const QString& expected) const {
    throw SqlDialectError::at(peek().position,
                              QStringLiteral("expected %1 but found %2").arg(expected, describe(peek())));
}

SqlNodePtr SqlDialectParser::orExpression() {
    DepthGuard guard(m_depth, peek().position);
    SqlNodePtr first = andExpression();
    if (!isWord("OR")) return first;
    auto node = std::make_unique<SqlNode>(SqlNode::Kind::Or, first->position);
    node->children.push_back(std::move(first));
    while (isWord("OR")) {
        take();
        node->children.push_back(andExpression());
    }
    return node;
}

SqlNodePtr SqlDialectParser::andExpression() {
    SqlNodePtr first = notExpression();
    if (!isWord("AND")) return first;
    auto node = std::make_unique<SqlNode>(SqlNode::Kind::And, first->position);
    node->children.push_back(std::move(first));
    while (isWord("AND")) {
        take();
        node->children.push_back(notExpression());
    }
    return node;
}

SqlNodePtr SqlDialectParser::notExpression() {
    if (!isWord("NOT")) return predicate();
    DepthGuard guard(m_depth, peek().position);
    auto node = std::make_unique<SqlNode>(SqlNode::Kind::Not, take().position);
    node->children.push_back(notExpression());
    return node;
}

SqlNodePtr SqlDialectParser::predicate() {
    if (isSymbol("(")) {
        take();
        SqlNodePtr inner = orExpression();
        expectSymbol(")", QStringLiteral("the condition in parentheses"));
        return inner;
    }
    if (++m_conditions > MaxConditions)
        throw SqlDialectError::at(
            peek().position,
            QStringLiteral("the clause has more than %1 conditions; split the search").arg(MaxConditions));
    SqlNodePtr left = operand();
    if (isWord("NOT")) {
        take();
        if (!isWord("LIKE") && !isWord("IN")) fail(QStringLiteral("LIKE or IN after NOT"));
        return likeOrIn(std::move(left), true);
    }
    if (isWord("LIKE") || isWord("IN")) return likeOrIn(std::move(left), false);
    static const QStringList operators = {u"="_qs, u"<>"_qs, u"!="_qs, u"<"_qs, u"<="_qs, u">"_qs, u">="_qs};
    if (peek().type != SqlToken::Type::Symbol || !operators.contains(peek().text))
        fail(QStringLiteral("a comparison (=, <>, <, <=, >, >=, LIKE or IN)"));
    auto node = std::make_unique<SqlNode>(SqlNode::Kind::Compare, left->position);
    node->op = take().text;
    if (node->op == u"!=") node->op = QStringLiteral("<>");
    node->children.push_back(std::move(left));
    node->children.push_back(operand());
    return node;
}

SqlNodePtr SqlDialectParser::likeOrIn(SqlNodePtr operand, bool negated) {
    const bool isLike = isWord("LIKE");
    take();
    auto node =
        std::make_unique<SqlNode>(isLike ? SqlNode::Kind::Like : SqlNode::Kind::In, operand->position);
    node->children.push_back(std::move(operand));
    if (isLike) {
        node->children.push_back(literal("a mask in quotes after LIKE"));
    } else {
        expectSymbol("(", QStringLiteral("IN"));
        do {
            if (node->children.size() > size_t(MaxListItems))
                throw SqlDialectError::at(
                    peek().position,
                    QStringLiteral("an IN list may hold at most %1 values").arg(MaxListItems));
            node->children.push_back(literal("a number or a quoted text in the IN list"));
        } while (isSymbol(",") && (take(), true));
        expectSymbol(")", QStringLiteral("the IN list"));
    }
    if (!negated) return node;
    auto negation = std::make_unique<SqlNode>(SqlNode::Kind::Not, node->position);
    negation->children.push_back(std::move(node));
    return negation;
}

SqlNodePtr SqlDialectParser::literal(const char* what) {
    const SqlToken& token = peek();
    if (token.type == SqlToken::Type::String) {
        auto node = std::make_unique<SqlNode>(SqlNode::Kind::String, token.position);
        node->text = take().text;
        return node;
    }
    const bool negative = isSymbol("-");
    if (negative) take();
    if (peek().type != SqlToken::Type::Number) fail(QString::fromLatin1(what));
    auto node = std::make_unique<SqlNode>(SqlNode::Kind::Number, token.position);
    node->text = (negative ? QStringLiteral("-") : QString()) + peek().text;
    node->number = take().text.toDouble() * (negative ? -1 : 1);
    return node;
}

SqlNodePtr SqlDialectParser::operand() {
    const SqlToken& token = peek();
    if (token.type == SqlToken::Type::String || token.type == SqlToken::Type::Number)
        return literal("a value");
    if (isSymbol("-")) {
        DepthGuard guard(m_depth, token.position);
        take();
        if (peek().type == SqlToken::Type::Number) {
            --m_at;
            return literal("a value");
        }
        auto node = std::make_unique<SqlNode>(SqlNode::Kind::Negate, token.position);
        node->children.push_back(operand());
        return node;
    }
    if (token.type != SqlToken::Type::Identifier)
        fail(QStringLiteral("a column such as VQPOINT.TAG, a value or a function"));
    const SqlToken& name = take();
    if (isSymbol("(")) return function(name);
    return column(name);
}

SqlNodePtr SqlDialectParser::column(const SqlToken& tableToken) {
    SqlTable table;
    if (!SqlDialectVocabulary::findTable(tableToken.text, table)) {
        if (!isSymbol("."))
            throw SqlDialectError::at(
                tableToken.position,
                QStringLiteral("\"%1\" is not a column; write TABLE.COLUMN, for example VQPOINT.TAG, "
                               "or put a text in quotes")
                    .arg(tableToken.text));
        throw SqlDialectError::at(tableToken.position,
                                  QStringLiteral("there is no table \"%1\"; the tables are %2")
                                      .arg(tableToken.text, SqlDialectVocabulary::tableNames().join(u", ")));
    }
    expectSymbol(".", QStringLiteral("the table name %1").arg(tableToken.text));
    if (peek().type != SqlToken::Type::Identifier)
        fail(QStringLiteral("a column name after %1.").arg(tableToken.text));
    const SqlToken& columnToken = take();
    const QString columnName = SqlDialectVocabulary::column(table, columnToken.text);
    if (columnName.isEmpty())
        throw SqlDialectError::at(columnToken.position,
                                  QStringLiteral("table %1 has no column \"%2\"; its columns are %3")
                                      .arg(SqlDialectVocabulary::tableName(table), columnToken.text,
                                           SqlDialectVocabulary::columns(table).join(u", ")));
    auto node = std::make_unique<SqlNode>(SqlNode::Kind::Column, tableToken.position);
    node->table = table;
    node->column = columnName;
    return node;
}

SqlNodePtr SqlDialectParser::function(const SqlToken& name) {
    DepthGuard guard(m_depth, name.position);
    if (name.text.compare(u"DATE", Qt::CaseInsensitive) == 0) return textArgument(SqlNode::Kind::Date, name);
    if (name.text.compare(u"DIGCODE", Qt::CaseInsensitive) == 0)
        return textArgument(SqlNode::Kind::DigCode, name);
    if (name.text.compare(u"ABS", Qt::CaseInsensitive) != 0)
        throw SqlDialectError::at(
            name.position,
            QStringLiteral("there is no function \"%1\"; the functions are ABS, DATE and DIGCODE")
                .arg(name.text));
    take();
    auto node = std::make_unique<SqlNode>(SqlNode::Kind::Abs, name.position);
    node->children.push_back(operand());
    expectSymbol(")", QStringLiteral("the argument of ABS"));
    return node;
}

SqlNodePtr SqlDialectParser::textArgument(SqlNode::Kind kind, const SqlToken& name) {
    take();
    const QString upper = name.text.toUpper();
    if (peek().type != SqlToken::Type::String)
        fail(QStringLiteral("a quoted text in %1(...), for example %2")
                 .arg(upper, kind == SqlNode::Kind::Date ? u"DATE('*-1h')"_qs : u"DIGCODE('ON')"_qs));
    auto node = std::make_unique<SqlNode>(kind, name.position);
    node->text = take().text;
    expectSymbol(")", QStringLiteral("the argument of %1").arg(upper));
    return node;
}

}  // namespace vq
