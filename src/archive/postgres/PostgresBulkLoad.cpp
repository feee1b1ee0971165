#include "archive/postgres/PostgresBulkLoad.h"

#include "archive/postgres/PostgresArchiveSchema.h"
#include "archive/storage/ArchiveCatalog.h"
#include "archive/storage/StoredText.h"
#include "sdk/SdkErrors.h"

namespace vq {

namespace {

constexpr qint64 kBatch = 20000;

// A field of COPY's text form: backslash, tab and line ends escaped.
void appendField(QByteArray& row, const QByteArray& text) {
    for (const char c : text) {
        switch (c) {
            case '\\':
                row += "\\\\";
                break;
            case '\t':
                row += "\\t";
                break;
            case '\n':
                row += "\\n";
                break;
            case '\r':
                row += "\\r";
                break;
            default:
                row += c;
        }
    }
}

}  // namespace

PostgresBulkLoad::PostgresBulkLoad(PostgresArchiveStorage& storage)
    : m_storage(storage), m_write(storage.beginWrite()), m_columns(storage.pointColumns()) {
    QStringList quoted;
    for (int i = 0; i < m_columns.size(); ++i) {
        m_columnIndex.insert(m_columns[i].toLower(), i);
        quoted << PostgresArchiveSchema::quoted(m_columns[i]);
    }
    m_columnList = "class_id, tag_key, " + quoted.join(u", ").toUtf8();
    m_storage.runScript(
        QStringLiteral("preparing a bulk load"),
        "CREATE TEMP TABLE vq_bulk_points AS SELECT point_id, " + m_columnList +
            " FROM points WITH NO DATA;"
            "CREATE TEMP TABLE vq_bulk_values(tag_key text COLLATE \"C\", time double precision,"
            " value text, value_is_number boolean, status integer)");
}

void PostgresBulkLoad::addPoint(const ArchiveClassInfo& info, const QString& tagKey,
                                const std::vector<ArchiveStoredValue>& values,
                                const std::vector<ArchivedValue>& archived, qint64 pointId) {
    StoredText::checkPoint(tagKey, values);
    StoredText::checkArchived(tagKey, archived);
    if (!m_keepsIds) m_keepsIds = pointId > 0;
    if (*m_keepsIds != (pointId > 0))
        throw Error(sdkerr::StorageFailed, QStringLiteral("VQArchive"),
                    QStringLiteral("A bulk load gives the ids of all its points or of none"));
    std::vector<const ArchiveStoredValue*> byColumn(size_t(m_columns.size()), nullptr);
    for (const ArchiveStoredValue& value : values) {
        const int column = m_columnIndex.value(value.def->name.toLower(), -1);
        if (column >= 0) byColumn[size_t(column)] = &value;
    }
    const QByteArray key = tagKey.toUtf8();
    m_points += (pointId > 0 ? QByteArray::number(pointId) : QByteArray("\\N")) + '\t';
    m_points += QByteArray::number(info.id) + '\t';
    appendField(m_points, key);
    for (const ArchiveStoredValue* value : byColumn) {
        m_points += '\t';
        if (value)
            appendField(m_points, ArchiveCatalog::storedText(*value->value, value->def->type));
        else
            m_points += "\\N";
    }
    m_points += '\n';
    for (const ArchivedValue& value : archived) {
        const bool number = value.value.isNumberType();
        appendField(m_values, key);
        m_values +=
            '\t' + QByteArray::number(double(value.time.toMSecsSinceEpoch()) / 1000.0, 'g', 17) + '\t';
        appendField(m_values, number ? QByteArray::number(value.value.toDouble(), 'g', 17)
                                     : value.value.toString().toUtf8());
        m_values += number ? "\tt\t" : "\tf\t";
        m_values += QByteArray::number(value.status) + '\n';
    }
    if (++m_pending >= kBatch) flush();
}

void PostgresBulkLoad::copy(const QByteArray& sql, QByteArray& rows) {
    try {
        m_storage.connection().beginCopy(sql);
        m_storage.connection().putCopyData(rows);
        m_storage.connection().endCopy();
    } catch (const pg::Failure& failure) {
        m_storage.raise(failure, QStringLiteral("loading points in bulk"));
    }
    rows.clear();
}

void PostgresBulkLoad::flush() {
    if (m_pending == 0) return;
    copy("COPY vq_bulk_points(point_id, " + m_columnList + ") FROM STDIN", m_points);
    const QByteArray columns = (m_keepsIds.value_or(false) ? "point_id, " : "") + m_columnList;
    copy("COPY vq_bulk_values FROM STDIN", m_values);
    const pg::Rows stored = m_storage.run(
        QStringLiteral("loading points in bulk"),
        "WITH added AS (INSERT INTO points(" + columns + ") SELECT " + columns +
            " FROM vq_bulk_points ON CONFLICT (tag_key) DO NOTHING RETURNING point_id, tag_key),"
            " archived AS (INSERT INTO archive(point_id, time, value, value_is_number, status)"
            " SELECT added.point_id, v.time, v.value, v.value_is_number, v.status FROM vq_bulk_values v"
            " JOIN added ON added.tag_key = v.tag_key ON CONFLICT (point_id, time) DO NOTHING RETURNING 1)"
            " SELECT (SELECT count(*) FROM added), (SELECT count(*) FROM archived)");
    m_counts.points += stored.integer(0, 0);
    m_counts.values += stored.integer(0, 1);
    m_counts.skipped += m_pending - stored.integer(0, 0);
    m_pending = 0;
    m_storage.run(QStringLiteral("loading points in bulk"), "TRUNCATE vq_bulk_points, vq_bulk_values");
}

ArchiveStorage::BulkLoad::Counts PostgresBulkLoad::commit() {
    flush();
    m_storage.runScript(QStringLiteral("finishing a bulk load"), "DROP TABLE vq_bulk_points, vq_bulk_values");
    if (m_keepsIds.value_or(false)) m_storage.continueIdsAfterPoints();
    m_write->commit();
    return m_counts;
}

}  // namespace vq
