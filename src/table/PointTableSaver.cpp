#include "table/PointTableSaver.h"

#include "core/Error.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkServer.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace vq {

namespace {

using Outcome = PointTableRowResult::Outcome;
using ServerPart = PointTableSaveRecord::ServerPart;

// As many points per commit as the import writes: a save then costs about what an import does.
constexpr int pointsPerCommit = 1000;
// What the model takes from the server after a save besides the edits; a commit that fails
// puts them back as well.
const char16_t* const writeStamps[] = {u"ChangeDate", u"Changer"};

struct ServerRows {
    SdkServerPtr server;
    std::vector<int> rows;  // in the order of the table
};

// One edited attribute of a row as it stood before the save.
struct HeldEdit {
    PropSheetEntryPtr entry;
    QString name;  // the name the value is expressed in ("CompDevPercent" for per cent)
    Variant value;
    Variant before;
};

// A row written into the open batch and not committed yet: what it needs to get its edits back
// should the commit fail.
struct BatchedRow {
    int row = 0;
    PropSheetEntries* entries = nullptr;
    std::vector<HeldEdit> edits;
    std::vector<std::pair<PropSheetEntryPtr, Variant>> stamps;
};

std::vector<ServerRows> groupByServer(const std::vector<PropSheetEntries*>& rows) {
    std::vector<ServerRows> groups;
    for (size_t row = 0; row < rows.size(); ++row) {
        PropSheetEntries* entries = rows[row];
        if (!entries || !entries->AreValuesEdited() || !entries->Server()) continue;
        const SdkServerPtr& server = entries->Server();
        auto group = std::find_if(groups.begin(), groups.end(),
                                  [&](const ServerRows& known) { return known.server == server; });
        if (group == groups.end()) group = groups.insert(groups.end(), ServerRows{server, {}});
        group->rows.push_back(int(row));
    }
    return groups;
}

std::vector<HeldEdit> heldEdits(const PropSheetEntries& entries) {
    std::vector<HeldEdit> held;
    const SdkNamedValuesPtr edits = entries.GetEdits();
    for (const SdkNamedValue& edit : *edits) {
        PropSheetEntryPtr entry = entries.find(edit.Name());
        if (!entry) continue;
        Variant before = entry->GetValueBeforeEdits();
        held.push_back({std::move(entry), edit.Name(), edit.Value(), std::move(before)});
    }
    return held;
}

QStringList invalidAttributes(const std::vector<HeldEdit>& edits) {
    QStringList invalid;
    for (const HeldEdit& edit : edits)
        if (!edit.entry->IsValid()) invalid.append(edit.name);
    return invalid;
}

std::vector<std::pair<PropSheetEntryPtr, Variant>> stampsOf(const PropSheetEntries& entries) {
    std::vector<std::pair<PropSheetEntryPtr, Variant>> stamps;
    for (const char16_t* name : writeStamps)
        if (PropSheetEntryPtr entry = entries.find(QString::fromUtf16(name)))
            stamps.emplace_back(entry, entry->GetValueBeforeEdits());
    return stamps;
}

// The model has taken the written values as stored; the commit that failed stored none of them.
// The point is read again too: it counts its own rolled-back write as the version it last read,
// and the next save would take the older stored one for someone else's change.
void giveEditsBack(const BatchedRow& written) {
    silently(false, [&] {
        written.entries->Point()->PointAttributes()->LoadAll();
        return true;
    });
    // A view's handler may refuse an event; the row is refused all the same and the save goes on.
    silently(false, [&] {
        for (const HeldEdit& edit : written.edits) edit.entry->TakeStoredValue(edit.before);
        for (const auto& [entry, before] : written.stamps) entry->TakeStoredValue(before);
        for (const HeldEdit& edit : written.edits) written.entries->SetValue(edit.name, edit.value);
        return true;
    });
}

PointTableRowResult refused(const QString& reason, QStringList attributes = {}) {
    return {Outcome::Refused, reason, std::move(attributes)};
}

PointTableRowResult resultOf(const PointSaveResult& saved) {
    if (saved.saved()) return {Outcome::Saved, {}, {}};
    if (saved.error.number() == sdkerr::PointChanged)
        return {Outcome::ChangedMeanwhile, saved.error.description(), {}};
    QStringList attributes;
    for (const SdkNamedValue& pair : saved.refused) attributes.append(pair.Name());
    return refused(saved.error.description(), attributes);
}

// One save over the rows of every server, in the order of the table within each server.
class SaveRun {
public:
    SaveRun(const std::vector<PropSheetEntries*>& rows, const PointTableSaver::Progress& progress,
            PointTableSaveRecord& record)
        : m_rows(rows), m_progress(progress), m_record(record), m_results(rows.size()) {}

    std::vector<PointTableRowResult> run() {
        const std::vector<ServerRows> groups = groupByServer(m_rows);
        for (const ServerRows& group : groups) m_total += int(group.rows.size());
        for (const ServerRows& group : groups) saveServer(group);
        return std::move(m_results);
    }

private:
    void saveServer(const ServerRows& group) {
        ServerPart part{group.server, {}};
        SdkWriteBatchPtr batch;
        int inBatch = 0;
        std::vector<BatchedRow> written;
        for (const int row : group.rows) {
            if (m_stopped) {
                m_results[size_t(row)].outcome = Outcome::NotReached;
                continue;
            }
            if (!batch && !openBatch(group, batch, row)) continue;
            saveRow(row, batch ? &written : nullptr);
            if (batch && (++inBatch == pointsPerCommit || m_stopped)) {
                if (!commit(*batch, written, part)) batch.reset();
                inBatch = 0;
            }
        }
        if (batch && inBatch > 0) commit(*batch, written, part);
        if (!part.changeSets.empty()) m_record.servers.push_back(std::move(part));
    }

    // A server without batches (a null batch) stores each point on its own: its writes are saved
    // all the same, but no change set of this save can be named for undoing them, so it stays
    // out of the record. False when the batch cannot be opened: the row is refused.
    bool openBatch(const ServerRows& group, SdkWriteBatchPtr& batch, int row) {
        if (m_unbatched.contains(group.server.get())) return true;
        try {
            // A batch needs a logged-on user: log on as a single save would, once per server.
            if (!group.server->IsConnected()) m_rows[size_t(row)]->CheckServerConnection();
            batch = group.server->beginWriteBatch(
                QStringLiteral("bulk"), QStringLiteral("point table: %1 points").arg(group.rows.size()));
        } catch (...) {
            m_results[size_t(row)] = refused(currentError().description());
            advance();
            return false;
        }
        if (!batch) m_unbatched.insert(group.server.get());
        return true;
    }

    void saveRow(int row, std::vector<BatchedRow>* written) {
        PropSheetEntries& entries = *m_rows[size_t(row)];
        PointTableRowResult& result = m_results[size_t(row)];
        try {
            entries.CommitPendingChanges();
            BatchedRow held{row, &entries, heldEdits(entries), {}};
            const QStringList invalid = invalidAttributes(held.edits);
            if (!invalid.isEmpty()) {
                result = refused(QStringLiteral("invalid values are not written"), invalid);
            } else {
                if (written) held.stamps = stampsOf(entries);
                result = resultOf(entries.Save());
                if (written && result.outcome == Outcome::Saved) written->push_back(std::move(held));
            }
        } catch (...) {
            result = refused(currentError().description());
        }
        advance();
    }

    void advance() {
        ++m_done;
        if (m_progress && !m_progress(m_done, m_total)) m_stopped = true;
    }

    // False when the commit failed: its rows are refused with the error and get their edits back.
    bool commit(SdkWriteBatch& batch, std::vector<BatchedRow>& written, ServerPart& part) {
        bool committed = true;
        try {
            const qint64 changeSet = batch.commit();
            if (changeSet != 0) {
                part.changeSets.push_back(changeSet);
                for (const BatchedRow& row : written)
                    m_record.points.push_back(
                        {part.server, m_rows[size_t(row.row)]->Point()->PointID(), row.row, changeSet});
            }
        } catch (...) {
            committed = false;
            const Error error = currentError();
            for (const BatchedRow& row : written) {
                m_results[size_t(row.row)] = refused(error.description());
                giveEditsBack(row);
            }
        }
        written.clear();
        return committed;
    }

    const std::vector<PropSheetEntries*>& m_rows;
    const PointTableSaver::Progress& m_progress;
    PointTableSaveRecord& m_record;
    std::vector<PointTableRowResult> m_results;
    QSet<const SdkServer*> m_unbatched;
    int m_total = 0;
    int m_done = 0;
    bool m_stopped = false;
};

PointTableSaveSummary saveSummary(const std::vector<PointTableRowResult>& results) {
    PointTableSaveSummary summary;
    for (const PointTableRowResult& result : results) {
        summary.saved += result.outcome == Outcome::Saved;
        summary.refused += result.outcome == Outcome::Refused;
        summary.changedMeanwhile += result.outcome == Outcome::ChangedMeanwhile;
        summary.notReached += result.outcome == Outcome::NotReached;
    }
    return summary;
}

using PointKey = std::pair<const SdkServer*, qint64>;

// The row result of one point an undo went through, counted.
PointTableRowResult undoneResult(const SdkRevertResult& reverted, PointTableUndoSummary& summary) {
    switch (reverted.outcome) {
        case SdkRevertResult::Outcome::Restored:
            ++summary.restored;
            return {Outcome::Restored, {}, {}};
        case SdkRevertResult::Outcome::ChangedSince:
            ++summary.changedSince;
            break;
        case SdkRevertResult::Outcome::Refused:
            ++summary.refused;
            break;
    }
    summary.leftAlone.append(QStringLiteral("%1: %2").arg(reverted.tag, reverted.reason));
    const bool changed = reverted.outcome == SdkRevertResult::Outcome::ChangedSince;
    return {changed ? Outcome::ChangedSince : Outcome::Refused, reverted.reason, {}};
}

// Puts back the change sets of a save, each server's newest first, and tells each row.
class UndoRun {
public:
    UndoRun(const PointTableSaveRecord& record, int rowCount)
        : m_record(record), m_results(size_t(std::max(rowCount, 0))) {
        m_rowOf.reserve(qsizetype(record.points.size()));
        for (const PointTableSaveRecord::SavedPoint& point : record.points)
            m_rowOf.insert({point.server.get(), point.pointId}, point.row);
    }

    std::vector<PointTableRowResult> run(PointTableUndoSummary& summary) {
        for (const ServerPart& part : m_record.servers) {
            const SdkChangeHistoryPtr history = part.server->changeHistory();
            for (auto changeSet = part.changeSets.rbegin(); changeSet != part.changeSets.rend();
                 ++changeSet) {
                try {
                    if (!history)
                        throw Error(sdkerr::ReadOnly, QStringLiteral("PointTableSaver"),
                                    QStringLiteral("The server keeps no change history"));
                    for (const SdkRevertResult& reverted : history->revert(*changeSet, false))
                        give(m_rowOf.value({part.server.get(), reverted.pointId}, -1),
                             undoneResult(reverted, summary));
                } catch (...) {
                    refuseChangeSet(part.server, *changeSet, currentError().description(), summary);
                }
            }
        }
        return std::move(m_results);
    }

private:
    void give(int row, PointTableRowResult result) {
        if (row >= 0 && size_t(row) < m_results.size()) m_results[size_t(row)] = std::move(result);
    }

    // A change set goes back as a whole or not at all: each of its points is refused.
    void refuseChangeSet(const SdkServerPtr& server, qint64 changeSet, const QString& reason,
                         PointTableUndoSummary& summary) {
        for (const PointTableSaveRecord::SavedPoint& point : m_record.points) {
            if (point.server != server || point.changeSet != changeSet) continue;
            ++summary.refused;
            give(point.row, refused(reason));
        }
        summary.leftAlone.append(QStringLiteral("change set %1: %2").arg(changeSet).arg(reason));
    }

    const PointTableSaveRecord& m_record;
    std::vector<PointTableRowResult> m_results;
    QHash<PointKey, int> m_rowOf;
};

}  // namespace

std::vector<PointTableRowResult> PointTableSaver::save(const std::vector<PropSheetEntries*>& rows,
                                                       const Progress& progress, PointTableSaveRecord& record,
                                                       PointTableSaveSummary* summary) {
    record = {};
    std::vector<PointTableRowResult> results = SaveRun(rows, progress, record).run();
    if (summary) *summary = saveSummary(results);
    return results;
}

std::vector<PointTableRowResult> PointTableSaver::undo(const PointTableSaveRecord& record, int rowCount,
                                                       PointTableUndoSummary* summary) {
    PointTableUndoSummary counted;
    std::vector<PointTableRowResult> results = UndoRun(record, rowCount).run(counted);
    if (summary) *summary = std::move(counted);
    return results;
}

}  // namespace vq
