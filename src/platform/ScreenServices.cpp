#include "platform/ScreenServices.h"

#include <QApplication>
#include <QCursor>
#include <QStyle>

namespace vq {

namespace {

std::function<QPoint()>& mouseSource() {
    static std::function<QPoint()> source;
    return source;
}

std::function<std::optional<int>()>& scrollBarSource() {
    static std::function<std::optional<int>()> source;
    return source;
}

std::optional<int> styleScrollBarExtent() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
    const int extent = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (extent <= 0) return std::nullopt;
    return extent;
}

}  // namespace

QPoint mousePosition() {
    return mouseSource() ? mouseSource()() : QCursor::pos();
}

void setMousePositionSource(std::function<QPoint()> source) {
    mouseSource() = std::move(source);
}

std::optional<int> scrollBarWidthPixels() {
    return scrollBarSource() ? scrollBarSource()() : styleScrollBarExtent();
}

void setScrollBarWidthSource(std::function<std::optional<int>()> source) {
    scrollBarSource() = std::move(source);
}

}  // namespace vq
