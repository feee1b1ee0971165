#include "platform/TextMetrics.h"

#include "platform/Twips.h"

#include <QFontMetrics>

namespace vq {

int textWidthTwips(const QString& text, const QFont& font) {
    return pixelsToTwips(QFontMetrics(font).horizontalAdvance(text));
}

int textHeightTwips(const QFont& font) {
    return pixelsToTwips(QFontMetrics(font).height());
}

}  // namespace vq
