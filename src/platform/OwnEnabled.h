#pragma once

#include <QWidget>

namespace vq {

// Whether the widget itself was enabled or disabled, by SetEnabled or by a host's setEnabled,
// regardless of a disabled parent: what a control's Enabled reads and saves.
inline bool ownEnabled(const QWidget& widget) {
    return !widget.testAttribute(Qt::WA_ForceDisabled);
}

}  // namespace vq
