#include "PointSaveResult.h"

namespace vq {

QString PointSaveResult::refusedLines() const {
    if (refused.Count() == 0) return {};
    QString lines = QStringLiteral("Errors occurred while saving the following attributes:");
    for (const SdkNamedValue& pair : refused)
        lines += QStringLiteral("\r\n") + pair.Name() + QStringLiteral(" (") + pair.Value().toString() + u')';
    return lines;
}

}  // namespace vq
