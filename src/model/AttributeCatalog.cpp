#include "AttributeCatalog.h"

#include "CaseInsensitiveMap.h"
#include "PropSheetCategories.h"
#include "ValidationRules.h"
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

using Names = std::initializer_list<const char16_t*>;

const Names twinNames = {u"CompDevPercent", u"ExcDevPercent"};
const Names hiddenNames = {u"PtClassID", u"PtClassRev"};
const Names systemNames = {u"ChangeDate", u"Changer",     u"CreationDate", u"Creator", u"PointID",
                           u"PtClassId",  u"PtClassName", u"PtClassRev",   u"RecNo",   u"SrcPtID"};
const std::pair<const char16_t*, const char16_t*> displayNames[] = {{u"Tag", u"(Tag)"}};

// Attribute names are nearly always plain ASCII, for which lower case needs no tables.
QString lowerCase(const QString& name) {
    QString lower(name.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(lower.data());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u >= 128) return name.toLower();
        *out++ = (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
    }
    return lower;
}

bool holds(ReadOnlyWhen when, enumPointMode mode, const std::function<Variant()>& pointType) {
    switch (when) {
        case ReadOnlyWhen::EditingPoint:
            return mode == modeEditPoint;
        case ReadOnlyWhen::Digital:
            return AttributeCatalog::isDigital(pointType());
        case ReadOnlyWhen::NotDigital:
            return !AttributeCatalog::isDigital(pointType());
        case ReadOnlyWhen::Always:
            return true;
    }
    return false;
}

}  // namespace

// What the tables above say about one attribute, gathered so that an entry looks its name up once.
struct AttributeFacts {
    bool twin = false;
    bool hidden = false;
    bool system = false;
    QString displayName;
    int styleRow = -1;                      // in ValidationRules' table
    const QString* ruleCategory = nullptr;  // from PropSheetCategories' rules
    const AttributeDependencies* dependencies = nullptr;
    std::vector<ReadOnlyWhen> readOnlyWhen;  // an attribute may stand in more than one row
    const PlaceholderRow* placeholder = nullptr;
};

namespace {

CaseInsensitiveMap<AttributeFacts> gatherFacts() {
    std::vector<std::pair<QString, AttributeFacts>> facts;
    const auto factsOf = [&facts](const QString& name) -> AttributeFacts& {
        for (auto& [known, fact] : facts)
            if (known.compare(name, Qt::CaseInsensitive) == 0) return fact;
        return facts.emplace_back(name, AttributeFacts()).second;
    };
    const auto mark = [&](Names names, bool AttributeFacts::*flag) {
        for (const char16_t* name : names) factsOf(QString::fromUtf16(name)).*flag = true;
    };
    mark(twinNames, &AttributeFacts::twin);
    mark(hiddenNames, &AttributeFacts::hidden);
    mark(systemNames, &AttributeFacts::system);
    for (const auto& [name, displayName] : displayNames)
        factsOf(QString::fromUtf16(name)).displayName = QString::fromUtf16(displayName);
    for (const DependencyRow& row : dependencyRows) {
        AttributeFacts& fact = factsOf(QString::fromUtf16(row.attribute));
        if (!fact.dependencies) fact.dependencies = &row.dependencies;
    }
    for (const ReadOnlyRow& row : readOnlyRows)
        for (const char16_t* name : row.attributes)
            factsOf(QString::fromUtf16(name)).readOnlyWhen.push_back(row.when);
    for (const PlaceholderRow& row : placeholderRows) {
        for (const char16_t* name : row.attributes) {
            AttributeFacts& fact = factsOf(QString::fromUtf16(name));
            if (!fact.placeholder) fact.placeholder = &row;
        }
    }
    // The style and category tables stay in the files that own them; what they say about an
    // attribute is gathered here too, so that an entry looks its name up once.
    for (const QString& name : ValidationRules::styledAttributes()) factsOf(name);
    for (const QString& name : PropSheetCategories::ruleAttributes()) factsOf(name);
    CaseInsensitiveMap<AttributeFacts> byName;
    for (auto& [name, fact] : facts) {
        fact.styleRow = ValidationRules::styleRowOf(name);
        fact.ruleCategory = PropSheetCategories::ruleCategoryOf(name);
        if (fact.displayName.isNull()) fact.displayName = lowerCase(name);
        byName.insert(name, fact);
    }
    return byName;
}

}  // namespace

const AttributeFacts* AttributeCatalog::facts(const QString& name) {
    static const CaseInsensitiveMap<AttributeFacts> byName = gatherFacts();
    return byName.find(name);
}

bool AttributeCatalog::isTwinName(const AttributeFacts* facts) {
    return facts && facts->twin;
}

const AttributeDependencies* AttributeCatalog::dependencies(const AttributeFacts* facts) {
    return facts ? facts->dependencies : nullptr;
}

// Every name the style and category tables hold has facts, so no facts means neither.
int AttributeCatalog::styleRow(const AttributeFacts* facts) {
    return facts ? facts->styleRow : -1;
}

const QString* AttributeCatalog::ruleCategory(const AttributeFacts* facts) {
    return facts ? facts->ruleCategory : nullptr;
}

// A name the tables know has its display name made once, when they are gathered.
QString AttributeCatalog::defaultDisplayName(const QString& name, const AttributeFacts* facts) {
    return facts ? facts->displayName : lowerCase(name);
}

bool AttributeCatalog::isVisible(const AttributeFacts* facts) {
    return !facts || !facts->hidden;
}

bool AttributeCatalog::isSystemAttribute(const AttributeFacts* facts) {
    return facts && facts->system;
}

bool AttributeCatalog::hasReadOnlyRule(const AttributeFacts* facts) {
    return facts && !facts->readOnlyWhen.empty();
}

bool AttributeCatalog::isReadOnly(const AttributeFacts* facts, enumPointMode mode,
                                  const std::function<Variant()>& pointType) {
    if (!facts) return false;
    return std::any_of(facts->readOnlyWhen.begin(), facts->readOnlyWhen.end(),
                       [&](ReadOnlyWhen when) { return holds(when, mode, pointType); });
}

bool AttributeCatalog::hasPlaceholder(const AttributeFacts* facts) {
    return facts && facts->placeholder;
}

std::optional<Variant> AttributeCatalog::placeholderReplacement(const AttributeFacts* facts,
                                                                const Variant& loaded,
                                                                const SdkServer* server) {
    const PlaceholderRow* row = facts ? facts->placeholder : nullptr;
    if (!row || loaded.toString().trimmed() != QStringView(row->loaded)) return std::nullopt;
    switch (row->replacement) {
        case Replacement::ServerUser:
            return Variant(server ? server->UserName() : QString());
        case Replacement::AdminGroup:
            return Variant(QStringLiteral("vqadmin"));
        case Replacement::Blank:
            return Variant(QString());
    }
    return std::nullopt;
}

// A whole number reads "101" exactly when it is 101, without being spelled.
bool AttributeCatalog::isDigital(const Variant& pointType) {
    if (pointType.type() == Variant::Type::Int16 || pointType.type() == Variant::Type::Int32)
        return pointType.toInt32() == 101;
    return pointType.toString().trimmed() == u"101";
}

}  // namespace vq
