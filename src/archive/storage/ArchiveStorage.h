#pragma once

#include "archive/ArchiveExport.h"

#include "archive/storage/ArchiveCatalog.h"
#include "archive/storage/ArchiveHistoryRecords.h"
#include "archive/storage/ArchivePointRecords.h"
#include "sdk/SdkDigitalStateSet.h"

#include <QByteArray>
#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace vq {

class PointSearchEngine;

/// What an archive is made with.
struct VQ_ARCHIVE_EXPORT ArchiveFacts {
    /// The server name.
    QString name;
    /// "VQ3" or "VQ2".
    QString kind;
    /// The version text, such as "VQ 3.4.1".
    QString version;
};

/// A user as stored: the name in its stored spelling and the password hash.
struct VQ_ARCHIVE_EXPORT ArchiveUserRecord {
    QString name;
    QByteArray salt;
    QByteArray hash;
};

/// Failed log-ons of a user in a row, and when the last one was (seconds since the epoch).
struct VQ_ARCHIVE_EXPORT ArchiveLogonFailures {
    int count = 0;
    double lastFailure = 0;
};

/// A digital state set as stored.
struct VQ_ARCHIVE_EXPORT ArchiveDigitalSetRecord {
    QString name;
    std::vector<SdkDigitalState> states;
};

/// One attribute value a point write stores in the attribute's own place.
struct VQ_ARCHIVE_EXPORT ArchiveStoredValue {
    const AttributeDef* def = nullptr;
    const Variant* value = nullptr;
};

/// Where an archive server keeps its data. Everything above it (the server, its points, classes,
/// digital state sets and the archive tool) speaks to this interface only; a storage engine is one
/// implementation of it. Names compare without regard to case. Failures raise an Error.
/// An attribute a point has no stored value for (one its write left out, one its class gained
/// later, a computed one) reads as its class default, in every read: readPoint() and scans alike.
class VQ_ARCHIVE_EXPORT ArchiveStorage {
public:
    /// A write in progress: every write made until commit() is kept together, or none of them.
    /// Dropped without commit() it undoes them. Scopes nest: an inner one undoes only its own writes.
    class WriteScope {
    public:
        virtual ~WriteScope() = default;
        /// Keeps the writes of the scope.
        virtual void commit() = 0;
    };

    /// Many new points with their archived values, kept all together or not at all. A point
    /// whose tag key is taken already is skipped with its values.
    class BulkLoad {
    public:
        /// What a bulk load stored.
        struct Counts {
            qint64 points = 0;
            qint64 values = 0;
            qint64 skipped = 0;
        };
        virtual ~BulkLoad() = default;
        /// Adds a point: its stored attribute values and its archived values, under `pointId`
        /// when one is given (a copy keeps the handles), else under a new id. A load gives the
        /// ids of all its points or of none.
        virtual void addPoint(const ArchiveClassInfo& info, const QString& tagKey,
                              const std::vector<ArchiveStoredValue>& values,
                              const std::vector<ArchivedValue>& archived, qint64 pointId = 0) = 0;
        /// Keeps everything added; dropped without it, nothing is kept.
        virtual Counts commit() = 0;
    };

    /// One point as a scan hands it over.
    struct ScannedPoint {
        ArchivePointHeader header;
        const ArchiveClassInfo* info = nullptr;
        /// In class attribute order, as readPoint() gives them: class defaults where none is stored.
        std::vector<Variant> values;
        /// Oldest first.
        std::vector<ArchivedValue> archived;
    };

    virtual ~ArchiveStorage() = default;

    /// True for a location naming a database server ("postgresql://host/db") rather than a file.
    static bool isServerLocation(const QString& location);
    /// The location as it may be shown: a URI without its password.
    static QString shownLocation(const QString& location);
    /// The scheme of a location naming a database server ("postgresql"), lower case; empty for a
    /// file. Which engine serves which location is the server's ArchiveStorageFactory's to say.
    static QString schemeOf(const QString& location);

    /// True when the connection holds every right of its database server (a PostgreSQL
    /// superuser), so a slip can harm far more than this archive; a file has no such role.
    virtual bool runsAsSuperuser() const { return false; }

    /// Starts an all-or-nothing write.
    virtual std::unique_ptr<WriteScope> beginWrite() = 0;
    /// How long a write waits for another writer before it gives up.
    virtual void setBusyTimeout(std::chrono::milliseconds timeout) = 0;

    /// A fact about the archive ("name", "kind", "version", ...); raises when it is missing.
    virtual QString fact(const QString& key) = 0;
    /// A fact, or none.
    virtual std::optional<QString> findFact(const QString& key) = 0;
    /// Stores a fact, over an earlier one of that key.
    virtual void setFact(const QString& key, const QString& value) = 0;

    /// The point classes with their attribute sets, in id order.
    virtual std::vector<ArchiveClassInfo> classes() = 0;
    /// The stored attributes of any class, one per place the point table keeps.
    virtual QStringList pointColumns() = 0;

    /// @{
    /// Users, groups and memberships.
    virtual std::optional<ArchiveUserRecord> findUser(const QString& name) = 0;
    virtual QStringList users() = 0;
    virtual QStringList groups() = 0;
    virtual std::optional<QString> findGroup(const QString& name) = 0;
    virtual QStringList groupsOf(const QString& user) = 0;
    virtual void addGroup(const QString& name) = 0;
    /// A new user; `salt` is only for hashes of the older kind that keep theirs apart.
    virtual void addUser(const QString& name, const QByteArray& hash, const QByteArray& salt = {}) = 0;
    virtual void addMembership(const QString& user, const QString& group) = 0;
    /// Removes the user with its memberships and log-on failures.
    virtual void removeUser(const QString& name) = 0;
    /// Replaces the hash; with `onlyIfHash`, only while the stored hash is still that one.
    virtual void setPasswordHash(const QString& user, const QByteArray& hash,
                                 const std::optional<QByteArray>& onlyIfHash = std::nullopt) = 0;
    /// The number of points whose point or data owner is the user.
    virtual qint64 pointsOwnedBy(const QString& user) = 0;
    /// @}

    /// @{
    /// Failed log-ons, counted in the archive so that starting new programs does not reset them.
    virtual std::optional<ArchiveLogonFailures> logonFailures(const QString& user) = 0;
    virtual void recordLogonFailure(const QString& user, double when) = 0;
    virtual void clearLogonFailures(const QString& user) = 0;
    /// Stores the failures of `user` as they are given, over those stored.
    virtual void setLogonFailures(const QString& user, const ArchiveLogonFailures& failures) = 0;
    /// @}

    /// @{
    /// Digital state sets; a state's code is its position.
    virtual std::vector<ArchiveDigitalSetRecord> digitalSets() = 0;
    virtual bool hasDigitalSet(const QString& name) = 0;
    virtual void addDigitalSet(const QString& name, const QStringList& states) = 0;
    /// @}

    /// @{
    /// Archived values; an event at the time of an earlier one replaces it.
    virtual void addArchivedValue(qint64 pointId, const ArchivedValue& value) = 0;
    virtual std::optional<ArchivedValue> currentValue(qint64 pointId) = 0;
    /// Every archived event of the point, oldest first.
    virtual std::vector<ArchivedValue> archivedValues(qint64 pointId) = 0;
    /// @}

    /// @{
    /// Points. `tagKey` is the folded tag (foldKey) that keeps tags unique without regard to case.
    virtual std::optional<ArchivePointHeader> findPoint(const QString& tagKey) = 0;
    virtual std::optional<ArchivePointHeader> pointHeader(qint64 pointId) = 0;
    /// Headers in tag order; all of them unless `limit` is not negative.
    virtual std::vector<ArchivePointHeader> pointHeaders(int limit = -1) = 0;
    /// At most `maxCount` tags whose folded key begins with `keyPrefix`, in key order, as stored.
    virtual QStringList tagsStartingWith(const QString& keyPrefix, int maxCount) = 0;
    virtual qint64 pointCount() = 0;
    /// Reads the point's stored attributes into `values` (class attribute order; a value not
    /// stored keeps the class default) and refreshes tag and point type of `header`. False when
    /// the point is gone. `info` is one of classes().
    virtual bool readPoint(const ArchiveClassInfo& info, ArchivePointHeader& header,
                           std::vector<Variant>& values) = 0;
    /// Stores a new point under `pointId`, or under a new id when it is 0; returns its id. The
    /// attributes not in `values` are stored as none, and read as their class defaults.
    virtual qint64 insertPoint(const ArchiveClassInfo& info, const QString& tagKey,
                               const std::vector<ArchiveStoredValue>& values, qint64 pointId = 0) = 0;
    /// Stores the values over those of an existing point.
    virtual void updatePoint(qint64 pointId, const QString& tagKey,
                             const std::vector<ArchiveStoredValue>& values) = 0;
    /// @}

    /// @{
    /// The change history. A change set is stored inside the caller's write, so it is kept
    /// together with the change it records or not at all.
    /// Stores the change set with its attribute changes and returns its id (`record.id` when
    /// given), unless the archive keeps no history (its fact "history" is "off"): then 0. The
    /// switch is looked at in the same statement. An engine where each statement is a round
    /// trip to a server may send a change set recorded inside a write with the write's commit,
    /// and return 0 for it; a read of the history sends it first.
    virtual qint64 recordChangeSet(const ArchiveChangeRecord& record) = 0;
    /// As recordChangeSet(), but stored at once even inside a write, so that its id is known
    /// before the write's commit.
    virtual qint64 recordChangeSetNow(const ArchiveChangeRecord& record) { return recordChangeSet(record); }
    /// The change sets the query selects, newest first, each with all its attribute changes.
    virtual std::vector<ArchiveChangeRecord> changeSets(const ArchiveHistoryQuery& query) = 0;
    /// Removes the change sets older than `before`; returns how many.
    virtual qint64 pruneChangeSets(const QDateTime& before) = 0;
    /// @}

    /// Hands every point with its values and archived values to `visit`, in tag order, as one
    /// consistent view where the engine offers one. This one reads point by point; an engine
    /// where each read is a round trip to a server overrides it.
    virtual void scanPoints(const std::function<void(const ScannedPoint&)>& visit);

    /// Starts a bulk load, one write until it is committed.
    virtual std::unique_ptr<BulkLoad> beginBulkLoad() = 0;

    /// The search that runs the dialect's where clauses on this archive.
    virtual PointSearchEngine& pointSearch() = 0;
};

}  // namespace vq
