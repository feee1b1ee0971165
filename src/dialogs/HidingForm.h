#pragma once

#include <QDialog>

namespace vq {

// A modal form around one control. Closing it from the title bar is refused and the form is hidden
// instead, so the caller of exec() reads whatever the control then holds.
class HidingForm : public QDialog {
    Q_OBJECT
protected:
    HidingForm(const char* name, const QString& caption, QWidget* parent);
    // Puts `control` in as the form's only content, the form as large as the control asks.
    void hold(QWidget* control);
    void closeEvent(QCloseEvent* event) override;
};

// A HidingForm that makes its control, of type Control, and gives it its child name.
template <class Control>
class HidingControlForm : public HidingForm {
public:
    Control* control() const { return m_control; }

protected:
    HidingControlForm(const char* name, const QString& caption, const char* controlName, QWidget* parent)
        : HidingForm(name, caption, parent), m_control(new Control) {
        m_control->setObjectName(QString::fromLatin1(controlName));
        hold(m_control);
    }

private:
    Control* const m_control;
};

}  // namespace vq
