// Saving the point table, undoing the last save, and CSV files in and out.

#include "table/PointTableModel.h"

#include "table/PointTableRows.h"

#include "core/CsvCodec.h"
#include "core/Error.h"
#include "sdk/SdkAttributeSets.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServer.h"
#include "table/PointTableCsv.h"

#include <QHash>
#include <QScopedValueRollback>

namespace vq {

namespace {

using Outcome = PointTableRowResult::Outcome;

bool classHas(const SdkPointClass& pointClass, const QString& attribute) {
    if (const SdkPointAttributesPtr defaults = pointClass.PointAttributes())
        return defaults->Contains(attribute);
    if (const SdkAttributeSetsPtr sets = pointClass.AttributeSets())
        for (const SdkPointAttributesPtr& set : sets->All())
            if (set->Contains(attribute)) return true;
    return false;
}

bool serverHas(const SdkServerPtr& server, const QString& attribute) {
    return silently(false, [&] {
        for (const SdkPointClassPtr& pointClass : server->PointClasses()->All())
            if (classHas(*pointClass, attribute)) return true;
        return false;
    });
}

QString foldedTag(const QString& tag, uint16_t server) {
    return tag.toCaseFolded() + QChar(u'\n') + QString::number(server);
}

}  // namespace

// ---- save and undo ----

void PointTableModelPrivate::retakeTexts(PointTableRow& saved) {
    for (qsizetype i = 0; i < columns.size() && size_t(i) < saved.texts.size(); ++i) {
        const PropSheetEntryPtr entry = saved.entries->find(columns[i]);
        saved.texts[size_t(i)] = entry ? shownText(*entry, columns[i]) : QString();
    }
    if (const SdkPointPtr point = saved.entries->Point()) {
        if (saved.pointId == 0)
            rowOfPoint.try_emplace(pointKey(saved.server, point->PointID()), int(&saved - rows.data()));
        saved.pointId = point->PointID();
        saved.tag = point->Name();
    }
}

PointTableSaveSummary PointTableModel::save(const PointTableSaver::Progress& progress) {
    std::vector<PropSheetEntries*> entries(d->rows.size(), nullptr);
    d->savedEdits.clear();
    for (size_t row = 0; row < d->rows.size(); ++row) {
        entries[row] = d->rows[row].entries.get();
        if (entries[row] && entries[row]->AreValuesEdited())
            d->savedEdits[int(row)] = entries[row]->GetEdits();
    }
    PointTableSaveRecord record;
    PointTableSaveSummary summary;
    std::vector<PointTableRowResult> results;
    {
        const QScopedValueRollback holding(d->bulkEdit, true);
        results = PointTableSaver::save(entries, progress, record, &summary);
    }
    for (size_t row = 0; row < results.size(); ++row) {
        if (results[row].outcome == Outcome::None) continue;
        PointTableRow& saved = d->rows[row];
        if (results[row].outcome == Outcome::Saved) d->retakeTexts(saved);
        saved.result = std::make_unique<PointTableRowResult>(std::move(results[row]));
    }
    d->lastSave = std::move(record);
    d->rowsChanged(0, rowCount() - 1);
    Q_EMIT pendingChanged();
    return summary;
}

bool PointTableModel::canUndo() const {
    return !d->lastSave.isEmpty();
}

// A row put back is read again as the server now holds it; the values the save wrote become its
// edits once more, so that saving again redoes the save.
void PointTableModelPrivate::reread(int index) {
    PointTableRow& restored = row(index);
    if (restored.entries) QObject::disconnect(restored.entries.get(), nullptr, q, nullptr);
    restored.entries.reset();
    restored.loaded = false;
    ++unloaded;
    PropSheetEntries& entries = makeEntries(index);
    const auto edits = savedEdits.find(index);
    if (edits == savedEdits.end()) return;
    for (const SdkNamedValue& edit : *edits->second)
        silently(false, [&] {
            entries.SetValue(edit.Name(), edit.Value());
            return true;
        });
}

PointTableUndoSummary PointTableModel::undoLastSave() {
    PointTableUndoSummary summary;
    if (d->lastSave.isEmpty()) return summary;
    std::vector<PointTableRowResult> results = PointTableSaver::undo(d->lastSave, rowCount(), &summary);
    d->lastSave = {};
    {
        const QScopedValueRollback holding(d->bulkEdit, true);
        for (size_t row = 0; row < results.size(); ++row) {
            if (results[row].outcome == Outcome::None) continue;
            if (results[row].outcome == Outcome::Restored) d->reread(int(row));
            d->rows[row].result = std::make_unique<PointTableRowResult>(std::move(results[row]));
        }
    }
    d->savedEdits.clear();
    d->rowsChanged(0, rowCount() - 1);
    Q_EMIT pendingChanged();
    return summary;
}

// ---- CSV ----

// Rows of the table by tag and server, else points of the server named or given, else new points.
int PointTableModelPrivate::importRow(const PointTableCsvRow& line, const SdkServerPtr& fallback,
                                      bool createUnknown, QHash<QString, int>& rowOfTag,
                                      PointTableImportReport& report) {
    SdkServerPtr server = fallback;
    if (!line.server.isEmpty()) {
        server = nullptr;
        for (const SdkServerPtr& known : servers)
            if (known->Name().compare(line.server, Qt::CaseInsensitive) == 0) server = known;
        if (!server && fallback && fallback->Name().compare(line.server, Qt::CaseInsensitive) == 0)
            server = fallback;
        if (!server) return -1;
    }
    for (uint16_t at = 0; at < servers.size(); ++at) {
        if (server && servers[at] != server) continue;
        const auto found = rowOfTag.constFind(foldedTag(line.tag, at));
        if (found != rowOfTag.cend()) return *found;
    }
    if (!server) return -1;
    const int added = int(rows.size());
    if (const SdkPointPtr point = silently(SdkPointPtr(), [&] { return server->Points()->Item(line.tag); })) {
        appendRow(server, point->PointID(), point->Name());
        ++report.addedPoints;
    } else if (createUnknown) {
        auto entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(server,
                                      line.className.isEmpty() ? QStringLiteral("classic") : line.className);
        entries->SetValue(QStringLiteral("Tag"), Variant(line.tag));
        PointTableRow& created = rows.emplace_back();
        created.tag = line.tag;
        created.server = serverIndex(server);
        created.loaded = true;
        created.texts.resize(size_t(columns.size()));
        watchEntries(*entries, added);
        created.entries = std::move(entries);
        ++report.newPoints;
    } else {
        return -1;
    }
    rowOfTag.insert(foldedTag(line.tag, rows.back().server), added);
    return added;
}

PointTableImportReport PointTableModel::importCsv(QTextStream& in, const SdkServerPtr& server,
                                                  bool createUnknown) {
    std::vector<SdkServerPtr> targets = d->servers;
    if (server) targets.push_back(server);
    QHash<QString, bool> known;
    const auto isKnown = [&](const QString& column) {
        const QString key = column.toCaseFolded();
        if (!known.contains(key))
            known.insert(key, std::any_of(targets.begin(), targets.end(), [&](const SdkServerPtr& target) {
                             return serverHas(target, column);
                         }));
        return known.value(key);
    };
    const PointTableCsvFile file = PointTableCsv::read(in, isKnown);
    PointTableImportReport report;
    for (const PointTableCsvRefusal& refusal : file.refused)
        report.refused
            << QStringLiteral("line %1: %2: %3").arg(refusal.line).arg(refusal.tag, refusal.reason);
    QStringList shown = d->columns;
    for (const PointTableCsvRow& line : file.rows)
        for (const auto& [attribute, text] : line.cells)
            if (columnOf(attribute) < 0 && !shown.contains(attribute, Qt::CaseInsensitive))
                shown << attribute;
    // Columns and rows may both be added: the views take the table afresh.
    beginResetModel();
    d->applyColumns(shown);
    QHash<QString, int> rowOfTag;
    for (size_t row = 0; row < d->rows.size(); ++row)
        rowOfTag.insert(foldedTag(d->rows[row].tag, d->rows[row].server), int(row));
    {
        const QScopedValueRollback holding(d->bulkEdit, true);
        for (const PointTableCsvRow& line : file.rows) {
            const int row = d->importRow(line, server, createUnknown, rowOfTag, report);
            if (row < 0) {
                report.unknown << line.tag;
                continue;
            }
            ++report.rows;
            for (const auto& [attribute, text] : line.cells)
                d->count(report.cells, d->applyText(row, columnOf(attribute), text));
        }
    }
    endResetModel();
    if (report.cells.set > 0 || report.newPoints > 0) Q_EMIT pendingChanged();
    return report;
}

int PointTableModel::exportCsv(QTextStream& out) {
    bool severalServers = false;
    for (const PointTableRow& row : d->rows)
        severalServers = severalServers || row.server != d->rows.front().server;
    CsvWriter writer(out);
    QStringList header = QStringList{QStringLiteral("Tag")} + d->columns;
    if (severalServers) header << QStringLiteral("Server");
    writer.writeRow(header);
    for (int row = 0; row < rowCount(); ++row) {
        d->ensureLoaded(row);
        QStringList fields{d->cellText(row, TagColumn)};
        for (int column = FirstAttributeColumn; column < columnCount(); ++column)
            fields << d->cellText(row, column);
        if (severalServers) fields << d->cellText(row, ServerColumn);
        writer.writeRow(fields);
    }
    return rowCount();
}

}  // namespace vq
