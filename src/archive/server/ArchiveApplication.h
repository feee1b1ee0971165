#pragma once

#include "archive/ArchiveExport.h"

#include "archive/server/ServerRegistry.h"
#include "sdk/SdkApplication.h"

namespace vq {

class ArchiveServers;

/// The server library's entry point over archive files.
class VQ_ARCHIVE_EXPORT ArchiveApplication : public SdkApplication {
public:
    /// The application over the servers `registry` lists.
    explicit ArchiveApplication(ServerRegistry registry = ServerRegistry());

    SdkServersPtr Servers() override;
    void TakePoint(const SdkPointPtr& point) override { m_lastPoint = point; }
    SdkPointPtr LastPoint() const override { return m_lastPoint; }

    /// Makes the archive the process's server library; `registryPath` (optional) chooses the
    /// server list. Call once at start-up, before the first SdkApplication::instance().
    static void install(const QString& registryPath = {});

private:
    ServerRegistry m_registry;
    std::shared_ptr<ArchiveServers> m_servers;
    SdkPointPtr m_lastPoint;
};

}  // namespace vq
