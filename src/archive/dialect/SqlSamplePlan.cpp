#include "archive/dialect/SqlSamplePlan.h"

#include "archive/dialect/SqlDialectError.h"
#include "archive/dialect/TimeText.h"

#include <optional>

namespace vq {

namespace {

void conjuncts(const SqlNode& node, std::vector<const SqlNode*>& out) {
    if (node.kind == SqlNode::Kind::And) {
        for (const SqlNodePtr& child : node.children) conjuncts(*child, out);
    } else {
        out.push_back(&node);
    }
}

bool isColumn(const SqlNode& node, SqlTable table, const char16_t* column) {
    return node.kind == SqlNode::Kind::Column && node.table == table && node.column == QStringView(column);
}

std::optional<double> timeOf(const SqlNode& node, const QDateTime& now) {
    switch (node.kind) {
        case SqlNode::Kind::Date:
        case SqlNode::Kind::String:
            return TimeText::seconds(node.text, now);
        case SqlNode::Kind::Number:
            return node.number;
        default:
            return std::nullopt;
    }
}

QString flipped(const QString& op) {
    if (op.startsWith(u'<')) return u'>' + op.mid(1);
    if (op.startsWith(u'>')) return u'<' + op.mid(1);
    return op;
}

}  // namespace

SqlSamplePlan SqlSamplePlan::of(const SqlNode& clause, SqlTable table, const QDateTime& now) {
    std::vector<const SqlNode*> terms;
    conjuncts(clause, terms);
    SqlSamplePlan plan;
    std::optional<double> exact, lower, upper;
    for (const SqlNode* term : terms) {
        if (term->kind != SqlNode::Kind::Compare) continue;
        const bool columnLeft = term->child(0).kind == SqlNode::Kind::Column;
        const SqlNode& column = term->child(columnLeft ? 0 : 1);
        const SqlNode& value = term->child(columnLeft ? 1 : 0);
        const QString op = columnLeft ? term->op : flipped(term->op);
        if (isColumn(column, table, u"TimeStep") && op == u"=" && value.isLiteral()) {
            const auto step = TimeText::span(value.text);
            if (!step)
                throw SqlDialectError::at(value.position,
                                          QStringLiteral("\"%1\" is not a time step; write one such as "
                                                         "'1h', '30m' or '1d'")
                                              .arg(value.text));
            plan.step = *step;
            plan.stepText = value.text;
            continue;
        }
        if (!isColumn(column, table, u"Time")) continue;
        const auto time = timeOf(value, now);
        if (!time) continue;
        if (op == u"=") exact = time;
        if (op.startsWith(u'>')) lower = lower ? std::max(*lower, *time) : *time;
        if (op.startsWith(u'<')) upper = upper ? std::min(*upper, *time) : *time;
    }
    if (exact) {
        plan.times.push_back(*exact);
        return plan;
    }
    const double last = upper.value_or(double(now.toMSecsSinceEpoch()) / 1000.0);
    const double first = lower.value_or(last);
    if ((last - first) / plan.step >= MaxSamples)
        throw SqlDialectError::invalid(
            QStringLiteral("%1 would need more than %2 sample times; choose a shorter time "
                           "range or a longer %1.TIMESTEP")
                .arg(SqlDialectVocabulary::tableName(table))
                .arg(MaxSamples));
    // Counted steps rather than repeated subtraction: at large times a small step may not move t.
    for (int k = 0; k < MaxSamples; ++k) {
        const double t = last - k * plan.step;
        if (!(t >= first)) break;
        plan.times.push_back(t);
    }
    return plan;
}

}  // namespace vq
