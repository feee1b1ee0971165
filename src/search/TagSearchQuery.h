#pragma once

#include "sdk/SdkFwd.h"
#include "sdk/SdkNamedValue.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vq {

class SdkNamedValues;

// How the point search turns its criteria into where clauses of the servers' SQL dialect, and the
// fixed vocabularies of its lists. Plain functions over texts, so that the control only reads its
// fields and runs what these build. Every function that can fail passes the error on with
// "VQTagSearch:<its name>" put in front of the source.
namespace tagsearch {

// The simple page's fields, as the user typed them.
struct SimpleCriteria {
    QString tagMask;
    QString descriptorMask;
    QString engineeringUnitsMask;
    QString pointSourceMask;
    QString pointClass;  // the point class list's text
    QString pointType;   // the point type list's text: "*", "Float", "Integer", "Digital", "String"
    QString value;       // the value box, not trimmed
};

// The one or two clauses of a simple search, in the order they are sent; `second` is empty
// unless a numeric value with any point type asks for real points and for integer and digital ones.
struct SimpleClauses {
    QString first;
    QString second;
};

// The clause sent when the user gave nothing.
inline const QString kEveryPoint = QStringLiteral("VQPoint.Tag = '*'");
// The error number of a simple search that cannot be asked (a value with string points).
constexpr int32_t kUnsupportedSearch = -1;

// Vocabularies, in list order.
QStringList pointTypes();
QStringList sqlTables();
QStringList sqlConditions();
// The columns of a table text (case ignored); empty for an unknown table.
QStringList sqlColumns(const QString& table);
bool isTextColumn(const QString& column);
// The recognised extra tables, in recognition order.
QStringList extraTables();
// Offered when no qualifying server lists a point class.
QStringList fallbackPointClasses();

// A text that parses as a finite number once blanks are trimmed; never empty. Only the dialect's
// own number form counts (no thousands separators, no locale comma), since the text goes into
// the clause as typed.
bool isNumericText(const QString& text);

// Appends one mask term ("COLUMN LIKE 'mask' " or "COLUMN = 'mask' ") to `where`; nothing for
// an empty mask or "*". Apostrophes of the mask are doubled so that the mask stays one literal.
void SimpleWhere(QString& where, const QString& column, const QString& mask);
QString GetVQPointWhereClauseForSimpleSearch(const SimpleCriteria& criteria);
// True when the value, trimmed of blanks, is neither empty nor "*".
bool IsValueMaskSpecified(const QString& value);
// Raises kUnsupportedSearch (source "VQTagSearch:SimpleSearch") for a value with string points.
SimpleClauses simpleSearchClauses(const SimpleCriteria& criteria);
// The where clause box's text as sent: unchanged, or kEveryPoint when blank.
QString advancedSearchClause(const QString& whereClause);

// Adds (name, 0) for every recognised extra table whose name occurs in `where` (case ignored).
void GetExtraServerTables(const QString& where, SdkNamedValues& set);
// The first entry of `after` whose name `before` lacks.
std::optional<SdkNamedValue> GetExtraTable(const SdkNamedValues& before, const SdkNamedValues& after);
// "SELECT Tag FROM VQPoint" and ", Table" for every extra table of `where`.
QString selectStatementCaption(const QString& where);
// Blanks at both ends, and line breaks at the start and the end, removed.
QString TrimCarriageReturns(const QString& text);

// One condition of the advanced page's builder.
struct WhereCondition {
    QString table;
    QString column;
    QString condition;
    QString value;
};
// The where clause after the builder's Add: the condition appended on a new line, with the join
// (and the time range) of an extra table that the condition draws in for the first time.
QString addWhereCondition(const QString& whereClause, const WhereCondition& condition);

// The point class names of the given servers (the caller picks the connected, qualifying ones),
// each once in order of first appearance; the fallback classes when none lists any.
QStringList gatherPointClasses(const std::vector<SdkServerPtr>& servers);

// The server can restrict a search by point class: kind "VQ3" and a version other than 3.2.
bool qualifiesForPointClass(const SdkServer& server);
// One server's SQL point search; null when the server reports that no point matches.
SdkPointListPtr GetPointsSQLWrapper(SdkServer& server, const QString& where, const SdkNamedValues& set);

}  // namespace tagsearch
}  // namespace vq
