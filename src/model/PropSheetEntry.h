#pragma once

#include "model/ModelExport.h"

#include "ComboEntries.h"
#include "core/Variant.h"
#include "enumDisplayStyle.h"
#include "enumValidationRule.h"
#include "sdk/SdkFwd.h"

#include <QStringList>

#include <memory>

namespace vq {

class PropSheetEntries;
class PropSheetEntry;
struct AttributeFacts;
struct AttributeDependencies;
/// Entries are shared: a host may keep one past its collection.
using PropSheetEntryPtr = std::shared_ptr<PropSheetEntry>;

/// One attribute of the point being created or edited: its value now and before edits, the name
/// the value is expressed under (CompDev and ExcDev also answer to their per-cent twins), how it
/// is shown and validated, and which entries depend on it. Editors hand values over as pending
/// values; the owning collection commits them through SetValue and raises the events. A plain
/// class: the collection owns it and hands it out shared, and it reaches the collection through a
/// weak reference.
class VQ_MODEL_EXPORT PropSheetEntry : public std::enable_shared_from_this<PropSheetEntry> {
public:
    /// An entry without an attribute; Setup() prepares it.
    PropSheetEntry();
    ~PropSheetEntry();

    /// True when the value differs from the value before edits, or is expressed under the twin name.
    bool IsValueEdited() const;
    /// True after an entry this one depends on was edited, until the next load or save.
    bool IsDependentValueEdited() const;
    /// The name the value is expressed under: the primary or the twin name.
    const QString& CurrentAttributeName() const;
    /// The attribute the entry was made for; its key in the collection.
    const QString& PrimaryAttributeName() const;
    /// The type name of the value as loaded ("String", "Long", "Double", ...; "PointType" for the PointType
    /// entry).
    const QString& AttributePointType() const;
    /// The text the value before edits was shown as.
    const Variant& DisplayValueBeforeEdits() const;
    /// Category and display name, "Category_Name": the order of the property sheet.
    const QString& SortKey() const;
    /// True when the current value passes the entry's validation rule.
    bool IsValid() const;
    /// The entries whose validation rule depends on this entry's value, in the order they are updated.
    SdkNamedValuesPtr ValueAffectsValidationFor();
    /// True when the property sheet shows the entry.
    bool Visible() const;
    /// Shows or hides the entry; a change makes the views redraw it.
    void SetVisible(bool visible);
    /// The name shown to the user.
    const QString& DisplayName() const;
    /// Renames the entry for the user and re-sorts it; a change makes the views redraw it.
    void SetDisplayName(const QString& displayName);
    /// The category the property sheet groups the entry under.
    const QString& CategoryName() const;
    /// True when editors must not change the value.
    bool GetReadOnly() const;
    /// Sets the rule (enumValidationRule bits) and its two range values, in either order.
    void SetValidationRules(int32_t rule, const Variant& rangeValue1 = Variant::missing(),
                            const Variant& rangeValue2 = Variant::missing());
    /// The value as loaded or as last saved.
    const Variant& GetValueBeforeEdits() const;
    /// Refused (False) for system attributes, and for Span and Zero while the point is digital.
    /// `pointAttributeName` is the primary or the twin name; empty keeps the current one.
    /// Raises once the entry's collection is gone: the entry still reads, but an edit could
    /// neither check its siblings nor reach the views.
    bool SetValue(const Variant& value, const QString& pointAttributeName = QString());
    /// The value as the property sheet shows it: the list name for list styles, value and unit for a twin,
    /// else the text.
    QString GetDisplayValue() const;
    /// True when `value` would pass the entry's validation rule; the model stores invalid values too.
    bool IsValidValue(const Variant& value) const;

    /// @{
    /// For the collection and the views.
    ComboEntries& ValueList();
    const ComboEntries& ValueList() const;
    /// @}
    /// Which editor shows the entry.
    enumDisplayStyle DisplayStyle() const;
    /// The twin name ("CompDevPercent" for CompDev, "ExcDevPercent" for ExcDev); empty for others.
    const QString& SecondaryAttributeName() const;
    /// The last value an editor handed over.
    const Variant& PendingValue() const;
    /// The name that came with the pending value.
    const QString& PendingAttributeName() const;
    /// The entries whose values are saved along with this one's.
    SdkNamedValuesPtr CoupledAttributes();
    /// The entries whose read-only state depends on this entry's value.
    SdkNamedValuesPtr ReadOnlyDependents();
    /// The validation rule: enumValidationRule bits.
    int32_t ValidationRule() const;
    /// @{
    /// The bounds of the range rules, in either order; Missing when not set.
    const Variant& RangeValue1() const;
    const Variant& RangeValue2() const;
    /// @}
    /// True for attributes the archive sets itself; SetValue() refuses them.
    bool IsSystemAttribute() const;
    /// True when `attributeName` is the entry's primary or twin name, without regard to case.
    bool AnswersTo(const QString& attributeName) const;

    /// Takes a value an editor hands over (under `attributeName`, or the current name when empty) without
    /// committing it; the collection raises OnPendingChange.
    void SetPendingValue(const Variant& value, const QString& attributeName = QString());
    /// The value under `attributeName`: converted between engineering units and per cent of span
    /// for the twin; "?" when span or value is no number, "Infinity" for a zero span.
    Variant GetValueAs(const QString& attributeName) const;
    /// Makes the current value the value before edits, as after a save.
    void CommitBeforeEdits();
    /// Takes a value the server stored on its own during a save (the time or writer of the change)
    /// as both the value and the value before edits; the collection raises OnDisplayEdit.
    void TakeStoredValue(const Variant& value);
    /// Works out the read-only state again from the values it depends on.
    void ComputeReadOnly();
    /// Works out the validation rule and range again from Zero, Span and PointType.
    void ApplyValidationRules();
    /// Prepares the entry for one attribute; False for a twin name, which makes no entry.
    bool Setup(const QString& attributeName, const Variant& value, const QString& attributePointType,
               const QString& categoryName, PropSheetEntries* parent);
    /// The same with the attribute's catalogue facts and default display name already worked out.
    bool Setup(const AttributeFacts* facts, const QString& attributeName, const QString& displayName,
               const Variant& value, const QString& attributePointType, const QString& categoryName,
               PropSheetEntries* parent);

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
    void takeServerList() const;
    void takeDisplayBeforeEdits();
    void spellDisplayBeforeEdits() const;
    QString displayOf(const Variant& value, const QString& attributeName) const;
    SdkNamedValuesPtr dependents(SdkNamedValuesPtr& set, QStringList AttributeDependencies::*names);

    std::unique_ptr<class PropSheetEntryPrivate> const d;
};

}  // namespace vq
