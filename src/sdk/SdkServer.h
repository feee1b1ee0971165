#pragma once

#include "sdk/SdkExport.h"

#include "SdkChangeHistory.h"
#include "SdkFwd.h"
#include "SdkServerVersion.h"
#include "SdkWriteBatch.h"

#include <QStringList>

namespace vq {

/// One archive server.
class VQ_SDK_EXPORT SdkServer {
public:
    virtual ~SdkServer() = default;

    /// The name the server is known under in the server list.
    virtual QString Name() const = 0;
    /// "VQ3" or "VQ2".
    virtual QString ServerKind() const = 0;
    /// The version, for example "VQ 3.4.1".
    virtual SdkServerVersion ServerVersion() const = 0;
    /// Where the server's archive is, as shown to users (for a file archive, its path); empty when
    /// the library has nothing to show.
    virtual QString Location() const { return {}; }
    /// True while a user is logged on.
    virtual bool IsConnected() const = 0;
    /// Logs on; a wrong user or password raises and leaves the server disconnected.
    virtual void Open(const QString& user, const QString& password) = 0;
    /// Logs off; the server stays in the list.
    virtual void Close() = 0;
    /// The logged-on user's name; empty while disconnected.
    virtual QString UserName() const = 0;
    /// The names of the server's users.
    virtual QStringList Users() const = 0;
    /// The names of the server's groups.
    virtual QStringList Groups() const = 0;

    /// The server's points.
    virtual SdkPointsPtr Points() = 0;
    /// The server's point classes.
    virtual SdkPointClassesPtr PointClasses() = 0;
    /// The server's digital state sets.
    virtual SdkDigitalStateSetsPtr DigitalStateSets() = 0;

    /// Finds points with a where clause in the servers' SQL dialect. `extraTables` names the archive
    /// tables besides the point table that the clause uses; `status` may be null. No match raises
    /// error 0x8004049B. The point search calls it on a worker thread of its own while other
    /// calls of the same server go on in the window's thread, so it must share no mutable state
    /// with them (see search/SearchRunner.h).
    virtual SdkPointListPtr GetPointsSQL(const QString& whereClause, const SdkNamedValues& extraTables,
                                         SdkNamedValues* status) = 0;

    /// Stops a GetPointsSQL that runs on another thread; that search then raises QueryCancelled.
    /// Safe from any thread; nothing happens when no search runs.
    virtual void CancelSearch() {}

    /// Up to `maxCount` tags that begin with `prefix` (any letter case), in tag order; empty when
    /// none do. For completing a tag as it is typed, so it must be quick: this default searches
    /// with GetPointsSQL and keeps the first ones, a server with a tag index reads only those.
    /// `*` and `?` in the prefix are wildcards of that search, which a server may take literally.
    virtual QStringList TagsStartingWith(const QString& prefix, int maxCount);

    /// Makes the point object of a handle held in an SdkPointList.
    virtual SdkPointPtr PointFromHandle(qint64 pointId, const QString& tag) = 0;

    /// The server's change history; null for a server that keeps none.
    virtual SdkChangeHistoryPtr changeHistory() { return nullptr; }

    /// Opens a batch in which the following point writes of this server share one commit and one
    /// change set of that `kind` ("bulk", ...) and `note`; null for a server that stores each write
    /// on its own. One batch at a time per server; the caller keeps it no longer than the writes.
    virtual SdkWriteBatchPtr beginWriteBatch(const QString& kind, const QString& note) {
        Q_UNUSED(kind)
        Q_UNUSED(note)
        return nullptr;
    }
};

}  // namespace vq
