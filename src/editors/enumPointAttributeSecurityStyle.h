#pragma once

#include <cstdint>

namespace vq {

/// Which part of an access string an attribute editor edits.
enum enumPointAttributeSecurityStyle : int32_t {
    ViewOwnerSecurity = 0,  ///< the owner's access level only
    ViewGroupSecurity = 1,  ///< the group's access level only
    ViewWorldSecurity = 2,  ///< the world's access level only
    ViewAllSecurity = 3     ///< the whole string: the owner's, the group's and the world's levels
};

}  // namespace vq
