#pragma once

#include <QFont>
#include <QString>

namespace vq {

// Measured text in twips, for layouts that size columns and captions to their contents.
int textWidthTwips(const QString& text, const QFont& font);
int textHeightTwips(const QFont& font);

}  // namespace vq
