// The review of the point table: every pending change, dropping one, and the counts.

#include "table/PointTableModel.h"

#include "table/PointTableRows.h"

#include "core/Error.h"
#include "sdk/SdkServer.h"

#include <algorithm>

namespace vq {

namespace {

// Visits the edited entries of every row with entries, in the collection's order.
template <typename Visit>
void forEachEdit(const std::vector<PointTableRow>& rows, Visit&& visit) {
    for (size_t row = 0; row < rows.size(); ++row) {
        const std::shared_ptr<PropSheetEntries>& entries = rows[row].entries;
        if (!entries) continue;
        for (int i = 1; i <= entries->Count(); ++i) {
            const PropSheetEntryPtr entry = entries->Item(Variant(int32_t(i)));
            if (entry->IsValueEdited()) visit(int(row), i, *entry);
        }
    }
}

}  // namespace

std::vector<PointTableChange> PointTableModel::pendingChanges() const {
    struct Keyed {
        PointTableChange change;
        int order;  // the column, or past the columns in the collection's order when not shown
    };
    std::vector<Keyed> keyed;
    forEachEdit(d->rows, [&](int row, int position, const PropSheetEntry& entry) {
        PointTableChange change;
        change.row = row;
        change.server = d->servers[d->row(row).server]->Name();
        change.tag = d->row(row).tag;
        change.attribute = entry.PrimaryAttributeName();
        change.before = entry.DisplayValueBeforeEdits().toString();
        change.after = entry.GetDisplayValue();
        change.valid = entry.IsValid();
        const int column = columnOf(change.attribute);
        keyed.push_back({std::move(change), column >= 0 ? column : columnCount() + position});
    });
    std::stable_sort(keyed.begin(), keyed.end(), [](const Keyed& a, const Keyed& b) {
        if (a.change.valid != b.change.valid) return !a.change.valid;
        if (a.change.row != b.change.row) return a.change.row < b.change.row;
        return a.order < b.order;
    });
    std::vector<PointTableChange> changes;
    changes.reserve(keyed.size());
    for (Keyed& k : keyed) changes.push_back(std::move(k.change));
    return changes;
}

// Under its own name again: a value entered in the twin's unit goes back to the primary one.
void PointTableModel::dropChange(int row, const QString& attribute) {
    if (row < 0 || row >= rowCount() || !d->row(row).entries) return;
    const PropSheetEntryPtr entry = d->row(row).entries->find(attribute);
    if (!entry || !entry->IsValueEdited()) return;
    reraising(QStringLiteral("PointTableModel:dropChange"),
              [&] { entry->SetValue(entry->GetValueBeforeEdits(), entry->PrimaryAttributeName()); });
}

int PointTableModel::pendingPointCount() const {
    int points = 0;
    int lastRow = -1;
    forEachEdit(d->rows, [&](int row, int, const PropSheetEntry&) {
        if (row != lastRow) ++points;
        lastRow = row;
    });
    return points;
}

int PointTableModel::pendingAttributeCount() const {
    int attributes = 0;
    forEachEdit(d->rows, [&](int, int, const PropSheetEntry&) { ++attributes; });
    return attributes;
}

}  // namespace vq
