#pragma once

#include <QLabel>

namespace vq {

// A one-line label that never widens its window: a text longer than the label is cut with an
// ellipsis, and its whole text shows in the tooltip. text() is always the whole text.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text, QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;
    // True when the label shows less than its whole text at its present width.
    bool isElided() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vq
