#include "archive/data/ArchiveSeeder.h"

#include "archive/data/SamplePointGenerator.h"
#include "archive/server/ArchiveServer.h"
#include "archive/sqlite/SqliteArchiveStorage.h"
#include "archive/storage/ArchiveStorage.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

namespace vq {

namespace {

// A seeded point's attribute values in its class's order: the class defaults, owned by the
// seeding user, with what the generator made.
class SeedValues {
public:
    SeedValues(const ArchiveClassInfo& info, const QString& user, const QString& group, const QDateTime& now)
        : m_info(info) {
        for (const AttributeDef& def : info.attributes) m_defaults.push_back(def.defaultValue);
        for (const char16_t* name : {u"PtOwner", u"DataOwner", u"Creator", u"Changer"})
            set(m_defaults, name, Variant(user));
        for (const char16_t* name : {u"PtGroup", u"DataGroup"}) set(m_defaults, name, Variant(group));
        for (const char16_t* name : {u"CreationDate", u"ChangeDate"}) set(m_defaults, name, Variant(now));
    }

    std::vector<Variant> of(const SamplePoint& point) const {
        std::vector<Variant> values = m_defaults;
        set(values, u"Tag", Variant(point.tag));
        set(values, u"PointType", Variant(point.pointType));
        set(values, u"Descriptor", Variant(point.descriptor));
        set(values, u"EngUnits", Variant(point.engUnits));
        set(values, u"PointSource", Variant(point.pointSource));
        set(values, u"Zero", Variant(point.zero));
        set(values, u"Span", Variant(point.span));
        set(values, u"TypicalValue", Variant(point.typicalValue));
        set(values, u"CompDev", Variant(point.compDev));
        set(values, u"ExcDev", Variant(point.excDev));
        set(values, u"DigitalSet", Variant(point.digitalSet));
        set(values, u"SourceTag", Variant(point.sourceTag));
        set(values, u"InstrumentTag", Variant(point.instrumentTag));
        if (!point.digitalSet.isEmpty()) set(values, u"DigNumber", Variant(point.span));
        return values;
    }

    std::vector<ArchiveStoredValue> stored(const std::vector<Variant>& values) const {
        std::vector<ArchiveStoredValue> stored;
        for (size_t i = 0; i < m_info.attributes.size(); ++i)
            if (!ArchiveCatalog::isComputedAttribute(m_info.attributes[i].name))
                stored.push_back({&m_info.attributes[i], &values[i]});
        return stored;
    }

private:
    void set(std::vector<Variant>& values, const char16_t* name, Variant value) const {
        const auto at = m_info.index.constFind(foldKey(QString::fromUtf16(name)));
        if (at != m_info.index.constEnd()) values[size_t(*at)] = std::move(value);
    }

    const ArchiveClassInfo& m_info;
    std::vector<Variant> m_defaults;
};

}  // namespace

ArchiveSeeder::Result ArchiveSeeder::seed(ArchiveServer& server, int64_t count, int valuesPerPoint,
                                          uint32_t seed, const std::function<void(int64_t)>& progress) {
    server.requireConnection(QStringLiteral("seed sample points"));
    for (const SampleDigitalSet& set : SamplePointGenerator::digitalSets())
        if (!server.isDigitalSet(set.name)) server.addDigitalSet(set.name, set.states);
    if (dynamic_cast<SqliteArchiveStorage*>(&server.storage()))
        return seedSqlite(server, count, valuesPerPoint, seed, progress);
    return seedInBulk(server, count, valuesPerPoint, seed, progress);
}

ArchiveSeeder::Result ArchiveSeeder::seedInBulk(ArchiveServer& server, int64_t count, int valuesPerPoint,
                                                uint32_t seed, const std::function<void(int64_t)>& progress) {
    ArchiveStorage& storage = server.storage();
    const QString user = server.UserName();
    const QString group = server.groupsOf(user).value(0);
    const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    std::vector<std::pair<QString, SeedValues>> classes;
    for (const ArchiveClassInfo& info : server.classes())
        classes.emplace_back(info.name, SeedValues(info, user, group, now));

    const SamplePointGenerator generator(server.ServerKind(), seed);
    const std::unique_ptr<ArchiveStorage::BulkLoad> load = storage.beginBulkLoad();
    const int64_t firstIndex = storage.findFact(QStringLiteral("seed_next")).value_or(QString()).toLongLong();
    const double nowSeconds = double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    for (int64_t i = 0; i < count; ++i) {
        const SamplePoint point = generator.point(firstIndex + i, valuesPerPoint);
        auto found = std::find_if(classes.begin(), classes.end(),
                                  [&](const auto& c) { return c.first == point.className; });
        if (found == classes.end())
            server.raise(sdkerr::ClassUnknown,
                         QStringLiteral("No point class \"%1\" to seed").arg(point.className));
        const std::vector<Variant> values = found->second.of(point);
        std::vector<ArchivedValue> archived;
        for (const SampleValue& value : point.values)
            archived.push_back({QDateTime::fromMSecsSinceEpoch(
                                    qint64((nowSeconds - value.secondsBeforeNow) * 1000.0), Qt::UTC),
                                value.value, value.status});
        load->addPoint(*server.classByName(point.className), foldKey(point.tag), found->second.stored(values),
                       archived);
        if (progress && (i + 1) % 100000 == 0) progress(i + 1);
    }
    storage.setFact(QStringLiteral("seed_next"), QString::number(firstIndex + count));
    const ArchiveStorage::BulkLoad::Counts counts = load->commit();
    return Result{counts.points, counts.values, counts.skipped};
}

}  // namespace vq
