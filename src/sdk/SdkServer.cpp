#include "SdkServer.h"

#include "SdkErrors.h"
#include "SdkNamedValues.h"
#include "SdkPointList.h"
#include "core/Error.h"

namespace vq {

QStringList SdkServer::TagsStartingWith(const QString& prefix, int maxCount) {
    QStringList tags;
    if (maxCount <= 0) return tags;
    SdkPointListPtr found;
    try {
        QString quoted = prefix;
        quoted.replace(QStringLiteral("'"), QStringLiteral("''"));
        found = GetPointsSQL(QStringLiteral("VQPOINT.Tag LIKE '%1*'").arg(quoted), SdkNamedValues(), nullptr);
    } catch (const Error& error) {
        if (error.number() == errc::NoPointsFound) return tags;
        throw;
    }
    for (int at = 1; at <= found->Count() && tags.size() < maxCount; ++at) tags << found->Tag(at);
    return tags;
}

}  // namespace vq
