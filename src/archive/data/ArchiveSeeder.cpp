#include "archive/data/ArchiveSeeder.h"

#include "archive/data/SamplePointGenerator.h"
#include "archive/server/ArchiveChangeRecorder.h"
#include "archive/server/ArchiveServer.h"
#include "archive/storage/ArchiveStorage.h"
#include "core/KeyedCollection.h"
#include "sdk/SdkErrors.h"

#include <deque>
#include <tuple>

namespace vq {

namespace {

// A seeded point's attribute values in its class's order: the class defaults, owned by the
// seeding user, with what the generator made. Where each generated field goes is found once.
class SeedValues {
public:
    SeedValues(const ArchiveClassInfo& info, const QString& user, const QString& group, const QDateTime& now)
        : m_info(info) {
        for (const AttributeDef& def : info.attributes) m_values.push_back(def.defaultValue);
        for (const char16_t* name : {u"PtOwner", u"DataOwner", u"Creator", u"Changer"})
            set(indexOf(name), Variant(user));
        for (const char16_t* name : {u"PtGroup", u"DataGroup"}) set(indexOf(name), Variant(group));
        for (const char16_t* name : {u"CreationDate", u"ChangeDate"}) set(indexOf(name), Variant(now));
        for (int field = 0; field < FieldCount; ++field) m_fields[field] = indexOf(kFieldNames[field]);
        for (size_t i = 0; i < info.attributes.size(); ++i)
            if (!ArchiveCatalog::isComputedAttribute(info.attributes[i].name))
                m_stored.push_back({&info.attributes[i], &m_values[i]});
    }
    SeedValues(const SeedValues&) = delete;

    const ArchiveClassInfo& info() const { return m_info; }

    // The stored values of the point, valid until the next call.
    const std::vector<ArchiveStoredValue>& of(const SamplePoint& point) {
        set(m_fields[Tag], Variant(point.tag));
        set(m_fields[PointType], Variant(point.pointType));
        set(m_fields[Descriptor], Variant(point.descriptor));
        set(m_fields[EngUnits], Variant(point.engUnits));
        set(m_fields[PointSource], Variant(point.pointSource));
        set(m_fields[Zero], Variant(point.zero));
        set(m_fields[Span], Variant(point.span));
        set(m_fields[TypicalValue], Variant(point.typicalValue));
        set(m_fields[CompDev], Variant(point.compDev));
        set(m_fields[ExcDev], Variant(point.excDev));
        set(m_fields[DigitalSet], Variant(point.digitalSet));
        set(m_fields[SourceTag], Variant(point.sourceTag));
        set(m_fields[InstrumentTag], Variant(point.instrumentTag));
        const int digNumber = m_fields[DigNumber];
        if (digNumber >= 0)
            m_values[size_t(digNumber)] = point.digitalSet.isEmpty()
                                              ? m_info.attributes[size_t(digNumber)].defaultValue
                                              : Variant(point.span);
        return m_stored;
    }

private:
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

    int indexOf(const char16_t* name) const {
        const auto at = m_info.index.constFind(foldKey(QString::fromUtf16(name)));
        return at == m_info.index.constEnd() ? -1 : int(*at);
    }
    void set(int index, Variant value) {
        if (index >= 0) m_values[size_t(index)] = std::move(value);
    }

    const ArchiveClassInfo& m_info;
    std::vector<Variant> m_values;
    int m_fields[FieldCount] = {};
    std::vector<ArchiveStoredValue> m_stored;
};

}  // namespace

ArchiveSeeder::Result ArchiveSeeder::seed(ArchiveServer& server, int64_t count, int valuesPerPoint,
                                          uint32_t seed, const std::function<void(int64_t)>& progress) {
    server.requireConnection(QStringLiteral("seed sample points"));
    for (const SampleDigitalSet& set : SamplePointGenerator::digitalSets())
        if (!server.isDigitalSet(set.name)) server.addDigitalSet(set.name, set.states);
    ArchiveStorage& storage = server.storage();
    const QString user = server.UserName();
    const QString group = server.groupsOf(user).value(0);
    const QDateTime now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch(), Qt::UTC);
    std::deque<std::pair<QString, SeedValues>> classes;
    for (const ArchiveClassInfo& info : server.classes())
        classes.emplace_back(std::piecewise_construct, std::forward_as_tuple(info.name),
                             std::forward_as_tuple(info, user, group, now));

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
        std::vector<ArchivedValue> archived;
        for (const SampleValue& value : point.values)
            archived.push_back({QDateTime::fromMSecsSinceEpoch(
                                    qint64((nowSeconds - value.secondsBeforeNow) * 1000.0), Qt::UTC),
                                value.value, value.status});
        load->addPoint(found->second.info(), foldKey(point.tag), found->second.of(point), archived);
        if (progress && (i + 1) % 100000 == 0) progress(i + 1);
    }
    storage.setFact(QStringLiteral("seed_next"), QString::number(firstIndex + count));
    // One change set for the run, without a row per attribute: recorded inside the load.
    ArchiveChangeRecorder(server, QStringLiteral("seed"),
                          QStringLiteral("%1 sample points from number %2").arg(count).arg(firstIndex))
        .record();
    const ArchiveStorage::BulkLoad::Counts counts = load->commit();
    return Result{counts.points, counts.values, counts.skipped};
}

}  // namespace vq
