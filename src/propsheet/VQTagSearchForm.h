#pragma once

#include <QDialog>

namespace vq {

class VQTagSearch;

// The point search dialog: one VQTagSearch. OK or a double click hides it with the chosen points;
// Cancel and Esc unselect them first. Closing from the title bar only hides it, so the caller
// reads whatever the control then holds.
class VQTagSearchForm : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kName = "VQTagSearchForm";

    explicit VQTagSearchForm(QWidget* parent = nullptr);

    VQTagSearch* control() const { return VQTagSearch1; }

    void reject() override;  // Esc: as the Cancel button

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void cancel();

    VQTagSearch* VQTagSearch1;
};

}  // namespace vq
