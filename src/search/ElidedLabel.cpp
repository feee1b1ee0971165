#include "search/ElidedLabel.h"

#include <QPainter>
#include <QStyle>

namespace vq {

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

// As high as one line, and no wider than an ellipsis: the layout gives it what is left.
QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("\u2026")), QLabel::minimumSizeHint().height()};
}

bool ElidedLabel::isElided() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void ElidedLabel::paintEvent(QPaintEvent*) {
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    // The tooltip follows what the label could not show.
    const QString tip = shown == text() ? QString() : text();
    if (toolTip() != tip) setToolTip(tip);
    QPainter painter(this);
    style()->drawItemText(&painter, area, int(QStyle::visualAlignment(layoutDirection(), alignment())),
                          palette(), isEnabled(), shown, foregroundRole());
}

}  // namespace vq
