#pragma once

#include "editors/TextBoxControl.h"

namespace vq {

// The plain single-line text box, with the properties and events of the other text-like editors,
// so a host addresses it like any other child editor.
class PlainTextBox : public TextBoxControl {
    Q_OBJECT

public:
    explicit PlainTextBox(QWidget* parent = nullptr);

Q_SIGNALS:
    void TextLostFocus();

protected:
    void textFocusLost() override { Q_EMIT TextLostFocus(); }
    void layoutChildren() override;
};

}  // namespace vq
