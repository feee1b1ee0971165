#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"

#include <QString>

#include <functional>

namespace vq {

/// The server library's log-on dialog and connection manager. The headless one logs on with the
/// credentials it is given; the widget layer installs one with a window.
class VQ_SDK_EXPORT SdkConnectDialog {
public:
    virtual ~SdkConnectDialog() = default;

    /// Logs on to `server`; the server that ends up connected is handed back through the reference.
    virtual void Logon(SdkServerPtr& server, const QString& user, const QString& password, bool flag1,
                       bool flag2) = 0;
    /// Shows the connection manager, where the user connects to and disconnects from the known
    /// servers, sets the default and adds or removes servers. The headless dialog shows nothing;
    /// both ignore the flags.
    virtual void ConnectionManager(bool flag1, bool flag2) = 0;

    /// Makes a dialog with the installed factory (the headless one until another is installed).
    static SdkConnectDialogPtr create();
    /// Installs the factory create() uses and returns the one it replaces; the widget layer
    /// installs one with a window.
    static std::function<SdkConnectDialogPtr()> setFactory(std::function<SdkConnectDialogPtr()> factory);
};

/// Logs on without asking anything; a refused log-on raises.
class VQ_SDK_EXPORT HeadlessConnectDialog : public SdkConnectDialog {
public:
    void Logon(SdkServerPtr& server, const QString& user, const QString& password, bool flag1,
               bool flag2) override;
    /// Does nothing: without a window there is nothing to manage.
    void ConnectionManager(bool flag1, bool flag2) override;
};

}  // namespace vq
