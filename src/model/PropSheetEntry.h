#pragma once

#include "ComboEntries.h"
#include "core/Variant.h"
#include "enumDisplayStyle.h"
#include "enumValidationRule.h"
#include "sdk/SdkFwd.h"

#include <QObject>

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
    bool IsDependentValueEdited() const;
    const QString& CurrentAttributeName() const;
    const QString& PrimaryAttributeName() const;
    const QString& AttributePointType() const;
    const Variant& DisplayValueBeforeEdits() const;
    const QString& SortKey() const;
    bool IsValid() const;
    SdkNamedValuesPtr ValueAffectsValidationFor();
    bool Visible() const;
    void SetVisible(bool visible);
    const QString& DisplayName() const;
    void SetDisplayName(const QString& displayName);
    const QString& CategoryName() const;
    bool GetReadOnly() const;
    void SetValidationRules(int32_t rule, const Variant& rangeValue1 = Variant::missing(),
                            const Variant& rangeValue2 = Variant::missing());
    const Variant& GetValueBeforeEdits() const;
    // Refused (False) for system attributes, and for Span and Zero while the point is digital.
    // `pointAttributeName` is the primary or the twin name; empty keeps the current one.
    // Raises once the entry's collection is gone: the entry still reads, but an edit could
    // neither check its siblings nor reach the views.
    bool SetValue(const Variant& value, const QString& pointAttributeName = QString());
    QString GetDisplayValue() const;
    bool IsValidValue(const Variant& value) const;

    // For the collection and the views.
    ComboEntries& ValueList();
    const ComboEntries& ValueList() const;
    enumDisplayStyle DisplayStyle() const;
    const QString& SecondaryAttributeName() const;
    const Variant& PendingValue() const;
    const QString& PendingAttributeName() const;
    SdkNamedValuesPtr CoupledAttributes();
    SdkNamedValuesPtr ReadOnlyDependents();
    int32_t ValidationRule() const;
    const Variant& RangeValue1() const;
    const Variant& RangeValue2() const;
    bool IsSystemAttribute() const;
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
    // The same with the attribute's catalogue facts already looked up.
    bool Setup(const AttributeFacts* facts, const QString& attributeName, const Variant& value,
               const QString& attributePointType, const QString& categoryName, PropSheetEntries* parent);

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

    std::unique_ptr<class PropSheetEntryPrivate> const d;
};

}  // namespace vq
