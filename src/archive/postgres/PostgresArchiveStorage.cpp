#include "archive/postgres/PostgresArchiveStorage.h"

#include "archive/dialect/StoredDate.h"
#include "archive/postgres/PostgresArchiveSchema.h"
#include "archive/postgres/PostgresArchiveScope.h"
#include "archive/postgres/PostgresBulkLoad.h"
#include "archive/postgres/PostgresPointSearch.h"
#include "archive/postgres/PostgresSearchSchema.h"
#include "archive/storage/ArchiveMigrations.h"
#include "archive/storage/StoredText.h"
#include "sdk/SdkErrors.h"

#include <QScopeGuard>

#include <cmath>

namespace vq {

namespace {

const QString source = QStringLiteral("VQArchive");

using pg::Param;

Param storedParam(const ArchiveStoredValue& stored) {
    const Variant& value = *stored.value;
    switch (stored.def->type) {
        case AttributeType::Int16:
        case AttributeType::Int32:
            return Param::integer(value.toInt32());
        case AttributeType::Single:
        case AttributeType::Double:
            return Param::number(value.toDouble());
        case AttributeType::Date:
            return Param::text(StoredDate::text(value.toDateTime()));
        case AttributeType::String:
            break;
    }
    return Param::text(value.toString());
}

Variant storedValue(const pg::Rows& rows, int row, int column, AttributeType type) {
    switch (type) {
        case AttributeType::Int16:
            return Variant(int16_t(rows.integer(row, column)));
        case AttributeType::Int32:
            return Variant(int32_t(rows.integer(row, column)));
        case AttributeType::Single:
            return Variant(float(rows.number(row, column)));
        case AttributeType::Double:
            return Variant(rows.number(row, column));
        case AttributeType::Date:
            return Variant(StoredDate::fromText(rows.text(row, column)));
        case AttributeType::String:
            break;
    }
    return Variant(rows.text(row, column));
}

// A class attribute's value from a row: the class default where the row holds none.
Variant valueAt(const pg::Rows& rows, int row, int column, const AttributeDef& def) {
    if (column < 0 || rows.isNull(row, column)) return def.defaultValue;
    return storedValue(rows, row, column, def.type);
}

const QByteArray headerColumns = "SELECT point_id, \"Tag\", class_id, \"PointType\" FROM points";

ArchivePointHeader headerOf(const pg::Rows& rows, int row) {
    return ArchivePointHeader{rows.integer(row, 0), rows.text(row, 1), rows.integer(row, 2),
                              SdkPointType(rows.integer(row, 3))};
}

std::optional<ArchivePointHeader> firstHeader(const pg::Rows& rows) {
    if (rows.count() == 0) return std::nullopt;
    return headerOf(rows, 0);
}

QByteArray placeholders(int first, int count) {
    QStringList marks;
    for (int i = 0; i < count; ++i) marks << u'$' + QString::number(first + i);
    return marks.join(u", ").toUtf8();
}

}  // namespace

PostgresArchiveStorage::PostgresArchiveStorage(const QString& uri, Connect)
    : m_uri(uri), m_shown(pg::Connection::withoutPassword(uri)) {
    connect();
}

void PostgresArchiveStorage::connect() {
    try {
        m_connection = std::make_unique<pg::Connection>(m_uri);
    } catch (const pg::Failure& failure) {
        throw Error(
            sdkerr::ServerUnavailable, source,
            QStringLiteral("The archive \"%1\" cannot be reached: %2").arg(m_shown, failure.message()));
    }
    setBusyTimeout(m_busyTimeout);
}

// Between calls only: a write or a snapshot read in progress keeps its connection, lost or not.
void PostgresArchiveStorage::reconnectIfLost() {
    if (m_depth == 0 && m_snapshots == 0 && m_connection->isLost()) connect();
}

bool PostgresArchiveStorage::runsAsSuperuser() const {
    return m_connection->isSuperuser();
}

PostgresArchiveStorage::PostgresArchiveStorage(const QString& uri) : PostgresArchiveStorage(uri, Connect{}) {
    checkIsArchive();
    refuseUnfinished();
    load();
}

PostgresArchiveStorage::~PostgresArchiveStorage() = default;

void PostgresArchiveStorage::load() {
    fact(QStringLiteral("kind"));
    fact(QStringLiteral("version"));
    upgradeSchema();
    loadClasses();
    loadColumns();
    prepareClassQueries();
    m_search = std::make_unique<PostgresPointSearch>(m_uri, m_columns);
}

namespace {

// This engine's part of each step, by the schema version the step brings an archive to.
void runStep(pg::Connection& connection, const ArchiveMigrations::Step& step) {
    switch (step.version) {
        case 3:
            PostgresSearchSchema::install(connection);
            return;
        case 4:
            PostgresArchiveStorage::installHistory(connection);
            return;
        case 5:
            PostgresArchiveStorage::installPointChanges(connection);
            return;
    }
    throw Error(sdkerr::StorageFailed, QStringLiteral("PostgresArchiveStorage:upgrade"),
                ArchiveMigrations::missingStep("PostgreSQL", step));
}

}  // namespace

void PostgresArchiveStorage::upgradeSchema() {
    const QString key = QStringLiteral("schema");
    if (ArchiveMigrations::due(ArchiveMigrations::versionOf(findFact(key))).empty()) return;
    Scope write(*this);
    // Read again under the lock: another program may have upgraded the archive meanwhile.
    for (const ArchiveMigrations::Step* step :
         ArchiveMigrations::due(ArchiveMigrations::versionOf(findFact(key)))) {
        try {
            runStep(*m_connection, *step);
        } catch (const pg::Failure& failure) {
            raise(failure, QString::fromLatin1(step->what));
        }
    }
    setFact(key, QString::number(ArchiveMigrations::currentVersion()));
    write.commit();
}

// Undoes the transaction; a connection lost meanwhile has undone it already.
void PostgresArchiveStorage::rollBack() noexcept {
    try {
        m_connection->execScript("ROLLBACK");
    } catch (const pg::Failure&) {
    }
}

pg::Rows PostgresArchiveStorage::run(const QString& what, const QByteArray& sql, const pg::Params& params) {
    try {
        reconnectIfLost();
        return m_connection->exec(sql, params);
    } catch (const pg::Failure& failure) {
        raise(failure, what);
    }
}

void PostgresArchiveStorage::runScript(const QString& what, const QByteArray& sql) {
    try {
        reconnectIfLost();
        m_connection->execScript(sql);
    } catch (const pg::Failure& failure) {
        raise(failure, what);
    }
}

pg::Rows PostgresArchiveStorage::runPrepared(const QString& what, const QByteArray& name,
                                             const QByteArray& sql, const pg::Params& params) {
    try {
        reconnectIfLost();
        return m_connection->execPrepared(name, sql, params);
    } catch (const pg::Failure& failure) {
        raise(failure, what);
    }
}

void PostgresArchiveStorage::raise(const pg::Failure& failure, const QString& what) const {
    if (failure.isLockTimeout())
        throw Error(sdkerr::StorageFailed, source,
                    QStringLiteral("The archive \"%1\" is busy: another program has been writing to it for "
                                   "more than %2 s; nothing was changed, try again")
                        .arg(m_shown)
                        .arg(double(m_busyTimeout.count()) / 1000.0));
    if (failure.isConnectionLost())
        throw Error(sdkerr::ServerUnavailable, source,
                    QStringLiteral("The archive \"%1\" could not be reached while %2%3: %4")
                        .arg(m_shown, what, lostWriteNote(), failure.message()));
    throw Error(
        sdkerr::StorageFailed, source,
        QStringLiteral("The archive \"%1\" failed while %2: %3").arg(m_shown, what, failure.message()));
}

// What became of a write whose connection was lost: the server undoes an open transaction, but
// cannot say whether a commit it was sent arrived.
QString PostgresArchiveStorage::lostWriteNote() const {
    if (m_committing) return QStringLiteral("; whether the write was kept is unknown, read it back");
    if (m_depth > 0) return QStringLiteral("; nothing of this write was kept");
    return {};
}

QStringList PostgresArchiveStorage::texts(const QString& what, const QByteArray& sql,
                                          const pg::Params& params) {
    const pg::Rows rows = run(what, sql, params);
    QStringList values;
    for (int row = 0; row < rows.count(); ++row) values << rows.text(row, 0);
    return values;
}

void PostgresArchiveStorage::writeFacts(const ArchiveFacts& facts) {
    const std::pair<const char*, QString> rows[] = {
        {"name", facts.name},
        {"kind", facts.kind},
        {"version", facts.version},
        {"created", StoredDate::text(QDateTime::currentDateTimeUtc())}};
    for (const auto& [key, value] : rows)
        run(QStringLiteral("storing its facts"), "INSERT INTO server_info(key, value) VALUES($1, $2)",
            {Param::text(QString::fromLatin1(key)), Param::text(value)});
}

void PostgresArchiveStorage::writeClasses(std::vector<ArchiveClassInfo>& classes) {
    const QString what = QStringLiteral("storing its point classes");
    for (ArchiveClassInfo& info : classes) {
        info.id = run(what, "INSERT INTO point_classes(name, revision) VALUES($1, $2) RETURNING class_id",
                      {Param::text(info.name), Param::integer(info.revision)})
                      .integer(0, 0);
        for (size_t s = 0; s < info.sets.size(); ++s) {
            const AttributeSetDef& set = info.sets[s];
            for (size_t a = 0; a < set.attributes.size(); ++a) {
                const AttributeDef& def = set.attributes[a];
                runPrepared(
                    what, "vq_class_attribute",
                    "INSERT INTO class_attributes(class_id, set_position, set_name, position, name, type,"
                    " default_value) VALUES($1, $2, $3, $4, $5, $6, $7)",
                    {Param::integer(info.id), Param::integer(qint64(s)), Param::text(set.name),
                     Param::integer(qint64(a)), Param::text(def.name),
                     Param::text(ArchiveCatalog::typeText(def.type)),
                     Param::text(ArchiveCatalog::defaultText(def))});
            }
        }
    }
}

std::unique_ptr<ArchiveStorage::WriteScope> PostgresArchiveStorage::beginWrite() {
    return std::make_unique<Scope>(*this);
}

// PostgreSQL waits for ever at 0; a writer here never does.
void PostgresArchiveStorage::setBusyTimeout(std::chrono::milliseconds timeout) {
    m_busyTimeout = std::max(timeout, std::chrono::milliseconds(1));
    run(QStringLiteral("setting its lock timeout"), "SELECT set_config('lock_timeout', $1, false)",
        {Param::text(QString::number(m_busyTimeout.count()) + QStringLiteral("ms"))});
}

QString PostgresArchiveStorage::fact(const QString& key) {
    if (std::optional<QString> value = findFact(key)) return *value;
    throw Error(sdkerr::ServerUnavailable, source,
                QStringLiteral("The archive \"%1\" lacks its %2").arg(m_shown, key));
}

std::optional<QString> PostgresArchiveStorage::findFact(const QString& key) {
    const QStringList values = texts(QStringLiteral("reading its facts"),
                                     "SELECT value FROM server_info WHERE key = $1", {Param::text(key)});
    if (values.isEmpty()) return std::nullopt;
    return values.front();
}

void PostgresArchiveStorage::setFact(const QString& key, const QString& value) {
    StoredText::check(value, QStringLiteral("The archive's %1").arg(key));
    run(QStringLiteral("storing a fact"),
        "INSERT INTO server_info(key, value) VALUES($1, $2) ON CONFLICT (key) DO UPDATE SET value = "
        "excluded.value",
        {Param::text(key), Param::text(value)});
}

void PostgresArchiveStorage::loadClasses() {
    const QString what = QStringLiteral("reading its point classes");
    const pg::Rows classes =
        run(what, "SELECT class_id, name, revision FROM point_classes ORDER BY class_id");
    for (int row = 0; row < classes.count(); ++row) {
        ArchiveClassInfo info;
        info.id = classes.integer(row, 0);
        info.name = classes.text(row, 1);
        info.revision = int(classes.integer(row, 2));
        m_classes.push_back(std::move(info));
    }
    const pg::Rows attributes = run(what,
                                    "SELECT class_id, set_position, set_name, name, type, default_value FROM "
                                    "class_attributes ORDER BY class_id, set_position, position");
    for (ArchiveClassInfo& info : m_classes) {
        for (int row = 0; row < attributes.count(); ++row) {
            if (attributes.integer(row, 0) != info.id) continue;
            if (size_t(attributes.integer(row, 1)) >= info.sets.size())
                info.sets.push_back({attributes.text(row, 2), {}});
            const AttributeType type = ArchiveCatalog::typeFromText(attributes.text(row, 4));
            const QString name = attributes.text(row, 3);
            info.sets.back().attributes.push_back(
                {name, type, ArchiveCatalog::storedDefault(info, name, type, attributes.text(row, 5))});
        }
        info.buildUnion();
    }
}

void PostgresArchiveStorage::loadColumns() {
    const QStringList table = texts(QStringLiteral("reading its point table"),
                                    "SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                    "current_schema() AND table_name = 'points' ORDER BY ordinal_position");
    m_columns = ArchiveCatalog::attributeColumns(table, m_classes);
}

QString PostgresArchiveStorage::columnOf(const QString& attribute) const {
    for (const QString& column : m_columns)
        if (column.compare(attribute, Qt::CaseInsensitive) == 0) return column;
    return attribute;
}

void PostgresArchiveStorage::prepareClassQueries() {
    for (const ArchiveClassInfo& info : m_classes) {
        ClassQuery query;
        const QStringList selected = ArchiveCatalog::pointReadColumns(
            info, [this](const QString& name) { return PostgresArchiveSchema::quoted(columnOf(name)); },
            query.columns);
        query.name = "vq_read_point_" + QByteArray::number(info.id);
        query.sql = (QStringLiteral("SELECT ") + selected.join(u", ") +
                     QStringLiteral(" FROM points WHERE point_id = $1"))
                        .toUtf8();
        m_queries.insert(info.id, query);
    }
}

std::vector<ArchiveDigitalSetRecord> PostgresArchiveStorage::digitalSets() {
    const pg::Rows rows =
        run(QStringLiteral("reading its digital state sets"),
            "SELECT s.name, t.code, t.name FROM digital_sets s JOIN digital_states t ON t.set_id "
            "= s.set_id ORDER BY s.set_id, t.code");
    std::vector<ArchiveDigitalSetRecord> sets;
    for (int row = 0; row < rows.count(); ++row) {
        const QString setName = rows.text(row, 0);
        if (sets.empty() || sets.back().name != setName) sets.push_back({setName, {}});
        sets.back().states.emplace_back(rows.text(row, 2), int32_t(rows.integer(row, 1)));
    }
    return sets;
}

bool PostgresArchiveStorage::hasDigitalSet(const QString& name) {
    return run(QStringLiteral("reading its digital state sets"),
               "SELECT 1 FROM digital_sets WHERE lower(name) = lower($1)", {Param::text(name)})
               .count() > 0;
}

void PostgresArchiveStorage::addDigitalSet(const QString& name, const QStringList& states) {
    StoredText::check(name + states.join(QString()), QStringLiteral("The digital state set"));
    const QString what = QStringLiteral("adding a digital state set");
    Scope write(*this);
    const qint64 setId =
        run(what, "INSERT INTO digital_sets(name) VALUES($1) RETURNING set_id", {Param::text(name)})
            .integer(0, 0);
    for (int code = 0; code < states.size(); ++code)
        run(what, "INSERT INTO digital_states(set_id, code, name) VALUES($1, $2, $3)",
            {Param::integer(setId), Param::integer(code), Param::text(states[code])});
    write.commit();
}

void PostgresArchiveStorage::addArchivedValue(qint64 pointId, const ArchivedValue& value) {
    StoredText::checkArchived(QString::number(pointId), {value});
    const bool number = value.value.isNumberType();
    run(QStringLiteral("archiving a value"),
        "INSERT INTO archive(point_id, time, value, value_is_number, status) VALUES($1, $2, $3, $4, $5)"
        " ON CONFLICT (point_id, time) DO UPDATE SET value = excluded.value,"
        " value_is_number = excluded.value_is_number, status = excluded.status",
        {Param::integer(pointId), Param::number(double(value.time.toMSecsSinceEpoch()) / 1000.0),
         number ? Param::number(value.value.toDouble()) : Param::text(value.value.toString()),
         Param::text(number ? QStringLiteral("t") : QStringLiteral("f")), Param::integer(value.status)});
}

namespace {

ArchivedValue archivedValueOf(const pg::Rows& rows, int row) {
    ArchivedValue value;
    value.time = QDateTime::fromMSecsSinceEpoch(qint64(std::llround(rows.number(row, 0) * 1000.0)), Qt::UTC);
    value.value = rows.text(row, 2) == u"t" ? Variant(rows.number(row, 1)) : Variant(rows.text(row, 1));
    value.status = int32_t(rows.integer(row, 3));
    return value;
}

}  // namespace

std::optional<ArchivedValue> PostgresArchiveStorage::currentValue(qint64 pointId) {
    const pg::Rows rows =
        runPrepared(QStringLiteral("reading an archived value"), "vq_current_value",
                    "SELECT time, value, value_is_number, status FROM archive WHERE point_id = $1"
                    " ORDER BY time DESC LIMIT 1",
                    {Param::integer(pointId)});
    if (rows.count() == 0) return std::nullopt;
    return archivedValueOf(rows, 0);
}

std::vector<ArchivedValue> PostgresArchiveStorage::archivedValues(qint64 pointId) {
    const pg::Rows rows =
        runPrepared(QStringLiteral("reading archived values"), "vq_archived_values",
                    "SELECT time, value, value_is_number, status FROM archive WHERE point_id = $1"
                    " ORDER BY time",
                    {Param::integer(pointId)});
    std::vector<ArchivedValue> values;
    for (int row = 0; row < rows.count(); ++row) values.push_back(archivedValueOf(rows, row));
    return values;
}

std::optional<ArchivePointHeader> PostgresArchiveStorage::findPoint(const QString& tagKey) {
    // No tag holds a NUL, and the server would look for the key cut there.
    if (StoredText::hasNul(tagKey)) return std::nullopt;
    return firstHeader(runPrepared(QStringLiteral("finding a point"), "vq_find_point",
                                   headerColumns + " WHERE tag_key = $1", {Param::text(tagKey)}));
}

std::optional<ArchivePointHeader> PostgresArchiveStorage::pointHeader(qint64 pointId) {
    return firstHeader(runPrepared(QStringLiteral("reading a point"), "vq_point_header",
                                   headerColumns + " WHERE point_id = $1", {Param::integer(pointId)}));
}

std::vector<ArchivePointHeader> PostgresArchiveStorage::pointHeaders(int limit) {
    const pg::Rows rows =
        run(QStringLiteral("listing its points"), headerColumns + " ORDER BY tag_key LIMIT $1",
            {limit < 0 ? Param::null() : Param::integer(limit)});
    std::vector<ArchivePointHeader> headers;
    headers.reserve(size_t(rows.count()));
    for (int row = 0; row < rows.count(); ++row) headers.push_back(headerOf(rows, row));
    return headers;
}

QStringList PostgresArchiveStorage::tagsStartingWith(const QString& keyPrefix, int maxCount) {
    if (StoredText::hasNul(keyPrefix)) return {};
    const pg::Rows rows =
        runPrepared(QStringLiteral("completing a tag"), "vq_tags_from",
                    "SELECT tag_key, \"Tag\" FROM points WHERE tag_key >= $1 ORDER BY tag_key LIMIT $2",
                    {Param::text(keyPrefix), Param::integer(maxCount)});
    QStringList tags;
    for (int row = 0; row < rows.count() && rows.text(row, 0).startsWith(keyPrefix); ++row)
        tags << rows.text(row, 1);
    return tags;
}

qint64 PostgresArchiveStorage::pointCount() {
    return run(QStringLiteral("counting its points"), "SELECT count(*) FROM points").integer(0, 0);
}

bool PostgresArchiveStorage::readPoint(const ArchiveClassInfo& info, ArchivePointHeader& header,
                                       std::vector<Variant>& values) {
    const ClassQuery& query = *m_queries.constFind(info.id);
    const pg::Rows rows =
        runPrepared(QStringLiteral("reading a point"), query.name, query.sql, {Param::integer(header.id)});
    if (rows.count() == 0) return false;
    header.tag = rows.text(0, 0);
    header.pointType = SdkPointType(rows.integer(0, 1));
    values.reserve(info.attributes.size());
    for (size_t i = 0; i < info.attributes.size(); ++i) {
        values.push_back(valueAt(rows, 0, query.columns[i], info.attributes[i]));
    }
    return true;
}

qint64 PostgresArchiveStorage::insertPoint(const ArchiveClassInfo& info, const QString& tagKey,
                                           const std::vector<ArchiveStoredValue>& values, qint64 pointId) {
    StoredText::checkPoint(tagKey, values);
    QStringList columns = {QStringLiteral("class_id"), QStringLiteral("tag_key")};
    pg::Params params = {Param::integer(info.id), Param::text(tagKey)};
    if (pointId > 0) {
        columns.append(QStringLiteral("point_id"));
        params.push_back(Param::integer(pointId));
    }
    for (const ArchiveStoredValue& value : values) {
        columns.append(PostgresArchiveSchema::quoted(columnOf(value.def->name)));
        params.push_back(storedParam(value));
    }
    const QByteArray sql = "INSERT INTO points(" + columns.join(u", ").toUtf8() + ") VALUES(" +
                           placeholders(1, int(params.size())) + ") RETURNING point_id";
    Scope write(*this);
    const qint64 id = run(QStringLiteral("storing a new point"), sql, params).integer(0, 0);
    if (pointId > 0) continueIdsAfterPoints();
    write.commit();
    return id;
}

void PostgresArchiveStorage::updatePoint(qint64 pointId, const QString& tagKey,
                                         const std::vector<ArchiveStoredValue>& values) {
    StoredText::checkPoint(tagKey, values);
    QStringList assignments = {QStringLiteral("tag_key = $1")};
    pg::Params params = {Param::text(tagKey)};
    for (const ArchiveStoredValue& value : values) {
        params.push_back(storedParam(value));
        assignments.append(PostgresArchiveSchema::quoted(columnOf(value.def->name)) + QStringLiteral(" = $") +
                           QString::number(params.size()));
    }
    params.push_back(Param::integer(pointId));
    const QByteArray sql = "UPDATE points SET " + assignments.join(u", ").toUtf8() + " WHERE point_id = $" +
                           QByteArray::number(qsizetype(params.size()));
    Scope write(*this);
    run(QStringLiteral("storing a point"), sql, params);
    write.commit();
}

// Points stored under ids of their own leave the id sequence behind: new points go on after them.
void PostgresArchiveStorage::continueIdsAfterPoints() {
    run(QStringLiteral("numbering its points"),
        "SELECT setval(pg_get_serial_sequence('points', 'point_id'), max(point_id)) FROM points HAVING "
        "count(*) > 0");
}

void PostgresArchiveStorage::scanPoints(const std::function<void(const ScannedPoint&)>& visit) {
    if (m_depth > 0) return scanBatches(visit);
    reconnectIfLost();
    struct Snapshot {
        int& count;
        ~Snapshot() { --count; }
    } snapshot{++m_snapshots};
    run(QStringLiteral("reading its points"), "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    try {
        scanBatches(visit);
    } catch (...) {
        rollBack();
        throw;
    }
    run(QStringLiteral("reading its points"), "COMMIT");
}

// Batches in tag order, each with the archived values of its points; a point's class attributes
// are found in the row of all columns by name.
void PostgresArchiveStorage::scanBatches(const std::function<void(const ScannedPoint&)>& visit) {
    constexpr int kBatch = 5000;
    QStringList selected;
    for (const QString& column : m_columns) selected << PostgresArchiveSchema::quoted(column);
    const QByteArray select =
        "SELECT point_id, class_id, tag_key, " + selected.join(u", ").toUtf8() + " FROM points";
    QHash<qint64, std::vector<int>> columnsOf;
    for (const ArchiveClassInfo& info : m_classes) {
        std::vector<int>& columns = columnsOf[info.id];
        for (const AttributeDef& def : info.attributes)
            columns.push_back(ArchiveCatalog::isComputedAttribute(def.name)
                                  ? -1
                                  : 3 + int(m_columns.indexOf(columnOf(def.name))));
    }
    const int tagColumn = 3 + int(m_columns.indexOf(QStringLiteral("Tag")));
    const int typeColumn = 3 + int(m_columns.indexOf(QStringLiteral("PointType")));
    const QString what = QStringLiteral("reading its points");
    std::optional<QString> after;
    for (;;) {
        const pg::Rows rows =
            after ? run(what, select + " WHERE tag_key > $1 ORDER BY tag_key LIMIT $2",
                        {Param::text(*after), Param::integer(kBatch)})
                  : run(what, select + " ORDER BY tag_key LIMIT $1", {Param::integer(kBatch)});
        if (rows.count() == 0) return;
        QStringList ids;
        for (int row = 0; row < rows.count(); ++row) ids << rows.text(row, 0);
        const pg::Rows values = run(what,
                                    "SELECT time, value, value_is_number, status, point_id FROM archive"
                                    " WHERE point_id = ANY($1::bigint[]) ORDER BY point_id, time",
                                    {Param::text(u'{' + ids.join(u',') + u'}')});
        QHash<qint64, std::vector<ArchivedValue>> archived;
        for (int row = 0; row < values.count(); ++row)
            archived[values.integer(row, 4)].push_back(archivedValueOf(values, row));
        for (int row = 0; row < rows.count(); ++row) {
            ScannedPoint point;
            point.header = {rows.integer(row, 0), rows.text(row, tagColumn), rows.integer(row, 1),
                            SdkPointType(rows.integer(row, typeColumn))};
            for (const ArchiveClassInfo& info : m_classes)
                if (info.id == point.header.classId) point.info = &info;
            if (!point.info)
                throw Error(sdkerr::StorageFailed, source,
                            QStringLiteral("The point \"%1\" is of a class the archive does not have (%2)")
                                .arg(point.header.tag)
                                .arg(point.header.classId));
            const std::vector<int>& columns = columnsOf[point.header.classId];
            for (size_t i = 0; i < point.info->attributes.size(); ++i)
                point.values.push_back(valueAt(rows, row, columns[i], point.info->attributes[i]));
            point.archived = archived.take(point.header.id);
            visit(point);
        }
        after = rows.text(rows.count() - 1, 2);
        if (rows.count() < kBatch) return;
    }
}

std::unique_ptr<ArchiveStorage::BulkLoad> PostgresArchiveStorage::beginBulkLoad() {
    return std::make_unique<PostgresBulkLoad>(*this);
}

PointSearchEngine& PostgresArchiveStorage::pointSearch() {
    return *m_search;
}

}  // namespace vq
