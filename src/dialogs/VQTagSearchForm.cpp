#include "dialogs/VQTagSearchForm.h"

#include "search/VQTagSearch.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPushButton>

namespace vq {

VQTagSearchForm::VQTagSearchForm(QWidget* parent)
    : HidingControlForm(kName, QStringLiteral("Tag Search"), "VQTagSearch1", parent) {
    connect(control(), &VQTagSearch::OnCancelClick, this, &VQTagSearchForm::cancel);
    connect(control(), &VQTagSearch::OnPointListSelection, this, &QWidget::hide);
    setUpKeys();
}

// In the dialog, unlike in the bare control, Enter on a chosen result hands it over. OK and
// Cancel get the access keys that no other caption of the control uses.
void VQTagSearchForm::setUpKeys() {
    if (auto* results = control()->findChild<QAbstractItemView*>(QStringLiteral("stSearchResults"))) {
        results->installEventFilter(this);
        results->setAccessibleDescription(
            QStringLiteral("The points found; Enter, OK or a double click hands the selected ones over"));
    }
    const std::pair<const char*, QString> captions[] = {{"cmdOK", QStringLiteral("O&K")},
                                                        {"cmdCancel", QStringLiteral("C&ancel")}};
    for (const auto& [name, caption] : captions)
        if (auto* button = control()->findChild<QPushButton*>(QString::fromLatin1(name)))
            button->setText(caption);
}

bool VQTagSearchForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return HidingForm::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* results = static_cast<QAbstractItemView*>(watched);
    auto* ok = control()->findChild<QPushButton*>(QStringLiteral("cmdOK"));
    const bool chosen = results->selectionModel() && results->selectionModel()->hasSelection();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && chosen && ok && ok->isEnabled()) {
        ok->click();
        return true;
    }
    return HidingForm::eventFilter(watched, event);
}

void VQTagSearchForm::cancel() {
    control()->ClearSelectedTags();
    hide();
}

void VQTagSearchForm::reject() {
    cancel();
}

}  // namespace vq
