#pragma once

#include <QString>

class QWidget;

namespace vq {

// A caption as a screen reader should say it: "&Tag Mask:" reads "Tag Mask".
QString spokenCaption(const QString& caption);

// Names every field under `root` that a label is the buddy of after that label's caption, so a
// reader says "Tag Mask, edit" rather than "Tag Mask:, edit"; a name set before is kept.
void nameFieldsByCaptions(QWidget* root);

}  // namespace vq
