#include "archive/data/PointCsv.h"

#include "core/CsvCodec.h"
#include "archive/server/ArchiveChangeRecorder.h"
#include "archive/server/ArchivePoint.h"
#include "archive/server/PointWriter.h"
#include "archive/storage/ArchiveStorage.h"
#include "archive/storage/StoredText.h"
#include "core/KeyedCollection.h"
#include "core/ShownText.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

namespace vq {

namespace {

const QString csvSource = QStringLiteral("VQArchive.Csv");

QStringList exportColumns(const ArchiveServer& server) {
    QStringList columns = {QStringLiteral("Tag"), QStringLiteral("PtClassName"), QStringLiteral("PointType")};
    for (const QString& column : server.pointColumns())
        if (!columns.contains(column, Qt::CaseInsensitive)) columns.append(column);
    return columns;
}

// A point type cell holds the code ("12") or the name ("Float32", "Integer").
std::optional<SdkPointType> parsePointType(const QString& text) {
    bool ok = false;
    const int code = text.trimmed().toInt(&ok);
    if (ok) return code;
    for (SdkPointType type : {pointtype::Int16, pointtype::Int32, pointtype::Float16, pointtype::Float32,
                              pointtype::Float64, pointtype::Digital, pointtype::Blob, pointtype::String}) {
        if (pointtype::name(type).compare(text.trimmed(), Qt::CaseInsensitive) == 0 ||
            pointtype::name(type, true).compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return type;
    }
    return std::nullopt;
}

bool isKnownColumn(const ArchiveServer& server, const QString& column) {
    if (column.compare(u"PtClassName", Qt::CaseInsensitive) == 0) return true;
    for (const ArchiveClassInfo& info : server.classes())
        if (info.find(column)) return true;
    return false;
}

struct Row {
    int line;
    QHash<QString, QString> cells;  // folded column -> text, given cells only
    QStringList order;              // given columns in file order
};

// The row's attributes to write: every given column but the tag, the class and system attributes.
SdkNamedValues rowEdits(const Row& row) {
    SdkNamedValues edits;
    for (const QString& column : row.order) {
        if (column.compare(u"Tag", Qt::CaseInsensitive) == 0) continue;
        if (column.compare(u"PtClassName", Qt::CaseInsensitive) == 0) continue;
        if (ArchiveCatalog::isSystemAttribute(column)) continue;
        edits.Add(column, Variant(row.cells.value(foldKey(column))));
    }
    return edits;
}

// A new point of the row's class (classic unless given), of the row's type or the class default.
// Empty, or why the row is refused.
QString createFromRow(ArchiveServer& server, const QString& tag, const Row& row, SdkNamedValues& edits) {
    const QString className = row.cells.value(QStringLiteral("ptclassname"), QStringLiteral("classic"));
    const ArchiveClassInfo* info = server.classByName(className);
    SdkPointType type = info && info->find(QStringLiteral("PointType"))
                            ? info->find(QStringLiteral("PointType"))->defaultValue.toInt32()
                            : pointtype::Float32;
    if (edits.Contains(QStringLiteral("PointType"))) {
        const auto parsed = parsePointType(edits.Value(QStringLiteral("PointType")).toString());
        if (!parsed) return QStringLiteral("PointType: not a point type");
        type = *parsed;
        edits.Remove(QStringLiteral("PointType"));
    }
    SdkNamedValues failed;
    server.Points()->Add(tag, className, type, edits, &failed);
    return {};
}

// Only what differs is written, so an unchanged row keeps its change date. Values are compared in
// the attribute's own type, so "0.05" matches the single 0.05 it was exported from.
SdkNamedValues changedAttributes(ArchivePoint& point, const ArchiveClassInfo& info,
                                 const SdkNamedValues& edits) {
    const SdkNamedValuesPtr current = point.PointAttributes()->NamedValues();
    SdkNamedValues changes;
    for (const SdkNamedValue& edit : edits) {
        const AttributeDef* def = info.find(edit.Name());
        QString reason;
        const auto converted = def ? PointWriter::convert(*def, edit.Value(), &reason) : std::nullopt;
        if (!converted || !current->Contains(edit.Name()) ||
            Variant::valuesDiffer(current->Value(edit.Name()), *converted))
            changes.Add(edit.Name(), edit.Value());
    }
    return changes;
}

void importRow(ArchiveServer& server, const Row& row, PointCsv::ImportReport& report) {
    const QString tag = row.cells.value(QStringLiteral("tag"));
    auto refuse = [&](const QString& reason) { report.refused.push_back({row.line, tag, reason}); };
    SdkNamedValues edits = rowEdits(row);
    try {
        const auto existing = server.findPoint(tag);
        if (!existing) {
            const QString refusal = createFromRow(server, tag, row, edits);
            if (!refusal.isEmpty()) return refuse(refusal);
            ++report.created;
            return;
        }
        ArchivePoint point(server.shared_from_this(), *existing);
        const ArchiveClassInfo* info = server.classById(existing->classId);
        if (row.cells.contains(QStringLiteral("ptclassname")) &&
            row.cells.value(QStringLiteral("ptclassname")).compare(info->name, Qt::CaseInsensitive) != 0)
            return refuse(QStringLiteral("PtClassName: the class of an existing point cannot change"));
        if (edits.Contains(QStringLiteral("PointType"))) {
            const auto parsed = parsePointType(edits.Value(QStringLiteral("PointType")).toString());
            if (!parsed) return refuse(QStringLiteral("PointType: not a point type"));
            edits.Set(QStringLiteral("PointType"), Variant(int32_t(*parsed)));
        }
        const SdkNamedValues changes = changedAttributes(point, *info, edits);
        if (changes.Count() == 0) {
            ++report.unchanged;
            return;
        }
        SdkNamedValues failed;
        auto attributes = point.PointAttributes();
        attributes->SetStopOnFirstError(false);
        attributes->SetAttributes(changes, failed);
        ++report.updated;
    } catch (const Error& error) {
        // A full, read-only or busy archive is no fault of the row: the import stops.
        if (error.number() == sdkerr::StorageFailed || error.number() == sdkerr::ServerUnavailable ||
            error.number() == sdkerr::ReadOnly)
            throw;
        refuse(error.description());
    }
}

// A header naming a column twice would let one cell of a row silently win over the other.
void refuseRepeatedColumns(const QStringList& header) {
    QHash<QString, int> seen;
    for (int i = 0; i < header.size(); ++i) {
        const auto at = seen.constFind(foldKey(header[i]));
        if (at == seen.cend()) {
            seen.insert(foldKey(header[i]), i);
            continue;
        }
        throw Error(sdkerr::AttributesRefused, csvSource,
                    QStringLiteral("The header row names the column \"%1\" twice (columns %2 and %3); "
                                   "column names do not differ by case")
                        .arg(ShownText::of(header[i]), QString::number(*at + 1), QString::number(i + 1)));
    }
}

// Why a cell cannot be stored as read, or empty. The reader decodes bytes that are no UTF-8 as
// U+FFFD, which a row must not carry into the archive in place of what was meant.
QString cellProblem(const QString& cell) {
    if (cell.contains(QChar(QChar::ReplacementCharacter)))
        return QStringLiteral("is not valid UTF-8 text (it reads as U+FFFD)");
    if (StoredText::hasNul(cell)) return StoredText::nulReason();
    return {};
}

QString rowProblem(const QStringList& header, const QStringList& fields) {
    for (int i = 0; i < fields.size(); ++i)
        if (const QString problem = cellProblem(fields[i]); !problem.isEmpty())
            return QStringLiteral("%1 (column %2) %3")
                .arg(ShownText::of(header[i]), QString::number(i + 1), problem);
    return {};
}

}  // namespace

int PointCsv::exportPoints(ArchiveServer& server, QTextStream& out) {
    const QStringList columns = exportColumns(server);
    CsvWriter writer(out);
    writer.writeRow(columns);
    std::vector<ArchivePointHeader> headers = server.storage().pointHeaders();
    for (ArchivePointHeader& header : headers) {
        const ArchiveClassInfo* info = server.classById(header.classId);
        const std::vector<Variant> values = server.readAttributes(header);
        QStringList fields;
        for (const QString& column : columns) {
            const int index = info->index.value(foldKey(column), -1);
            fields.append(index < 0 ? QString() : values[size_t(index)].toString());
        }
        writer.writeRow(fields);
    }
    return int(headers.size());
}

PointCsv::ImportReport PointCsv::importPoints(ArchiveServer& server, QTextStream& in) {
    server.requireConnection(QStringLiteral("import points"));
    CsvReader reader(in);
    QStringList header;
    if (!reader.readRow(&header)) {
        throw Error(sdkerr::AttributesRefused, csvSource,
                    reader.error().isEmpty()
                        ? QStringLiteral("The file is empty: a header row of attribute names is needed")
                        : reader.error());
    }
    for (QString& column : header) column = column.trimmed();
    refuseRepeatedColumns(header);
    if (!header.contains(QStringLiteral("Tag"), Qt::CaseInsensitive))
        throw Error(sdkerr::AttributesRefused, csvSource,
                    QStringLiteral("The header row has no \"Tag\" column"));
    for (const QString& column : header) {
        if (!isKnownColumn(server, column))
            throw Error(
                sdkerr::AttributeUnknown, csvSource,
                QStringLiteral("The column \"%1\" is not an attribute of any point class of this server")
                    .arg(column));
    }
    qsizetype tagIndex = 0;
    while (header[tagIndex].compare(u"Tag", Qt::CaseInsensitive) != 0) ++tagIndex;
    ImportReport report;
    // Folded tag -> the line that first named it and its spelling there. The same spelling again
    // edits the point once more; another case would silently write over the earlier row.
    QHash<QString, std::pair<int, QString>> firstOfTag;
    QStringList fields;
    // Rows are written in batches that share one commit; each row is still its own savepoint.
    constexpr int kRowsPerCommit = 1000;
    std::unique_ptr<ArchiveStorage::WriteScope> batch;
    int rowsInBatch = 0;
    int storedBefore = 0;  // the first line not yet committed
    // Each batch is one change set, recorded in the batch's own commit.
    ArchiveChangeRecorder changes(server, QStringLiteral("import"));
    changes.collectWrites();
    try {
        while (reader.readRow(&fields)) {
            if (!batch) batch = server.storage().beginWrite();
            if (++rowsInBatch == kRowsPerCommit) {
                changes.record();
                batch->commit();
                storedBefore = reader.lineNumber();
                batch = server.storage().beginWrite();
                rowsInBatch = 0;
            }
            Row row{reader.lineNumber(), {}, {}};
            if (fields.size() != header.size()) {
                report.refused.push_back({row.line, fields.value(tagIndex),
                                          QStringLiteral("the row has %1 fields, the header has %2")
                                              .arg(fields.size())
                                              .arg(header.size())});
                continue;
            }
            if (const QString problem = rowProblem(header, fields); !problem.isEmpty()) {
                report.refused.push_back({row.line, fields.value(tagIndex), problem});
                continue;
            }
            for (int i = 0; i < header.size(); ++i) {
                if (fields[i].isEmpty()) continue;
                row.cells.insert(foldKey(header[i]), fields[i]);
                row.order.append(header[i]);
            }
            if (row.cells.value(QStringLiteral("tag")).isEmpty()) {
                report.refused.push_back({row.line, QString(), QStringLiteral("Tag: the row has no tag")});
                continue;
            }
            const QString tag = row.cells.value(QStringLiteral("tag"));
            const auto first = firstOfTag.constFind(foldKey(tag));
            if (first != firstOfTag.cend() && first->second != tag) {
                report.refused.push_back(
                    {row.line, tag,
                     QStringLiteral(
                         "Tag: a duplicate of the tag \"%1\" on line %2 (tags do not differ by case)")
                         .arg(ShownText::of(first->second), QString::number(first->first))});
                continue;
            }
            if (first == firstOfTag.cend()) firstOfTag.insert(foldKey(tag), {row.line, tag});
            importRow(server, row, report);
        }
        if (batch) {
            changes.record();
            batch->commit();
        }
    } catch (Error& error) {
        batch.reset();
        error.setDescription(
            storedBefore > 0
                ? QStringLiteral("%1. The import stopped at line %2; the rows before line %3 are stored, "
                                 "and importing the file again completes it")
                      .arg(error.description())
                      .arg(reader.lineNumber())
                      .arg(storedBefore)
                : QStringLiteral("%1. The import stopped at line %2; no row of it is stored")
                      .arg(error.description())
                      .arg(reader.lineNumber()));
        throw;
    }
    if (!reader.error().isEmpty()) report.refused.push_back({reader.lineNumber(), QString(), reader.error()});
    return report;
}

}  // namespace vq
