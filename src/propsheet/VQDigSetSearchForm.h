#pragma once

#include <QDialog>

namespace vq {

class VQDigSetSearch;

// The digital state set search dialog: one VQDigSetSearch. OK, Cancel, Esc, a double click and
// the title bar's close all hide it; the caller then reads the control's chosen sets.
class VQDigSetSearchForm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "VQDigSetSearchForm";

    explicit VQDigSetSearchForm(QWidget* parent = nullptr);

    VQDigSetSearch* control() const { return VQDigSetSearch1; }

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    VQDigSetSearch* VQDigSetSearch1;
};

}  // namespace vq
