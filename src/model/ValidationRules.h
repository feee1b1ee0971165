#pragma once

#include "enumDisplayStyle.h"
#include "sdk/SdkFwd.h"

#include <QString>

namespace vq {

class PropSheetEntry;

// Which editor style and value list an attribute gets. Only entries ask it.
class ValidationRules {
    friend class PropSheetEntry;

    struct StyleAndList {
        enumDisplayStyle style;
        SdkNamedValuesPtr valueList;  // (name, value) pairs in display order
    };
    // `server` may be null: lists that come from a server are then empty.
    static StyleAndList displayStyle(const QString& attributeName, SdkServer* server);
};

}  // namespace vq
