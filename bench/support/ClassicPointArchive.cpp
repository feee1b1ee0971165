#include "ClassicPointArchive.h"

#include "archive/server/ArchiveApplication.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointType.h"
#include "sdk/SdkPoints.h"

namespace vq::bench {

std::shared_ptr<ArchiveServer> makeClassicPointArchive(const QString& registryPath, const QString& path,
                                                       const QString& name, const QString& tag) {
    ArchiveApplication::install(registryPath);
    auto server = ArchiveServer::create(path, name, QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"));
    server->Open(QStringLiteral("vqadmin"), QString());
    SdkNamedValues attributes;
    attributes.Add(QStringLiteral("Descriptor"), QStringLiteral("Boiler temperature"));
    attributes.Add(QStringLiteral("Span"), 200.0);
    attributes.Add(QStringLiteral("CompDev"), 2.0);
    server->Points()->Add(tag, QStringLiteral("classic"), pointtype::Float32, attributes);
    return server;
}

}  // namespace vq::bench
