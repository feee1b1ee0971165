#include "platform/ScreenServices.h"

#include "platform/ServicesContext.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QCursor>
#include <QStyle>

#include <cmath>

namespace vq {

namespace {

constexpr int32_t kFallbackScrollBarWidth = 240;

std::optional<int> styleScrollBarExtent() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
    const int extent = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (extent <= 0) return std::nullopt;
    return extent;
}

}  // namespace

QPoint mousePosition() {
    if (const auto& source = services().mousePosition) return source();
    return QCursor::pos();
}

std::optional<int> scrollBarWidthPixels() {
    if (const auto& source = services().scrollBarWidth) return source();
    return styleScrollBarExtent();
}

int32_t GetScrollBarWidth() {
    try {
        const std::optional<int> pixels = scrollBarWidthPixels();
        if (!pixels) return kFallbackScrollBarWidth;
        // Halves to even, as the platform's rounding of twips does.
        return int32_t(std::nearbyint(*pixels * twipsPerPixel()));
    } catch (...) {
        return kFallbackScrollBarWidth;
    }
}

}  // namespace vq
