#include "PropSheetEntry.h"

#include "AttributeCatalog.h"
#include "CaseInsensitiveMap.h"
#include "PropSheetEntries.h"
#include "RuleCatalog.h"
#include "ValidationRules.h"
#include "sdk/SdkNamedValues.h"

#include <QPointer>

#include <cmath>

namespace vq {

namespace {

const QString crlf = QStringLiteral("\r\n");
const QString refusedTagCharacters = QStringLiteral("*;?[\\]{|}");

bool sameName(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
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

// PropSheetEntry's state, kept out of its header so that hosts need not rebuild when it changes.
class PropSheetEntryPrivate {
public:
    QString m_primaryAttributeName;
    QString m_currentAttributeName;
    QString m_secondaryAttributeName;
    QString m_attributePointType;
    Variant m_value;
    Variant m_valueBeforeEdits;
    mutable Variant m_displayValueBeforeEdits;
    // Spelled when first asked for, from the value before edits and the name it was taken under:
    // most entries of a point are never shown.
    mutable bool m_displayBeforeEditsStale = false;
    QString m_displayNameSnapshot;  // for the twin style, the only one that shows the name
    Variant m_pendingValue;
    QString m_pendingAttributeName;
    QString m_displayName;
    QString m_categoryName;
    mutable QString m_sortKey;  // made when first asked for; null until then
    enumDisplayStyle m_displayStyle = styletext;
    mutable ComboEntries m_valueList;
    // Who reads the entry's list from the server, until it is first needed.
    mutable std::shared_ptr<ValidationRules::ServerNames> m_listSource;
    ValidationRules::ServerList m_listKind = ValidationRules::noServerList;
    bool m_visible = true;
    bool m_readOnly = false;
    bool m_isSystemAttribute = false;
    bool m_hasValue = false;
    int32_t m_validationRule = ruleNoValidation;
    Variant m_rangeValue1 = Variant::missing();
    Variant m_rangeValue2 = Variant::missing();
    bool m_isDependentValueEdited = false;
    SdkNamedValuesPtr m_readOnlyDependents;
    SdkNamedValuesPtr m_coupledAttributes;
    SdkNamedValuesPtr m_valueAffectsValidationFor;
    // Weak, so that an entry kept by a host never points into a destroyed collection and the
    // collection, which owns the entries, is not kept alive by them.
    QPointer<PropSheetEntries> m_parent;
    bool m_hadParent = false;
    const AttributeFacts* m_facts = nullptr;  // what the catalogue says about the attribute
};

namespace {

// As SetValidationRules(ruleNoValidation), without assigning bounds that are already unset.
void clearValidationRules(PropSheetEntryPrivate& d) {
    d.m_validationRule = ruleNoValidation;
    if (!d.m_rangeValue1.isMissing()) d.m_rangeValue1 = Variant::missing();
    if (!d.m_rangeValue2.isMissing()) d.m_rangeValue2 = Variant::missing();
}

}  // namespace

PropSheetEntry::PropSheetEntry() : d(std::make_unique<PropSheetEntryPrivate>()) {}
PropSheetEntry::~PropSheetEntry() = default;

bool PropSheetEntry::IsDependentValueEdited() const {
    return d->m_isDependentValueEdited;
}

const QString& PropSheetEntry::CurrentAttributeName() const {
    return d->m_currentAttributeName;
}

const QString& PropSheetEntry::PrimaryAttributeName() const {
    return d->m_primaryAttributeName;
}

const QString& PropSheetEntry::AttributePointType() const {
    return d->m_attributePointType;
}

const Variant& PropSheetEntry::DisplayValueBeforeEdits() const {
    spellDisplayBeforeEdits();
    return d->m_displayValueBeforeEdits;
}

bool PropSheetEntry::IsValid() const {
    return IsValidValue(d->m_value);
}

bool PropSheetEntry::Visible() const {
    return d->m_visible;
}

const QString& PropSheetEntry::DisplayName() const {
    return d->m_displayName;
}

const QString& PropSheetEntry::CategoryName() const {
    return d->m_categoryName;
}

bool PropSheetEntry::GetReadOnly() const {
    return d->m_readOnly;
}

const Variant& PropSheetEntry::GetValueBeforeEdits() const {
    return d->m_valueBeforeEdits;
}

// A list a caller may change is the list the display before edits was taken with, until then.
ComboEntries& PropSheetEntry::ValueList() {
    spellDisplayBeforeEdits();
    takeServerList();
    return d->m_valueList;
}

const ComboEntries& PropSheetEntry::ValueList() const {
    takeServerList();
    return d->m_valueList;
}

// Reads the list the entry shows from the server once; a failure is shown and leaves the list empty.
void PropSheetEntry::takeServerList() const {
    if (!d->m_listSource) return;
    const std::shared_ptr<ValidationRules::ServerNames> source = std::move(d->m_listSource);
    d->m_listSource.reset();
    reporting(QStringLiteral("PropSheetEntry:ValueList"), ReportLayout::Short, [&] {
        const ComboEntries& list = source->named(d->m_listKind);
        if (list.Count() > 0) d->m_valueList = list;
    });
}

void PropSheetEntry::takeDisplayBeforeEdits() {
    d->m_displayBeforeEditsStale = true;
    if (d->m_displayStyle == styletxtcombofortwin) d->m_displayNameSnapshot = d->m_currentAttributeName;
}

void PropSheetEntry::spellDisplayBeforeEdits() const {
    if (!d->m_displayBeforeEditsStale) return;
    d->m_displayBeforeEditsStale = false;
    d->m_displayValueBeforeEdits = displayOf(d->m_valueBeforeEdits, d->m_displayNameSnapshot);
}

enumDisplayStyle PropSheetEntry::DisplayStyle() const {
    return d->m_displayStyle;
}

const QString& PropSheetEntry::SecondaryAttributeName() const {
    return d->m_secondaryAttributeName;
}

const Variant& PropSheetEntry::PendingValue() const {
    return d->m_pendingValue;
}

const QString& PropSheetEntry::PendingAttributeName() const {
    return d->m_pendingAttributeName;
}

int32_t PropSheetEntry::ValidationRule() const {
    return d->m_validationRule;
}

const Variant& PropSheetEntry::RangeValue1() const {
    return d->m_rangeValue1;
}

const Variant& PropSheetEntry::RangeValue2() const {
    return d->m_rangeValue2;
}

bool PropSheetEntry::IsSystemAttribute() const {
    return d->m_isSystemAttribute;
}

bool PropSheetEntry::Setup(const QString& attributeName, const Variant& value,
                           const QString& attributePointType, const QString& categoryName,
                           PropSheetEntries* parent) {
    const AttributeFacts* facts = AttributeCatalog::facts(attributeName);
    return Setup(facts, attributeName, AttributeCatalog::defaultDisplayName(attributeName, facts), value,
                 attributePointType, categoryName, parent);
}

bool PropSheetEntry::Setup(const AttributeFacts* facts, const QString& attributeName,
                           const QString& displayName, const Variant& value,
                           const QString& attributePointType, const QString& categoryName,
                           PropSheetEntries* parent) {
    if (AttributeCatalog::isTwinName(facts)) return false;
    d->m_facts = facts;
    d->m_parent = parent;
    d->m_hadParent = parent != nullptr;
    d->m_primaryAttributeName = attributeName;
    d->m_currentAttributeName = attributeName;
    d->m_attributePointType = attributePointType;
    d->m_categoryName = categoryName;
    clearValidationRules(*d);
    SetDependencies();
    LoadDisplayStyle();
    d->m_displayName = displayName;
    ComputeReadOnly();
    d->m_isSystemAttribute = AttributeCatalog::isSystemAttribute(d->m_facts);
    d->m_visible = AttributeCatalog::isVisible(d->m_facts);
    d->m_sortKey = QString();
    // Loaded under the entry's own name, which InternalSetValue only reads.
    InternalSetValue(value, d->m_currentAttributeName, false);
    return true;
}

// The name sets are made when first asked for: most entries are never edited.
void PropSheetEntry::SetDependencies() {
    const AttributeDependencies* dependencies = AttributeCatalog::dependencies(d->m_facts);
    if (dependencies) d->m_secondaryAttributeName = dependencies->secondaryName;
    d->m_readOnlyDependents.reset();
    d->m_valueAffectsValidationFor.reset();
    d->m_coupledAttributes.reset();
}

SdkNamedValuesPtr PropSheetEntry::dependents(SdkNamedValuesPtr& set,
                                             QStringList AttributeDependencies::*names) {
    if (set) return set;
    set = SdkNamedValues::create();
    if (const AttributeDependencies* dependencies = AttributeCatalog::dependencies(d->m_facts))
        for (const QString& name : dependencies->*names) set->Add(name, Variant(int16_t(0)));
    return set;
}

SdkNamedValuesPtr PropSheetEntry::ValueAffectsValidationFor() {
    return dependents(d->m_valueAffectsValidationFor, &AttributeDependencies::valueAffectsValidationFor);
}

SdkNamedValuesPtr PropSheetEntry::CoupledAttributes() {
    return dependents(d->m_coupledAttributes, &AttributeDependencies::coupledAttributes);
}

SdkNamedValuesPtr PropSheetEntry::ReadOnlyDependents() {
    return dependents(d->m_readOnlyDependents, &AttributeDependencies::readOnlyDependents);
}

void PropSheetEntry::LoadDisplayStyle() {
    const int row = AttributeCatalog::styleRow(d->m_facts);
    d->m_listSource.reset();
    d->m_listKind = ValidationRules::serverListOfRow(row);
    // An attribute without a style row is plain text and keeps its list.
    if (row < 0) {
        d->m_displayStyle = styletext;
        return;
    }
    ValidationRules::ServerNames noServer;
    ValidationRules::ServerNames* server = &noServer;
    if (d->m_parent) {
        const std::shared_ptr<ValidationRules::ServerNames>& names = d->m_parent->serverNames();
        if (names->server() && d->m_listKind != ValidationRules::noServerList) d->m_listSource = names;
        if (!d->m_listSource) server = names.get();
    }
    auto [style, list] = ValidationRules::displayStyleOfRow(row, *server);
    d->m_displayStyle = style;
    // An empty list leaves the entry's own as it was.
    if (list.Count() > 0) d->m_valueList = std::move(list);
}

void PropSheetEntry::ComputeReadOnly() {
    if (d->m_parent && d->m_parent->ServerKind() == u"VQ2") {
        d->m_readOnly = true;
        return;
    }
    if (!AttributeCatalog::hasReadOnlyRule(d->m_facts)) {
        d->m_readOnly = false;
        return;
    }
    const enumPointMode mode = d->m_parent ? d->m_parent->Mode() : enumPointMode{};
    d->m_readOnly = AttributeCatalog::isReadOnly(
        d->m_facts, mode, [this] { return siblingValue(QStringLiteral("PointType")); });
}

void PropSheetEntry::ApplyValidationRules() {
    const RuleInputs inputs{siblingValue(QStringLiteral("Zero")), siblingValue(QStringLiteral("Span")),
                            siblingValue(QStringLiteral("PointType")), d->m_attributePointType};
    const RuleChoice choice = RuleCatalog::ruleFor(d->m_primaryAttributeName, inputs);
    SetValidationRules(choice.rule, choice.rangeValue1, choice.rangeValue2);
    // A numeric rule cannot judge a blank; the entry starts from zero instead.
    if ((choice.rule & ruleNumericOnly) && d->m_value.toString().trimmed().isEmpty())
        d->m_value = Variant(int16_t(0));
}

// A sibling the collection does not hold reads as Empty: no number, not digital.
Variant PropSheetEntry::siblingValue(const QString& attributeName) const {
    const PropSheetEntry* sibling = d->m_parent ? d->m_parent->lookup(attributeName) : nullptr;
    return sibling ? sibling->d->m_value : Variant();
}

void PropSheetEntry::SetValidationRules(int32_t rule, const Variant& rangeValue1,
                                        const Variant& rangeValue2) {
    d->m_validationRule = rule;
    d->m_rangeValue1 = rangeValue1;
    d->m_rangeValue2 = rangeValue2;
}

bool PropSheetEntry::AnswersTo(const QString& attributeName) const {
    return sameName(attributeName, d->m_primaryAttributeName) ||
           (!d->m_secondaryAttributeName.isEmpty() && sameName(attributeName, d->m_secondaryAttributeName));
}

// A name that is neither the entry's own nor its twin's would send the value to another attribute.
void PropSheetEntry::requireOwnName(const QString& attributeName) const {
    if (attributeName.trimmed().isEmpty() || AnswersTo(attributeName)) return;
    throw Error(errc::InvalidArgument, QStringLiteral("VQTagwrightCtls"),
                QStringLiteral("\"%1\" is not a name of the attribute \"%2\"")
                    .arg(attributeName, d->m_primaryAttributeName));
}

// The entry's own spelling of one of its two names.
const QString& PropSheetEntry::ownSpelling(const QString& attributeName) const {
    return sameName(attributeName, d->m_primaryAttributeName) ? d->m_primaryAttributeName
                                                              : d->m_secondaryAttributeName;
}

// An edit needs the siblings it is checked against and the views it is shown in.
void PropSheetEntry::requireCollection() const {
    if (!d->m_hadParent || d->m_parent) return;
    throw Error(errc::InvalidArgument, QStringLiteral("VQTagwrightCtls"),
                QStringLiteral("The attribute \"%1\" can no longer be edited: its collection is gone")
                    .arg(d->m_primaryAttributeName));
}

bool PropSheetEntry::SetValue(const Variant& value, const QString& pointAttributeName) {
    return reraising(QStringLiteral("PropSheetEntry:SetValue"), [&] {
        requireCollection();
        requireOwnName(pointAttributeName);
        if (d->m_isSystemAttribute) return false;
        if (AttributeCatalog::isDigital(siblingValue(QStringLiteral("PointType"))) &&
            isAnyOf(d->m_currentAttributeName, {u"Span", u"Zero"}))
            return false;
        QString attributeName = pointAttributeName;
        return InternalSetValue(value, attributeName, true);
    });
}

bool PropSheetEntry::InternalSetValue(const Variant& value, QString& attributeName, bool updateDependents) {
    if (QStringView(attributeName).trimmed().isEmpty()) attributeName = d->m_currentAttributeName;
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
    d->m_pendingValue = value;
    d->m_pendingAttributeName = attributeName;
    if (sameName(attributeName, d->m_currentAttributeName)) {
        if (d->m_hasValue && !Variant::valuesDiffer(value, d->m_value)) return;
    } else {
        d->m_currentAttributeName = ownSpelling(attributeName);
    }
    if (!d->m_hasValue) {
        loadFirstValue(value);
        return;
    }
    d->m_value = value;
    ApplyValidationRules();
    if (updateDependents && d->m_parent) UpdateDependentEntries();
    if (d->m_parent) d->m_parent->ValueEdited(this);
}

void PropSheetEntry::loadFirstValue(const Variant& value) {
    Variant loaded = value;
    ApplyEmptyValueDefaults(loaded);
    d->m_valueBeforeEdits = loaded;
    d->m_value = std::move(loaded);
    d->m_hasValue = true;
    takeDisplayBeforeEdits();
}

void PropSheetEntry::ApplyEmptyValueDefaults(Variant& value) const {
    if (!AttributeCatalog::hasPlaceholder(d->m_facts)) return;
    if (!d->m_parent || d->m_parent->ServerKind() == u"VQ2") return;
    if (auto replacement =
            AttributeCatalog::placeholderReplacement(d->m_facts, value, d->m_parent->Server().get()))
        value = *replacement;
}

void PropSheetEntry::UpdateDependentEntries() {
    reporting(QStringLiteral("PropSheetEntry:UpdateDependentEntries"), ReportLayout::Short, [&] {
        // The twin name shows in rows of its own, which read this entry too.
        if (!d->m_secondaryAttributeName.isEmpty()) d->m_parent->DisplayEdited(this);
        updateDependents(ReadOnlyDependents(), &PropSheetEntry::ComputeReadOnly);
        updateDependents(ValueAffectsValidationFor(), &PropSheetEntry::ApplyValidationRules);
    });
}

// A dependent the point's class does not have is skipped; the others are still updated.
void PropSheetEntry::updateDependents(const SdkNamedValuesPtr& names, void (PropSheetEntry::*update)()) {
    if (!names) return;
    for (const SdkNamedValue& pair : *names) {
        PropSheetEntry* dependent = d->m_parent->lookup(pair.Name());
        if (!dependent) continue;
        (dependent->*update)();
        dependent->d->m_isDependentValueEdited = true;
        d->m_parent->DisplayEdited(dependent);
    }
}

void PropSheetEntry::SetPendingValue(const Variant& value, const QString& attributeName) {
    requireCollection();
    requireOwnName(attributeName);
    d->m_pendingValue = value;
    d->m_pendingAttributeName =
        attributeName.trimmed().isEmpty() ? d->m_currentAttributeName : ownSpelling(attributeName);
    if (d->m_parent) d->m_parent->PendingChange(this);
}

Variant PropSheetEntry::GetValueAs(const QString& attributeName) const {
    if (attributeName.isEmpty() || sameName(attributeName, d->m_currentAttributeName)) return d->m_value;
    const Variant span = siblingValue(QStringLiteral("Span"));
    if (!span.isNumeric() || !d->m_value.isNumeric()) return Variant(QStringLiteral("?"));
    if (isAnyOf(d->m_currentAttributeName, {u"CompDev", u"ExcDev"})) {
        if (span.toDouble() == 0) return Variant(QStringLiteral("Infinity"));
        return Variant(d->m_value.toDouble() * 100 / span.toDouble());
    }
    if (isAnyOf(d->m_currentAttributeName, {u"CompDevPercent", u"ExcDevPercent"}))
        return Variant(span.toDouble() * d->m_value.toDouble() / 100);
    return Variant();
}

void PropSheetEntry::CommitBeforeEdits() {
    // The server keeps a twin value in engineering units: once saved, the entry holds it that way,
    // as a fresh load would, so that it no longer counts as edited.
    if (!sameName(d->m_currentAttributeName, d->m_primaryAttributeName)) {
        const Variant stored = GetValueAs(d->m_primaryAttributeName);
        if (stored.isNumeric()) {
            d->m_value = stored;
            d->m_currentAttributeName = d->m_primaryAttributeName;
            if (d->m_parent) d->m_parent->DisplayEdited(this);
        }
    }
    d->m_valueBeforeEdits = d->m_value;
    takeDisplayBeforeEdits();
    d->m_isDependentValueEdited = false;
}

void PropSheetEntry::TakeStoredValue(const Variant& value) {
    Variant stored = value;
    ApplyEmptyValueDefaults(stored);
    d->m_value = stored;
    d->m_valueBeforeEdits = stored;
    takeDisplayBeforeEdits();
    if (d->m_parent) d->m_parent->DisplayEdited(this);
}

bool PropSheetEntry::IsValueEdited() const {
    return Variant::valuesDiffer(d->m_value, d->m_valueBeforeEdits) ||
           !sameName(d->m_currentAttributeName, d->m_primaryAttributeName);
}

QString PropSheetEntry::GetDisplayValue() const {
    return displayOf(d->m_value, d->m_currentAttributeName);
}

QString PropSheetEntry::displayOf(const Variant& value, const QString& attributeName) const {
    switch (d->m_displayStyle) {
        case stylecombo:
        case styleonoffswitch:
            return ValueList().GetNameByValue(value);
        case styletxtcombofortwin:
            return value.toString() + QStringLiteral("  ") +
                   ValueList().GetNameByValue(Variant(attributeName));
        default:
            return value.isNull() ? QString() : value.toString();
    }
}

bool PropSheetEntry::IsValidValue(const Variant& value) const {
    const int32_t rule = d->m_validationRule;
    if (rule & ruleNoValidation) return true;
    if (rule & ruleTagName) return acceptsTagName(value);
    if (rule & ruleStringOnly) return !value.isNumeric();
    if (!(rule & ruleNumericOnly)) return true;
    if (!value.isNumeric()) return false;
    const double number = value.toDouble();
    if ((rule & ruleNonZero) && number == 0) return false;
    if (!(rule & rangeBits)) return true;
    if (!d->m_rangeValue1.isNumeric() || !d->m_rangeValue2.isNumeric()) return true;
    const double first = d->m_rangeValue1.toDouble();
    const double second = d->m_rangeValue2.toDouble();
    return rangeHolds(rule, number, std::min(first, second), std::max(first, second));
}

void PropSheetEntry::SetDisplayName(const QString& displayName) {
    if (sameName(displayName, d->m_displayName)) return;
    d->m_displayName = displayName;
    d->m_sortKey = QString();
    if (d->m_parent) d->m_parent->DisplayEdited(this);
}

// Most entries are never sorted by a sheet, so the key is not spelled for them.
const QString& PropSheetEntry::SortKey() const {
    if (d->m_sortKey.isNull()) d->m_sortKey = d->m_categoryName + u'_' + d->m_displayName;
    return d->m_sortKey;
}

void PropSheetEntry::SetVisible(bool visible) {
    if (visible == d->m_visible) return;
    d->m_visible = visible;
    if (d->m_parent) d->m_parent->DisplayEdited(this);
}

}  // namespace vq
