#pragma once

#include "ComboEntries.h"
#include "core/Variant.h"
#include "enumDisplayStyle.h"
#include "enumValidationRule.h"
#include "sdk/SdkFwd.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace vq {

class PropSheetEntries;
class PropSheetEntry;
struct AttributeFacts;
using PropSheetEntryPtr = std::shared_ptr<PropSheetEntry>;

// One attribute of the point being created or edited: its value now and before edits, the name
// the value is expressed under (CompDev and ExcDev also answer to their per-cent twins), how it
// is shown and validated, and which entries depend on it. Editors hand values over as pending
// values; the owning collection commits them through SetValue and raises the events.
class PropSheetEntry : public QObject, public std::enable_shared_from_this<PropSheetEntry> {
    Q_OBJECT
public:
    PropSheetEntry();
    ~PropSheetEntry() override;

    bool IsValueEdited() const;
    // True after an entry this one depends on was edited, until the next load or save.
    bool IsDependentValueEdited() const { return m_isDependentValueEdited; }
    const QString& CurrentAttributeName() const { return m_currentAttributeName; }
    const QString& PrimaryAttributeName() const { return m_primaryAttributeName; }
    const QString& AttributePointType() const { return m_attributePointType; }
    const Variant& DisplayValueBeforeEdits() const { return m_displayValueBeforeEdits; }
    const QString& SortKey() const;
    bool IsValid() const { return IsValidValue(m_value); }
    SdkNamedValuesPtr ValueAffectsValidationFor();
    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);
    const QString& DisplayName() const { return m_displayName; }
    void SetDisplayName(const QString& displayName);
    const QString& CategoryName() const { return m_categoryName; }
    bool GetReadOnly() const { return m_readOnly; }
    void SetValidationRules(int32_t rule, const Variant& rangeValue1 = Variant::missing(),
                            const Variant& rangeValue2 = Variant::missing());
    const Variant& GetValueBeforeEdits() const { return m_valueBeforeEdits; }
    // Refused (False) for system attributes, and for Span and Zero while the point is digital.
    // `pointAttributeName` is the primary or the twin name; empty keeps the current one.
    // Raises once the entry's collection is gone: the entry still reads, but an edit could
    // neither check its siblings nor reach the views.
    bool SetValue(const Variant& value, const QString& pointAttributeName = QString());
    QString GetDisplayValue() const;
    bool IsValidValue(const Variant& value) const;

    // For the collection and the views.
    ComboEntries& ValueList() { return m_valueList; }
    const ComboEntries& ValueList() const { return m_valueList; }
    enumDisplayStyle DisplayStyle() const { return m_displayStyle; }
    const QString& SecondaryAttributeName() const { return m_secondaryAttributeName; }
    const Variant& PendingValue() const { return m_pendingValue; }
    const QString& PendingAttributeName() const { return m_pendingAttributeName; }
    SdkNamedValuesPtr CoupledAttributes();
    SdkNamedValuesPtr ReadOnlyDependents();
    int32_t ValidationRule() const { return m_validationRule; }
    const Variant& RangeValue1() const { return m_rangeValue1; }
    const Variant& RangeValue2() const { return m_rangeValue2; }
    bool IsSystemAttribute() const { return m_isSystemAttribute; }
    bool AnswersTo(const QString& attributeName) const;

    void SetPendingValue(const Variant& value, const QString& attributeName = QString());
    // The value under `attributeName`: converted between engineering units and per cent of span
    // for the twin; "?" when span or value is no number, "Infinity" for a zero span.
    Variant GetValueAs(const QString& attributeName) const;
    void CommitBeforeEdits();
    void ComputeReadOnly();
    void ApplyValidationRules();
    // Prepares the entry for one attribute; False for a twin name, which makes no entry.
    bool Setup(const QString& attributeName, const Variant& value, const QString& attributePointType,
               const QString& categoryName, PropSheetEntries* parent);

private:
    bool InternalSetValue(const Variant& value, QString& attributeName, bool updateDependents);
    void storeValue(const Variant& value, const QString& attributeName, bool updateDependents);
    void loadFirstValue(const Variant& value);
    void UpdateDependentEntries();
    void updateDependents(const SdkNamedValuesPtr& names, void (PropSheetEntry::*update)());
    void requireCollection() const;
    void SetDependencies();
    void LoadDisplayStyle();
    void ApplyEmptyValueDefaults(Variant& value) const;
    Variant siblingValue(const QString& attributeName) const;
    void requireOwnName(const QString& attributeName) const;
    const QString& ownSpelling(const QString& attributeName) const;
    static void addNames(SdkNamedValuesPtr& set, const QStringList& names);
    static SdkNamedValuesPtr ensure(SdkNamedValuesPtr& set);

    QString m_primaryAttributeName;
    QString m_currentAttributeName;
    QString m_secondaryAttributeName;
    QString m_attributePointType;
    Variant m_value;
    Variant m_valueBeforeEdits;
    Variant m_displayValueBeforeEdits;
    Variant m_pendingValue;
    QString m_pendingAttributeName;
    QString m_displayName;
    QString m_categoryName;
    mutable QString m_sortKey;  // made when first asked for; null until then
    enumDisplayStyle m_displayStyle = styletext;
    ComboEntries m_valueList;
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

}  // namespace vq
