#pragma once

#include "dialogs/HidingForm.h"

namespace vq {

class VQDigSetSearch;

// The digital state set search dialog: one VQDigSetSearch. OK, Cancel, Esc and a double click
// hide it; the caller then reads the control's chosen sets.
class VQDigSetSearchForm : public HidingControlForm<VQDigSetSearch> {
    Q_OBJECT
public:
    static constexpr const char* kName = "VQDigSetSearchForm";

    explicit VQDigSetSearchForm(QWidget* parent = nullptr);

    void reject() override { hide(); }
};

}  // namespace vq
