#pragma once

#include "model/ModelExport.h"

#include "CaseInsensitiveMap.h"
#include "PointSaveResult.h"
#include "PropSheetCategories.h"
#include "PropSheetEntry.h"
#include "ValidationRules.h"
#include "enumPointMode.h"
#include "sdk/SdkFwd.h"
#include "sdk/SdkNamedValue.h"
#include "sdk/SdkPointType.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace vq {

struct FillPlan;
struct PlannedAttribute;

/// The model of one point's attributes while it is created or edited: one entry per attribute,
/// found by attribute name or by the twin names "CompDevPercent" and "ExcDevPercent". It commits
/// what editors hand over, lists the edits and saves them to the server. Every view of the point
/// shares one collection and redraws on its three events, which are delivered synchronously.
class VQ_MODEL_EXPORT PropSheetEntries : public QObject {
    Q_OBJECT
public:
    /// An empty collection; AddDefaultAttributes() or AddAttributesForPoint() fills it.
    explicit PropSheetEntries(QObject* parent = nullptr);
    ~PropSheetEntries() override;

    /// Whether the collection holds a new point or an existing one; 0 before it is filled.
    enumPointMode Mode() const;
    /// True after a committed edit until the next save, and while an editor holds an uncommitted value.
    bool AreValuesEdited() const;
    /// The server the point lives on.
    const SdkServerPtr& Server() const;
    /// The point being edited; null for a new point until it is saved.
    SdkPointPtr Point() const;
    /// The point's class.
    SdkPointClassPtr PointClass() const;
    /// The point type the point was loaded or last saved with; 0 before.
    SdkPointType PointType() const;
    /// The value of an attribute under that name: asking for "CompDevPercent" gives per cent of span even
    /// while the entry holds engineering units.
    Variant GetValue(const QString& attributeName) const;
    /// Sets an attribute's value as if an editor committed it under that name.
    void SetValue(const QString& attributeName, const Variant& value);
    /// The edited attributes, last added first, each under the name its value is expressed in.
    SdkNamedValuesPtr GetEdits() const;
    /// As GetEdits(), but each edited attribute under its primary name with its value before edits.
    SdkNamedValuesPtr GetBeforeEdits() const;
    /// Commits a pending value, then writes the edits with their coupled attributes to the server in one
    /// transaction, logging on first if needed. True when saved; a failure is shown to the user and the
    /// edits stay.
    bool SaveEdits();
    /// Saves as SaveEdits() does but shows nothing, the log-on included: a failure, a refused log-on
    /// or a point changed meanwhile comes back in the result for the host to present.
    PointSaveResult Save();
    /// The number of the error that ended the last SaveEdits; 0 once one saved. A host tells from
    /// it, for example, a point someone else changed meanwhile (it may then read the point again
    /// and save over it) from a refused value.
    int32_t SaveErrorNumber() const;
    /// Commits the value an editor handed over but did not commit yet, if any.
    void CommitPendingChanges();
    /// The number of entries.
    int Count() const;
    /// By attribute name (primary or twin) or by position from 1; an absent one raises. The entry
    /// is shared so that a host may keep it past the collection (see PropSheetEntry::SetValue).
    PropSheetEntryPtr Item(const Variant& index) const;
    /// True when an entry answers to that name (primary or twin) or position.
    bool Exists(const Variant& index) const;
    /// Fills the collection for a new point of class `ptClassName` with the class's defaults.
    void AddDefaultAttributes(const SdkServerPtr& server, const QString& ptClassName);
    /// Fills the collection with the attributes of an existing point, loaded from its server.
    void AddAttributesForPoint(const SdkPointPtr& point);
    /// The attribute set an attribute belongs to: "Classic" on VQ2 servers, else the last set of the class
    /// that holds it; "Unknown" for none.
    QString GetAttributeSetName(const QString& ptAttribName);
    /// True when `ptAttribs` has an attribute of that name.
    bool IsAttributeInPtAttribs(const QString& ptAttribName, SdkPointAttributes& ptAttribs) const;

    /// @{
    /// For the entries and the views.
    PropSheetCategories& Categories();
    /// The server's kind, "VQ3" or "VQ2", read when the collection was filled.
    const QString& ServerKind() const;
    /// @}
    /// The server's users and groups, read once for the entries of one fill, when the first of
    /// them shows its list; an entry kept past the collection still reads them there.
    const std::shared_ptr<ValidationRules::ServerNames>& serverNames();
    /// The entry answering to `attributeName`, or null; never raises.
    PropSheetEntryPtr find(const QString& attributeName) const;
    /// Shows the log-on dialog when the server is not connected, and keeps the server the dialog hands
    /// back.
    void CheckServerConnection();

    /// An error cannot travel back through a Qt signal: it would skip the receivers after the one
    /// that raised it. A receiver of the events runs its handler through `receive` instead; the
    /// error waits until every receiver has had the event, then the collection raises it to
    /// whoever caused the event, as if the handler had raised it there. The first error wins.
    void receive(const std::function<void()>& handler);

Q_SIGNALS:
    /// An editor handed a value to `Entry` that is not committed yet.
    void OnPendingChange(vq::PropSheetEntry* Entry);
    /// The value or the current attribute name of `Entry` changed after loading.
    void OnValueEdit(vq::PropSheetEntry* Entry);
    /// `Entry` must be redrawn: its display name, visibility, read-only state or rule changed, or its twin
    /// value was just edited.
    void OnDisplayEdit(vq::PropSheetEntry* Entry);

private:
    // The events are raised by the entries and the fill methods only, never by a view.
    friend class PropSheetEntry;
    void Add(PropSheetEntryPtr entry);
    void PendingChange(PropSheetEntry* entry);
    void ValueEdited(PropSheetEntry* entry);
    void DisplayEdited(PropSheetEntry* entry);
    void CommitEdits();
    void Init(SdkPointAttributes& attributes, const QString& tagName, SdkPointType pointType,
              const Variant& pointSource);
    // The entry answering to `attributeName`, or null, without sharing it.
    PropSheetEntry* lookup(const QString& attributeName) const;
    PropSheetEntry* SecondaryItem(const Variant& index) const;
    bool SecondaryExists(const Variant& index) const;
    bool anyValueEdited() const;
    // Raises the error a receiver of the event just delivered left with `receive`.
    void raiseReceiverError();
    SdkNamedValuesPtr editedPairs(const std::function<SdkNamedValue(const PropSheetEntry&)>& pair) const;
    PropSheetEntryPtr makeEntry(const QString& name, const Variant& value, const QString& typeName,
                                const QString& setName, const Variant& pointSource);
    // What Init works out once per class and attribute list, reused by later fills.
    std::shared_ptr<const FillPlan> fillPlan(SdkPointAttributes& attributes);
    PlannedAttribute planAttribute(const QString& name, bool& reliable);
    void addPlanned(const PlannedAttribute& planned, const Variant& value, const Variant& pointSource,
                    std::vector<char>& categoryMet);
    QString plannedCategory(const PlannedAttribute& planned, const Variant& pointSource,
                            std::vector<char>& categoryMet);
    QString attributeSetName(const QString& ptAttribName, bool& reliable);
    void renewServerNames();
    void makePendingCategories();
    // Appends an entry whose names the collection does not hold yet.
    void append(PropSheetEntryPtr entry);
    void addCoupledAttributes(SdkNamedValues& edits) const;
    void addSecurityAttributes(SdkNamedValues& edits) const;
    void writeEdits(const SdkNamedValues& edits, SdkNamedValues& failed);
    PointSaveResult saveReporting(bool reportLogon);
    void logOnIfNeeded();
    void showWriteStamps();
    const std::vector<SdkPointAttributesPtr>& attributeSets();
    void setPointClass(SdkPointClassPtr pointClass);

    std::unique_ptr<class PropSheetEntriesPrivate> const d;
};

}  // namespace vq
