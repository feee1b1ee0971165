#pragma once

#include "sdk/SdkExport.h"

#include <QStringList>

namespace vq {

/// The columns of the point table in the servers' SQL dialect, spelt as clauses write them and
/// in the order the point search offers them. Servers translate them; clients list them.
VQ_SDK_EXPORT const QStringList& SqlPointColumns();

}  // namespace vq
