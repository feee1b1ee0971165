#include "platform/SystemColors.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <utility>

namespace vq {

namespace {

// The palette role standing in for each theme colour; the index is the SystemColor value.
constexpr std::array<std::pair<QPalette::ColorGroup, QPalette::ColorRole>, 25> kRoles{{
    {QPalette::Active, QPalette::Mid},              // ScrollBar
    {QPalette::Active, QPalette::Window},           // Desktop
    {QPalette::Active, QPalette::Highlight},        // ActiveCaption
    {QPalette::Inactive, QPalette::Mid},            // InactiveCaption
    {QPalette::Active, QPalette::Window},           // Menu
    {QPalette::Active, QPalette::Base},             // Window
    {QPalette::Active, QPalette::Shadow},           // WindowFrame
    {QPalette::Active, QPalette::WindowText},       // MenuText
    {QPalette::Active, QPalette::Text},             // WindowText
    {QPalette::Active, QPalette::HighlightedText},  // CaptionText
    {QPalette::Active, QPalette::Window},           // ActiveBorder
    {QPalette::Inactive, QPalette::Window},         // InactiveBorder
    {QPalette::Active, QPalette::Dark},             // AppWorkspace
    {QPalette::Active, QPalette::Highlight},        // Highlight
    {QPalette::Active, QPalette::HighlightedText},  // HighlightText
    {QPalette::Active, QPalette::Button},           // ButtonFace
    {QPalette::Active, QPalette::Dark},             // ButtonShadow
    {QPalette::Disabled, QPalette::Text},           // GrayText
    {QPalette::Active, QPalette::ButtonText},       // ButtonText
    {QPalette::Inactive, QPalette::WindowText},     // InactiveCaptionText
    {QPalette::Active, QPalette::Light},            // ButtonHighlight
    {QPalette::Active, QPalette::Shadow},           // DarkShadow3D
    {QPalette::Active, QPalette::Midlight},         // Light3D
    {QPalette::Active, QPalette::ToolTipText},      // InfoText
    {QPalette::Active, QPalette::ToolTipBase},      // InfoBackground
}};

}  // namespace

QColor systemColor(SystemColor which) {
    const uint32_t index = static_cast<uint32_t>(which);
    const auto [group, role] =
        index < kRoles.size() ? kRoles[index] : kRoles[uint32_t(SystemColor::WindowText)];
    return QGuiApplication::palette().color(group, role);
}

QColor colorFromOle(uint32_t ole) {
    if (ole & kSystemColorFlag) return systemColor(static_cast<SystemColor>(ole & ~kSystemColorFlag));
    return QColor(int(ole & 0xFF), int((ole >> 8) & 0xFF), int((ole >> 16) & 0xFF));
}

uint32_t oleFromColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return uint32_t(rgb.red()) | (uint32_t(rgb.green()) << 8) | (uint32_t(rgb.blue()) << 16);
}

}  // namespace vq
