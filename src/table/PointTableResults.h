#pragma once

#include "table/TableExport.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <vector>

namespace vq {

/// What the last save or undo did to one row of the point table.
struct VQ_TABLE_EXPORT PointTableRowResult {
    /// What became of the row.
    enum class Outcome {
        None,              ///< not saved or undone since the row was loaded or edited
        Saved,             ///< every edit stored; the row shows what was stored
        Refused,           ///< the server (or an invalid value) refused it: `reason`, `attributes`
        ChangedMeanwhile,  ///< someone else wrote the point since it was read: `reason` says who, when
        NotReached,        ///< the save was stopped before this row
        Restored,          ///< an undo put the values before the save back
        ChangedSince       ///< an undo left it alone: it changed again after the save (`reason`)
    };
    Outcome outcome = Outcome::None;  ///< what became of the row
    /// The reason as the server gave it, or who changed the point and when.
    QString reason;
    /// The refused attributes.
    QStringList attributes;
    /// A short text for the row's result cell: "Saved", "Refused: Span", ...
    QString text() const;
};

/// How a save ended, counted over its rows.
struct VQ_TABLE_EXPORT PointTableSaveSummary {
    int saved = 0;             ///< points whose edits were all stored
    int refused = 0;           ///< points the server refused, or holding invalid values
    int changedMeanwhile = 0;  ///< points someone else wrote after they were read
    int notReached = 0;        ///< left unsaved because the user stopped the save
    /// "312 saved, 3 refused, 1 changed meanwhile": the saved count always, the others when not 0,
    /// and ", 20 not saved (stopped)" after a stop.
    QString text() const;
};

/// How an undo of the last save ended.
struct VQ_TABLE_EXPORT PointTableUndoSummary {
    int restored = 0;      ///< points put back
    int changedSince = 0;  ///< points left alone: changed again after the save
    int refused = 0;       ///< points the server refused to put back
    /// The tags left alone, each with who changed it and when, or why it was refused.
    QStringList leftAlone;
    /// "996 put back, 1 changed again since"; "nothing to undo" when no save was made.
    QString text() const;
};

}  // namespace vq
