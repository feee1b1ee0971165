#pragma once

#include <QPoint>

#include <functional>
#include <optional>

namespace vq {

// What the controls ask of the screen, each answer replaceable by tests (a headless screen has no
// mouse and no real scroll bars). Passing an empty function restores the real answer.

/// The mouse position in global screen pixels.
QPoint mousePosition();
/// Replaces the answer of mousePosition(); an empty function restores the real one.
void setMousePositionSource(std::function<QPoint()> source);

/// The width in pixels of a vertical scroll bar, or nothing when the platform cannot tell.
std::optional<int> scrollBarWidthPixels();
/// Replaces the answer of scrollBarWidthPixels(); an empty function restores the real one.
void setScrollBarWidthSource(std::function<std::optional<int>()> source);

}  // namespace vq
