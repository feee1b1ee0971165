#pragma once

#include <QString>
#include <QStringList>

namespace vq {

class PropSheetEntries;
class PropSheetEntry;

// What the status bar says about the point being edited, read from the collection itself: the
// edited attributes, the invalid ones and a typed value not yet committed, each by the name the
// grid shows.
struct PointEditSummary {
    QStringList edited;
    QStringList invalid;
    QString pending;  // empty when no entry holds an uncommitted value

    // `lastPending` is the entry of the last pending-change event, or null.
    static PointEditSummary of(const PropSheetEntries& entries, const PropSheetEntry* lastPending);
    // "Edited (2): Span, CompDev", the names cut after `shown` with "and 3 more"; "Edited: none".
    static QString listText(const QString& caption, const QStringList& names, int shown = 4);
};

}  // namespace vq
