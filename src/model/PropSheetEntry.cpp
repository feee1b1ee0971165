#include "PropSheetEntry.h"

#include "AttributeCatalog.h"
#include "CaseInsensitiveMap.h"
#include "PropSheetEntries.h"
#include "RuleCatalog.h"
#include "ValidationRules.h"
#include "sdk/SdkNamedValues.h"

#include <cmath>

namespace vq {

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString refusedTagCharacters = QStringLiteral("*;?[\\]{|}");

bool sameName(const QString& a, QStringView b) {
    return QStringView(a).compare(b, Qt::CaseInsensitive) == 0;
}

bool acceptsTagName(const Variant& value) {
    if (value.isEmpty() || value.isNull()) return true;
    const QString text = value.toString();
    return std::none_of(text.begin(), text.end(), [](QChar c) { return refusedTagCharacters.contains(c); });
}

constexpr int32_t rangeBits = ruleBetween + ruleAbsBetween + ruleOutside + ruleAbsOutside;

bool rangeHolds(int32_t rule, double d, double lo, double hi) {
    const double magnitude = std::fabs(d);
    if ((rule & ruleBetween) && !(lo <= d && d <= hi)) return false;
    if ((rule & ruleAbsBetween) && !(lo <= magnitude && magnitude <= hi)) return false;
    if ((rule & ruleOutside) && !(d < lo || d > hi)) return false;
    if ((rule & ruleAbsOutside) && !(magnitude < lo || magnitude > hi)) return false;
    return true;
}

}  // namespace

PropSheetEntry::PropSheetEntry() = default;
PropSheetEntry::~PropSheetEntry() = default;

bool PropSheetEntry::Setup(const QString& attributeName, const Variant& value,
                           const QString& attributePointType, const QString& categoryName,
                           PropSheetEntries* parent) {
    const AttributeFacts* facts = AttributeCatalog::facts(attributeName);
    if (AttributeCatalog::isTwinName(facts)) return false;
    m_facts = facts;
    m_parent = parent;
    m_hadParent = parent != nullptr;
    m_primaryAttributeName = attributeName;
    m_currentAttributeName = attributeName;
    m_attributePointType = attributePointType;
    m_categoryName = categoryName;
    SetValidationRules(ruleNoValidation);
    SetDependencies();
    LoadDisplayStyle();
    m_displayName = AttributeCatalog::defaultDisplayName(attributeName, m_facts);
    ComputeReadOnly();
    m_isSystemAttribute = AttributeCatalog::isSystemAttribute(m_facts);
    m_visible = AttributeCatalog::isVisible(m_facts);
    m_sortKey = QString();
    QString currentName;
    InternalSetValue(value, currentName, false);
    return true;
}

void PropSheetEntry::SetDependencies() {
    const AttributeDependencies* dependencies = AttributeCatalog::dependencies(m_facts);
    if (!dependencies) return;
    m_secondaryAttributeName = dependencies->secondaryName;
    addNames(m_readOnlyDependents, dependencies->readOnlyDependents);
    addNames(m_valueAffectsValidationFor, dependencies->valueAffectsValidationFor);
    addNames(m_coupledAttributes, dependencies->coupledAttributes);
}

void PropSheetEntry::addNames(SdkNamedValuesPtr& set, const QStringList& names) {
    for (const QString& name : names) ensure(set)->Add(name, Variant(int16_t(0)));
}

SdkNamedValuesPtr PropSheetEntry::ensure(SdkNamedValuesPtr& set) {
    if (!set) set = SdkNamedValues::create();
    return set;
}

SdkNamedValuesPtr PropSheetEntry::ValueAffectsValidationFor() {
    return ensure(m_valueAffectsValidationFor);
}

SdkNamedValuesPtr PropSheetEntry::CoupledAttributes() {
    return ensure(m_coupledAttributes);
}

SdkNamedValuesPtr PropSheetEntry::ReadOnlyDependents() {
    return ensure(m_readOnlyDependents);
}

void PropSheetEntry::LoadDisplayStyle() {
    ValidationRules::ServerNames noServer;
    ValidationRules::ServerNames& server = m_parent ? m_parent->serverNames() : noServer;
    auto [style, list] = ValidationRules::displayStyle(m_primaryAttributeName, server);
    m_displayStyle = style;
    // An empty list leaves the entry's own as it was.
    if (list.Count() > 0) m_valueList = std::move(list);
}

void PropSheetEntry::ComputeReadOnly() {
    if (m_parent && m_parent->ServerKind() == u"VQ2") {
        m_readOnly = true;
        return;
    }
    const enumPointMode mode = m_parent ? m_parent->Mode() : enumPointMode{};
    m_readOnly = AttributeCatalog::isReadOnly(m_facts, mode,
                                              [this] { return siblingValue(QStringLiteral("PointType")); });
}

void PropSheetEntry::ApplyValidationRules() {
    const RuleInputs inputs{siblingValue(QStringLiteral("Zero")), siblingValue(QStringLiteral("Span")),
                            siblingValue(QStringLiteral("PointType")), m_attributePointType};
    const RuleChoice choice = RuleCatalog::ruleFor(m_primaryAttributeName, inputs);
    SetValidationRules(choice.rule, choice.rangeValue1, choice.rangeValue2);
    // A numeric rule cannot judge a blank; the entry starts from zero instead.
    if ((choice.rule & ruleNumericOnly) && m_value.toString().trimmed().isEmpty())
        m_value = Variant(int16_t(0));
}

// A sibling the collection does not hold reads as Empty: no number, not digital.
Variant PropSheetEntry::siblingValue(const QString& attributeName) const {
    const PropSheetEntry* sibling = m_parent ? m_parent->lookup(attributeName) : nullptr;
    return sibling ? sibling->m_value : Variant();
}

void PropSheetEntry::SetValidationRules(int32_t rule, const Variant& rangeValue1,
                                        const Variant& rangeValue2) {
    m_validationRule = rule;
    m_rangeValue1 = rangeValue1;
    m_rangeValue2 = rangeValue2;
}

bool PropSheetEntry::AnswersTo(const QString& attributeName) const {
    return sameName(attributeName, m_primaryAttributeName) ||
           (!m_secondaryAttributeName.isEmpty() && sameName(attributeName, m_secondaryAttributeName));
}

// A name that is neither the entry's own nor its twin's would send the value to another attribute.
void PropSheetEntry::requireOwnName(const QString& attributeName) const {
    if (attributeName.trimmed().isEmpty() || AnswersTo(attributeName)) return;
    throw Error(errc::InvalidArgument, QStringLiteral("VQTagwrightCtls"),
                QStringLiteral("\"%1\" is not a name of the attribute \"%2\"")
                    .arg(attributeName, m_primaryAttributeName));
}

// The entry's own spelling of one of its two names.
const QString& PropSheetEntry::ownSpelling(const QString& attributeName) const {
    return sameName(attributeName, m_primaryAttributeName) ? m_primaryAttributeName
                                                           : m_secondaryAttributeName;
}

// An edit needs the siblings it is checked against and the views it is shown in.
void PropSheetEntry::requireCollection() const {
    if (!m_hadParent || m_parent) return;
    throw Error(errc::InvalidArgument, QStringLiteral("VQTagwrightCtls"),
                QStringLiteral("The attribute \"%1\" can no longer be edited: its collection is gone")
                    .arg(m_primaryAttributeName));
}

bool PropSheetEntry::SetValue(const Variant& value, const QString& pointAttributeName) {
    return reraising(QStringLiteral("PropSheetEntry:SetValue"), [&] {
        requireCollection();
        requireOwnName(pointAttributeName);
        if (m_isSystemAttribute) return false;
        if (AttributeCatalog::isDigital(siblingValue(QStringLiteral("PointType"))) &&
            isAnyOf(m_currentAttributeName, {u"Span", u"Zero"}))
            return false;
        QString attributeName = pointAttributeName;
        return InternalSetValue(value, attributeName, true);
    });
}

bool PropSheetEntry::InternalSetValue(const Variant& value, QString& attributeName, bool updateDependents) {
    if (attributeName.trimmed().isEmpty()) attributeName = m_currentAttributeName;
    try {
        storeValue(value.isNull() ? Variant(QString()) : value, attributeName, updateDependents);
        return true;
    } catch (...) {
        Error error = currentError();
        error.setDescription(error.description() + crlf + QStringLiteral("Attribute: ") + attributeName);
        reraise(error, QStringLiteral("PropSheetEntry:InternalSetValue"));
    }
}

void PropSheetEntry::storeValue(const Variant& value, const QString& attributeName, bool updateDependents) {
    m_pendingValue = value;
    m_pendingAttributeName = attributeName;
    if (sameName(attributeName, m_currentAttributeName)) {
        if (m_hasValue && !Variant::valuesDiffer(value, m_value)) return;
    } else {
        m_currentAttributeName = ownSpelling(attributeName);
    }
    if (!m_hasValue) {
        loadFirstValue(value);
        return;
    }
    m_value = value;
    ApplyValidationRules();
    if (updateDependents && m_parent) UpdateDependentEntries();
    if (m_parent) m_parent->ValueEdited(this);
}

void PropSheetEntry::loadFirstValue(const Variant& value) {
    Variant loaded = value;
    ApplyEmptyValueDefaults(loaded);
    m_value = loaded;
    m_valueBeforeEdits = loaded;
    m_hasValue = true;
    m_displayValueBeforeEdits = GetDisplayValue();
}

void PropSheetEntry::ApplyEmptyValueDefaults(Variant& value) const {
    if (!m_parent || m_parent->ServerKind() == u"VQ2") return;
    if (auto replacement = AttributeCatalog::placeholderReplacement(m_facts, value, m_parent->Server().get()))
        value = *replacement;
}

void PropSheetEntry::UpdateDependentEntries() {
    reporting(QStringLiteral("PropSheetEntry:UpdateDependentEntries"), ReportLayout::Short, [&] {
        // The twin name shows in rows of its own, which read this entry too.
        if (!m_secondaryAttributeName.isEmpty()) m_parent->DisplayEdited(this);
        updateDependents(m_readOnlyDependents, &PropSheetEntry::ComputeReadOnly);
        updateDependents(m_valueAffectsValidationFor, &PropSheetEntry::ApplyValidationRules);
    });
}

// A dependent the point's class does not have is skipped; the others are still updated.
void PropSheetEntry::updateDependents(const SdkNamedValuesPtr& names, void (PropSheetEntry::*update)()) {
    if (!names) return;
    for (const SdkNamedValue& pair : *names) {
        PropSheetEntry* dependent = m_parent->lookup(pair.Name());
        if (!dependent) continue;
        (dependent->*update)();
        dependent->m_isDependentValueEdited = true;
        m_parent->DisplayEdited(dependent);
    }
}

void PropSheetEntry::SetPendingValue(const Variant& value, const QString& attributeName) {
    requireCollection();
    requireOwnName(attributeName);
    m_pendingValue = value;
    m_pendingAttributeName =
        attributeName.trimmed().isEmpty() ? m_currentAttributeName : ownSpelling(attributeName);
    if (m_parent) m_parent->PendingChange(this);
}

Variant PropSheetEntry::GetValueAs(const QString& attributeName) const {
    if (attributeName.isEmpty() || sameName(attributeName, m_currentAttributeName)) return m_value;
    const Variant span = siblingValue(QStringLiteral("Span"));
    if (!span.isNumeric() || !m_value.isNumeric()) return Variant(QStringLiteral("?"));
    if (isAnyOf(m_currentAttributeName, {u"CompDev", u"ExcDev"})) {
        if (span.toDouble() == 0) return Variant(QStringLiteral("Infinity"));
        return Variant(m_value.toDouble() * 100 / span.toDouble());
    }
    if (isAnyOf(m_currentAttributeName, {u"CompDevPercent", u"ExcDevPercent"}))
        return Variant(span.toDouble() * m_value.toDouble() / 100);
    return Variant();
}

void PropSheetEntry::CommitBeforeEdits() {
    // The server keeps a twin value in engineering units: once saved, the entry holds it that way,
    // as a fresh load would, so that it no longer counts as edited.
    if (!sameName(m_currentAttributeName, m_primaryAttributeName)) {
        const Variant stored = GetValueAs(m_primaryAttributeName);
        if (stored.isNumeric()) {
            m_value = stored;
            m_currentAttributeName = m_primaryAttributeName;
            if (m_parent) m_parent->DisplayEdited(this);
        }
    }
    m_valueBeforeEdits = m_value;
    m_displayValueBeforeEdits = GetDisplayValue();
    m_isDependentValueEdited = false;
}

bool PropSheetEntry::IsValueEdited() const {
    return Variant::valuesDiffer(m_value, m_valueBeforeEdits) ||
           !sameName(m_currentAttributeName, m_primaryAttributeName);
}

QString PropSheetEntry::GetDisplayValue() const {
    switch (m_displayStyle) {
        case stylecombo:
        case styleonoffswitch:
            return m_valueList.GetNameByValue(m_value);
        case styletxtcombofortwin:
            return m_value.toString() + QStringLiteral("  ") +
                   m_valueList.GetNameByValue(Variant(m_currentAttributeName));
        default:
            return m_value.isNull() ? QString() : m_value.toString();
    }
}

bool PropSheetEntry::IsValidValue(const Variant& value) const {
    const int32_t rule = m_validationRule;
    if (rule & ruleNoValidation) return true;
    if (rule & ruleTagName) return acceptsTagName(value);
    if (rule & ruleStringOnly) return !value.isNumeric();
    if (!(rule & ruleNumericOnly)) return true;
    if (!value.isNumeric()) return false;
    const double d = value.toDouble();
    if ((rule & ruleNonZero) && d == 0) return false;
    if (!(rule & rangeBits)) return true;
    if (!m_rangeValue1.isNumeric() || !m_rangeValue2.isNumeric()) return true;
    const double first = m_rangeValue1.toDouble();
    const double second = m_rangeValue2.toDouble();
    return rangeHolds(rule, d, std::min(first, second), std::max(first, second));
}

void PropSheetEntry::SetDisplayName(const QString& displayName) {
    if (sameName(displayName, m_displayName)) return;
    m_displayName = displayName;
    m_sortKey = QString();
    if (m_parent) m_parent->DisplayEdited(this);
}

// Most entries are never sorted by a sheet, so the key is not spelled for them.
const QString& PropSheetEntry::SortKey() const {
    if (m_sortKey.isNull()) m_sortKey = m_categoryName + u'_' + m_displayName;
    return m_sortKey;
}

void PropSheetEntry::SetVisible(bool visible) {
    if (visible == m_visible) return;
    m_visible = visible;
    if (m_parent) m_parent->DisplayEdited(this);
}

}  // namespace vq
