#include "table/PointTableCsv.h"

#include "core/CsvCodec.h"
#include "core/Error.h"
#include "core/KeyedCollection.h"
#include "core/ShownText.h"
#include "model/PropSheetEntry.h"
#include "sdk/SdkErrors.h"

#include <QHash>

namespace vq {

namespace {

const QString csvSource = QStringLiteral("PointTableCsv");

bool isColumn(const QString& column, const char16_t* name) {
    return column.compare(QStringView(name), Qt::CaseInsensitive) == 0;
}

// The model knows its system attributes by the entries it makes: a probe entry tells.
bool isModelSystemAttribute(const QString& column) {
    PropSheetEntry probe;
    return probe.Setup(column, Variant(QString()), QString(), QString(), nullptr) &&
           probe.IsSystemAttribute();
}

// Where the columns of a header stand and which of them carry a row's cells.
struct Header {
    QStringList names;  // trimmed, as spreadsheets pad them
    qsizetype tag = -1;
    qsizetype server = -1;
    qsizetype className = -1;
    std::vector<bool> carriesCells;
};

[[noreturn]] void refuseFile(int32_t number, const QString& description) {
    throw Error(number, csvSource, description);
}

// A header naming a column twice would let one cell of a row silently win over the other.
void refuseRepeatedColumns(const QStringList& names) {
    QHash<QString, qsizetype> seen;
    for (qsizetype i = 0; i < names.size(); ++i) {
        const auto at = seen.constFind(foldKey(names[i]));
        if (at == seen.cend()) {
            seen.insert(foldKey(names[i]), i);
            continue;
        }
        refuseFile(sdkerr::AttributesRefused,
                   QStringLiteral("The header row names the column \"%1\" twice (columns %2 and %3); "
                                  "column names do not differ by case")
                       .arg(ShownText::of(names[i]), QString::number(*at + 1), QString::number(i + 1)));
    }
}

Header readHeader(CsvReader& reader, const PointTableCsv::KnownColumn& known,
                  const PointTableCsv::KnownColumn& system) {
    Header header;
    if (!reader.readRow(&header.names))
        refuseFile(sdkerr::AttributesRefused,
                   reader.error().isEmpty()
                       ? QStringLiteral("The file is empty: a header row of attribute names is needed")
                       : reader.error());
    for (QString& column : header.names) column = column.trimmed();
    refuseRepeatedColumns(header.names);
    for (qsizetype i = 0; i < header.names.size(); ++i) {
        const QString& column = header.names[i];
        bool cells = false;
        if (isColumn(column, u"Tag"))
            header.tag = i;
        else if (isColumn(column, u"Server"))
            header.server = i;
        else if (isColumn(column, u"PtClassName"))
            header.className = i;
        else if (!known(column))
            refuseFile(
                sdkerr::AttributeUnknown,
                QStringLiteral("The column \"%1\" is not an attribute of any point class of these servers")
                    .arg(ShownText::of(column)));
        else
            cells = !system(column);
        header.carriesCells.push_back(cells);
    }
    if (header.tag < 0)
        refuseFile(sdkerr::AttributesRefused, QStringLiteral("The header row has no \"Tag\" column"));
    return header;
}

// Why a cell cannot be taken as read, or empty. The reader decodes bytes that are no UTF-8 as
// U+FFFD, which a row must not carry into the archive in place of what was meant.
QString cellProblem(const QString& cell) {
    if (cell.contains(QChar(QChar::ReplacementCharacter)))
        return QStringLiteral("is not valid UTF-8 text (it reads as U+FFFD)");
    if (cell.contains(QChar(u'\0')))
        return QStringLiteral("holds a NUL character (\\0), which an archive does not store");
    return {};
}

QString rowProblem(const Header& header, const QStringList& fields) {
    if (fields.size() != header.names.size())
        return QStringLiteral("the row has %1 fields, the header has %2")
            .arg(fields.size())
            .arg(header.names.size());
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (const QString problem = cellProblem(fields[i]); !problem.isEmpty())
            return QStringLiteral("%1 (column %2) %3")
                .arg(ShownText::of(header.names[i]), QString::number(i + 1), problem);
    if (fields[header.tag].isEmpty()) return QStringLiteral("Tag: the row has no tag");
    return {};
}

PointTableCsvRow takeRow(const Header& header, const QStringList& fields, int line) {
    PointTableCsvRow row;
    row.line = line;
    row.tag = fields[header.tag];
    if (header.server >= 0) row.server = fields[header.server];
    if (header.className >= 0) row.className = fields[header.className];
    for (qsizetype i = 0; i < fields.size(); ++i)
        if (header.carriesCells[size_t(i)] && !fields[i].isEmpty())
            row.cells.emplace_back(header.names[i], fields[i]);
    return row;
}

// A tag is one point per server whatever its letter case. The same spelling again edits the
// point once more; another case would silently write over the earlier row.
class TagRegister {
public:
    QString problem(const PointTableCsvRow& row) {
        const QString key = foldKey(row.server) + QChar(u'\n') + foldKey(row.tag);
        const auto first = m_first.constFind(key);
        if (first == m_first.cend()) {
            m_first.insert(key, {row.line, row.tag});
            return {};
        }
        if (first->second == row.tag) return {};
        return QStringLiteral("Tag: a duplicate of the tag \"%1\" on line %2 (tags do not differ by case)")
            .arg(ShownText::of(first->second), QString::number(first->first));
    }

private:
    QHash<QString, std::pair<int, QString>> m_first;
};

QStringList attributeColumns(const Header& header) {
    QStringList columns;
    for (qsizetype i = 0; i < header.names.size(); ++i)
        if (i != header.tag && i != header.server) columns.append(header.names[i]);
    return columns;
}

}  // namespace

PointTableCsvFile PointTableCsv::read(QTextStream& in, const KnownColumn& known) {
    return read(in, known, isModelSystemAttribute);
}

PointTableCsvFile PointTableCsv::read(QTextStream& in, const KnownColumn& known, const KnownColumn& system) {
    CsvReader reader(in);
    const Header header = readHeader(reader, known, system);
    PointTableCsvFile file;
    file.columns = attributeColumns(header);
    TagRegister tags;
    QStringList fields;
    while (reader.readRow(&fields)) {
        const int line = reader.lineNumber();
        QString problem = rowProblem(header, fields);
        if (problem.isEmpty()) {
            PointTableCsvRow row = takeRow(header, fields, line);
            problem = tags.problem(row);
            if (problem.isEmpty()) {
                file.rows.push_back(std::move(row));
                continue;
            }
        }
        file.refused.push_back({line, fields.value(header.tag), problem});
    }
    if (!reader.error().isEmpty()) file.refused.push_back({reader.lineNumber(), QString(), reader.error()});
    return file;
}

}  // namespace vq
