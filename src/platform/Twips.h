#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace vq {

// Lengths in the controls' layouts are twips (1440 per inch). Every conversion to pixels goes
// through these helpers, which use the screen's logical DPI (15 twips per pixel at 96 DPI).
constexpr int kTwipsPerInch = 1440;

// Logical DPI of the primary screen, or 96 when there is none; tests may pin it.
double logicalDpi();
void setLogicalDpiOverride(double dpi);  // 0 restores the screen's own value

double twipsPerPixel();
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);
QRect twipsToPixels(const QRect& twips);
QSize twipsToPixels(const QSize& twips);
QPoint twipsToPixels(const QPoint& twips);
QSize pixelsToTwips(const QSize& pixels);

}  // namespace vq
