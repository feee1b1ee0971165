#pragma once

#include "sdk/SdkFwd.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

namespace vq {

// Asks for the name and the archive file of a server to add to the known servers, and adds it
// when OK is pressed. A refusal (a taken name, a missing or foreign file) is shown as a message
// and the window stays open with what was typed, so nothing is lost.
class AddServerWindow : public QDialog {
    Q_OBJECT
public:
    explicit AddServerWindow(SdkServersPtr servers, QWidget* parent = nullptr);
    ~AddServerWindow() override;

    // The name of the server added; empty until one is.
    const QString& addedName() const { return m_added; }

public Q_SLOTS:
    void accept() override;

private:
    void chooseFile();
    void updateOk();

    SdkServersPtr m_servers;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_file = nullptr;
    QCheckBox* m_default = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    QString m_added;
};

}  // namespace vq
