#pragma once

#include "archive/ArchiveExport.h"

#include "archive/storage/ArchiveStorage.h"

#include <QHash>

namespace vq {

class SqliteDatabase;

// An archive kept in one SQLite file: the only place that speaks SQL to it, besides the search
// (SqlitePointSearch, SqliteDialectTranslator) and the search schema it keeps up.
class VQ_ARCHIVE_EXPORT SqliteArchiveStorage : public ArchiveStorage {
public:
    // Opens an existing archive file; a missing or foreign file raises.
    explicit SqliteArchiveStorage(const QString& path);
    ~SqliteArchiveStorage() override;
    static std::unique_ptr<SqliteArchiveStorage> create(const QString& path, const ArchiveFacts& facts,
                                                        std::vector<ArchiveClassInfo> classes, bool shared);

    // The connection, for tests and benchmarks that look at the file itself.
    SqliteDatabase& database() { return *m_db; }
    // The connection behind a storage that must be an SQLite archive's; another engine's raises.
    static SqliteDatabase& databaseOf(ArchiveStorage& storage);

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

    // Prepared inserts kept for the whole load, the search index filled once at its end.
    std::unique_ptr<BulkLoad> beginBulkLoad() override;

    qint64 recordChangeSet(const ArchiveChangeRecord& record) override;
    std::vector<ArchiveChangeRecord> changeSets(const ArchiveHistoryQuery& query) override;
    qint64 pruneChangeSets(const QDateTime& before) override;
    // The history's first tables, and those that replace its rows per attribute change, for the
    // schema steps that add them.
    static void installHistory(SqliteDatabase& db);
    static void installPackedHistory(SqliteDatabase& db);

    PointSearchEngine& pointSearch() override { return *m_search; }

private:
    void checkIsArchive();
    void loadClasses();
    void loadColumns();
    void prepareClassQueries();
    bool hasTable(const char* table);

    std::unique_ptr<SqliteDatabase> m_db;
    std::vector<ArchiveClassInfo> m_classes;
    QStringList m_columns;
    // Per class: the SELECT of its stored attributes, and for each class attribute its column in
    // that SELECT (-1 for computed ones).
    struct ClassQuery {
        QByteArray sql;
        std::vector<int> columns;
    };
    QHash<qint64, ClassQuery> m_queries;
    std::unique_ptr<PointSearchEngine> m_search;
};

}  // namespace vq
