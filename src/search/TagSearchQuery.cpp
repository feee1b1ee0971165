#include "TagSearchQuery.h"

#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkServer.h"
#include "sdk/SdkSqlVocabulary.h"
#include "search/TagSearchContexts.h"

#include <algorithm>
#include <cmath>

namespace vq::tagsearch {

namespace {

using namespace Qt::Literals::StringLiterals;

const QString kCrLf = u"\r\n"_s;
const QString kCompJoin = u" AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = DATE(\"*\")"_s;

const ErrorContexts& context = kTagSearchContext;

// Blanks only: a tab or a line break typed into a field is the user's text.
QStringView trimBlanks(QStringView text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text[start] == u' ') ++start;
    while (end > start && text[end - 1] == u' ') --end;
    return text.sliced(start, end - start);
}

QString trimLeadingBlanks(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start] == u' ') ++start;
    return text.mid(start);
}

QString trimTrailingBlanks(QString text) {
    while (text.endsWith(u' ')) text.chop(1);
    return text;
}

bool blank(QStringView text) {
    return trimBlanks(text).isEmpty();
}

QString joinerFor(QStringView where) {
    return blank(where) ? QString() : u" AND "_s;
}

bool contains(QStringView text, QStringView part) {
    return text.contains(part, Qt::CaseInsensitive);
}

bool same(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool listed(const QStringList& list, QStringView text) {
    return std::any_of(list.begin(), list.end(), [&](const QString& item) { return same(item, text); });
}

// A quote inside a literal is written twice in the dialect.
QString quoteDoubled(QString text, QChar quote) {
    return text.replace(quote, QString(2, quote));
}

// digits [. digits] | . digits, then an optional exponent: what the dialect's lexer reads as one
// number; a leading minus is its negation.
bool hasNumberForm(QStringView text) {
    qsizetype at = text.startsWith(u'-') ? 1 : 0;
    auto digits = [&] {
        const qsizetype start = at;
        while (at < text.size() && text[at].isDigit() && text[at].unicode() < 128) ++at;
        return at - start;
    };
    qsizetype mantissa = digits();
    if (at < text.size() && text[at] == u'.') {
        ++at;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        ++at;
        if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) ++at;
        if (digits() == 0) return false;
    }
    return at == text.size();
}

[[noreturn]] void raiseUnsupportedSearch() {
    throw Error(
        kUnsupportedSearch, context("SimpleSearch"),
        u"Unsupported search.  When searching for string tags, the value field must be * or blank."_s +
            kCrLf + u"Dummy error number:"_s);
}

// The value condition of a simple search: appended to W1, or split into W1 and W2 for any type.
SimpleClauses withValueCondition(const QString& w1, const QString& value) {
    const QString joiner = joinerFor(w1);
    if (!isNumericText(value)) {
        if (contains(w1, u"VQPOINT.POINTTYPE = 'S'")) raiseUnsupportedSearch();
        return {w1 + joiner + u"ABS(VQCOMP.STATUS) = ABS(DIGCODE(\""_s + quoteDoubled(value, u'"') +
                    u"\")) AND VQPOINT.TAG = VQCOMP.TAG AND VQCOMP.TIME = DATE(\" * \")"_s,
                {}};
    }
    if (!contains(w1, u"POINTTYPE"))
        return {w1 + joiner + u"VQCOMP.VALUE = "_s + value + u" AND VQCOMP.STATUS = 0"_s +
                    u" AND VQPOINT.POINTTYPE = 'R'"_s + kCompJoin,
                w1 + joiner + u"VQCOMP.STATUS = "_s + value + u" AND VQPOINT.POINTTYPE IN (\"I\", \"D\")"_s +
                    kCompJoin};
    if (contains(w1, u"VQPOINT.POINTTYPE = 'R'"))
        return {w1 + joiner + u"VQCOMP.VALUE = "_s + value + u" AND VQCOMP.STATUS = 0"_s + kCompJoin, {}};
    if (contains(w1, u"VQPOINT.POINTTYPE = 'I'") || contains(w1, u"VQPOINT.POINTTYPE = 'D'"))
        return {w1 + joiner + u"VQCOMP.STATUS = "_s + value + kCompJoin, {}};
    if (contains(w1, u"VQPOINT.POINTTYPE = 'S'")) raiseUnsupportedSearch();
    return {w1, {}};
}

QString typeTerm(const QString& pointType) {
    static const std::pair<const char16_t*, const char16_t*> codes[] = {
        {u"Integer", u"I"}, {u"Float", u"R"}, {u"Digital", u"D"}, {u"String", u"S"}};
    for (const auto& [name, code] : codes)
        if (same(pointType, name)) return u"VQPOINT.POINTTYPE = '"_s + QString::fromUtf16(code) + u'\'';
    return {};
}

// The tables of interpolated and summarised values, which share their columns.
const QStringList& summaryTables() {
    static const QStringList tables = {u"VQinterp"_s, u"VQavg"_s, u"VQmean"_s,  u"VQtotal"_s,
                                       u"VQmin"_s,    u"VQmax"_s, u"VQrange"_s, u"VQstd"_s};
    return tables;
}

// The join of a table the builder draws in, and its time range unless the clause names a time.
QString joinFor(const QString& text, const QString& table) {
    QString out = text + u" AND VQpoint.Tag = "_s + table + u".Tag"_s;
    if (contains(out, u"Time")) return out;
    if (same(table, u"VQcomp")) return out + u" AND "_s + table + u".Time = DATE(\"*\")"_s;
    if (listed(summaryTables(), table) || same(table, u"VQbatch") || same(table, u"VQalias"))
        return out + u" AND "_s + table + u".Time >= DATE('*-1h')"_s + u" AND "_s + table +
               u".Time <= DATE('*')"_s;
    return out;
}

QString conditionText(const WhereCondition& condition) {
    if (condition.table.isEmpty() || condition.column.isEmpty() || condition.condition.isEmpty())
        throw Error(errc::InvalidArgument, QStringLiteral("VQTagwrightCtls"),
                    u"A condition needs a table, a column and a comparison."_s);
    const QString head = condition.table + u'.' + condition.column + u' ' + condition.condition + u' ';
    if (isNumericText(condition.value) && !isTextColumn(condition.column)) return head + condition.value;
    return head + u'\'' + quoteDoubled(condition.value, u'\'') + u'\'';
}

SdkNamedValues extraTablesOf(const QString& where) {
    SdkNamedValues set;
    GetExtraServerTables(where, set);
    return set;
}

}  // namespace

QStringList pointTypes() {
    return {u"*"_s, u"Float"_s, u"Integer"_s, u"Digital"_s, u"String"_s};
}

QStringList sqlTables() {
    return {u"VQpoint"_s, u"VQalias"_s, u"VQavg"_s, u"VQbatch"_s, u"VQcomp"_s, u"VQinterp"_s,
            u"VQmax"_s,   u"VQmean"_s,  u"VQmin"_s, u"VQrange"_s, u"VQstd"_s,  u"VQtotal"_s};
}

QStringList sqlConditions() {
    return {u"="_s, u"<>"_s, u">"_s, u">="_s, u"<"_s, u"<="_s, u"LIKE"_s};
}

QStringList sqlColumns(const QString& table) {
    if (same(table, u"VQpoint")) return SqlPointColumns();
    if (same(table, u"VQcomp")) return {u"Tag"_s, u"Status"_s, u"Time"_s, u"Value"_s};
    if (listed(summaryTables(), table)) return {u"Tag"_s, u"PctGood"_s, u"Time"_s, u"TimeStep"_s, u"Value"_s};
    if (same(table, u"VQbatch")) return {u"Batchid"_s, u"Endtime"_s, u"Product"_s, u"Starttime"_s, u"Unit"_s};
    if (same(table, u"VQalias")) return {u"Tag"_s, u"Alias"_s, u"Unit"_s};
    return {};
}

bool isTextColumn(const QString& column) {
    static const QStringList text = {
        u"Tag"_s,          u"Descriptor"_s, u"ExDesc"_s,     u"EngUnits"_s,  u"PointType"_s, u"PointSource"_s,
        u"CreationDate"_s, u"Creator"_s,    u"ChangeDate"_s, u"Changer"_s,   u"Time"_s,      u"TimeStep"_s,
        u"Batchid"_s,      u"Unit"_s,       u"Product"_s,    u"Starttime"_s, u"Endtime"_s,   u"Alias"_s};
    return listed(text, column);
}

QStringList extraTables() {
    return {u"VQcomp"_s, u"VQinterp"_s, u"VQavg"_s, u"VQmean"_s,  u"VQtotal"_s, u"VQmin"_s,
            u"VQmax"_s,  u"VQrange"_s,  u"VQstd"_s, u"VQbatch"_s, u"VQalias"_s};
}

QStringList fallbackPointClasses() {
    return {u"Alarm"_s, u"Base"_s, u"Classic"_s, u"Totalizer"_s};
}

bool isNumericText(const QString& text) {
    const QStringView number = trimBlanks(text);
    if (!hasNumberForm(number)) return false;
    bool ok = false;
    const double value = number.toDouble(&ok);  // QStringView::toDouble reads the C locale
    return ok && std::isfinite(value);
}

void SimpleWhere(QString& where, const QString& column, const QString& mask) {
    reraising(context("SimpleWhere"), [&] {
        const QString trimmed = trimBlanks(mask).toString();
        if (trimmed.isEmpty() || trimmed == u"*") return;
        const QString op = trimmed.contains(u'*') ? u" LIKE '"_s : u" = '"_s;
        where += joinerFor(where) + column + op + quoteDoubled(trimmed, u'\'') + u"' "_s;
    });
}

QString GetVQPointWhereClauseForSimpleSearch(const SimpleCriteria& criteria) {
    return reraising(context("GetVQPointWhereClauseForSimpleSearch"), [&] {
        QString where;
        SimpleWhere(where, u"VQPOINT.TAG"_s, criteria.tagMask);
        SimpleWhere(where, u"VQPOINT.DESCRIPTOR"_s, criteria.descriptorMask);
        SimpleWhere(where, u"VQPOINT.ENGUNITS"_s, criteria.engineeringUnitsMask);
        SimpleWhere(where, u"VQPOINT.POINTSOURCE"_s, criteria.pointSourceMask);
        SimpleWhere(where, u"VQPOINT.POINTCLASS"_s, criteria.pointClass);
        const QString type = typeTerm(criteria.pointType);
        if (!type.isEmpty()) where += joinerFor(where) + type;
        return where;
    });
}

bool IsValueMaskSpecified(const QString& value) {
    const QStringView trimmed = trimBlanks(value);
    return !trimmed.isEmpty() && trimmed != u"*";
}

SimpleClauses simpleSearchClauses(const SimpleCriteria& criteria) {
    // Built outside the re-raise so that the unsupported search keeps its one-line source.
    const QString w1 =
        reraising(context("SimpleSearch"), [&] { return GetVQPointWhereClauseForSimpleSearch(criteria); });
    SimpleClauses clauses =
        IsValueMaskSpecified(criteria.value) ? withValueCondition(w1, criteria.value) : SimpleClauses{w1, {}};
    if (blank(clauses.first)) clauses.first = kEveryPoint;
    return clauses;
}

QString advancedSearchClause(const QString& whereClause) {
    return blank(whereClause) ? kEveryPoint : whereClause;
}

void GetExtraServerTables(const QString& where, SdkNamedValues& set) {
    reraising(context("GetExtraServerTables"), [&] {
        for (const QString& table : extraTables())
            if (contains(where, table) && !set.Contains(table)) set.Add(table, Variant(int16_t(0)));
    });
}

std::optional<SdkNamedValue> GetExtraTable(const SdkNamedValues& before, const SdkNamedValues& after) {
    for (const SdkNamedValue& entry : after)
        if (!before.Contains(entry.Name())) return entry;
    return std::nullopt;
}

QString selectStatementCaption(const QString& where) {
    QString caption = u"SELECT Tag FROM VQPoint"_s;
    for (const SdkNamedValue& entry : extraTablesOf(where)) caption += u", "_s + entry.Name();
    return caption;
}

QString TrimCarriageReturns(const QString& text) {
    return reraising(context("TrimCarriageReturns"), [&] {
        QString s = trimBlanks(text).toString();
        while (s.startsWith(kCrLf)) s = trimLeadingBlanks(s.mid(2));
        while (s.size() >= 2 && s.endsWith(kCrLf)) s = trimTrailingBlanks(s.chopped(2));
        return s;
    });
}

QString addWhereCondition(const QString& whereClause, const WhereCondition& condition) {
    const SdkNamedValues before = extraTablesOf(whereClause);
    const QString added = conditionText(condition);
    const QString trimmed = TrimCarriageReturns(whereClause);
    const QString text = trimmed.isEmpty() ? added : trimmed + u" AND "_s + kCrLf + added;
    const SdkNamedValues after = extraTablesOf(text);
    if (before.Count() == after.Count()) return text;
    const std::optional<SdkNamedValue> table = GetExtraTable(before, after);
    return table ? joinFor(text, table->Name()) : text;
}

// Errors pass on unchanged: FillPointClassCombo and IsVQ32, the procedures that call these two,
// put their own contexts before the source.
QStringList gatherPointClasses(const std::vector<SdkServerPtr>& servers) {
    QStringList names;
    for (const SdkServerPtr& server : servers)
        for (const SdkPointClassPtr& pointClass : server->PointClasses()->All())
            if (const QString name = pointClass->Name(); !listed(names, name)) names << name;
    return names.isEmpty() ? fallbackPointClasses() : names;
}

bool qualifiesForPointClass(const SdkServer& server) {
    return same(server.ServerKind(), u"VQ3") && !same(server.ServerVersion().Text().left(6), u"VQ 3.2");
}

SdkPointListPtr GetPointsSQLWrapper(SdkServer& server, const QString& where, const SdkNamedValues& set) {
    return reraising(context("GetPointsSQLWrapper"), [&]() -> SdkPointListPtr {
        try {
            return server.GetPointsSQL(where, set, nullptr);
        } catch (const Error& error) {
            if (error.number() == errc::NoPointsFound) return nullptr;
            throw;
        }
    });
}

}  // namespace vq::tagsearch
