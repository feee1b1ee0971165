#pragma once

#include "dialogs/HidingForm.h"

namespace vq {

class VQTagSearch;

// The point search dialog: one VQTagSearch. OK, a double click or Enter on chosen results hides it
// with the chosen points; Cancel and Esc unselect them first.
class VQTagSearchForm : public HidingControlForm<VQTagSearch> {
    Q_OBJECT
public:
    static constexpr const char* kName = "VQTagSearchForm";

    explicit VQTagSearchForm(QWidget* parent = nullptr);

    void reject() override;  // Esc: as the Cancel button

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpKeys();
    void cancel();
};

}  // namespace vq
