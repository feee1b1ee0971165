#pragma once

#include "platform/PlatformExport.h"

#include <QFont>
#include <QString>

namespace vq {

// Measured text in twips, for layouts that size columns and captions to their contents.
VQ_PLATFORM_EXPORT int textWidthTwips(const QString& text, const QFont& font);
VQ_PLATFORM_EXPORT int textHeightTwips(const QFont& font);

}  // namespace vq
