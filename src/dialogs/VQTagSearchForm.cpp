#include "dialogs/VQTagSearchForm.h"

#include "search/VQTagSearch.h"

namespace vq {

namespace {

VQTagSearch* namedControl() {
    auto* control = new VQTagSearch;
    control->setObjectName(QStringLiteral("VQTagSearch1"));
    return control;
}

}  // namespace

VQTagSearchForm::VQTagSearchForm(QWidget* parent)
    : HidingForm(kName, QStringLiteral("Tag Search"), namedControl(), parent),
      VQTagSearch1(findChild<VQTagSearch*>()) {
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

}  // namespace vq
