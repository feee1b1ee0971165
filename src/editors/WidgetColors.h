#pragma once

#include <cstdint>

class QWidget;

namespace vq {

// Shows persisted colour values (plain or system colours) as a child's text and background colours.
void applyWidgetColors(QWidget& widget, uint32_t foreColor, uint32_t backColor);

}  // namespace vq
