#pragma once

#include "sdk/SdkExport.h"

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vq {

/// One attribute of one point as a change set found it and left it, in stored text; an empty
/// `before` is an attribute the change gave a new point.
struct VQ_SDK_EXPORT SdkAttributeChange {
    QString attribute;  ///< the attribute's name
    QString before;     ///< its stored text before the change
    QString after;      ///< its stored text after the change
};

/// What a change set did to one point.
struct VQ_SDK_EXPORT SdkPointChange {
    qint64 pointId = 0;  ///< the point's handle
    /// The tag the point had after the change.
    QString tag;
    std::vector<SdkAttributeChange> attributes;  ///< in the order they were written
};

/// One write of points, as the history keeps it.
struct VQ_SDK_EXPORT SdkChangeSet {
    qint64 id = 0;   ///< ascending in the order change sets were written
    QDateTime time;  ///< when it was written, UTC
    /// The archive user who wrote it.
    QString user;
    /// The program that wrote it ("vqpointbuilder", "vqarchive", a host's name).
    QString program;
    /// The operating-system user running that program.
    QString osUser;
    /// What kind of write it was: "create", "edit", "import", "seed", "revert", "bulk".
    QString kind;
    QString note;  ///< what the writer said of it, such as "reverts change set 12"
    /// The points it changed that the reader may read; none for a seeding run.
    std::vector<SdkPointChange> points;
};

/// Which change sets to read. Empty fields select everything.
struct VQ_SDK_EXPORT SdkHistoryFilter {
    /// Only change sets that touched this point (any letter case).
    QString tag;
    std::optional<QDateTime> since;  ///< only change sets written at or after this time
    std::optional<QDateTime> until;  ///< only change sets written at or before this time
    /// Only change sets written by this archive user.
    QString user;
    /// Only this change set.
    qint64 changeId = 0;
    /// A page: at most this many change sets (none when negative), older than `beforeId` when
    /// that is not 0.
    int limit = -1;
    qint64 beforeId = 0;  ///< the next page: the id of the last change set of the page before
};

/// What putting one point back gave.
struct VQ_SDK_EXPORT SdkRevertResult {
    /// Put back; left alone as it changed again since; refused by the checks of an edit.
    enum class Outcome { Restored, ChangedSince, Refused };
    qint64 pointId = 0;                   ///< the point's handle
    QString tag;                          ///< the point's tag now
    Outcome outcome = Outcome::Restored;  ///< what became of the point
    /// For ChangedSince: who changed the point later, and when; for Refused: the reason.
    QString reason;
};

/// A server's record of who changed which attribute of which point, when, from what to what.
/// Reads list only what the logged-on user may read; failures raise an Error.
class VQ_SDK_EXPORT SdkChangeHistory {
public:
    virtual ~SdkChangeHistory() = default;

    /// The change sets the filter selects, newest first.
    virtual std::vector<SdkChangeSet> changeSets(const SdkHistoryFilter& filter) = 0;
    /// Writes back the values each point had before change set `changeId`, as a new change set.
    /// A point changed again since is left alone (ChangedSince) unless `force`; the other points
    /// still go back.
    virtual std::vector<SdkRevertResult> revert(qint64 changeId, bool force) = 0;
};

/// A server's change history, shared by its users; null for a server that keeps none.
using SdkChangeHistoryPtr = std::shared_ptr<SdkChangeHistory>;

}  // namespace vq
