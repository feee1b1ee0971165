#include "SdkApplication.h"

#include "SdkErrors.h"

namespace vq {

namespace {
struct ApplicationSlot {
    std::function<SdkApplicationPtr()> factory;
    SdkApplicationPtr application;
};
ApplicationSlot& slot() {
    static ApplicationSlot instance;
    return instance;
}
}  // namespace

SdkApplicationPtr SdkApplication::instance() {
    ApplicationSlot& s = slot();
    if (!s.application) {
        if (!s.factory) {
            throw Error(sdkerr::NoServerLibrary, QStringLiteral("VQSDK.Application"),
                        QStringLiteral("No server library is installed"));
        }
        s.application = s.factory();
    }
    return s.application;
}

std::function<SdkApplicationPtr()> SdkApplication::setFactory(std::function<SdkApplicationPtr()> factory) {
    std::swap(slot().factory, factory);
    slot().application.reset();
    return factory;
}

void SdkApplication::reset() {
    slot().application.reset();
}

}  // namespace vq
