#pragma once

#include "archive/ArchiveExport.h"

#include "archive/storage/ArchiveCatalog.h"
#include "archive/storage/ArchivePointRecords.h"
#include "sdk/SdkPointType.h"
#include "sdk/SdkServer.h"

#include <QDateTime>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vq {

class ArchiveChangeRecorder;
class ArchiveStorage;
class ArchiveWriteBatch;
class LogonClock;
struct ArchiveUserRecord;
struct SqlNode;

/// An archive server: its facts, users and groups, point classes, points, archived values and
/// digital state sets, kept in a storage chosen by its location (an SQLite file, or a PostgreSQL
/// database named by a "postgresql://" URI). The
/// storage is opened on first use, so a server whose archive is missing still lists, and says
/// what is wrong when it is used.
class VQ_ARCHIVE_EXPORT ArchiveServer : public SdkServer, public std::enable_shared_from_this<ArchiveServer> {
public:
    /// A server known under `name` whose archive is at `path`: an SQLite file, or a database
    /// server's URI such as "postgresql://host/db" whose credentials libpq finds (the URI, the
    /// password file, a service file, the environment).
    static std::shared_ptr<ArchiveServer> open(const QString& name, const QString& path);
    /// The archive at `path` (a file or a URI) under the name stored in it; a missing or foreign
    /// archive raises.
    static std::shared_ptr<ArchiveServer> openFile(const QString& path);
    /// Creates a new archive (a file, or the tables in an empty PostgreSQL database) of kind "VQ3" or "VQ2"
    /// with version text such as "VQ 3.4.1", the standard point classes, the "SYSTEM" digital state set and
    /// the user "vqadmin" with `adminPassword` (empty unless given). An existing file or archive is never
    /// overwritten. All of it is stored at once: a creation cut short leaves no archive. A file is
    /// readable and writable by its owner only, or also by the owner's group when `shared`; `shared` is
    /// for files only, a database server's location refuses it.
    static std::shared_ptr<ArchiveServer> create(const QString& path, const QString& name,
                                                 const QString& kind, const QString& version,
                                                 bool shared = false, const QString& adminPassword = {});
    ~ArchiveServer() override;

    QString Name() const override { return m_name; }
    QString ServerKind() const override;
    SdkServerVersion ServerVersion() const override;
    /// The archive's location as it may be shown: its file, or its database's URI without a
    /// password.
    QString Location() const override;
    bool IsConnected() const override;
    void Open(const QString& user, const QString& password) override;
    void Close() override;
    QString UserName() const override { return m_user; }
    QStringList Users() const override;
    QStringList Groups() const override;
    SdkPointsPtr Points() override;
    SdkPointClassesPtr PointClasses() override;
    SdkDigitalStateSetsPtr DigitalStateSets() override;
    SdkPointListPtr GetPointsSQL(const QString& whereClause, const SdkNamedValues& extraTables,
                                 SdkNamedValues* status) override;
    void CancelSearch() override { cancelSearch(); }
    /// Reads the folded tag index from the prefix on, so a search costs `maxCount` rows whatever
    /// the archive holds; `*` and `?` are taken literally.
    QStringList TagsStartingWith(const QString& prefix, int maxCount) override;
    SdkPointPtr PointFromHandle(qint64 pointId, const QString& tag) override;
    /// A second batch while one is open raises.
    SdkWriteBatchPtr beginWriteBatch(const QString& kind, const QString& note) override;

    /// @{
    /// Point searches: every search stops at this limit (30 s unless set); cancelSearch() stops
    /// the running one and may be called from any thread once the server is open.
    void setSearchTimeLimit(std::chrono::milliseconds limit);
    void cancelSearch();
    bool isSearching() const;
    /// @}

    /// @{
    /// Administration, for the archive tool, seeding and tests. User names are unique after Unicode
    /// case folding; a name is found in its stored spelling first, so archives that hold two
    /// spellings from before keep both.
    void addGroup(const QString& group);
    void addUser(const QString& user, const QString& password, const QStringList& groups);
    void removeUser(const QString& user);
    void setPassword(const QString& user, const QString& password);
    void addToGroups(const QString& user, const QStringList& groups);
    /// @}
    /// False for a user whose password is empty.
    bool hasPassword(const QString& user) const;
    /// The groups `user` belongs to.
    QStringList groupsOf(const QString& user) const;
    /// @{
    /// Log-on throttling by user name, known or not (LogonThrottle says when a try is checked); a
    /// successful log-on or a new password starts over. A try that could fail is counted before it
    /// is checked, so an archive that cannot count it (read-only, full) refuses it unchecked.
    static constexpr int kFreeLogonFailures = 5;
    static constexpr int kMaxLogonWaitSeconds = 60;
    static constexpr int kLogonWindowSeconds = 2;
    /// The clock throttling goes by; tests set their own.
    void setLogonClock(std::shared_ptr<const LogonClock> clock) { m_clock = std::move(clock); }
    /// @}
    /// How long waits for another writer last before a write gives up (5 s unless set).
    void setBusyTimeout(std::chrono::milliseconds timeout);
    /// Adds a digital state set with its states in code order; a set needs a name and a state.
    void addDigitalSet(const QString& name, const QStringList& states);
    /// Archives an event of the point; the newest is its current value.
    void addArchivedValue(qint64 pointId, const ArchivedValue& value);
    /// The newest archived event; none when the point has no archived value.
    std::optional<ArchivedValue> currentValue(qint64 pointId);

    /// @{
    /// For the archive's own classes.
    const QString& path() const { return m_path; }  ///< the location: a file path or a URI
    /// The storage behind the server, opened on first use.
    ArchiveStorage& storage() const;
    const std::vector<ArchiveClassInfo>& classes() const;
    const ArchiveClassInfo* classById(qint64 id) const;
    const ArchiveClassInfo* classByName(const QString& name) const;
    /// @}
    /// Columns of the point table, one per stored attribute of any class.
    const QStringList& pointColumns() const;
    /// The header of the point with that tag, without regard to case; none when absent.
    std::optional<ArchivePointHeader> findPoint(const QString& tag) const;
    /// The header of the point with that id; an unknown id raises.
    ArchivePointHeader pointHeader(qint64 pointId) const;
    /// The attribute values of a point in its class's attribute order; refreshes the tag and
    /// point type of `header` from the same row.
    std::vector<Variant> readAttributes(ArchivePointHeader& header) const;
    /// The number of stored points.
    qint64 pointCount() const;
    /// Raises unless a user is logged on.
    void requireConnection(const QString& what) const;
    /// True when the archive has a digital state set of that name.
    bool isDigitalSet(const QString& name) const;

    /// @{
    /// The change history of the points (ArchiveServerHistory.cpp).
    SdkChangeHistoryPtr changeHistory() override;
    /// Removes the change sets older than `before` and returns how many; only members of the
    /// group "vqadmin" may.
    qint64 pruneHistory(const QDateTime& before);
    /// Whether writes of points are recorded: unless the archive's fact "history" is "off". Read
    /// once and kept, so a write with recording off costs nothing; the storage looks at the fact
    /// at every write as well, so an archive another program switched off records nothing.
    bool recordsHistory() const;
    /// Switches recording on or off for the archive; only members of the group "vqadmin" may.
    void setRecordsHistory(bool on);
    /// The program the history names as the writer: the application's name unless set.
    QString programName() const;
    void setProgramName(const QString& name) { m_program = name; }
    /// The change set collecting the point writes of a larger write, or none.
    ArchiveChangeRecorder* collectingChanges() const { return m_collecting; }
    void setCollectingChanges(ArchiveChangeRecorder* recorder) { m_collecting = recorder; }
    /// Before a point's write: begins the open write batch's transaction unless begun, so that
    /// the point's write is a savepoint in it; nothing without a batch.
    void joinWriteBatch();
    /// The open write batch, or none (ArchiveWriteBatch registers itself).
    void setWriteBatch(ArchiveWriteBatch* batch) { m_writeBatch = batch; }
    /// Raises unless the logged-on user is a member of the group "vqadmin".
    void requireAdministrator(const QString& what) const;
    /// @}

    /// Called after a successful log-on with the server's name.
    void setOpenedCallback(std::function<void(const QString&)> callback) { m_onOpened = std::move(callback); }

    /// Raises an Error with this server as its source.
    [[noreturn]] void raise(int32_t number, const QString& description) const;

private:
    ArchiveServer(QString name, QString path);
    void ensureOpen() const;
    void adopt(std::unique_ptr<ArchiveStorage> storage) const;
    void checkExtraTables(const SqlNode& clause, const SdkNamedValues& extraTables) const;
    QString storedUser(const QString& user) const;
    std::optional<ArchiveUserRecord> findUser(const QString& user) const;
    struct LogonVerdict;
    LogonVerdict claimLogonTry(const QString& user, std::optional<ArchiveUserRecord>& stored);
    void finishLogon(const ArchiveUserRecord& stored, const QString& password);

    QString m_name;
    QString m_path;
    QString m_user;
    std::function<void(const QString&)> m_onOpened;
    std::shared_ptr<const LogonClock> m_clock;
    QString m_program;
    ArchiveChangeRecorder* m_collecting = nullptr;
    ArchiveWriteBatch* m_writeBatch = nullptr;
    mutable std::optional<bool> m_recordsHistory;

    struct Loaded;
    mutable std::unique_ptr<Loaded> m_loaded;
};

}  // namespace vq
