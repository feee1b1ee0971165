#include "table/PointTableModel.h"

#include "table/PointTableRows.h"

#include "core/Error.h"
#include "model/PropSheetCategory.h"
#include "model/enumDisplayStyle.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServer.h"

#include <QColor>

#include <algorithm>

namespace vq {

namespace {

const QString kTag = QStringLiteral("Tag");

// The shape of a QString's heap block, for the memory figure.
size_t stringBytes(const QString& text) {
    return text.isEmpty() ? 0 : 16 + size_t(text.capacity() + 1) * sizeof(QChar);
}

}  // namespace

// ---- the row store ----

uint16_t PointTableModelPrivate::serverIndex(const SdkServerPtr& server) {
    for (size_t i = 0; i < servers.size(); ++i)
        if (servers[i] == server) return uint16_t(i);
    servers.push_back(server);
    return uint16_t(servers.size() - 1);
}

bool PointTableModelPrivate::appendRow(const SdkServerPtr& server, qint64 pointId, const QString& tag) {
    const uint16_t index = serverIndex(server);
    if (!rowOfPoint.try_emplace(pointKey(index, pointId), int(rows.size())).second) return false;
    PointTableRow& row = rows.emplace_back();
    row.pointId = pointId;
    row.tag = tag;
    row.server = index;
    ++unloaded;
    return true;
}

void PointTableModelPrivate::ensureLoaded(int index) {
    PointTableRow& shown = row(index);
    if (shown.loaded) return;
    shown.loaded = true;
    --unloaded;
    try {
        loadRow(shown);
    } catch (...) {
        shown.unreadable = true;
        shown.texts.clear();
        shown.result = std::make_unique<PointTableRowResult>();
        shown.result->reason = currentError().description();
    }
}

// Two reads per point: its header (for the class) and its values. The texts come from the
// class's prototype, so they are what the point's own entries would show.
void PointTableModelPrivate::loadRow(PointTableRow& shown) {
    const SdkPointPtr point = servers[shown.server]->PointFromHandle(shown.pointId, shown.tag);
    const SdkPointAttributesPtr attributes = point->PointAttributes();
    shown.prototype = int16_t(prototypeFor(shown.server, attributes->Name(), point));
    PropSheetEntries& prototype = *prototypes[size_t(shown.prototype)].entries;
    shown.texts.assign(size_t(columns.size()), QString());
    attributes->ForEach([&](const QString& name, const Variant& value) {
        const int* column = columnIndex.find(name);
        if (!column) return;
        if (const PropSheetEntryPtr entry = prototype.find(name))
            shown.texts[size_t(*column)] = formatted(*entry, columns[*column], value);
    });
    for (size_t i = 0; i < shown.texts.size(); ++i) shown.texts[i].squeeze();
}

int PointTableModelPrivate::prototypeFor(uint16_t server, const QString& className,
                                         const SdkPointPtr& point) {
    const SdkPointType pointType = point->PointType();
    for (size_t i = 0; i < prototypes.size(); ++i)
        if (prototypes[i].server == server && prototypes[i].pointType == pointType &&
            prototypes[i].className.compare(className, Qt::CaseInsensitive) == 0)
            return int(i);
    auto entries = std::make_shared<PropSheetEntries>();
    entries->AddAttributesForPoint(point);
    prototypes.push_back({server, className, pointType, std::move(entries)});
    return int(prototypes.size() - 1);
}

// The prototype takes the loaded value as a save's stored value would be taken, so the text
// passes through the same placeholder and list rules as the point's own entries.
QString PointTableModelPrivate::formatted(PropSheetEntry& entry, const QString& attribute,
                                          const Variant& value) const {
    entry.TakeStoredValue(value);
    return shownText(entry, attribute);
}

QString PointTableModelPrivate::shownText(const PropSheetEntry& entry, const QString& attribute) {
    if (entry.PrimaryAttributeName().compare(attribute, Qt::CaseInsensitive) == 0)
        return entry.GetDisplayValue();
    return entry.GetValueAs(attribute).toString();
}

void PointTableModelPrivate::rebuildColumnIndex() {
    columnIndex.clear();
    for (int i = 0; i < columns.size(); ++i) columnIndex.insert(columns[i], i);
}

PropSheetEntries& PointTableModelPrivate::makeEntries(int index) {
    ensureLoaded(index);
    PointTableRow& edited = row(index);
    if (edited.entries) return *edited.entries;
    auto entries = std::make_shared<PropSheetEntries>();
    entries->AddAttributesForPoint(servers[edited.server]->PointFromHandle(edited.pointId, edited.tag));
    watchEntries(*entries, index);
    edited.entries = std::move(entries);
    return *edited.entries;
}

// A row's cells follow its entries; while a many-cell edit runs they wait for its one signal.
void PointTableModelPrivate::watchEntries(PropSheetEntries& entries, int index) {
    PropSheetEntries* const source = &entries;
    QObject::connect(source, &PropSheetEntries::OnValueEdit, q, [this, source, index](PropSheetEntry*) {
        source->receive([&] {
            row(index).result.reset();
            if (bulkEdit) return;
            rowChanged(index);
            Q_EMIT q->pendingChanged();
        });
    });
    QObject::connect(source, &PropSheetEntries::OnDisplayEdit, q, [this, source, index](PropSheetEntry*) {
        source->receive([&] {
            if (!bulkEdit) rowChanged(index);
        });
    });
}

void PointTableModelPrivate::rowChanged(int index) {
    Q_EMIT q->dataChanged(q->index(index, 0), q->index(index, q->columnCount() - 1));
}

void PointTableModelPrivate::rowsChanged(int top, int bottom) {
    if (bottom < top) return;
    Q_EMIT q->dataChanged(q->index(top, 0), q->index(bottom, q->columnCount() - 1));
}

// ---- cells ----

PropSheetEntry* PointTableModelPrivate::cellEntry(int index, int column) const {
    const QString attribute = q->attributeAt(column);
    if (attribute.isEmpty()) return nullptr;
    const PointTableRow& shown = rows[size_t(index)];
    if (shown.entries) return shown.entries->find(attribute).get();
    if (shown.prototype < 0) return nullptr;
    return prototypes[size_t(shown.prototype)].entries->find(attribute).get();
}

QString PointTableModelPrivate::cellText(int index, int column) const {
    const PointTableRow& shown = rows[size_t(index)];
    if (column == PointTableModel::ServerColumn) return servers[shown.server]->Name();
    if (column == PointTableModel::ResultColumn) return shown.result ? shown.result->text() : QString();
    if (shown.entries) {
        const PropSheetEntry* entry = cellEntry(index, column);
        return entry ? shownText(*entry, q->attributeAt(column)) : QString();
    }
    if (column == PointTableModel::TagColumn) return shown.tag;
    const size_t at = size_t(column - PointTableModel::FirstAttributeColumn);
    return at < shown.texts.size() ? shown.texts[at] : QString();
}

int PointTableModelPrivate::cellState(int index, int column) const {
    const PointTableRow& shown = rows[size_t(index)];
    if (!shown.loaded) return PointTableModel::NotLoaded;
    if (shown.unreadable) return PointTableModel::NotLoaded | PointTableModel::Unavailable;
    if (column == PointTableModel::ServerColumn || column == PointTableModel::ResultColumn)
        return PointTableModel::ReadOnly;
    const PropSheetEntry* entry = cellEntry(index, column);
    if (!entry) return PointTableModel::Unavailable;
    int state = 0;
    if (entry->GetReadOnly() || entry->IsSystemAttribute()) state |= PointTableModel::ReadOnly;
    if (!shown.entries) return state;
    const bool edited = entry->IsValueEdited();
    if (edited) state |= PointTableModel::Edited;
    // A loaded value the rules would refuse is the server's business; red marks what an edit,
    // or an edit of a value it depends on, made invalid.
    if ((edited || entry->IsDependentValueEdited()) && !entry->IsValid()) state |= PointTableModel::Invalid;
    return state;
}

// ---- the model ----

PointTableModel::PointTableModel(QObject* parent)
    : QAbstractTableModel(parent), d(std::make_unique<PointTableModelPrivate>(this)) {
    d->columns = defaultColumns();
    d->rebuildColumnIndex();
}

PointTableModel::~PointTableModel() = default;

QStringList PointTableModel::defaultColumns() {
    return {QStringLiteral("Descriptor"),   QStringLiteral("PointType"), QStringLiteral("EngUnits"),
            QStringLiteral("PointSource"),  QStringLiteral("Zero"),      QStringLiteral("Span"),
            QStringLiteral("TypicalValue"), QStringLiteral("CompDev"),   QStringLiteral("ExcDev"),
            QStringLiteral("DigitalSet")};
}

QStringList PointTableModel::columns() const {
    return d->columns;
}

void PointTableModel::setColumns(const QStringList& attributes) {
    if (attributes == d->columns) return;
    beginResetModel();
    d->applyColumns(attributes);
    endResetModel();
}

// Texts of columns kept move along; a row lacking a new column's text is read again when shown.
void PointTableModelPrivate::applyColumns(const QStringList& attributes) {
    const QStringList old = columns;
    columns = attributes;
    rebuildColumnIndex();
    bool added = false;
    for (const QString& name : attributes) added = added || !old.contains(name, Qt::CaseInsensitive);
    for (PointTableRow& row : rows) {
        if (!row.loaded || row.unreadable) continue;
        std::vector<QString> texts(size_t(attributes.size()));
        for (int i = 0; i < attributes.size(); ++i) {
            const int from = old.indexOf(attributes[i]);
            if (from >= 0 && size_t(from) < row.texts.size()) texts[size_t(i)] = row.texts[size_t(from)];
        }
        row.texts = std::move(texts);
        if (added && !row.entries) {
            row.loaded = false;
            ++unloaded;
        }
    }
    firstUnloaded = 0;
}

std::vector<std::pair<QString, QStringList>> PointTableModel::columnGroups() const {
    if (d->prototypes.empty() && !d->rows.empty()) d->ensureLoaded(0);
    std::vector<std::pair<QString, QStringList>> groups;
    for (const PointTablePrototype& prototype : d->prototypes) {
        PropSheetEntries& entries = *prototype.entries;
        std::vector<PropSheetEntryPtr> shown;
        for (int i = 1; i <= entries.Count(); ++i) {
            PropSheetEntryPtr entry = entries.Item(Variant(int32_t(i)));
            if (entry->Visible()) shown.push_back(std::move(entry));
        }
        std::stable_sort(shown.begin(), shown.end(),
                         [](const PropSheetEntryPtr& a, const PropSheetEntryPtr& b) {
                             return a->SortKey() < b->SortKey();
                         });
        for (int c = 1; c <= entries.Categories().Count(); ++c) {
            const QString category = entries.Categories().Item(Variant(int32_t(c)))->Name();
            auto group = std::find_if(groups.begin(), groups.end(),
                                      [&](const auto& g) { return g.first == category; });
            for (const PropSheetEntryPtr& entry : shown) {
                if (entry->CategoryName() != category) continue;
                if (group == groups.end()) group = groups.insert(groups.end(), {category, {}});
                if (!group->second.contains(entry->PrimaryAttributeName(), Qt::CaseInsensitive))
                    group->second << entry->PrimaryAttributeName();
            }
        }
    }
    return groups;
}

int PointTableModel::addPoints(const SdkPointList& points) {
    std::vector<int> fresh;
    for (int i = 1; i <= points.Count(); ++i) {
        const quint64 key =
            PointTableModelPrivate::pointKey(d->serverIndex(points.Server(i)), points.PointId(i));
        if (!d->rowOfPoint.count(key)) fresh.push_back(i);
    }
    if (fresh.empty()) return 0;
    const int first = rowCount();
    beginInsertRows({}, first, first + int(fresh.size()) - 1);
    int added = 0;
    for (int i : fresh) added += d->appendRow(points.Server(i), points.PointId(i), points.Tag(i)) ? 1 : 0;
    endInsertRows();
    return added;
}

bool PointTableModel::addPoint(const SdkPointPtr& point) {
    if (!point) return false;
    SdkPointList list;
    list.Add(point);
    return addPoints(list) == 1;
}

bool PointTableModel::addPointByTag(const SdkServerPtr& server, const QString& tag) {
    if (!server) return false;
    const SdkPointPtr point = silently(SdkPointPtr(), [&] { return server->Points()->Item(tag); });
    return point && addPoint(point);
}

void PointTableModel::clear() {
    beginResetModel();
    for (PointTableRow& row : d->rows)
        if (row.entries) QObject::disconnect(row.entries.get(), nullptr, this, nullptr);
    d->rows.clear();
    d->rows.shrink_to_fit();
    d->rowOfPoint.clear();
    d->prototypes.clear();
    d->servers.clear();
    d->unloaded = 0;
    d->firstUnloaded = 0;
    d->lastSave = {};
    d->savedEdits.clear();
    endResetModel();
    Q_EMIT pendingChanged();
}

int PointTableModel::loadRows(int count) {
    int top = -1;
    int bottom = -1;
    int row = d->firstUnloaded;
    for (; row < rowCount() && count > 0; ++row) {
        if (d->row(row).loaded) continue;
        d->ensureLoaded(row);
        --count;
        if (top < 0) top = row;
        bottom = row;
    }
    d->firstUnloaded = row;
    if (top >= 0) d->rowsChanged(top, bottom);
    return d->unloaded;
}

int PointTableModel::unloadedRows() const {
    return d->unloaded;
}

SdkPointPtr PointTableModel::pointAt(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    const PointTableRow& shown = d->row(row);
    // A point still to be created has no handle; its entries make it when it is saved.
    if (shown.pointId == 0 && shown.entries) return shown.entries->Point();
    return d->servers[shown.server]->PointFromHandle(shown.pointId, shown.tag);
}

SdkServerPtr PointTableModel::serverAt(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return d->servers[d->row(row).server];
}

std::shared_ptr<PropSheetEntries> PointTableModel::entriesAt(int row) {
    if (row < 0 || row >= rowCount()) return nullptr;
    return reraising(QStringLiteral("PointTableModel:entriesAt"), [&] {
        d->makeEntries(row);
        return d->row(row).entries;
    });
}

QString PointTableModel::attributeAt(int column) const {
    if (column == TagColumn) return kTag;
    const int at = column - FirstAttributeColumn;
    return at >= 0 && at < d->columns.size() ? d->columns[at] : QString();
}

int PointTableModel::columnOf(const QString& attribute) const {
    if (attribute.compare(kTag, Qt::CaseInsensitive) == 0) return TagColumn;
    const int* at = d->columnIndex.find(attribute);
    return at ? FirstAttributeColumn + *at : -1;
}

const PointTableRowResult& PointTableModel::resultAt(int row) const {
    static const PointTableRowResult none;
    if (row < 0 || row >= rowCount() || !d->row(row).result) return none;
    return *d->row(row).result;
}

int PointTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(d->rows.size());
}

int PointTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FirstAttributeColumn + int(d->columns.size());
}

QVariant PointTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            d->ensureLoaded(row);
            return d->cellText(row, column);
        case Qt::ToolTipRole:
            return column == ResultColumn ? QVariant(resultAt(row).reason) : QVariant();
        case Qt::ForegroundRole: {
            d->ensureLoaded(row);
            const int state = d->cellState(row, column);
            if (state & Invalid) return QColor(Qt::red);
            if (state & (ReadOnly | Unavailable)) return QColor(Qt::gray);
            return {};
        }
        case CellStateRole:
            d->ensureLoaded(row);
            return d->cellState(row, column);
        case AttributeRole:
            return attributeAt(column);
        case ResultOutcomeRole:
            return int(resultAt(row).outcome);
        default:
            return {};
    }
}

QVariant PointTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::ToolTipRole) return attributeAt(section);
    if (role != Qt::DisplayRole) return {};
    if (section == ServerColumn) return QStringLiteral("Server");
    if (section == ResultColumn) return QStringLiteral("Result");
    const QString attribute = attributeAt(section);
    for (const PointTablePrototype& prototype : d->prototypes)
        if (const PropSheetEntryPtr entry = prototype.entries->find(attribute))
            if (entry->PrimaryAttributeName().compare(attribute, Qt::CaseInsensitive) == 0)
                return entry->DisplayName();
    return attribute;
}

Qt::ItemFlags PointTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (attributeAt(index.column()).isEmpty()) return flags;
    d->ensureLoaded(index.row());
    if (!(d->cellState(index.row(), index.column()) & (ReadOnly | Unavailable | NotLoaded)))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool PointTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid()) return false;
    return setCellText(index, value.toString());
}

size_t PointTableModel::memoryUsage() const {
    size_t bytes = d->rows.capacity() * sizeof(PointTableRow);
    for (const PointTableRow& row : d->rows) {
        bytes += stringBytes(row.tag) + row.texts.capacity() * sizeof(QString);
        for (const QString& text : row.texts) bytes += stringBytes(text);
        if (row.result) bytes += sizeof(PointTableRowResult) + stringBytes(row.result->reason);
    }
    // The point index: a node per row and a bucket per slot.
    bytes += d->rowOfPoint.size() * (sizeof(void*) + sizeof(std::pair<const quint64, int>) + sizeof(size_t)) +
             d->rowOfPoint.bucket_count() * sizeof(void*);
    return bytes;
}

}  // namespace vq

// The model's meta-object lives with it, apart from the other classes of the library.
#include "moc_PointTableModel.cpp"
