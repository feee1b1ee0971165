#include "PropSheetEntries.h"

#include "AttributeCatalog.h"
#include "core/KeyedCollection.h"
#include "core/MessageService.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkAttributeSets.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServer.h"

#include <optional>

namespace vq {

namespace {

constexpr int32_t objectNotSet = 91;

template <typename Pointer>
const Pointer& required(const Pointer& object, const char16_t* what) {
    if (!object)
        throw Error(objectNotSet, QStringLiteral("VQTagwrightCtls"),
                    QStringLiteral("Object variable not set (no %1)").arg(QString::fromUtf16(what)));
    return object;
}

// The security attributes that travel together on servers of version 3.2.
const char16_t* const securityAttributes[] = {u"DataAccess", u"PtAccess",  u"DataOwner",
                                              u"PtOwner",    u"DataGroup", u"PtGroup"};

// What the server stamps on every write of an existing point, whatever the edits were.
const char16_t* const writeStamps[] = {u"ChangeDate", u"Changer"};

}  // namespace

// One attribute as every fill of its class sees it, whatever the point's values.
struct PlannedAttribute {
    QString name;
    const AttributeFacts* facts = nullptr;
    bool twin = false;  // reached through its twin's entry only
    QString setName;
    QString category;        // before any point-source rule
    int categoryIndex = -1;  // in FillPlan::categories; -1 outside a plan
    QString displayName;
};

// The attributes of one class in the order a fill meets them. A plan serves only the server it
// was made for and is checked name by name as it is used, so a changed class is never misread.
struct FillPlan {
    std::weak_ptr<SdkServer> server;
    QString serverKind;
    QString className;
    QString attributesName;
    QStringList categories;  // distinct, in the order first met
    std::vector<PlannedAttribute> attributes;

    const PlannedAttribute* at(size_t position, const QString& name) const {
        if (position >= attributes.size()) return nullptr;
        if (attributes[position].name != name) return nullptr;
        return &attributes[position];
    }
};

namespace {

constexpr size_t plansKept = 8;

// The plans of the classes filled last, oldest first.
std::vector<std::shared_ptr<const FillPlan>>& fillPlans() {
    thread_local std::vector<std::shared_ptr<const FillPlan>> plans;
    return plans;
}

void keepPlan(std::shared_ptr<const FillPlan> plan) {
    auto& plans = fillPlans();
    std::erase_if(plans, [](const auto& kept) { return kept->server.expired(); });
    if (plans.size() >= plansKept) plans.erase(plans.begin());
    plans.push_back(std::move(plan));
}

void forgetPlan(const std::shared_ptr<const FillPlan>& plan) {
    std::erase(fillPlans(), plan);
}

}  // namespace

// PropSheetEntries's state, kept out of its header so that hosts need not rebuild when it changes.
class PropSheetEntriesPrivate {
public:
    std::vector<PropSheetEntryPtr> m_entries;  // in insertion order
    CaseInsensitiveMap<PropSheetEntry*> m_byPrimaryName;
    CaseInsensitiveMap<PropSheetEntry*> m_bySecondaryName;
    enumPointMode m_mode{};
    SdkServerPtr m_server;
    SdkPointPtr m_point;
    SdkPointClassPtr m_pointClass;
    std::vector<SdkPointAttributesPtr> m_attributeSets;  // of m_pointClass, read once
    QString m_serverKind;
    std::shared_ptr<ValidationRules::ServerNames> m_serverNames;  // shared with the entries of a fill
    SdkPointType m_pointType = 0;
    QString m_pendingEntryName;
    bool m_valuesEdited = false;
    PropSheetCategories m_categories;
    // Categories met while filling, made when someone first asks for the categories.
    std::vector<QString> m_pendingCategories;
    std::optional<Error> m_receiverError;
    int32_t m_saveErrorNumber = 0;
};

PropSheetEntries::PropSheetEntries(QObject* parent)
    : QObject(parent), d(std::make_unique<PropSheetEntriesPrivate>()) {}
PropSheetEntries::~PropSheetEntries() = default;

enumPointMode PropSheetEntries::Mode() const {
    return d->m_mode;
}

bool PropSheetEntries::AreValuesEdited() const {
    return !d->m_pendingEntryName.isEmpty() || d->m_valuesEdited;
}

const SdkServerPtr& PropSheetEntries::Server() const {
    return d->m_server;
}

SdkPointPtr PropSheetEntries::Point() const {
    return d->m_point;
}

SdkPointClassPtr PropSheetEntries::PointClass() const {
    return d->m_pointClass;
}

SdkPointType PropSheetEntries::PointType() const {
    return d->m_pointType;
}

int PropSheetEntries::Count() const {
    return int(d->m_entries.size());
}

PropSheetCategories& PropSheetEntries::Categories() {
    makePendingCategories();
    return d->m_categories;
}

const QString& PropSheetEntries::ServerKind() const {
    return d->m_serverKind;
}

PropSheetEntry* PropSheetEntries::lookup(const QString& attributeName) const {
    if (PropSheetEntry* const* entry = d->m_byPrimaryName.find(attributeName)) return *entry;
    PropSheetEntry* const* twin = d->m_bySecondaryName.find(attributeName);
    return twin ? *twin : nullptr;
}

PropSheetEntryPtr PropSheetEntries::find(const QString& attributeName) const {
    PropSheetEntry* entry = lookup(attributeName);
    return entry ? entry->shared_from_this() : nullptr;
}

PropSheetEntryPtr PropSheetEntries::Item(const Variant& index) const {
    if (index.isNumberType()) {
        const int position = index.toInt32();
        if (position >= 1 && position <= Count()) return d->m_entries[size_t(position - 1)];
    } else if (PropSheetEntry* entry = lookup(index.toString())) {
        return entry->shared_from_this();
    }
    reraising(QStringLiteral("PropSheetEntries:Item"), [&] { SecondaryItem(index); });
    return nullptr;
}

// Raises the keyed collections' own error for what neither name nor position found.
PropSheetEntry* PropSheetEntries::SecondaryItem(const Variant& index) const {
    if (index.isNumberType()) throwPositionOutOfRange(index.toInt32(), Count());
    throwAbsentKey(index.toString());
}

// An absent name or position is a plain "no", never a message.
bool PropSheetEntries::Exists(const Variant& index) const {
    if (index.isNumberType()) return index.toInt32() >= 1 && index.toInt32() <= Count();
    return d->m_byPrimaryName.contains(index.toString()) || SecondaryExists(index);
}

bool PropSheetEntries::SecondaryExists(const Variant& index) const {
    return d->m_bySecondaryName.contains(index.toString());
}

void PropSheetEntries::Add(PropSheetEntryPtr entry) {
    reporting(QStringLiteral("PropSheetEntries:Add"), ReportLayout::Short, [&] {
        if (!lookup(entry->PrimaryAttributeName())) append(std::move(entry));
    });
}

void PropSheetEntries::append(PropSheetEntryPtr entry) {
    PropSheetEntry* added = entry.get();
    d->m_entries.push_back(std::move(entry));
    d->m_byPrimaryName.insert(added->PrimaryAttributeName(), added);
    if (!added->SecondaryAttributeName().isEmpty())
        d->m_bySecondaryName.insert(added->SecondaryAttributeName(), added);
}

Variant PropSheetEntries::GetValue(const QString& attributeName) const {
    return Item(Variant(attributeName))->GetValueAs(attributeName);
}

void PropSheetEntries::SetValue(const QString& attributeName, const Variant& value) {
    Item(Variant(attributeName))->SetValue(value, attributeName);
}

// Edited attributes, the one added last first, each under the name its value is expressed in.
SdkNamedValuesPtr PropSheetEntries::GetEdits() const {
    return editedPairs([](const PropSheetEntry& entry) {
        return SdkNamedValue(entry.CurrentAttributeName(), entry.GetValueAs(QString()));
    });
}

SdkNamedValuesPtr PropSheetEntries::GetBeforeEdits() const {
    return editedPairs([](const PropSheetEntry& entry) {
        return SdkNamedValue(entry.PrimaryAttributeName(), entry.GetValueBeforeEdits());
    });
}

SdkNamedValuesPtr PropSheetEntries::editedPairs(
    const std::function<SdkNamedValue(const PropSheetEntry&)>& pair) const {
    auto pairs = SdkNamedValues::create();
    for (auto entry = d->m_entries.rbegin(); entry != d->m_entries.rend(); ++entry) {
        if (!(*entry)->IsValueEdited()) continue;
        const SdkNamedValue edited = pair(**entry);
        pairs->Add(edited.Name(), edited.Value());
    }
    return pairs;
}

bool PropSheetEntries::anyValueEdited() const {
    for (const auto& entry : d->m_entries)
        if (entry->IsValueEdited()) return true;
    return false;
}

void PropSheetEntries::PendingChange(PropSheetEntry* entry) {
    const bool unchanged =
        entry->PendingValue().toString().compare(entry->GetValueAs(QString()).toString(),
                                                 Qt::CaseInsensitive) == 0 &&
        entry->PendingAttributeName().compare(entry->CurrentAttributeName(), Qt::CaseInsensitive) == 0;
    d->m_pendingEntryName = unchanged ? QString() : entry->PendingAttributeName();
    Q_EMIT OnPendingChange(entry);
    raiseReceiverError();
}

void PropSheetEntries::CommitPendingChanges() {
    if (d->m_pendingEntryName.isEmpty()) return;
    const PropSheetEntryPtr entry = Item(Variant(d->m_pendingEntryName));
    entry->SetValue(entry->PendingValue(), entry->PendingAttributeName());
    // A value the entry refused or already held is dealt with too: left pending, it would
    // report unsaved edits even after a successful save.
    d->m_pendingEntryName.clear();
}

void PropSheetEntries::ValueEdited(PropSheetEntry* entry) {
    d->m_valuesEdited = anyValueEdited();
    d->m_pendingEntryName.clear();
    Q_EMIT OnValueEdit(entry);
    raiseReceiverError();
}

void PropSheetEntries::DisplayEdited(PropSheetEntry* entry) {
    Q_EMIT OnDisplayEdit(entry);
    raiseReceiverError();
}

void PropSheetEntries::receive(const std::function<void()>& handler) {
    try {
        handler();
    } catch (...) {
        if (!d->m_receiverError) d->m_receiverError = currentError();
    }
}

void PropSheetEntries::raiseReceiverError() {
    if (!d->m_receiverError) return;
    const Error error = *d->m_receiverError;
    d->m_receiverError.reset();
    throw error;
}

void PropSheetEntries::CommitEdits() {
    d->m_valuesEdited = false;
    for (auto entry = d->m_entries.rbegin(); entry != d->m_entries.rend(); ++entry)
        (*entry)->CommitBeforeEdits();
}

void PropSheetEntries::AddDefaultAttributes(const SdkServerPtr& server, const QString& ptClassName) {
    reraising(QStringLiteral("PropSheetEntries:AddDefaultAttributes"), [&] {
        d->m_server = required(server, u"server");
        d->m_point.reset();
        d->m_mode = modeNewPoint;
        d->m_serverKind = d->m_server->ServerKind();
        setPointClass(d->m_server->PointClasses()->Item(ptClassName));
        const QString pointType = QStringLiteral("PointType");
        if (d->m_serverKind == u"VQ2") {
            const SdkPointAttributesPtr defaults = d->m_pointClass->PointAttributes();
            d->m_pointType = defaults->Item(pointType)->Value().toInt32();
            Init(*defaults, QString(), d->m_pointType, Variant::missing());
            return;
        }
        d->m_pointType = d->m_pointClass->AttributeSets()
                             ->Item(QStringLiteral("Base"))
                             ->Item(pointType)
                             ->Value()
                             .toInt32();
        for (const SdkPointAttributesPtr& set : attributeSets())
            Init(*set, QString(), d->m_pointType, Variant::missing());
    });
}

void PropSheetEntries::AddAttributesForPoint(const SdkPointPtr& point) {
    reraising(QStringLiteral("PropSheetEntries:AddAttributesForPoint"), [&] {
        d->m_point = required(point, u"point");
        const SdkPointAttributesPtr attributes = d->m_point->PointAttributes();
        attributes->LoadAll();
        SdkApplication::instance()->TakePoint(d->m_point);
        d->m_mode = modeEditPoint;
        d->m_server = d->m_point->Server();
        d->m_serverKind = d->m_server->ServerKind();
        setPointClass(d->m_point->PointClass());
        // The values loaded above are read as they are: loading them again would only read the
        // same row twice. A class without a point source simply has none, and only the
        // categories of VQ2 servers depend on it.
        const QString pointSource = QStringLiteral("PointSource");
        const Variant source = d->m_serverKind == u"VQ2" && attributes->Contains(pointSource)
                                   ? attributes->Item(pointSource)->Value()
                                   : Variant::missing();
        d->m_pointType = d->m_point->PointType();
        Init(*attributes, d->m_point->Name(), d->m_pointType, source);
    });
}

const std::shared_ptr<ValidationRules::ServerNames>& PropSheetEntries::serverNames() {
    if (!d->m_serverNames || d->m_serverNames->server() != d->m_server.get()) renewServerNames();
    return d->m_serverNames;
}

// Entries made before keep the lists they were made with.
void PropSheetEntries::renewServerNames() {
    d->m_serverNames = std::make_shared<ValidationRules::ServerNames>();
    d->m_serverNames->reset(d->m_server);
}

void PropSheetEntries::Init(SdkPointAttributes& attributes, const QString& tagName, SdkPointType pointType,
                            const Variant& pointSource) {
    reraising(QStringLiteral("PropSheetEntries:Init"), [&] {
        renewServerNames();
        const QString base = QStringLiteral("Base");
        if (auto tag = makeEntry(QStringLiteral("Tag"), Variant(tagName), QStringLiteral("String"), base,
                                 pointSource))
            Add(std::move(tag));
        if (auto type = makeEntry(QStringLiteral("PointType"), Variant(int32_t(pointType)),
                                  QStringLiteral("PointType"), base, pointSource))
            Add(std::move(type));
        const std::shared_ptr<const FillPlan> plan = fillPlan(attributes);
        std::vector<char> categoryMet(plan->categories.size(), 0);
        d->m_pendingCategories.reserve(d->m_pendingCategories.size() + plan->categories.size() + 2);
        d->m_entries.reserve(d->m_entries.size() + plan->attributes.size());
        d->m_byPrimaryName.reserve(d->m_entries.size() + plan->attributes.size());
        size_t position = 0;
        bool planHolds = true;
        attributes.ForEach([&](const QString& name, const Variant& value) {
            if (const PlannedAttribute* planned = plan->at(position++, name))
                return addPlanned(*planned, value, pointSource, categoryMet);
            planHolds = false;
            bool reliable = true;
            addPlanned(planAttribute(name, reliable), value, pointSource, categoryMet);
        });
        if (!planHolds || position != plan->attributes.size()) forgetPlan(plan);
    });
}

// The first set that brings an attribute wins; twins are reached through their entries. The name
// is claimed first, so that it is hashed once for the check and the insertion.
void PropSheetEntries::addPlanned(const PlannedAttribute& planned, const Variant& value,
                                  const Variant& pointSource, std::vector<char>& categoryMet) {
    const QString& name = planned.name;
    // Only twin names are ever an entry's second name.
    if (planned.twin && d->m_bySecondaryName.contains(name)) return;
    PropSheetEntry** slot = d->m_byPrimaryName.claim(name);
    if (*slot) return;
    PropSheetEntryPtr entry;
    try {
        const QString category = plannedCategory(planned, pointSource, categoryMet);
        if (!planned.twin) {
            entry = std::make_shared<PropSheetEntry>();
            entry->Setup(planned.facts, name, planned.displayName, value, value.typeName(), category, this);
        }
    } catch (...) {
        d->m_byPrimaryName.erase(name);
        throw;
    }
    if (!entry) {
        d->m_byPrimaryName.erase(name);
        return;
    }
    *slot = entry.get();
    if (!entry->SecondaryAttributeName().isEmpty())
        d->m_bySecondaryName.insert(entry->SecondaryAttributeName(), entry.get());
    d->m_entries.push_back(std::move(entry));
}

// A twin is categorized too, although it makes no entry: its category is offered all the same.
QString PropSheetEntries::plannedCategory(const PlannedAttribute& planned, const Variant& pointSource,
                                          std::vector<char>& categoryMet) {
    if (PropSheetCategories::sourceRulesApply(d->m_serverKind, pointSource))
        return Categories().Categorize(AttributeCatalog::ruleCategory(planned.facts), planned.setName,
                                       planned.name, d->m_serverKind, pointSource);
    const int index = planned.categoryIndex;
    if (index < 0 || !categoryMet[size_t(index)]) {
        d->m_pendingCategories.push_back(planned.category);
        if (index >= 0) categoryMet[size_t(index)] = 1;
    }
    return planned.category;
}

// In the order they were met, after those made already.
void PropSheetEntries::makePendingCategories() {
    for (const QString& category : d->m_pendingCategories) d->m_categories.ensureCategory(category);
    d->m_pendingCategories.clear();
}

std::shared_ptr<const FillPlan> PropSheetEntries::fillPlan(SdkPointAttributes& attributes) {
    const QString className = d->m_pointClass ? d->m_pointClass->Name() : QString();
    const QString attributesName = attributes.Name();
    for (const auto& plan : fillPlans())
        if (plan->className == className && plan->attributesName == attributesName &&
            plan->serverKind == d->m_serverKind && plan->server.lock() == d->m_server)
            return plan;
    auto plan = std::make_shared<FillPlan>();
    plan->server = d->m_server;
    plan->serverKind = d->m_serverKind;
    plan->className = className;
    plan->attributesName = attributesName;
    bool reliable = true;
    attributes.ForEach([&](const QString& name, const Variant&) {
        PlannedAttribute& planned = plan->attributes.emplace_back(planAttribute(name, reliable));
        planned.categoryIndex = int(plan->categories.indexOf(planned.category));
        if (planned.categoryIndex < 0) {
            planned.categoryIndex = int(plan->categories.size());
            plan->categories.append(planned.category);
        }
    });
    // A set name that could not be read is shown once and asked again next time.
    if (reliable) keepPlan(plan);
    return plan;
}

PlannedAttribute PropSheetEntries::planAttribute(const QString& name, bool& reliable) {
    PlannedAttribute planned;
    planned.name = name;
    planned.facts = AttributeCatalog::facts(name);
    planned.twin = AttributeCatalog::isTwinName(planned.facts);
    planned.setName = attributeSetName(name, reliable);
    planned.category =
        PropSheetCategories::defaultCategory(AttributeCatalog::ruleCategory(planned.facts), planned.setName);
    planned.displayName = AttributeCatalog::defaultDisplayName(name, planned.facts);
    return planned;
}

// Null for a name that makes no entry.
PropSheetEntryPtr PropSheetEntries::makeEntry(const QString& name, const Variant& value,
                                              const QString& typeName, const QString& setName,
                                              const Variant& pointSource) {
    PlannedAttribute planned;
    planned.name = name;
    planned.facts = AttributeCatalog::facts(name);
    planned.setName = setName;
    planned.category =
        PropSheetCategories::defaultCategory(AttributeCatalog::ruleCategory(planned.facts), setName);
    std::vector<char> noPlan;
    const QString category = plannedCategory(planned, pointSource, noPlan);
    const AttributeFacts* facts = planned.facts;
    auto entry = std::make_shared<PropSheetEntry>();
    if (!entry->Setup(facts, name, AttributeCatalog::defaultDisplayName(name, facts), value, typeName,
                      category, this))
        return nullptr;
    return entry;
}

const std::vector<SdkPointAttributesPtr>& PropSheetEntries::attributeSets() {
    if (d->m_attributeSets.empty()) {
        const SdkAttributeSetsPtr sets = required(d->m_pointClass, u"point class")->AttributeSets();
        if (sets) d->m_attributeSets = sets->All();
    }
    return d->m_attributeSets;
}

void PropSheetEntries::setPointClass(SdkPointClassPtr pointClass) {
    d->m_pointClass = std::move(pointClass);
    d->m_attributeSets.clear();
}

QString PropSheetEntries::GetAttributeSetName(const QString& ptAttribName) {
    bool reliable = true;
    return attributeSetName(ptAttribName, reliable);
}

// The last set that holds the attribute names it, so the sets are asked from the last. A failure
// is shown and clears `reliable`.
QString PropSheetEntries::attributeSetName(const QString& ptAttribName, bool& reliable) {
    QString setName = QStringLiteral("Unknown");
    try {
        if (d->m_serverKind == u"VQ2") return QStringLiteral("Classic");
        const std::vector<SdkPointAttributesPtr>& sets = attributeSets();
        for (auto set = sets.rbegin(); set != sets.rend(); ++set)
            if (IsAttributeInPtAttribs(ptAttribName, **set)) return (*set)->Name();
    } catch (...) {
        reliable = false;
        report(currentError(), QStringLiteral("PropSheetEntries:GetAttributeSetName"), ReportLayout::Short);
    }
    return setName;
}

bool PropSheetEntries::IsAttributeInPtAttribs(const QString& ptAttribName,
                                              SdkPointAttributes& ptAttribs) const {
    return silently(false, [&] { return ptAttribs.Contains(ptAttribName); });
}

void PropSheetEntries::CheckServerConnection() {
    reporting(QStringLiteral("PropSheetEntries:CheckServerConnection"), ReportLayout::Short,
              [&] { logOnIfNeeded(); });
}

void PropSheetEntries::logOnIfNeeded() {
    if (required(d->m_server, u"server")->IsConnected()) return;
    SdkServerPtr server = d->m_server;
    SdkConnectDialog::create()->Logon(server, QStringLiteral("vqadmin"), QString(), true, false);
    d->m_server = server;
}

bool PropSheetEntries::SaveEdits() {
    const PointSaveResult result = saveReporting(true);
    if (!result.saved())
        report(result.error, QStringLiteral("PropSheetEntries:SaveEdits"), ReportLayout::Short,
               result.refusedLines());
    return result.saved();
}

PointSaveResult PropSheetEntries::Save() {
    return saveReporting(false);
}

// SaveEdits reports a failed log-on where it happens and goes on to fail at the write; Save
// ends at the log-on, so a host shows one message (or none when the user chose not to log on).
PointSaveResult PropSheetEntries::saveReporting(bool reportLogon) {
    PointSaveResult result;
    try {
        CommitPendingChanges();
        const SdkNamedValuesPtr edits = GetEdits();
        addCoupledAttributes(*edits);
        addSecurityAttributes(*edits);
        required(d->m_server, u"point to save");
        if (reportLogon)
            CheckServerConnection();
        else
            logOnIfNeeded();
        const bool existing = d->m_mode == modeEditPoint;
        writeEdits(*edits, result.refused);
        d->m_mode = modeEditPoint;
        d->m_pointType = d->m_point->PointType();
        SdkApplication::instance()->TakePoint(d->m_point);
        CommitEdits();
        if (existing) showWriteStamps();
    } catch (...) {
        result.error = currentError();
    }
    d->m_saveErrorNumber = result.error.number();
    return result;
}

int32_t PropSheetEntries::SaveErrorNumber() const {
    return d->m_saveErrorNumber;
}

void PropSheetEntries::writeEdits(const SdkNamedValues& edits, SdkNamedValues& failed) {
    if (d->m_mode == modeNewPoint) {
        const QString tag = Item(Variant(QStringLiteral("Tag")))->GetValueAs(QString()).toString();
        const SdkPointType type = Item(Variant(QStringLiteral("PointType")))->GetValueAs(QString()).toInt32();
        d->m_point = d->m_server->Points()->Add(tag, d->m_pointClass->Name(), type, edits, &failed);
    } else if (d->m_mode == modeEditPoint) {
        const SdkPointAttributesPtr attributes = d->m_point->PointAttributes();
        attributes->SetStopOnFirstError(false);
        attributes->SetAttributes(edits, failed);
    }
}

// The views show the stamps as stored, not as they were when the point was loaded.
void PropSheetEntries::showWriteStamps() {
    const SdkPointAttributesPtr stored = d->m_point->PointAttributes();
    for (const char16_t* stamp : writeStamps) {
        const QString name = QString::fromUtf16(stamp);
        PropSheetEntry* entry = lookup(name);
        if (entry && stored->Contains(name)) entry->TakeStoredValue(stored->Item(name)->Value());
    }
}

// Attributes saved along with an edited one keep their values but travel with it; one the
// point's class does not have is left out.
void PropSheetEntries::addCoupledAttributes(SdkNamedValues& edits) const {
    SdkNamedValues coupled;
    for (const SdkNamedValue& edit : edits) {
        PropSheetEntry* entry = lookup(edit.Name());
        if (!entry) continue;
        for (const SdkNamedValue& name : *entry->CoupledAttributes()) {
            const PropSheetEntry* partner = lookup(name.Name());
            if (partner && !partner->IsValueEdited() && !coupled.Contains(partner->PrimaryAttributeName()))
                coupled.Add(partner->PrimaryAttributeName(), partner->GetValueAs(QString()));
        }
    }
    edits.Merge(coupled, true);
}

void PropSheetEntries::addSecurityAttributes(SdkNamedValues& edits) const {
    if (!d->m_server || d->m_server->ServerVersion().Text().left(6) != u"VQ 3.2") return;
    SdkNamedValues security;
    for (const char16_t* name : securityAttributes) {
        const PropSheetEntry* entry = lookup(QString::fromUtf16(name));
        if (entry && !entry->IsValueEdited())
            security.Add(QString::fromUtf16(name), entry->GetValueAs(QString()));
    }
    if (security.Count() > 0) edits.Merge(security, true);
}

}  // namespace vq
