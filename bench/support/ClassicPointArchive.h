#pragma once

#include "archive/server/ArchiveServer.h"

#include <QString>

#include <memory>

namespace vq::bench {

// A new "VQ3" archive file at `path`, installed as the server library with its registry in
// `registryPath`, logged on as vqadmin and holding one classic point `tag`: the point carries
// every attribute of the base and classic sets.
std::shared_ptr<ArchiveServer> makeClassicPointArchive(const QString& registryPath, const QString& path,
                                                       const QString& name, const QString& tag);

}  // namespace vq::bench
