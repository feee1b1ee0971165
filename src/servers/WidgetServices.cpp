#include "servers/WidgetServices.h"

#include "platform/MessageBoxService.h"
#include "servers/WidgetConnectDialog.h"

namespace vq {

void installWidgetServices() {
    installWidgetMessageService();
    SdkConnectDialog::setFactory([] { return std::make_shared<WidgetConnectDialog>(); });
}

}  // namespace vq
