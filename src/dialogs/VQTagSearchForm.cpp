#include "dialogs/VQTagSearchForm.h"

#include "search/VQTagSearch.h"

namespace vq {

VQTagSearchForm::VQTagSearchForm(QWidget* parent)
    : HidingControlForm(kName, QStringLiteral("Tag Search"), "VQTagSearch1", parent) {
    connect(control(), &VQTagSearch::OnCancelClick, this, &VQTagSearchForm::cancel);
    connect(control(), &VQTagSearch::OnPointListSelection, this, &QWidget::hide);
}

void VQTagSearchForm::cancel() {
    control()->ClearSelectedTags();
    hide();
}

void VQTagSearchForm::reject() {
    cancel();
}

}  // namespace vq
