#include "propsheet/VQDigSetSearchForm.h"

#include "search/VQDigSetSearch.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace vq {

VQDigSetSearchForm::VQDigSetSearchForm(QWidget* parent)
    : QDialog(parent), VQDigSetSearch1(new VQDigSetSearch(this)) {
    setObjectName(QString::fromLatin1(kName));
    setWindowTitle(QStringLiteral("Digital Set Search"));
    VQDigSetSearch1->setObjectName(QStringLiteral("VQDigSetSearch1"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(VQDigSetSearch1);
    resize(sizeHint());
    connect(VQDigSetSearch1, &VQDigSetSearch::OnCancelClick, this, &QWidget::hide);
    connect(VQDigSetSearch1, &VQDigSetSearch::OnDigsetListSelection, this, &QWidget::hide);
}

void VQDigSetSearchForm::reject() {
    hide();
}

void VQDigSetSearchForm::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

}  // namespace vq
