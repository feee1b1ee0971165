#include "archive/dialect/SqlDialectVocabulary.h"

#include "sdk/SdkSqlVocabulary.h"

#include <QSet>

namespace vq {

namespace {

struct TableDef {
    SqlTable table;
    const char16_t* name;
    const char16_t* setName;
};

constexpr TableDef kTables[SqlDialectVocabulary::TableCount] = {
    {SqlTable::Point, u"VQPOINT", u"VQpoint"},    {SqlTable::Comp, u"VQCOMP", u"VQcomp"},
    {SqlTable::Alias, u"VQALIAS", u"VQalias"},    {SqlTable::Batch, u"VQBATCH", u"VQbatch"},
    {SqlTable::Interp, u"VQINTERP", u"VQinterp"}, {SqlTable::Avg, u"VQAVG", u"VQavg"},
    {SqlTable::Mean, u"VQMEAN", u"VQmean"},       {SqlTable::Total, u"VQTOTAL", u"VQtotal"},
    {SqlTable::Min, u"VQMIN", u"VQmin"},          {SqlTable::Max, u"VQMAX", u"VQmax"},
    {SqlTable::Range, u"VQRANGE", u"VQrange"},    {SqlTable::Std, u"VQSTD", u"VQstd"},
};

const QStringList& pointColumns() {
    return SqlPointColumns();
}

const QStringList& columnsOf(SqlTable table) {
    static const QStringList comp = {u"Tag"_qs, u"Status"_qs, u"Time"_qs, u"Value"_qs};
    static const QStringList sampled = {u"Tag"_qs, u"PctGood"_qs, u"Time"_qs, u"TimeStep"_qs, u"Value"_qs};
    static const QStringList batch = {u"Batchid"_qs, u"Endtime"_qs, u"Product"_qs, u"Starttime"_qs,
                                      u"Unit"_qs};
    static const QStringList alias = {u"Tag"_qs, u"Alias"_qs, u"Unit"_qs};
    switch (table) {
        case SqlTable::Point:
            return pointColumns();
        case SqlTable::Comp:
            return comp;
        case SqlTable::Alias:
            return alias;
        case SqlTable::Batch:
            return batch;
        default:
            return sampled;
    }
}

// Columns whose values are texts; the audit dates and the times are kept apart as times.
const QSet<QString>& textColumns() {
    static const QSet<QString> names = {
        u"tag"_qs,         u"descriptor"_qs, u"exdesc"_qs,  u"engunits"_qs,   u"pointtype"_qs,
        u"pointsource"_qs, u"creator"_qs,    u"changer"_qs, u"timestep"_qs,   u"batchid"_qs,
        u"unit"_qs,        u"product"_qs,    u"alias"_qs,   u"pointclass"_qs, u"instrumenttag"_qs};
    return names;
}

const QSet<QString>& timeColumns() {
    static const QSet<QString> names = {u"creationdate"_qs, u"changedate"_qs, u"time"_qs, u"starttime"_qs,
                                        u"endtime"_qs};
    return names;
}

}  // namespace

bool SqlDialectVocabulary::findTable(QStringView name, SqlTable& table) {
    for (const TableDef& def : kTables) {
        if (name.compare(QStringView(def.name), Qt::CaseInsensitive) == 0) {
            table = def.table;
            return true;
        }
    }
    return false;
}

QString SqlDialectVocabulary::tableName(SqlTable table) {
    return QString::fromUtf16(kTables[int(table)].name);
}

QString SqlDialectVocabulary::setName(SqlTable table) {
    return QString::fromUtf16(kTables[int(table)].setName);
}

const QStringList& SqlDialectVocabulary::columns(SqlTable table) {
    return columnsOf(table);
}

QString SqlDialectVocabulary::column(SqlTable table, QStringView name) {
    for (const QString& column : columnsOf(table))
        if (name.compare(column, Qt::CaseInsensitive) == 0) return column;
    // The clause builder joins every extra table by tag and bounds it in time, batches and
    // aliases included, so those take a tag and a time beyond their listed columns.
    const bool hidden = (table == SqlTable::Batch && name.compare(u"Tag", Qt::CaseInsensitive) == 0) ||
                        ((table == SqlTable::Batch || table == SqlTable::Alias) &&
                         name.compare(u"Time", Qt::CaseInsensitive) == 0);
    if (hidden) return name.compare(u"Tag", Qt::CaseInsensitive) == 0 ? u"Tag"_qs : u"Time"_qs;
    return {};
}

SqlColumnKind SqlDialectVocabulary::kindOf(SqlTable table, const QString& column) {
    const QString key = column.toLower();
    if (key == u"value") return table == SqlTable::Comp ? SqlColumnKind::Value : SqlColumnKind::Number;
    if (textColumns().contains(key)) return SqlColumnKind::Text;
    if (timeColumns().contains(key)) return SqlColumnKind::Time;
    return SqlColumnKind::Number;
}

bool SqlDialectVocabulary::isSampled(SqlTable table) {
    return int(table) >= int(SqlTable::Interp);
}

QStringList SqlDialectVocabulary::tableNames() {
    QStringList names;
    for (const TableDef& def : kTables) names.append(QString::fromUtf16(def.name));
    return names;
}

}  // namespace vq
