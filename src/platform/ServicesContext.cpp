#include "platform/ServicesContext.h"

#include "core/MessageService.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkConnectDialog.h"

namespace vq {

namespace {

ServicesContext& inForce() {
    static ServicesContext context;
    return context;
}

// What the layers below had before the context took a slot over, put back when it lets go: a
// message recorder or a server library installed there directly survives the context.
struct Displaced {
    std::shared_ptr<MessageService> messages;
    std::function<SdkConnectDialogPtr()> connectDialog;
    SdkApplicationFactory application;
};

Displaced& displaced() {
    static Displaced below;
    return below;
}

// Hands one slot down when the context's value changed; `put` installs a value below and returns
// the one it replaced.
template <class Value, class Below, class Put>
void handDown(bool changed, bool had, const Value& value, Below& kept, Put put) {
    if (!changed) return;
    if (value) {
        Below replaced = put(Below(value));
        if (!had) kept = std::move(replaced);
    } else {
        put(std::move(kept));
        kept = Below();
    }
}

void handDown(const ServicesContext& before, const ServicesContext& after) {
    Displaced& below = displaced();
    handDown(after.messages != before.messages, bool(before.messages), after.messages, below.messages,
             [](std::shared_ptr<MessageService> service) { return setMessageService(std::move(service)); });
    // Factories cannot be compared; handing an unchanged one down again costs nothing.
    handDown(bool(after.connectDialog) || bool(before.connectDialog), bool(before.connectDialog),
             after.connectDialog, below.connectDialog, &SdkConnectDialog::setFactory);
    // The application is made anew when its factory changes, so only a real change is handed down.
    handDown(after.application != before.application, bool(before.application),
             after.application ? *after.application : SdkApplicationFactory(), below.application,
             &SdkApplication::setFactory);
}

}  // namespace

const ServicesContext& services() {
    return inForce();
}

void installServices(ServicesContext context) {
    handDown(inForce(), context);
    inForce() = std::move(context);
}

ScopedServices::ScopedServices(const std::function<void(ServicesContext&)>& change) : m_previous(inForce()) {
    ServicesContext changed = m_previous;
    change(changed);
    installServices(std::move(changed));
}

ScopedServices::~ScopedServices() {
    installServices(std::move(m_previous));
}

}  // namespace vq
