#include "archive/server/ArchivePoints.h"

#include "archive/server/ArchivePoint.h"
#include "archive/server/PointWriter.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"

namespace vq {

int ArchivePoints::Count() const {
    return int(m_server->pointCount());  // the interface counts in int
}

SdkPointPtr ArchivePoints::Item(const QString& tag) {
    const auto header = m_server->findPoint(tag);
    if (!header) {
        m_server->raise(
            sdkerr::PointUnknown,
            QStringLiteral("There is no point \"%1\" on server \"%2\"").arg(tag, m_server->Name()));
    }
    return std::make_shared<ArchivePoint>(m_server, *header);
}

bool ArchivePoints::Contains(const QString& tag) const {
    return m_server->findPoint(tag).has_value();
}

SdkPointPtr ArchivePoints::Add(const QString& tag, const QString& className, SdkPointType pointType,
                               const SdkNamedValues& attributes, SdkNamedValues* failed) {
    SdkNamedValues ownFailed;
    SdkNamedValues& refusals = failed ? *failed : ownFailed;
    const ArchivePointHeader header =
        PointWriter(*m_server).create(tag, className, pointType, attributes, refusals);
    return std::make_shared<ArchivePoint>(m_server, header);
}

}  // namespace vq
