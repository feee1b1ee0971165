#pragma once

#include "CaseInsensitiveMap.h"
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

// The model of one point's attributes while it is created or edited: one entry per attribute,
// found by attribute name or by the twin names "CompDevPercent" and "ExcDevPercent". It commits
// what editors hand over, lists the edits and saves them to the server. Every view of the point
// shares one collection and redraws on its three events, which are delivered synchronously.
class PropSheetEntries : public QObject {
    Q_OBJECT
public:
    explicit PropSheetEntries(QObject* parent = nullptr);
    ~PropSheetEntries() override;

    enumPointMode Mode() const;
    bool AreValuesEdited() const;
    const SdkServerPtr& Server() const;
    SdkPointPtr Point() const;
    SdkPointClassPtr PointClass() const;
    // The point type the point was loaded or last saved with; 0 before.
    SdkPointType PointType() const;
    Variant GetValue(const QString& attributeName) const;
    void SetValue(const QString& attributeName, const Variant& value);
    SdkNamedValuesPtr GetEdits() const;
    SdkNamedValuesPtr GetBeforeEdits() const;
    bool SaveEdits();
    // The number of the error that ended the last SaveEdits; 0 once one saved. A host tells from
    // it, for example, a point someone else changed meanwhile (it may then read the point again
    // and save over it) from a refused value.
    int32_t SaveErrorNumber() const;
    void CommitPendingChanges();
    int Count() const;
    // By attribute name (primary or twin) or by position from 1; an absent one raises. The entry
    // is shared so that a host may keep it past the collection (see PropSheetEntry::SetValue).
    PropSheetEntryPtr Item(const Variant& index) const;
    bool Exists(const Variant& index) const;
    void AddDefaultAttributes(const SdkServerPtr& server, const QString& ptClassName);
    void AddAttributesForPoint(const SdkPointPtr& point);
    QString GetAttributeSetName(const QString& ptAttribName);
    bool IsAttributeInPtAttribs(const QString& ptAttribName, SdkPointAttributes& ptAttribs) const;

    // For the entries and the views.
    PropSheetCategories& Categories();
    const QString& ServerKind() const;
    // The server's users and groups, read once while the entries are made.
    ValidationRules::ServerNames& serverNames();
    // The entry answering to `attributeName`, or null; never raises.
    PropSheetEntryPtr find(const QString& attributeName) const;
    void CheckServerConnection();

    // An error cannot travel back through a Qt signal: it would skip the receivers after the one
    // that raised it. A receiver of the events runs its handler through `receive` instead; the
    // error waits until every receiver has had the event, then the collection raises it to
    // whoever caused the event, as if the handler had raised it there. The first error wins.
    void receive(const std::function<void()>& handler);

Q_SIGNALS:
    void OnPendingChange(vq::PropSheetEntry* Entry);
    void OnValueEdit(vq::PropSheetEntry* Entry);
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
    // Appends an entry whose names the collection does not hold yet.
    void append(PropSheetEntryPtr entry);
    void addCoupledAttributes(SdkNamedValues& edits) const;
    void addSecurityAttributes(SdkNamedValues& edits) const;
    void writeEdits(const SdkNamedValues& edits, SdkNamedValues& failed);
    const std::vector<SdkPointAttributesPtr>& attributeSets();
    void setPointClass(SdkPointClassPtr pointClass);

    std::unique_ptr<class PropSheetEntriesPrivate> const d;
};

}  // namespace vq
