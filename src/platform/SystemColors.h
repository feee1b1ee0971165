#pragma once

#include "platform/PlatformExport.h"

#include <QColor>

#include <cstdint>

namespace vq {

// Persisted colours are 32-bit values: 0x00BBGGRR for a plain colour, or 0x80000000 plus one of
// these indices for a colour of the desktop theme, resolved when it is shown.
enum class SystemColor : uint32_t {
    ScrollBar = 0,
    Desktop = 1,
    ActiveCaption = 2,
    InactiveCaption = 3,
    Menu = 4,
    Window = 5,
    WindowFrame = 6,
    MenuText = 7,
    WindowText = 8,
    CaptionText = 9,
    ActiveBorder = 10,
    InactiveBorder = 11,
    AppWorkspace = 12,
    Highlight = 13,
    HighlightText = 14,
    ButtonFace = 15,
    ButtonShadow = 16,
    GrayText = 17,
    ButtonText = 18,
    InactiveCaptionText = 19,
    ButtonHighlight = 20,
    DarkShadow3D = 21,
    Light3D = 22,
    InfoText = 23,
    InfoBackground = 24,
};

constexpr uint32_t kSystemColorFlag = 0x80000000u;
constexpr uint32_t kBlack = 0x000000u;
constexpr uint32_t kWhite = 0xFFFFFFu;

// The theme's colour for `which`, from the application palette (so tests and hosts can set it).
VQ_PLATFORM_EXPORT QColor systemColor(SystemColor which);

// A persisted colour value as a QColor; an unknown system index gives the window text colour.
VQ_PLATFORM_EXPORT QColor colorFromOle(uint32_t ole);
// A QColor as a plain persisted colour value (alpha is dropped).
VQ_PLATFORM_EXPORT uint32_t oleFromColor(const QColor& color);

}  // namespace vq
