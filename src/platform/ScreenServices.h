#pragma once

#include "platform/PlatformExport.h"

#include <QPoint>

#include <cstdint>
#include <optional>

namespace vq {

// What the controls ask of the screen. The services context may answer instead (a headless screen
// has no mouse and no real scroll bars).

/// The mouse position in global screen pixels.
VQ_PLATFORM_EXPORT QPoint mousePosition();

/// The width in pixels of a vertical scroll bar, or nothing when the platform cannot tell.
VQ_PLATFORM_EXPORT std::optional<int> scrollBarWidthPixels();

/// The width of a vertical scroll bar in twips, rounded half to even; 240 when the platform
/// cannot tell.
VQ_PLATFORM_EXPORT int32_t GetScrollBarWidth();

}  // namespace vq
