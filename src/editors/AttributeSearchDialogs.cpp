#include "editors/AttributeSearchDialogs.h"

namespace vq {

namespace {
AttributeSearchDialogs* installedDialogs = nullptr;
}

AttributeSearchDialogs* attributeSearchDialogs() {
    return installedDialogs;
}

void setAttributeSearchDialogs(AttributeSearchDialogs* dialogs) {
    installedDialogs = dialogs;
}

}  // namespace vq
