#pragma once

#include "table/TableExport.h"

#include "sdk/SdkFwd.h"
#include "table/PointTableResults.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace vq {

class PropSheetEntries;

/// What one save wrote, for undoing it: per server, the change sets the history recorded for it,
/// oldest first, and the rows each point of them belongs to.
struct VQ_TABLE_EXPORT PointTableSaveRecord {
    struct ServerPart {
        SdkServerPtr server;
        std::vector<qint64> changeSets;
    };
    std::vector<ServerPart> servers;
    /// (server, point id) -> the position in the saved rows, for mapping undo results back.
    struct SavedPoint {
        SdkServerPtr server;
        qint64 pointId = 0;
        int row = 0;
        /// The change set that holds the point's write.
        qint64 changeSet = 0;
    };
    std::vector<SavedPoint> points;
    bool isEmpty() const { return servers.empty(); }
};

/// Saves many points' edits and undoes such a save, away from any widget. Each collection's edits
/// are one all-or-nothing write of its point (PropSheetEntries::Save); the writes of one server
/// share commits through SdkServer::beginWriteBatch, so a thousand points cost about what an
/// import of them does, and the history records them as change sets of the kind "bulk".
class VQ_TABLE_EXPORT PointTableSaver {
public:
    /// Told after each point: how many are done of how many; false stops the save there (what is
    /// written so far is committed, the rest are NotReached).
    using Progress = std::function<bool(int done, int total)>;

    /// Saves `rows` in their order (null or unedited collections are skipped and get None).
    /// A collection holding an invalid value is not written: Refused, with its invalid attributes.
    /// Returns one result per row; `record` receives what undo needs.
    static std::vector<PointTableRowResult> save(const std::vector<PropSheetEntries*>& rows,
                                                 const Progress& progress, PointTableSaveRecord& record,
                                                 PointTableSaveSummary* summary = nullptr);

    /// Puts back, through each server's change history, the values the points of `record` had
    /// before that save; a point changed again since is left alone (ChangedSince). Returns one
    /// result per row of the save (None for rows the save did not write).
    static std::vector<PointTableRowResult> undo(const PointTableSaveRecord& record, int rowCount,
                                                 PointTableUndoSummary* summary = nullptr);
};

}  // namespace vq
