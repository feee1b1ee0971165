#include "editors/PlainTextBox.h"

#include <QLineEdit>

namespace vq {

PlainTextBox::PlainTextBox(QWidget* parent) : TextBoxControl(parent) {
    initTextBoxProperties();
}

void PlainTextBox::layoutChildren() {
    textBox()->setGeometry(rect());
}

}  // namespace vq
