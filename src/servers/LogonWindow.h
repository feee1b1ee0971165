#pragma once

#include "core/Error.h"
#include "sdk/SdkFwd.h"

#include <QDialog>

#include <optional>

class QDialogButtonBox;
class QLabel;
class QLineEdit;

namespace vq {

// The log-on window of the server library: names the server, asks for user and password, and
// logs on when OK is pressed. A refusal shows in red under the fields and the window stays open
// for another try; Cancel leaves the server as the last refusal left it (not connected).
class LogonWindow : public QDialog {
    Q_OBJECT
public:
    explicit LogonWindow(SdkServerPtr server, QWidget* parent = nullptr);
    ~LogonWindow() override;

    void setUser(const QString& user);
    // Shows why a log-on failed, for example the refusal that made the caller open the window.
    void showRefusal(const Error& refusal);
    // The refusal shown last; nothing once a log-on succeeded or before any was shown.
    const std::optional<Error>& refusal() const { return m_refusal; }

    // The red line's text for `refusal` of `serverName`.
    static QString refusalText(const QString& serverName, const Error& refusal);

public Q_SLOTS:
    // Logs on with the typed user and password; closes the window only when the server agrees.
    void accept() override;

private:
    void updateOk();
    void fitMessage();

    SdkServerPtr m_server;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_message = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
    std::optional<Error> m_refusal;
};

}  // namespace vq
