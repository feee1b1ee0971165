#pragma once

#include "servers/ServersExport.h"

#include "sdk/SdkConnectDialog.h"

namespace vq {

// The server library's log-on dialog with windows, installed by installWidgetServices().
//
// Logon tries the credentials it is given first; only when the server refuses them does the
// log-on window ask, showing the refusal and letting the user try again. Cancel raises the last
// refusal, number and all, and the server stays not connected. Errors other than a refusal (a
// missing archive, say) are raised at once: no password would mend them.
//
// ConnectionManager shows the connection manager over the process's known servers, modally.
// The two flags of both calls are accepted for the callers' sake and change nothing here.
class VQ_SERVERS_EXPORT WidgetConnectDialog : public SdkConnectDialog {
public:
    void Logon(SdkServerPtr& server, const QString& user, const QString& password, bool flag1,
               bool flag2) override;
    void ConnectionManager(bool flag1, bool flag2) override;
};

}  // namespace vq
