#pragma once

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace vq {

/// One attribute of one point as a change set found it and left it, in the text the archive
/// stores it as; `before` is empty for an attribute a new point was given.
struct ArchiveAttributeChange {
    qint64 pointId = 0;
    /// The point's tag after the change.
    QString tag;
    QString attribute;
    QString before;
    QString after;

    bool operator==(const ArchiveAttributeChange&) const = default;
};

/// One write of points as the history keeps it.
struct ArchiveChangeRecord {
    /// 0 for a change set not stored yet; a copy stores it under the id it had.
    qint64 id = 0;
    QDateTime time;
    QString user;
    QString program;
    QString osUser;
    /// "create", "edit", "import", "seed", "revert", "bulk".
    QString kind;
    QString note;
    /// In the order they were made.
    std::vector<ArchiveAttributeChange> changes;

    bool operator==(const ArchiveChangeRecord&) const = default;
};

/// Which change sets a history read selects; fields left at their defaults select everything.
struct ArchiveHistoryQuery {
    /// Only change sets that changed this point.
    qint64 pointId = 0;
    std::optional<QDateTime> since;
    std::optional<QDateTime> until;
    /// Only change sets of this archive user (any letter case).
    QString user;
    qint64 changeId = 0;
    /// A page: at most `limit` change sets (all when negative), older than `beforeId` unless 0.
    int limit = -1;
    qint64 beforeId = 0;
};

}  // namespace vq
