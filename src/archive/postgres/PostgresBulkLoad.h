#pragma once

#include "archive/postgres/PostgresArchiveStorage.h"

#include <optional>

namespace vq {

// A bulk load into an archive on PostgreSQL: points and values go by COPY into temporary tables
// and move over in batches with one statement each, which skips taken tags with their values.
// The whole load is one write, under the archive's write lock.
class PostgresBulkLoad : public ArchiveStorage::BulkLoad {
public:
    explicit PostgresBulkLoad(PostgresArchiveStorage& storage);
    void addPoint(const ArchiveClassInfo& info, const QString& tagKey,
                  const std::vector<ArchiveStoredValue>& values, const std::vector<ArchivedValue>& archived,
                  qint64 pointId) override;
    Counts commit() override;

private:
    void flush();
    void copy(const QByteArray& sql, QByteArray& rows);

    PostgresArchiveStorage& m_storage;
    std::unique_ptr<ArchiveStorage::WriteScope> m_write;
    QStringList m_columns;
    QHash<QString, int> m_columnIndex;  // lower-case column name -> position in m_columns
    QByteArray m_columnList;
    QByteArray m_points;
    QByteArray m_values;
    qint64 m_pending = 0;
    std::optional<bool> m_keepsIds;
    Counts m_counts;
};

}  // namespace vq
