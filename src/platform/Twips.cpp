#include "platform/Twips.h"

#include "platform/ServicesContext.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace vq {

double logicalDpi() {
    if (const double pinned = services().logicalDpi; pinned > 0) return pinned;
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* screen = app->primaryScreen()) return screen->logicalDotsPerInchY();
    }
    return 96.0;
}

double twipsPerPixel() {
    return kTwipsPerInch / logicalDpi();
}

int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

int pixelsToTwips(int pixels) {
    return static_cast<int>(std::lround(pixels * twipsPerPixel()));
}

QRect twipsToPixels(const QRect& twips) {
    // Convert the edges, not the size, so adjacent rectangles stay adjacent after rounding.
    const int left = twipsToPixels(twips.x());
    const int top = twipsToPixels(twips.y());
    const int right = twipsToPixels(twips.x() + twips.width());
    const int bottom = twipsToPixels(twips.y() + twips.height());
    return QRect(left, top, right - left, bottom - top);
}

QSize twipsToPixels(const QSize& twips) {
    return QSize(twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

QPoint twipsToPixels(const QPoint& twips) {
    return QPoint(twipsToPixels(twips.x()), twipsToPixels(twips.y()));
}

QSize pixelsToTwips(const QSize& pixels) {
    return QSize(pixelsToTwips(pixels.width()), pixelsToTwips(pixels.height()));
}

}  // namespace vq
