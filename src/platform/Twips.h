#pragma once

#include "platform/PlatformExport.h"

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vq {

/// Lengths in the controls' layouts are twips (1440 per inch). Every conversion to pixels goes
/// through these helpers, which use the screen's logical DPI (15 twips per pixel at 96 DPI).
constexpr int kTwipsPerInch = 1440;

/// Logical DPI of the primary screen, or 96 when there is none; the services context may pin it.
VQ_PLATFORM_EXPORT double logicalDpi();

/// Twips in one pixel at the logical DPI.
VQ_PLATFORM_EXPORT double twipsPerPixel();
/// A length in twips as whole pixels, rounded to the nearest.
VQ_PLATFORM_EXPORT int twipsToPixels(int twips);
/// A length in pixels as whole twips, rounded to the nearest.
VQ_PLATFORM_EXPORT int pixelsToTwips(int pixels);
/// @{
/// A rectangle, size or point in twips as pixels; a rectangle's edges are converted, so adjacent rectangles
/// stay adjacent.
VQ_PLATFORM_EXPORT QRect twipsToPixels(const QRect& twips);
VQ_PLATFORM_EXPORT QSize twipsToPixels(const QSize& twips);
VQ_PLATFORM_EXPORT QPoint twipsToPixels(const QPoint& twips);
/// @}
/// A size in pixels as twips.
VQ_PLATFORM_EXPORT QSize pixelsToTwips(const QSize& pixels);

}  // namespace vq
