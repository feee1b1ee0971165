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

    enumPointMode Mode() const { return m_mode; }
    bool AreValuesEdited() const { return !m_pendingEntryName.isEmpty() || m_valuesEdited; }
    const SdkServerPtr& Server() const { return m_server; }
    SdkPointPtr Point() const { return m_point; }
    SdkPointClassPtr PointClass() const { return m_pointClass; }
    // The point type the point was loaded or last saved with; 0 before.
    SdkPointType PointType() const { return m_pointType; }
    Variant GetValue(const QString& attributeName) const;
    void SetValue(const QString& attributeName, const Variant& value);
    SdkNamedValuesPtr GetEdits() const;
    SdkNamedValuesPtr GetBeforeEdits() const;
    bool SaveEdits();
    void CommitPendingChanges();
    int Count() const { return int(m_entries.size()); }
    // By attribute name (primary or twin) or by position from 1; an absent one raises. The entry
    // is shared so that a host may keep it past the collection (see PropSheetEntry::SetValue).
    PropSheetEntryPtr Item(const Variant& index) const;
    bool Exists(const Variant& index) const;
    void AddDefaultAttributes(const SdkServerPtr& server, const QString& ptClassName);
    void AddAttributesForPoint(const SdkPointPtr& point);
    QString GetAttributeSetName(const QString& ptAttribName);
    bool IsAttributeInPtAttribs(const QString& ptAttribName, SdkPointAttributes& ptAttribs) const;

    // For the entries and the views.
    PropSheetCategories& Categories() { return m_categories; }
    const QString& ServerKind() const { return m_serverKind; }
    // The server's users and groups, read once while the entries are made.
    ValidationRules::ServerNames& serverNames();
    // The entry answering to `attributeName`, or null; never raises.
    PropSheetEntryPtr find(const QString& attributeName) const;
    void CheckServerConnection();

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

    std::vector<PropSheetEntryPtr> m_entries;  // in insertion order
    CaseInsensitiveMap<PropSheetEntry*> m_byPrimaryName;
    CaseInsensitiveMap<PropSheetEntry*> m_bySecondaryName;
    enumPointMode m_mode{};
    SdkServerPtr m_server;
    SdkPointPtr m_point;
    SdkPointClassPtr m_pointClass;
    std::vector<SdkPointAttributesPtr> m_attributeSets;  // of m_pointClass, read once
    QString m_serverKind;
    ValidationRules::ServerNames m_serverNames;
    SdkPointType m_pointType = 0;
    QString m_pendingEntryName;
    bool m_valuesEdited = false;
    PropSheetCategories m_categories;
};

}  // namespace vq
