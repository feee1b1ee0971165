#include "PointEditSummary.h"

#include "model/PropSheetEntries.h"

namespace vq {

namespace {

// The collection's own test: a pending value that reads as the entry's value under the same
// name is no edit.
bool holdsPendingValue(const PropSheetEntry& entry) {
    return entry.PendingValue().toString().compare(entry.GetValueAs(QString()).toString(),
                                                   Qt::CaseInsensitive) != 0 ||
           entry.PendingAttributeName().compare(entry.CurrentAttributeName(), Qt::CaseInsensitive) != 0;
}

}  // namespace

PointEditSummary PointEditSummary::of(const PropSheetEntries& entries, const PropSheetEntry* lastPending) {
    PointEditSummary summary;
    for (int position = 1; position <= entries.Count(); ++position) {
        const PropSheetEntry& entry = *entries.Item(Variant(int32_t(position)));
        if (entry.IsValueEdited()) summary.edited << entry.DisplayName();
        if (!entry.IsValid()) summary.invalid << entry.DisplayName();
    }
    if (lastPending && holdsPendingValue(*lastPending)) summary.pending = lastPending->DisplayName();
    return summary;
}

QString PointEditSummary::listText(const QString& caption, const QStringList& names, int shown) {
    if (names.isEmpty()) return QStringLiteral("%1: none").arg(caption);
    QString list = names.mid(0, shown).join(QStringLiteral(", "));
    if (names.size() > shown) list += QStringLiteral(" and %1 more").arg(names.size() - shown);
    return QStringLiteral("%1 (%2): %3").arg(caption).arg(names.size()).arg(list);
}

}  // namespace vq
