#include "SdkConnectDialog.h"

#include "SdkErrors.h"
#include "SdkServer.h"

namespace vq {

namespace {
std::function<SdkConnectDialogPtr()>& factorySlot() {
    static std::function<SdkConnectDialogPtr()> factory;
    return factory;
}
}  // namespace

SdkConnectDialogPtr SdkConnectDialog::create() {
    if (factorySlot()) return factorySlot()();
    return std::make_shared<HeadlessConnectDialog>();
}

std::function<SdkConnectDialogPtr()> SdkConnectDialog::setFactory(
    std::function<SdkConnectDialogPtr()> factory) {
    std::swap(factorySlot(), factory);
    return factory;
}

void HeadlessConnectDialog::Logon(SdkServerPtr& server, const QString& user, const QString& password, bool,
                                  bool) {
    if (!server) {
        throw Error(sdkerr::ServerUnknown, QStringLiteral("VQSDK.ConnectDialog"),
                    QStringLiteral("No server to log on to"));
    }
    server->Open(user, password);
}

// Without a window there is nothing to manage; connections are made by Logon.
void HeadlessConnectDialog::ConnectionManager(bool, bool) {}

}  // namespace vq
