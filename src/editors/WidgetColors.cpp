#include "editors/WidgetColors.h"

#include "platform/SystemColors.h"

#include <QPalette>
#include <QWidget>

namespace vq {

void applyWidgetColors(QWidget& widget, uint32_t foreColor, uint32_t backColor) {
    const QColor fore = colorFromOle(foreColor);
    const QColor back = colorFromOle(backColor);
    QPalette palette = widget.palette();
    // Text boxes paint with Text/Base, drop-down lists with ButtonText/Button: set both pairs.
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, fore);
        palette.setColor(group, QPalette::ButtonText, fore);
        palette.setColor(group, QPalette::Base, back);
        palette.setColor(group, QPalette::Button, back);
    }
    widget.setPalette(palette);
}

}  // namespace vq
