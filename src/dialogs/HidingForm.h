#pragma once

#include <QDialog>

namespace vq {

// A modal form around one control. Closing it from the title bar is refused and the form is hidden
// instead, so the caller of exec() reads whatever the control then holds.
class HidingForm : public QDialog {
    Q_OBJECT
protected:
    HidingForm(const char* name, const QString& caption, QWidget* control, QWidget* parent);
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace vq
