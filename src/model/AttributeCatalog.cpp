#include "AttributeCatalog.h"

#include "CaseInsensitiveMap.h"
#include "sdk/SdkServer.h"

#include <algorithm>
#include <vector>

namespace vq {

namespace {

struct DependencyRow {
    const char16_t* attribute;
    AttributeDependencies dependencies;
};

// Dependents are updated in the order they are listed here.
const DependencyRow dependencyRows[] = {
    {u"CompDev", {QStringLiteral("CompDevPercent"), {}, {}, {}}},
    {u"ExcDev", {QStringLiteral("ExcDevPercent"), {}, {}, {}}},
    {u"PointType",
     {{},
      {QStringLiteral("CompDev"), QStringLiteral("ExcDev"), QStringLiteral("Span"), QStringLiteral("Zero"),
       QStringLiteral("DigitalSet")},
      {QStringLiteral("TypicalValue")},
      {}}},
    {u"Span",
     {{},
      {},
      {QStringLiteral("CompDev"), QStringLiteral("ExcDev"), QStringLiteral("TypicalValue")},
      {QStringLiteral("CompDev"), QStringLiteral("ExcDev")}}},
    {u"Zero", {{}, {}, {QStringLiteral("TypicalValue")}, {}}},
};

enum class ReadOnlyWhen { EditingPoint, Digital, NotDigital, Always };

struct ReadOnlyRow {
    std::initializer_list<const char16_t*> attributes;
    ReadOnlyWhen when;
};

const ReadOnlyRow readOnlyRows[] = {
    {{u"Tag", u"PointType", u"PtClassName"}, ReadOnlyWhen::EditingPoint},
    {{u"CompDev", u"CompDevPercent", u"ExcDev", u"ExcDevPercent", u"Span", u"Zero"}, ReadOnlyWhen::Digital},
    {{u"DigitalSet"}, ReadOnlyWhen::NotDigital},
    {{u"ChangeDate", u"Changer", u"CreationDate", u"Creator", u"PtClassID", u"PtClassRev", u"RecNo",
      u"SrcPtID", u"PointID"},
     ReadOnlyWhen::Always},
};

enum class Replacement { ServerUser, AdminGroup, Blank };

struct PlaceholderRow {
    std::initializer_list<const char16_t*> attributes;
    const char16_t* loaded;
    Replacement replacement;
};

const PlaceholderRow placeholderRows[] = {
    {{u"DataOwner", u"PtOwner"}, u"", Replacement::ServerUser},
    {{u"DataGroup", u"PtGroup"}, u"", Replacement::AdminGroup},
    {{u"ChangeDate", u"CreationDate"}, u"12/31/1899", Replacement::Blank},
    {{u"Creator", u"Changer"}, u"0", Replacement::Blank},
};

const CaseInsensitiveNames twinNames = {u"CompDevPercent", u"ExcDevPercent"};
const CaseInsensitiveNames hiddenNames = {u"PtClassID", u"PtClassRev"};
const CaseInsensitiveNames systemNames = {u"ChangeDate", u"Changer",   u"CreationDate", u"Creator",
                                          u"PointID",    u"PtClassId", u"PtClassName",  u"PtClassRev",
                                          u"RecNo",      u"SrcPtID"};
const CaseInsensitiveMap<QString> displayNames = [] {
    CaseInsensitiveMap<QString> map;
    map.insert(QStringLiteral("Tag"), QStringLiteral("(Tag)"));
    return map;
}();

template <typename Row>
CaseInsensitiveMap<const Row*> indexRows(const Row* begin, const Row* end) {
    CaseInsensitiveMap<const Row*> map;
    for (const Row* row = begin; row != end; ++row) map.insert(row->attributes, row);
    return map;
}

bool holds(ReadOnlyWhen when, enumPointMode mode, const Variant& pointType) {
    switch (when) {
        case ReadOnlyWhen::EditingPoint:
            return mode == modeEditPoint;
        case ReadOnlyWhen::Digital:
            return AttributeCatalog::isDigital(pointType);
        case ReadOnlyWhen::NotDigital:
            return !AttributeCatalog::isDigital(pointType);
        case ReadOnlyWhen::Always:
            return true;
    }
    return false;
}

}  // namespace

bool AttributeCatalog::isTwinName(const QString& name) {
    return twinNames.contains(name);
}

const AttributeDependencies* AttributeCatalog::dependencies(const QString& name) {
    static const CaseInsensitiveMap<const AttributeDependencies*> map = [] {
        CaseInsensitiveMap<const AttributeDependencies*> built;
        for (const DependencyRow& row : dependencyRows)
            built.insert(QString::fromUtf16(row.attribute), &row.dependencies);
        return built;
    }();
    const AttributeDependencies* const* found = map.find(name);
    return found ? *found : nullptr;
}

// Attribute names are nearly always plain ASCII, for which lower case needs no tables.
QString AttributeCatalog::defaultDisplayName(const QString& name) {
    if (const QString* special = displayNames.find(name)) return *special;
    QString lower(name.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(lower.data());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 128) return name.toLower();
        *out++ = (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
    }
    return lower;
}

bool AttributeCatalog::isVisible(const QString& name) {
    return !hiddenNames.contains(name);
}

bool AttributeCatalog::isSystemAttribute(const QString& name) {
    return systemNames.contains(name);
}

bool AttributeCatalog::isReadOnly(const QString& name, enumPointMode mode, const Variant& pointType) {
    // An attribute may stand in more than one row; each of its rows is asked.
    static const CaseInsensitiveMap<std::vector<ReadOnlyWhen>> conditions = [] {
        CaseInsensitiveMap<std::vector<ReadOnlyWhen>> byName;
        for (const ReadOnlyRow& row : readOnlyRows) {
            for (const char16_t* attribute : row.attributes) {
                const QString key = QString::fromUtf16(attribute);
                std::vector<ReadOnlyWhen> whens =
                    byName.find(key) ? *byName.find(key) : std::vector<ReadOnlyWhen>();
                whens.push_back(row.when);
                byName.assign(key, whens);
            }
        }
        return byName;
    }();
    const std::vector<ReadOnlyWhen>* whens = conditions.find(name);
    if (!whens) return false;
    return std::any_of(whens->begin(), whens->end(),
                       [&](ReadOnlyWhen when) { return holds(when, mode, pointType); });
}

std::optional<Variant> AttributeCatalog::placeholderReplacement(const QString& name, const Variant& loaded,
                                                                const SdkServer* server) {
    static const auto rows = indexRows(std::begin(placeholderRows), std::end(placeholderRows));
    const PlaceholderRow* const* row = rows.find(name);
    if (!row || loaded.toString().trimmed() != QStringView((*row)->loaded)) return std::nullopt;
    switch ((*row)->replacement) {
        case Replacement::ServerUser:
            return Variant(server ? server->UserName() : QString());
        case Replacement::AdminGroup:
            return Variant(QStringLiteral("vqadmin"));
        case Replacement::Blank:
            return Variant(QString());
    }
    return std::nullopt;
}

bool AttributeCatalog::isDigital(const Variant& pointType) {
    return pointType.toString().trimmed() == u"101";
}

}  // namespace vq
