#include "search/PointPropertyDialogs.h"

namespace vq {

namespace {
PointPropertyDialogs* installedDialogs = nullptr;
}

PointPropertyDialogs* pointPropertyDialogs() {
    return installedDialogs;
}

void setPointPropertyDialogs(PointPropertyDialogs* dialogs) {
    installedDialogs = dialogs;
}

}  // namespace vq
