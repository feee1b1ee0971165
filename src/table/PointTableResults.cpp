#include "table/PointTableResults.h"

namespace vq {

namespace {

void addCount(QStringList& parts, int count, const char* what) {
    if (count > 0) parts.append(QStringLiteral("%1 %2").arg(count).arg(QLatin1String(what)));
}

}  // namespace

QString PointTableRowResult::text() const {
    switch (outcome) {
        case Outcome::None:
            return {};
        case Outcome::Saved:
            return QStringLiteral("Saved");
        case Outcome::Refused:
            return attributes.isEmpty()
                       ? QStringLiteral("Refused: %1").arg(reason)
                       : QStringLiteral("Refused: %1").arg(attributes.join(QStringLiteral(", ")));
        case Outcome::ChangedMeanwhile:
            return QStringLiteral("Changed meanwhile: %1").arg(reason);
        case Outcome::NotReached:
            return QStringLiteral("Not saved (stopped)");
        case Outcome::Restored:
            return QStringLiteral("Put back");
        case Outcome::ChangedSince:
            return QStringLiteral("Not put back: %1").arg(reason);
    }
    return {};
}

QString PointTableSaveSummary::text() const {
    QStringList parts{QStringLiteral("%1 saved").arg(saved)};
    addCount(parts, refused, "refused");
    addCount(parts, changedMeanwhile, "changed meanwhile");
    addCount(parts, notReached, "not saved (stopped)");
    return parts.join(QStringLiteral(", "));
}

QString PointTableUndoSummary::text() const {
    if (restored == 0 && changedSince == 0 && refused == 0) return QStringLiteral("nothing to undo");
    QStringList parts{QStringLiteral("%1 put back").arg(restored)};
    addCount(parts, changedSince, "changed again since");
    addCount(parts, refused, "refused");
    return parts.join(QStringLiteral(", "));
}

}  // namespace vq
