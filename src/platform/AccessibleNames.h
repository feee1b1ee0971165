#pragma once

#include "platform/PlatformExport.h"

#include <QString>

class QWidget;

namespace vq {

// A caption as a screen reader should say it: "&Tag Mask:" reads "Tag Mask".
VQ_PLATFORM_EXPORT QString spokenCaption(const QString& caption);

// Names every field under `root` that a label is the buddy of after that label's caption, so a
// reader says "Tag Mask, edit" rather than "Tag Mask:, edit"; a name set before is kept.
VQ_PLATFORM_EXPORT void nameFieldsByCaptions(QWidget* root);

}  // namespace vq
