#include "archive/data/ArchiveSeeder.h"

#include "archive/data/SamplePointGenerator.h"
#include "archive/server/ArchiveDigitalStateSets.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteDatabase.h"
#include "archive/sqlite/SqliteSearchSchema.h"
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

// One seeding run: the prepared inserts, the class templates and where each generated field goes.
class SeedRun {
public:
    SeedRun(ArchiveServer& server, int valuesPerPoint, uint32_t seed)
        : m_server(server),
          m_db(server.database()),
          m_generator(server.ServerKind(), seed),
          m_valuesPerPoint(valuesPerPoint),
          m_nowSeconds(double(QDateTime::currentMSecsSinceEpoch()) / 1000.0) {
        const QString user = server.UserName();
        const QString group = server.groupsOf(user).value(0);
        const QString now = ArchiveServer::dateText(QDateTime::currentDateTimeUtc());
        // One insert per class naming only its own columns: a row then costs no work for the
        // columns of other classes.
        for (const ArchiveClassInfo& info : server.classes()) {
            QStringList columns;
            for (const AttributeDef& def : info.attributes)
                if (!ArchiveCatalog::isComputedAttribute(def.name)) columns.append(def.name);
            ClassTemplate& t = m_classes[info.name];
            t.id = info.id;
            t.row = templateFor(info, columns, user, group, now);
            QStringList quoted;
            for (const QString& column : columns) quoted.append(u'"' + column + u'"');
            t.sql = QStringLiteral("INSERT OR IGNORE INTO points(class_id, tag_key, %1) VALUES(?, ?%2)")
                        .arg(quoted.join(u", "), QStringLiteral(", ?").repeated(columns.size()))
                        .toUtf8();
            for (int field = 0; field < FieldCount; ++field)
                t.fieldColumn[field] = int(columns.indexOf(QString::fromUtf16(kFieldNames[field])));
        }
    }

    void run(int64_t firstIndex, int64_t count, ArchiveSeeder::Result& result,
             const std::function<void(int64_t)>& progress) {
        std::vector<SqliteStatement> inserts;
        for (ClassTemplate& t : m_classes) {
            inserts.push_back(m_db.prepare(t.sql));
            t.stmt = inserts.back().handle();
        }
        auto insertValue = m_db.statement(
            "INSERT OR REPLACE INTO archive(point_id, time, value, status) VALUES(?, ?, ?, ?)");
        for (int64_t i = 0; i < count; ++i) {
            const SamplePoint point = m_generator.point(firstIndex + i, m_valuesPerPoint);
            if (!insert(point)) {
                ++result.skipped;
                continue;
            }
            ++result.points;
            result.values += insertValues(insertValue.handle(), m_db.lastInsertId(), point);
            if (progress && (i + 1) % 100000 == 0) progress(i + 1);
        }
    }

private:
    static constexpr int kFirstColumn = 3;  // class_id and tag_key come first
    // The attributes the generator fills, in the order of kFieldNames.
    enum Field {
        Tag,
        PointType,
        Descriptor,
        EngUnits,
        PointSource,
        Zero,
        Span,
        TypicalValue,
        CompDev,
        ExcDev,
        DigitalSet,
        SourceTag,
        InstrumentTag,
        DigNumber,
        FieldCount
    };
    static constexpr const char16_t* kFieldNames[FieldCount] = {
        u"Tag",        u"PointType", u"Descriptor",    u"EngUnits", u"PointSource",
        u"Zero",       u"Span",      u"TypicalValue",  u"CompDev",  u"ExcDev",
        u"DigitalSet", u"SourceTag", u"InstrumentTag", u"DigNumber"};
    struct ClassTemplate {
        qint64 id = 0;
        std::vector<SeedColumn> row;
        QByteArray sql;
        int fieldColumn[FieldCount] = {};
        sqlite3_stmt* stmt = nullptr;
    };

    // False when the tag was already there.
    bool insert(const SamplePoint& point) {
        const auto found = m_classes.constFind(point.className);
        if (found == m_classes.constEnd())
            m_server.raise(sdkerr::ClassUnknown,
                           QStringLiteral("No point class \"%1\" to seed").arg(point.className));
        const std::vector<SeedColumn>& row = found->row;
        sqlite3_stmt* stmt = found->stmt;
        sqlite3_bind_int64(stmt, 1, found->id);
        bindText(stmt, 2, foldKey(point.tag));
        for (size_t c = 0; c < row.size(); ++c) bindColumn(stmt, int(c) + kFirstColumn, row[c]);
        auto position = [&](Field field) {
            const int column = found->fieldColumn[field];
            return column >= 0 && row[size_t(column)].inClass ? column + kFirstColumn : -1;
        };
        auto setText = [&](Field field, const QString& text) {
            if (const int at = position(field); at > 0) bindText(stmt, at, text);
        };
        auto setNumber = [&](Field field, double number) {
            if (const int at = position(field); at > 0) sqlite3_bind_double(stmt, at, number);
        };
        setText(Tag, point.tag);
        setNumber(PointType, point.pointType);
        setText(Descriptor, point.descriptor);
        setText(EngUnits, point.engUnits);
        setText(PointSource, point.pointSource);
        setNumber(Zero, point.zero);
        setNumber(Span, point.span);
        setNumber(TypicalValue, point.typicalValue);
        setNumber(CompDev, point.compDev);
        setNumber(ExcDev, point.excDev);
        setText(DigitalSet, point.digitalSet);
        setText(SourceTag, point.sourceTag);
        setText(InstrumentTag, point.instrumentTag);
        if (!point.digitalSet.isEmpty()) setNumber(DigNumber, point.span);
        if (sqlite3_step(stmt) != SQLITE_DONE) m_db.raise(QStringLiteral("seeding points"));
        sqlite3_reset(stmt);
        return m_db.changes() > 0;
    }

    int insertValues(sqlite3_stmt* stmt, qint64 pointId, const SamplePoint& point) {
        for (const SampleValue& value : point.values) {
            sqlite3_bind_int64(stmt, 1, pointId);
            sqlite3_bind_double(stmt, 2, m_nowSeconds - value.secondsBeforeNow);
            if (value.value.isNumberType())
                sqlite3_bind_double(stmt, 3, value.value.toDouble());
            else
                bindText(stmt, 3, value.value.toString());
            sqlite3_bind_int64(stmt, 4, value.status);
            if (sqlite3_step(stmt) != SQLITE_DONE) m_db.raise(QStringLiteral("seeding archived values"));
            sqlite3_reset(stmt);
        }
        return int(point.values.size());
    }

    ArchiveServer& m_server;
    SqliteDatabase& m_db;
    const SamplePointGenerator m_generator;
    const int m_valuesPerPoint;
    const double m_nowSeconds;
    QHash<QString, ClassTemplate> m_classes;
};

// A bulk load works with a larger page cache, so that the tag index stays in memory while
// it grows; the connection gets its usual cache back however the load ends.
class BulkLoadCache {
public:
    explicit BulkLoadCache(SqliteDatabase& db) : m_db(db) {
        m_db.execute(QStringLiteral("PRAGMA cache_size = -131072"));
    }
    ~BulkLoadCache() {
        try {
            m_db.execute(QStringLiteral("PRAGMA cache_size = -2000"));
        } catch (...) {
        }
    }

private:
    SqliteDatabase& m_db;
};

}  // namespace

ArchiveSeeder::Result ArchiveSeeder::seedSqlite(ArchiveServer& server, int64_t count, int valuesPerPoint,
                                                uint32_t seed, const std::function<void(int64_t)>& progress) {
    SqliteDatabase& db = server.database();
    int64_t firstIndex = 0;
    {
        auto next = db.statement("SELECT value FROM server_info WHERE key = 'seed_next'");
        if (next.next()) firstIndex = next.text(0).toLongLong();
    }
    SeedRun run(server, valuesPerPoint, seed);
    Result result;
    BulkLoadCache cache(db);
    SqliteTransaction transaction(db);
    const qint64 lastId = SqliteSearchSchema::pauseIndexing(db);
    run.run(firstIndex, count, result, progress);
    SqliteSearchSchema::resumeIndexing(db, lastId);
    db.statement("INSERT OR REPLACE INTO server_info(key, value) VALUES('seed_next', ?)")
        .bind(1, QString::number(firstIndex + count))
        .run();
    transaction.commit();
    return result;
}

}  // namespace vq
