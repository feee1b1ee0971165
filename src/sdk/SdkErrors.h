#pragma once

#include "core/Error.h"

/// Error numbers of the server library, beside the two the callers test for
/// (errc::NamedValueAbsent and errc::NoPointsFound).
namespace vq::sdkerr {

constexpr int32_t ServerUnknown = int32_t(0x80040401);      ///< a name the server list does not hold
constexpr int32_t ServerUnavailable = int32_t(0x80040402);  ///< missing or unreadable archive file
constexpr int32_t LogonFailed = int32_t(0x80040403);        ///< a wrong user or password
constexpr int32_t NotConnected = int32_t(0x80040404);       ///< a call that needs a logged-on user
constexpr int32_t PointUnknown = int32_t(0x80040405);       ///< a tag or point the server does not hold
constexpr int32_t ClassUnknown = int32_t(0x80040406);       ///< a point class the server does not have
constexpr int32_t AttributeUnknown = int32_t(0x80040407);   ///< an attribute name the class does not have
constexpr int32_t AttributesRefused = int32_t(0x80040408);  ///< the failing attributes come with it
constexpr int32_t DigitalSetUnknown = int32_t(0x80040409);  ///< a digital state set the server does not have
constexpr int32_t RegistryInvalid = int32_t(0x8004040A);    ///< a server list that cannot be read or written
constexpr int32_t SearchUnavailable = int32_t(0x8004040B);  ///< a server that offers no point search
constexpr int32_t ReadOnly = int32_t(0x8004040C);     ///< a write to a read-only archive or to class defaults
constexpr int32_t PathInvalid = int32_t(0x8004040D);  ///< text that is no point path "\\server\tag"
constexpr int32_t NoServerLibrary = int32_t(0x8004040E);  ///< no server library was installed
constexpr int32_t StorageFailed = int32_t(0x8004040F);    ///< the archive file could not be read or written
constexpr int32_t ServerExists = int32_t(0x80040410);     ///< a server name the list already holds
constexpr int32_t QueryInvalid = int32_t(0x80040411);     ///< a where clause that cannot be run as written
constexpr int32_t QueryCancelled = int32_t(0x80040412);   ///< a search cancelled or over its time limit
constexpr int32_t PointChanged = int32_t(0x80040413);     ///< a point written by another since it was read

}  // namespace vq::sdkerr
