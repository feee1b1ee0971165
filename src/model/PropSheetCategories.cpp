#include "PropSheetCategories.h"

#include "CaseInsensitiveMap.h"

namespace vq {

namespace {

struct CategoryRule {
    const char16_t* category;
    std::initializer_list<const char16_t*> attributes;
};

// First match wins; attributes in no list fall into their attribute set.
const CategoryRule categoryRules[] = {
    {u"System",
     {u"ChangeDate", u"Changer", u"CreationDate", u"Creator", u"PointID", u"PtClassID", u"PtClassRev",
      u"RecNo", u"SrcPtID"}},
    {u"Archive",
     {u"Archiving", u"CompDev", u"CompDevPercent", u"CompMax", u"CompMin", u"Compressing", u"ExcDev",
      u"ExcDevPercent", u"ExcMax", u"ExcMin", u"Scan", u"Shutdown", u"Span", u"TypicalValue", u"Zero"}},
    {u"Display", {u"DisplayDigits", u"DisplayGroup", u"EngUnits", u"GroupSize", u"Step"}},
    {u"Overview",
     {u"Descriptor", u"DigitalSet", u"DigNumber", u"DigStartCode", u"ExDesc", u"LongName", u"PointSource",
      u"PointType", u"Precision", u"PtClassName", u"ShortName", u"SourceTag", u"Tag", u"RES"}},
    {u"Security", {u"DataAccess", u"DataGroup", u"DataOwner", u"PtAccess", u"PtGroup", u"PtOwner"}},
};

struct SourceOverride {
    const char16_t* pointSource;
    const char16_t* category;
    std::initializer_list<const char16_t*> attributes;
};

// On "VQ2" servers totalizer and equation points gather their own attributes.
const SourceOverride vq2SourceOverrides[] = {
    {u"T", u"Totalizer", {u"TotalCode", u"ScheduleType"}},
    {u"C", u"Equation", {u"Clamp", u"ScheduleType", u"Period"}},
};

const CaseInsensitiveMap<QString>& categoryByAttribute() {
    static const CaseInsensitiveMap<QString> map = [] {
        CaseInsensitiveMap<QString> built;
        for (const CategoryRule& rule : categoryRules)
            built.insert(rule.attributes, QString::fromUtf16(rule.category));
        return built;
    }();
    return map;
}

QString capitalized(const QString& setName) {
    return setName.left(1).toUpper() + setName.mid(1);
}

bool isAbsent(const Variant& value) {
    return value.isMissing() || value.isEmpty() || value.isNull();
}

}  // namespace

PropSheetCategoryPtr PropSheetCategories::Item(const Variant& index) const {
    return reporting(QStringLiteral("PropSheetCategories:Item"), ReportLayout::Short, PropSheetCategoryPtr(),
                     [&] { return m_categories.item(index); });
}

bool PropSheetCategories::Exists(const Variant& index) const {
    try {
        m_categories.item(index);
        return true;
    } catch (const Error& error) {
        // An absent name or position means "no"; only other failures deserve a message.
        if (error.number() == errc::InvalidArgument || error.number() == errc::SubscriptOutOfRange)
            return false;
        report(error, QStringLiteral("PropSheetCategories:Exists"), ReportLayout::Short);
        return false;
    }
}

void PropSheetCategories::Add(const PropSheetCategoryPtr& category) {
    reporting(QStringLiteral("PropSheetCategories:Add"), ReportLayout::Short, [&] {
        if (m_names.contains(category->Name())) return;
        m_categories.add(category->Name(), category);
        m_names.insert(category->Name(), true);
    });
}

QStringList PropSheetCategories::ruleAttributes() {
    QStringList names;
    for (const CategoryRule& rule : categoryRules)
        for (const char16_t* name : rule.attributes) names << QString::fromUtf16(name);
    return names;
}

const QString* PropSheetCategories::ruleCategoryOf(const QString& attributeName) {
    return categoryByAttribute().find(attributeName);
}

// Attributes in no list fall into their set; a point brings only a few sets, so the last set's
// category is kept rather than spelled again for each of its attributes.
QString PropSheetCategories::setCategory(const QString& setName) {
    if (setName != m_lastSetName || m_lastSetName.isNull()) {
        m_lastSetName = setName;
        m_lastSetCategory = capitalized(setName);
    }
    return m_lastSetCategory;
}

QString PropSheetCategories::Categorize(const QString& setName, const QString& attributeName,
                                        const QString& serverKind, const Variant& pointSource) {
    return Categorize(ruleCategoryOf(attributeName), setName, attributeName, serverKind, pointSource);
}

QString PropSheetCategories::Categorize(const QString* ruleCategory, const QString& setName,
                                        const QString& attributeName, const QString& serverKind,
                                        const Variant& pointSource) {
    QString category = ruleCategory ? *ruleCategory : setCategory(setName);
    if (sourceRulesApply(serverKind, pointSource)) {
        const QString source = pointSource.toString();
        for (const SourceOverride& rule : vq2SourceOverrides)
            if (source.compare(QString::fromUtf16(rule.pointSource), Qt::CaseInsensitive) == 0 &&
                isAnyOf(attributeName, rule.attributes))
                category = QString::fromUtf16(rule.category);
    }
    ensureCategory(category);
    return category;
}

// Most attributes fall into a category already held; only a new one is made and offered.
void PropSheetCategories::ensureCategory(const QString& name) {
    if (!m_names.contains(name)) Add(std::make_shared<PropSheetCategory>(name, name != u"Overview"));
}

QString PropSheetCategories::defaultCategory(const QString* ruleCategory, const QString& setName) {
    return ruleCategory ? *ruleCategory : capitalized(setName);
}

bool PropSheetCategories::sourceRulesApply(const QString& serverKind, const Variant& pointSource) {
    return serverKind == u"VQ2" && !isAbsent(pointSource);
}

void PropSheetCategories::Clear() {
    for (int position = m_categories.count(); position >= 1; --position) m_categories.remove(position);
    m_names.clear();
}

void PropSheetCategories::RemoveEntry(const Variant& index) {
    reporting(QStringLiteral("PropSheetCategories:RemoveEntry"), ReportLayout::Short, [&] {
        const QString name = m_categories.item(index)->Name();
        m_categories.remove(m_categories.indexOf(name) + 1);
        m_names.erase(name);
    });
}

}  // namespace vq
