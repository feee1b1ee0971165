#include "dialogs/HidingForm.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace vq {

HidingForm::HidingForm(const char* name, const QString& caption, QWidget* parent) : QDialog(parent) {
    setObjectName(QString::fromLatin1(name));
    setWindowTitle(caption);
}

void HidingForm::hold(QWidget* control) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(control);
    resize(sizeHint());
}

void HidingForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

}  // namespace vq
