#include "editors/WidgetColors.h"

#include "platform/SystemColors.h"

#include <QPalette>
#include <QWidget>

namespace vq {

namespace {

// Text boxes paint with Text/Base, drop-down lists with ButtonText/Button: each colour sets both.
void setRoles(QWidget& widget, uint32_t color, QPalette::ColorRole textBoxRole,
              QPalette::ColorRole listRole) {
    const QColor shown = colorFromOle(color);
    QPalette palette = widget.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, textBoxRole, shown);
        palette.setColor(group, listRole, shown);
    }
    widget.setPalette(palette);
}

}  // namespace

void applyWidgetColors(QWidget& widget, uint32_t foreColor, uint32_t backColor) {
    applyForeColor(widget, foreColor);
    applyBackColor(widget, backColor);
}

void applyForeColor(QWidget& widget, uint32_t foreColor) {
    setRoles(widget, foreColor, QPalette::Text, QPalette::ButtonText);
}

void applyBackColor(QWidget& widget, uint32_t backColor) {
    setRoles(widget, backColor, QPalette::Base, QPalette::Button);
}

}  // namespace vq
