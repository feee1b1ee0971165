#include "ArchiveSeeder.h"

#include "ArchiveDatabase.h"
#include "ArchiveDigitalStateSets.h"
#include "ArchiveServer.h"
#include "SamplePointGenerator.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

#include <sqlite3.h>

namespace vq {

namespace {

// One column of the point table as the seeder fills it: the class default, kept as bytes so
// that binding it costs no conversion per row.
struct SeedColumn {
    QString name;
    AttributeType type = AttributeType::String;
    bool inClass = false;
    QByteArray text;
    double number = 0;
};

void bindColumn(sqlite3_stmt* stmt, int position, const SeedColumn& column) {
    if (!column.inClass) {
        sqlite3_bind_null(stmt, position);
    } else if (column.type == AttributeType::String || column.type == AttributeType::Date) {
        sqlite3_bind_text(stmt, position, column.text.constData(), int(column.text.size()), SQLITE_STATIC);
    } else if (column.type == AttributeType::Single || column.type == AttributeType::Double) {
        sqlite3_bind_double(stmt, position, column.number);
    } else {
        sqlite3_bind_int64(stmt, position, qint64(column.number));
    }
}

void bindText(sqlite3_stmt* stmt, int position, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, position, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

std::vector<SeedColumn> templateFor(const ArchiveClassInfo& info, const QStringList& columns,
                                    const QString& user, const QString& group, const QString& now) {
    std::vector<SeedColumn> row;
    for (const QString& name : columns) {
        SeedColumn column;
        column.name = name;
        if (const AttributeDef* def = info.find(name)) {
            column.inClass = true;
            column.type = def->type;
            Variant value = def->defaultValue;
            if (name == u"PtOwner" || name == u"DataOwner" || name == u"Creator" || name == u"Changer")
                value = user;
            if (name == u"PtGroup" || name == u"DataGroup") value = group;
            if (name == u"CreationDate" || name == u"ChangeDate")
                column.text = now.toUtf8();
            else if (def->type == AttributeType::Date)
                column.text = ArchiveServer::dateText(value.toDateTime()).toUtf8();
            else
                column.text = value.toString().toUtf8();
            column.number = value.toDouble();
        }
        row.push_back(column);
    }
    return row;
}

}  // namespace

ArchiveSeeder::Result ArchiveSeeder::seed(ArchiveServer& server, int64_t count, int valuesPerPoint,
                                          uint32_t seed, const std::function<void(int64_t)>& progress) {
    server.requireConnection(QStringLiteral("seed sample points"));
    const QString kind = server.ServerKind();
    for (const SampleDigitalSet& set : SamplePointGenerator::digitalSets())
        if (!server.isDigitalSet(set.name)) server.addDigitalSet(set.name, set.states);

    ArchiveDatabase& db = server.database();
    const QStringList& columns = server.pointColumns();
    const QString user = server.UserName();
    const QStringList groups = server.groupsOf(user);
    const QString now = ArchiveServer::dateText(QDateTime::currentDateTimeUtc());
    QHash<QString, std::vector<SeedColumn>> templates;
    QHash<QString, qint64> classIds;
    for (const ArchiveClassInfo& info : server.classes()) {
        templates.insert(info.name, templateFor(info, columns, user, groups.value(0), now));
        classIds.insert(info.name, info.id);
    }
    QHash<QString, int> columnIndex;
    for (int i = 0; i < columns.size(); ++i) columnIndex.insert(columns[i], i);

    QStringList quotedColumns;
    for (const QString& column : columns) quotedColumns.append(u'"' + column + u'"');
    const QByteArray insertSql =
        QStringLiteral("INSERT OR IGNORE INTO points(class_id, tag_key, %1) VALUES(?, ?%2)")
            .arg(quotedColumns.join(u", "), QStringLiteral(", ?").repeated(columns.size()))
            .toUtf8();
    const SamplePointGenerator generator(kind, seed);
    const double nowSeconds = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;

    Result result;
    int64_t firstIndex = 0;
    {
        auto next = db.statement("SELECT value FROM server_info WHERE key = 'seed_next'");
        if (next.next()) firstIndex = next.text(0).toLongLong();
    }
    db.execute(QStringLiteral("PRAGMA cache_size = -131072; PRAGMA synchronous = OFF"));
    // The bulk load may skip syncs, but however it ends the connection goes back to durable
    // commits: later writes through the same server must survive a crash.
    struct SettingsRestorer {
        ArchiveDatabase& db;
        ~SettingsRestorer() {
            try {
                db.execute(QStringLiteral("PRAGMA cache_size = -2000; PRAGMA synchronous = FULL"));
            } catch (...) {
            }
        }
    } restorer{db};
    ArchiveTransaction transaction(db);
    auto insertPoint = db.prepare(insertSql);
    auto insertValue =
        db.statement("INSERT OR REPLACE INTO archive(point_id, time, value, status) VALUES(?, ?, ?, ?)");
    sqlite3_stmt* stmt = insertPoint.handle();
    sqlite3_stmt* valueStmt = insertValue.handle();
    const int offset = 3;  // class_id and tag_key come first
    auto columnOf = [&](const char16_t* name) { return columnIndex.value(QString::fromUtf16(name), -1); };
    const int tagColumn = columnOf(u"Tag"), typeColumn = columnOf(u"PointType"),
              descColumn = columnOf(u"Descriptor"), unitsColumn = columnOf(u"EngUnits"),
              sourceColumn = columnOf(u"PointSource"), zeroColumn = columnOf(u"Zero"),
              spanColumn = columnOf(u"Span"), typicalColumn = columnOf(u"TypicalValue"),
              compColumn = columnOf(u"CompDev"), excColumn = columnOf(u"ExcDev"),
              setColumn = columnOf(u"DigitalSet"), sourceTagColumn = columnOf(u"SourceTag"),
              instrumentColumn = columnOf(u"InstrumentTag"), digNumberColumn = columnOf(u"DigNumber");

    for (int64_t i = 0; i < count; ++i) {
        const SamplePoint point = generator.point(firstIndex + i, valuesPerPoint);
        const auto found = templates.constFind(point.className);
        if (found == templates.constEnd())
            server.raise(sdkerr::ClassUnknown,
                         QStringLiteral("No point class \"%1\" to seed").arg(point.className));
        const std::vector<SeedColumn>& row = found.value();
        sqlite3_bind_int64(stmt, 1, classIds.value(point.className));
        bindText(stmt, 2, foldKey(point.tag));
        for (size_t c = 0; c < row.size(); ++c) bindColumn(stmt, int(c) + offset, row[c]);
        auto setText = [&](int column, const QString& text) {
            if (column >= 0 && row[size_t(column)].inClass) bindText(stmt, column + offset, text);
        };
        auto setNumber = [&](int column, double number) {
            if (column >= 0 && row[size_t(column)].inClass)
                sqlite3_bind_double(stmt, column + offset, number);
        };
        setText(tagColumn, point.tag);
        if (typeColumn >= 0) sqlite3_bind_int64(stmt, typeColumn + offset, point.pointType);
        setText(descColumn, point.descriptor);
        setText(unitsColumn, point.engUnits);
        setText(sourceColumn, point.pointSource);
        setNumber(zeroColumn, point.zero);
        setNumber(spanColumn, point.span);
        setNumber(typicalColumn, point.typicalValue);
        setNumber(compColumn, point.compDev);
        setNumber(excColumn, point.excDev);
        setText(setColumn, point.digitalSet);
        setText(sourceTagColumn, point.sourceTag);
        setText(instrumentColumn, point.instrumentTag);
        if (!point.digitalSet.isEmpty()) setNumber(digNumberColumn, point.span);
        if (sqlite3_step(stmt) != SQLITE_DONE) db.raise(QStringLiteral("seeding points"));
        sqlite3_reset(stmt);
        if (db.changes() == 0) {
            ++result.skipped;
            continue;
        }
        const qint64 pointId = db.lastInsertId();
        ++result.points;
        for (const SampleValue& value : point.values) {
            sqlite3_bind_int64(valueStmt, 1, pointId);
            sqlite3_bind_double(valueStmt, 2, nowSeconds - value.secondsBeforeNow);
            if (value.value.isNumberType())
                sqlite3_bind_double(valueStmt, 3, value.value.toDouble());
            else
                bindText(valueStmt, 3, value.value.toString());
            sqlite3_bind_int64(valueStmt, 4, value.status);
            if (sqlite3_step(valueStmt) != SQLITE_DONE) db.raise(QStringLiteral("seeding archived values"));
            sqlite3_reset(valueStmt);
            ++result.values;
        }
        if (progress && (i + 1) % 100000 == 0) progress(i + 1);
    }
    db.statement("INSERT OR REPLACE INTO server_info(key, value) VALUES('seed_next', ?)")
        .bind(1, QString::number(firstIndex + count))
        .run();
    transaction.commit();
    return result;
}

}  // namespace vq
