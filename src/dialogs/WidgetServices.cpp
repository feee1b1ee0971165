#include "dialogs/WidgetServices.h"

#include "dialogs/DialogServices.h"
#include "platform/MessageBoxService.h"
#include "platform/ServicesContext.h"
#include "servers/WidgetConnectDialog.h"

namespace vq {

void useWidgetServices(ServicesContext& context) {
    context.messages = std::make_shared<MessageBoxService>();
    context.connectDialog = [] { return std::make_shared<WidgetConnectDialog>(); };
    useLibraryDialogs(context);
}

void installWidgetServices() {
    ServicesContext context = services();
    useWidgetServices(context);
    installServices(std::move(context));
}

}  // namespace vq
