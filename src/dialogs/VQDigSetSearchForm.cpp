#include "dialogs/VQDigSetSearchForm.h"

#include "search/VQDigSetSearch.h"

namespace vq {

VQDigSetSearchForm::VQDigSetSearchForm(QWidget* parent)
    : HidingControlForm(kName, QStringLiteral("Digital Set Search"), "VQDigSetSearch1", parent) {
    connect(control(), &VQDigSetSearch::OnCancelClick, this, &QWidget::hide);
    connect(control(), &VQDigSetSearch::OnDigsetListSelection, this, &QWidget::hide);
}

}  // namespace vq
