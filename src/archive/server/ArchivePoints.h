#pragma once

#include "sdk/SdkPoints.h"

namespace vq {

class ArchiveServer;

// The points of one archive: lookup by tag and creation.
class ArchivePoints : public SdkPoints {
public:
    explicit ArchivePoints(std::shared_ptr<ArchiveServer> server) : m_server(std::move(server)) {}

    int Count() const override;
    SdkPointPtr Item(const QString& tag) override;
    bool Contains(const QString& tag) const override;
    SdkPointPtr Add(const QString& tag, const QString& className, SdkPointType pointType,
                    const SdkNamedValues& attributes, SdkNamedValues* failed) override;

private:
    std::shared_ptr<ArchiveServer> m_server;
};

}  // namespace vq
