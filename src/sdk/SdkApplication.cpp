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

void SdkApplication::setFactory(std::function<SdkApplicationPtr()> factory) {
    slot().factory = std::move(factory);
    slot().application.reset();
}

void SdkApplication::reset() {
    slot().application.reset();
}

}  // namespace vq
