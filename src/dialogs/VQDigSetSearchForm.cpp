#include "dialogs/VQDigSetSearchForm.h"

#include "search/VQDigSetSearch.h"

namespace vq {

namespace {

VQDigSetSearch* namedControl() {
    auto* control = new VQDigSetSearch;
    control->setObjectName(QStringLiteral("VQDigSetSearch1"));
    return control;
}

}  // namespace

VQDigSetSearchForm::VQDigSetSearchForm(QWidget* parent)
    : HidingForm(kName, QStringLiteral("Digital Set Search"), namedControl(), parent),
      VQDigSetSearch1(findChild<VQDigSetSearch*>()) {
    connect(VQDigSetSearch1, &VQDigSetSearch::OnCancelClick, this, &QWidget::hide);
    connect(VQDigSetSearch1, &VQDigSetSearch::OnDigsetListSelection, this, &QWidget::hide);
}

}  // namespace vq
