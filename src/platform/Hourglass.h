#pragma once

#include "platform/PlatformExport.h"

namespace vq {

// Shows the wait cursor for the lifetime of the guard, however the scope is left. Guards nest:
// the cursor returns to normal when the outermost one ends.
class VQ_PLATFORM_EXPORT Hourglass {
public:
    Hourglass();
    ~Hourglass();
    Hourglass(const Hourglass&) = delete;
    Hourglass& operator=(const Hourglass&) = delete;

    // True while at least one guard is alive.
    static bool isShown();

private:
    bool m_active = false;
};

}  // namespace vq
