#include "SdkServers.h"

#include "SdkErrors.h"

namespace vq {

// Lists that are read from elsewhere keep the default they were given.
void SdkServers::SetDefault(const QString& name) {
    throw Error(sdkerr::ReadOnly, QStringLiteral("VQSDK.Servers"),
                QStringLiteral("This server list cannot make \"%1\" its default server").arg(name));
}

}  // namespace vq
