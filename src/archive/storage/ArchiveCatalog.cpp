#include "archive/storage/ArchiveCatalog.h"

#include "archive/dialect/StoredDate.h"
#include "core/KeyedCollection.h"

#include <QSet>

namespace vq {

namespace {

using T = AttributeType;

AttributeDef attr(const char16_t* name, AttributeType type, Variant value) {
    return {QString::fromUtf16(name), type, std::move(value)};
}

Variant i16(int value) {
    return Variant(int16_t(value));
}
Variant i32(int value) {
    return Variant(int32_t(value));
}
Variant f32(double value) {
    return Variant(float(value));
}
Variant text(const char16_t* value) {
    return Variant(QString::fromUtf16(value));
}

// What a point not yet written reports: an empty owner and group stand for "not set",
// the dates for "never", the creator for "nobody".
std::vector<AttributeDef> auditAttributes() {
    return {
        attr(u"ChangeDate", T::Date, Variant(ArchiveCatalog::placeholderDate())),
        attr(u"Changer", T::String, text(u"0")),
        attr(u"CreationDate", T::Date, Variant(ArchiveCatalog::placeholderDate())),
        attr(u"Creator", T::String, text(u"0")),
    };
}

std::vector<AttributeDef> compressionAttributes() {
    return {
        attr(u"Archiving", T::Int16, i16(1)),      attr(u"Compressing", T::Int16, i16(1)),
        attr(u"CompDev", T::Single, f32(0.2)),     attr(u"CompDevPercent", T::Single, f32(0.2)),
        attr(u"CompMax", T::Int32, i32(28800)),    attr(u"CompMin", T::Int32, i32(0)),
        attr(u"ExcDev", T::Single, f32(0.1)),      attr(u"ExcDevPercent", T::Single, f32(0.1)),
        attr(u"ExcMax", T::Int32, i32(600)),       attr(u"ExcMin", T::Int32, i32(0)),
        attr(u"Scan", T::Int16, i16(1)),           attr(u"Shutdown", T::Int16, i16(1)),
        attr(u"Span", T::Single, f32(100)),        attr(u"Zero", T::Single, f32(0)),
        attr(u"TypicalValue", T::Single, f32(50)), attr(u"Step", T::Int16, i16(0)),
        attr(u"DisplayDigits", T::Int16, i16(-5)),
    };
}

std::vector<AttributeDef> vq3Base() {
    std::vector<AttributeDef> a = {
        attr(u"Tag", T::String, text(u"")),         attr(u"Descriptor", T::String, text(u"")),
        attr(u"ExDesc", T::String, text(u"")),      attr(u"EngUnits", T::String, text(u"")),
        attr(u"PointType", T::Int32, i32(12)),      attr(u"PointSource", T::String, text(u"L")),
        attr(u"PtClassName", T::String, text(u"")), attr(u"PtClassId", T::Int32, i32(0)),
        attr(u"PtClassRev", T::Int32, i32(0)),      attr(u"PointID", T::Int32, i32(0)),
        attr(u"RecNo", T::Int32, i32(0)),
    };
    for (AttributeDef& d : compressionAttributes()) a.push_back(d);
    for (AttributeDef d : {
             attr(u"DigitalSet", T::String, text(u"")),
             attr(u"DataAccess", T::String, text(u"o:rw g:r w:r")),
             attr(u"DataGroup", T::String, text(u"")),
             attr(u"DataOwner", T::String, text(u"")),
             attr(u"PtAccess", T::String, text(u"o:rw g:r w:r")),
             attr(u"PtGroup", T::String, text(u"")),
             attr(u"PtOwner", T::String, text(u"")),
         })
        a.push_back(d);
    for (AttributeDef& d : auditAttributes()) a.push_back(d);
    return a;
}

// Field wiring of a measurement, shared by the classic points of both server kinds.
std::vector<AttributeDef> fieldAttributes() {
    return {
        attr(u"Location1", T::Int32, i32(0)),    attr(u"Location2", T::Int32, i32(0)),
        attr(u"Location3", T::Int32, i32(0)),    attr(u"Location4", T::Int32, i32(1)),
        attr(u"Location5", T::Int32, i32(0)),    attr(u"InstrumentTag", T::String, text(u"")),
        attr(u"SquareRoot", T::Int32, i32(0)),   attr(u"Convers", T::Single, f32(1)),
        attr(u"FilterCode", T::Int16, i16(0)),   attr(u"TotalCode", T::Int16, i16(0)),
        attr(u"SrcPtID", T::Int32, i32(0)),      attr(u"Res", T::Int16, i16(0)),
        attr(u"DigStartCode", T::Int32, i32(0)), attr(u"DigNumber", T::Int32, i32(0)),
    };
}

std::vector<AttributeDef> vq3Classic() {
    std::vector<AttributeDef> a = fieldAttributes();
    // PointNumber and RecordType stay for points moved over from older servers.
    for (AttributeDef d : {attr(u"UserInt1", T::Int32, i32(0)), attr(u"UserReal1", T::Single, f32(0)),
                           attr(u"PointNumber", T::Int32, i32(0)), attr(u"RecordType", T::Int16, i16(0))})
        a.push_back(d);
    return a;
}

std::vector<AttributeDef> vq3Totalizer() {
    return {
        attr(u"SourceTag", T::String, text(u"")),
        attr(u"SchedType", T::String, text(u"T")),
        attr(u"Period", T::Int32, i32(86400)),
        attr(u"Offset", T::Int32, i32(0)),
        attr(u"Function", T::String, text(u"Total")),
        attr(u"Conversion", T::Single, f32(1)),
        attr(u"PctGood", T::Single, f32(85)),
        attr(u"Precision", T::String, text(u"S")),
        attr(u"Clamp", T::Int16, i16(0)),
    };
}

std::vector<AttributeDef> vq3Alarm() {
    return {
        attr(u"SourceTag", T::String, text(u"")), attr(u"AlarmGroup", T::String, text(u"")),
        attr(u"Priority", T::Int16, i16(1)),      attr(u"AutoAck", T::Int16, i16(0)),
        attr(u"Deadband", T::Single, f32(0)),     attr(u"Test1", T::String, text(u"")),
        attr(u"Test2", T::String, text(u"")),     attr(u"Action1", T::String, text(u"")),
        attr(u"Action2", T::String, text(u"")),
    };
}

std::vector<AttributeDef> vq2Classic() {
    std::vector<AttributeDef> a = {
        attr(u"Tag", T::String, text(u"")),    attr(u"Descriptor", T::String, text(u"")),
        attr(u"ExDesc", T::String, text(u"")), attr(u"EngUnits", T::String, text(u"")),
        attr(u"PointType", T::Int32, i32(12)), attr(u"PointSource", T::String, text(u"L")),
        attr(u"PointID", T::Int32, i32(0)),    attr(u"PointNumber", T::Int32, i32(0)),
        attr(u"RecNo", T::Int32, i32(0)),      attr(u"RecordType", T::Int16, i16(0)),
    };
    for (AttributeDef& d : compressionAttributes()) a.push_back(d);
    for (AttributeDef& d : fieldAttributes()) a.push_back(d);
    for (AttributeDef d : {
             attr(u"ScheduleType", T::String, text(u"")),
             attr(u"Period", T::Int32, i32(0)),
             attr(u"Clamp", T::Int16, i16(0)),
             attr(u"LongName", T::String, text(u"")),
             attr(u"ShortName", T::String, text(u"")),
             attr(u"DisplayGroup", T::String, text(u"")),
             attr(u"GroupSize", T::Int16, i16(0)),
         })
        a.push_back(d);
    for (AttributeDef& d : auditAttributes()) a.push_back(d);
    return a;
}

ArchiveClassInfo makeClass(const QString& name, std::vector<AttributeSetDef> sets) {
    ArchiveClassInfo info;
    info.name = name;
    info.sets = std::move(sets);
    return info;
}

}  // namespace

const AttributeDef* ArchiveClassInfo::find(const QString& attributeName) const {
    const auto it = index.constFind(foldKey(attributeName));
    return it == index.constEnd() ? nullptr : &attributes[size_t(it.value())];
}

void ArchiveClassInfo::buildUnion() {
    attributes.clear();
    index.clear();
    indexedSets.clear();
    userSetAttributes.clear();
    for (const AttributeSetDef& set : sets) {
        auto indexed = std::make_shared<IndexedAttributeSet>();
        indexed->set = set;
        for (int position = 0; position < int(set.attributes.size()); ++position)
            indexed->index.try_emplace(set.attributes[size_t(position)].name, position);
        indexedSets.push_back(std::move(indexed));
        for (const AttributeDef& def : set.attributes) {
            const QString key = foldKey(def.name);
            if (index.contains(key)) continue;
            index.insert(key, int(attributes.size()));
            if (!ArchiveCatalog::isSystemAttribute(def.name) &&
                !ArchiveCatalog::isComputedAttribute(def.name))
                userSetAttributes.push_back(int(attributes.size()));
            attributes.push_back(def);
        }
    }
}

std::vector<ArchiveClassInfo> ArchiveCatalog::standardClasses(const QString& kind) {
    std::vector<ArchiveClassInfo> classes;
    if (kind == u"VQ2") {
        classes.push_back(makeClass(QStringLiteral("classic"), {{QStringLiteral("classic"), vq2Classic()}}));
    } else {
        const AttributeSetDef base{QStringLiteral("base"), vq3Base()};
        classes.push_back(makeClass(QStringLiteral("base"), {base}));
        classes.push_back(
            makeClass(QStringLiteral("classic"), {base, {QStringLiteral("classic"), vq3Classic()}}));
        classes.push_back(
            makeClass(QStringLiteral("totalizer"), {base, {QStringLiteral("totalizer"), vq3Totalizer()}}));
        classes.push_back(makeClass(QStringLiteral("alarm"), {base, {QStringLiteral("alarm"), vq3Alarm()}}));
    }
    for (ArchiveClassInfo& info : classes) info.buildUnion();
    return classes;
}

bool ArchiveCatalog::isSystemAttribute(const QString& name) {
    static const QSet<QString> names = {u"changedate"_qs,  u"changer"_qs,    u"creationdate"_qs,
                                        u"creator"_qs,     u"pointid"_qs,    u"ptclassid"_qs,
                                        u"ptclassname"_qs, u"ptclassrev"_qs, u"recno"_qs,
                                        u"srcptid"_qs,     u"pointnumber"_qs};
    return names.contains(foldKey(name));
}

bool ArchiveCatalog::isComputedAttribute(const QString& name) {
    static const QSet<QString> names = {u"pointid"_qs,        u"recno"_qs,        u"pointnumber"_qs,
                                        u"ptclassid"_qs,      u"ptclassname"_qs,  u"ptclassrev"_qs,
                                        u"compdevpercent"_qs, u"excdevpercent"_qs};
    return names.contains(foldKey(name));
}

QString ArchiveCatalog::percentBase(const QString& name) {
    if (name.compare(u"CompDevPercent", Qt::CaseInsensitive) == 0) return QStringLiteral("CompDev");
    if (name.compare(u"ExcDevPercent", Qt::CaseInsensitive) == 0) return QStringLiteral("ExcDev");
    return {};
}

QString ArchiveCatalog::typeText(AttributeType type) {
    switch (type) {
        case T::String:
            return QStringLiteral("String");
        case T::Int16:
            return QStringLiteral("Int16");
        case T::Int32:
            return QStringLiteral("Int32");
        case T::Single:
            return QStringLiteral("Single");
        case T::Double:
            return QStringLiteral("Double");
        case T::Date:
            return QStringLiteral("Date");
    }
    return {};
}

AttributeType ArchiveCatalog::typeFromText(const QString& text) {
    for (AttributeType type : {T::String, T::Int16, T::Int32, T::Single, T::Double, T::Date})
        if (typeText(type) == text) return type;
    return T::String;
}

const char* ArchiveCatalog::sqlType(AttributeType type) {
    switch (type) {
        case T::Int16:
        case T::Int32:
            return "INTEGER";
        case T::Single:
        case T::Double:
            return "REAL";
        default:
            return "TEXT";
    }
}

QDateTime ArchiveCatalog::placeholderDate() {
    return Variant::zeroDate().addDays(1);
}

QStringList ArchiveCatalog::storedColumns(const std::vector<ArchiveClassInfo>& classes) {
    QStringList columns;
    for (const ArchiveClassInfo& info : classes)
        for (const AttributeDef& def : info.attributes)
            if (!isComputedAttribute(def.name) && !columns.contains(def.name, Qt::CaseInsensitive))
                columns.append(def.name);
    return columns;
}

QStringList ArchiveCatalog::attributeColumns(const QStringList& tableColumns,
                                             const std::vector<ArchiveClassInfo>& classes) {
    QStringList columns;
    for (const QString& column : tableColumns) {
        bool attribute = column == u"Tag" || column == u"PointType";
        for (const ArchiveClassInfo& info : classes) attribute = attribute || info.find(column);
        if (attribute) columns.append(column);
    }
    return columns;
}

QString ArchiveCatalog::defaultText(const AttributeDef& def) {
    if (def.type == AttributeType::Date) return StoredDate::text(def.defaultValue.toDateTime());
    return def.defaultValue.toString();
}

Variant ArchiveCatalog::storedDefault(const ArchiveClassInfo& info, const QString& name, AttributeType type,
                                      const QString& text) {
    if (name.compare(u"PtClassName", Qt::CaseInsensitive) == 0) return Variant(info.name);
    if (name.compare(u"PtClassId", Qt::CaseInsensitive) == 0) return Variant(int32_t(info.id));
    if (name.compare(u"PtClassRev", Qt::CaseInsensitive) == 0) return Variant(int32_t(info.revision));
    switch (type) {
        case AttributeType::Int16:
            return Variant(int16_t(text.toInt()));
        case AttributeType::Int32:
            return Variant(int32_t(text.toInt()));
        case AttributeType::Single:
            return Variant(text.toFloat());
        case AttributeType::Double:
            return Variant(text.toDouble());
        case AttributeType::Date:
            return Variant(StoredDate::fromText(text));
        case AttributeType::String:
            break;
    }
    return Variant(text);
}

QByteArray ArchiveCatalog::storedText(const Variant& value, AttributeType type) {
    switch (type) {
        case AttributeType::Int16:
        case AttributeType::Int32:
            return QByteArray::number(value.toInt32());
        case AttributeType::Single:
        case AttributeType::Double:
            return QByteArray::number(value.toDouble(), 'g', 17);
        case AttributeType::Date:
            return StoredDate::text(value.toDateTime()).toUtf8();
        case AttributeType::String:
            break;
    }
    return value.toString().toUtf8();
}

QStringList ArchiveCatalog::pointReadColumns(const ArchiveClassInfo& info,
                                             const std::function<QString(const QString&)>& column,
                                             std::vector<int>& positions) {
    QStringList selected = {QStringLiteral("\"Tag\""), QStringLiteral("\"PointType\"")};
    for (const AttributeDef& def : info.attributes) {
        if (isComputedAttribute(def.name)) {
            positions.push_back(-1);
        } else {
            positions.push_back(int(selected.size()));
            selected.append(column(def.name));
        }
    }
    return selected;
}

}  // namespace vq
