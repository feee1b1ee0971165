#include "editors/EllipsisButton.h"

#include <QPushButton>

namespace vq {

QPushButton* createEllipsisButton(QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setObjectName(QStringLiteral("Command1"));
    QFont font(QStringLiteral("Serif"));
    font.setStyleHint(QFont::Serif);
    font.setBold(true);
    font.setPointSizeF(8.25);
    button->setFont(font);
    // The layout gives the button its size; the style's minimum would widen it past its slot.
    button->setMinimumSize(0, 0);
    return button;
}

}  // namespace vq
