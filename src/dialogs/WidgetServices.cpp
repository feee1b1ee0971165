#include "dialogs/WidgetServices.h"

#include "dialogs/DialogServices.h"
#include "platform/MessageBoxService.h"
#include "servers/WidgetConnectDialog.h"

namespace vq {

void installWidgetServices() {
    installWidgetMessageService();
    SdkConnectDialog::setFactory([] { return std::make_shared<WidgetConnectDialog>(); });
    installDialogServices();
}

}  // namespace vq
