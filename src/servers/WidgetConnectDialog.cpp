#include "servers/WidgetConnectDialog.h"

#include "sdk/SdkApplication.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkServer.h"
#include "servers/ConnectionManagerWindow.h"
#include "servers/LogonWindow.h"

#include <QApplication>

#include <optional>

namespace vq {

void WidgetConnectDialog::Logon(SdkServerPtr& server, const QString& user, const QString& password, bool,
                                bool) {
    if (!server) {
        throw Error(sdkerr::ServerUnknown, QStringLiteral("VQSDK.ConnectDialog"),
                    QStringLiteral("No server to log on to"));
    }
    std::optional<Error> refusal;
    try {
        server->Open(user, password);
        return;
    } catch (const Error& error) {
        if (error.number() != sdkerr::LogonFailed) throw;
        refusal = error;
    }
    LogonWindow window(server, QApplication::activeWindow());
    window.setUser(user);
    window.showRefusal(*refusal);
    if (window.exec() == QDialog::Accepted) return;
    throw window.refusal().value_or(*refusal);
}

void WidgetConnectDialog::ConnectionManager(bool, bool) {
    ConnectionManagerWindow window(SdkApplication::instance()->Servers(), QApplication::activeWindow());
    window.exec();
}

}  // namespace vq
