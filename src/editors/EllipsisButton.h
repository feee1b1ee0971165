#pragma once

class QPushButton;
class QWidget;

namespace vq {

// The narrow "..." button beside a text box or list (object name "Command1"), captioned in a small
// bold serif face so the dots stay legible at 19 pixels.
QPushButton* createEllipsisButton(QWidget* parent);

}  // namespace vq
