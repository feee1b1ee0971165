#pragma once

#include "archive/ArchiveExport.h"

#include "archive/postgres/PgConnection.h"
#include "archive/storage/ArchiveStorage.h"

#include <QHash>

namespace vq {

// An archive kept in a PostgreSQL database, on one connection. Writers take turns through one
// advisory lock per archive, so a point is read, checked and written with nobody else writing in
// between, as on an SQLite file; readers never wait.
class VQ_ARCHIVE_EXPORT PostgresArchiveStorage : public ArchiveStorage {
public:
    // Opens the archive in the database of `uri`; a database without one raises.
    explicit PostgresArchiveStorage(const QString& uri);
    ~PostgresArchiveStorage() override;
    // Makes the archive's tables in the database of `uri` in one transaction; a database that
    // already holds any of them is refused and left as it was. `shared` has no meaning here:
    // who may use the database is the server's business. `fill` writes the first content inside
    // the same transaction.
    static std::unique_ptr<PostgresArchiveStorage> create(
        const QString& uri, const ArchiveFacts& facts, std::vector<ArchiveClassInfo> classes,
        const std::function<void(ArchiveStorage&)>& fill = {});

    // Makes an archive as create() does that open() refuses until markComplete(): a copy builds
    // there, so a copy that never ends leaves no archive behind. One copy at a time builds into a
    // database; a later copy drops the tables of one that never completed.
    static std::unique_ptr<PostgresArchiveStorage> createUnfinished(const QString& uri,
                                                                    const ArchiveFacts& facts,
                                                                    std::vector<ArchiveClassInfo> classes);
    // Removes the mark of an unfinished archive: from now on it opens as any other.
    void markComplete();

    // The location as it may be shown: without its password.
    const QString& shownLocation() const { return m_shown; }
    bool runsAsSuperuser() const override;

    std::unique_ptr<WriteScope> beginWrite() override;
    void setBusyTimeout(std::chrono::milliseconds timeout) override;

    QString fact(const QString& key) override;
    std::optional<QString> findFact(const QString& key) override;
    void setFact(const QString& key, const QString& value) override;

    std::vector<ArchiveClassInfo> classes() override { return m_classes; }
    QStringList pointColumns() override { return m_columns; }

    std::optional<ArchiveUserRecord> findUser(const QString& name) override;
    QStringList users() override;
    QStringList groups() override;
    std::optional<QString> findGroup(const QString& name) override;
    QStringList groupsOf(const QString& user) override;
    void addGroup(const QString& name) override;
    void addUser(const QString& name, const QByteArray& hash, const QByteArray& salt) override;
    void addMembership(const QString& user, const QString& group) override;
    void removeUser(const QString& name) override;
    void setPasswordHash(const QString& user, const QByteArray& hash,
                         const std::optional<QByteArray>& onlyIfHash) override;
    qint64 pointsOwnedBy(const QString& user) override;

    std::optional<ArchiveLogonFailures> logonFailures(const QString& user) override;
    void recordLogonFailure(const QString& user, double when) override;
    void clearLogonFailures(const QString& user) override;
    void setLogonFailures(const QString& user, const ArchiveLogonFailures& failures) override;

    std::vector<ArchiveDigitalSetRecord> digitalSets() override;
    bool hasDigitalSet(const QString& name) override;
    void addDigitalSet(const QString& name, const QStringList& states) override;

    void addArchivedValue(qint64 pointId, const ArchivedValue& value) override;
    std::optional<ArchivedValue> currentValue(qint64 pointId) override;
    std::vector<ArchivedValue> archivedValues(qint64 pointId) override;

    std::optional<ArchivePointHeader> findPoint(const QString& tagKey) override;
    std::optional<ArchivePointHeader> pointHeader(qint64 pointId) override;
    std::vector<ArchivePointHeader> pointHeaders(int limit) override;
    QStringList tagsStartingWith(const QString& keyPrefix, int maxCount) override;
    qint64 pointCount() override;
    bool readPoint(const ArchiveClassInfo& info, ArchivePointHeader& header,
                   std::vector<Variant>& values) override;
    qint64 insertPoint(const ArchiveClassInfo& info, const QString& tagKey,
                       const std::vector<ArchiveStoredValue>& values, qint64 pointId) override;
    void updatePoint(qint64 pointId, const QString& tagKey,
                     const std::vector<ArchiveStoredValue>& values) override;

    // Reads the points in batches of thousands, under one snapshot.
    void scanPoints(const std::function<void(const ScannedPoint&)>& visit) override;
    // Streams the points into temporary tables with COPY and moves them over in batches.
    std::unique_ptr<BulkLoad> beginBulkLoad() override;

    qint64 recordChangeSet(const ArchiveChangeRecord& record) override;
    qint64 recordChangeSetNow(const ArchiveChangeRecord& record) override;
    std::vector<ArchiveChangeRecord> changeSets(const ArchiveHistoryQuery& query) override;
    qint64 pruneChangeSets(const QDateTime& before) override;
    // The history's first tables, and the one that replaces its rows per attribute change, for
    // the schema steps that add them.
    static void installHistory(pg::Connection& connection);
    static void installPointChanges(pg::Connection& connection);

    PointSearchEngine& pointSearch() override;

    // Moves the point id sequence past the highest id stored.
    void continueIdsAfterPoints();
    // The connection, for the bulk load's COPY.
    pg::Connection& connection() { return *m_connection; }
    // The column of the point table that holds the attribute (names compare without case).
    QString columnOf(const QString& attribute) const;

    // Runs one statement, a failure raised as an archive Error that says `what` was being done.
    pg::Rows run(const QString& what, const QByteArray& sql, const pg::Params& params = {});
    // Runs statements without parameters, separated by semicolons.
    void runScript(const QString& what, const QByteArray& sql);
    pg::Rows runPrepared(const QString& what, const QByteArray& name, const QByteArray& sql,
                         const pg::Params& params);
    // A failure of the server as the archive reports it: lost connections make the archive
    // unavailable, lock waits over the busy timeout make it busy, the rest are storage failures.
    [[noreturn]] void raise(const pg::Failure& failure, const QString& what) const;

private:
    struct Connect {};
    PostgresArchiveStorage(const QString& uri, Connect);
    class Scope;
    void connect();
    // Makes the connection anew when the server has dropped it, between calls only.
    void reconnectIfLost();
    QString lostWriteNote() const;
    void refuseTemplate();
    void load();
    void checkIsArchive();
    void refuseExistingTables();
    void refuseUnfinished();
    void takeCopyLock();
    void dropUnfinishedCopy();
    void writeFacts(const ArchiveFacts& facts);
    void writeClasses(std::vector<ArchiveClassInfo>& classes);
    void loadClasses();
    void loadColumns();
    // Runs the ArchiveMigrations steps the archive lacks, under the write lock; writes nothing
    // to an archive that is current, so a user who may only read it can open it.
    void upgradeSchema();
    void prepareClassQueries();
    void rollBack() noexcept;
    void scanBatches(const std::function<void(const ScannedPoint&)>& visit);
    // Change sets recorded inside a write go to the server with its COMMIT, in the same round
    // trip; each is kept with the depth of the write it was recorded in, and dropped with it.
    struct DeferredRecord {
        int depth;
        pg::Params params;
    };
    void commitWithRecords();
    void sendDeferredRecords();
    static pg::Params changeSetParams(const ArchiveChangeRecord& record);
    qint64 sendChangeSet(const pg::Params& params, qint64 givenId);
    void keepDeferredRecords(int depth);
    void dropDeferredRecords(int depth);
    QStringList texts(const QString& what, const QByteArray& sql, const pg::Params& params = {});

    QString m_uri;
    QString m_shown;
    std::unique_ptr<pg::Connection> m_connection;
    std::unique_ptr<PointSearchEngine> m_search;  // on a connection of its own
    std::chrono::milliseconds m_busyTimeout{5000};
    int m_depth = 0;
    int m_snapshots = 0;        // scans reading under one snapshot, outside a write
    bool m_committing = false;  // the outermost write's COMMIT is on its way
    std::vector<DeferredRecord> m_deferredRecords;
    std::vector<ArchiveClassInfo> m_classes;
    QStringList m_columns;
    // Per class: the prepared SELECT of its stored attributes, and for each class attribute its
    // column in that SELECT (-1 for computed ones).
    struct ClassQuery {
        QByteArray name;
        QByteArray sql;
        std::vector<int> columns;
    };
    QHash<qint64, ClassQuery> m_queries;
};

}  // namespace vq
