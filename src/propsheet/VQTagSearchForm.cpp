#include "propsheet/VQTagSearchForm.h"

#include "search/VQTagSearch.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace vq {

VQTagSearchForm::VQTagSearchForm(QWidget* parent) : QDialog(parent), VQTagSearch1(new VQTagSearch(this)) {
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(QStringLiteral("Tag Search"));
    VQTagSearch1->setObjectName(QStringLiteral("VQTagSearch1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(VQTagSearch1);
    resize(sizeHint());
    connect(VQTagSearch1, &VQTagSearch::OnCancelClick, this, &VQTagSearchForm::cancel);
    connect(VQTagSearch1, &VQTagSearch::OnPointListSelection, this, &QWidget::hide);
}

void VQTagSearchForm::cancel() {
    VQTagSearch1->ClearSelectedTags();
    hide();
}

void VQTagSearchForm::reject() {
    cancel();
}

void VQTagSearchForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

}  // namespace vq
