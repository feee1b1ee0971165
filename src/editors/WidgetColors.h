#pragma once

#include <cstdint>

class QWidget;

namespace vq {

// Shows persisted colour values (plain or system colours) as a child's text and background colours.
void applyWidgetColors(QWidget& widget, uint32_t foreColor, uint32_t backColor);
// Each alone, for a colour property whose setter must leave the other colour as it is shown.
void applyForeColor(QWidget& widget, uint32_t foreColor);
void applyBackColor(QWidget& widget, uint32_t backColor);

}  // namespace vq
