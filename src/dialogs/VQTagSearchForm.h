#pragma once

#include "dialogs/HidingForm.h"

namespace vq {

class VQTagSearch;

// The point search dialog: one VQTagSearch. OK or a double click hides it with the chosen points;
// Cancel and Esc unselect them first.
class VQTagSearchForm : public HidingForm {
    Q_OBJECT
public:
    static constexpr const char* kName = "VQTagSearchForm";

    explicit VQTagSearchForm(QWidget* parent = nullptr);

    VQTagSearch* control() const { return VQTagSearch1; }

    void reject() override;  // Esc: as the Cancel button

private:
    void cancel();

    VQTagSearch* VQTagSearch1;
};

}  // namespace vq
