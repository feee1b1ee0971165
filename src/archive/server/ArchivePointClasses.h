#pragma once

#include "archive/server/ArchivePointClass.h"
#include "sdk/SdkPointClasses.h"

namespace vq {

// The point classes of an archive, in the order they were defined.
class ArchivePointClasses : public SdkPointClasses {
public:
    explicit ArchivePointClasses(std::shared_ptr<ArchiveServer> server) : m_server(std::move(server)) {}

    int Count() const override;
    SdkPointClassPtr Item(const QString& name) const override;
    SdkPointClassPtr Item(int position) const override;
    std::vector<SdkPointClassPtr> All() const override;

private:
    std::shared_ptr<ArchiveServer> m_server;
};

}  // namespace vq
