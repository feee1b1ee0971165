#pragma once

#include <cstdint>

namespace vq {

enum enumPointAttributeSecurityStyle : int32_t {
    ViewOwnerSecurity = 0,
    ViewGroupSecurity = 1,
    ViewWorldSecurity = 2,
    ViewAllSecurity = 3
};

}  // namespace vq
