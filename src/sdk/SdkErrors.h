#pragma once

#include "core/Error.h"

namespace vq::sdkerr {

// Error numbers of the server library, beside the two the callers test for
// (errc::NamedValueAbsent and errc::NoPointsFound).
constexpr int32_t ServerUnknown = int32_t(0x80040401);
constexpr int32_t ServerUnavailable = int32_t(0x80040402);  // missing or unreadable archive file
constexpr int32_t LogonFailed = int32_t(0x80040403);
constexpr int32_t NotConnected = int32_t(0x80040404);
constexpr int32_t PointUnknown = int32_t(0x80040405);
constexpr int32_t ClassUnknown = int32_t(0x80040406);
constexpr int32_t AttributeUnknown = int32_t(0x80040407);
constexpr int32_t AttributesRefused = int32_t(0x80040408);  // the failing attributes come with it
constexpr int32_t DigitalSetUnknown = int32_t(0x80040409);
constexpr int32_t RegistryInvalid = int32_t(0x8004040A);
constexpr int32_t SearchUnavailable = int32_t(0x8004040B);
constexpr int32_t ReadOnly = int32_t(0x8004040C);
constexpr int32_t PathInvalid = int32_t(0x8004040D);
constexpr int32_t NoServerLibrary = int32_t(0x8004040E);
constexpr int32_t StorageFailed = int32_t(0x8004040F);
constexpr int32_t ServerExists = int32_t(0x80040410);
constexpr int32_t QueryInvalid = int32_t(0x80040411);    // a where clause that cannot be run as written
constexpr int32_t QueryCancelled = int32_t(0x80040412);  // a search cancelled or over its time limit
constexpr int32_t PointChanged = int32_t(0x80040413);    // a point written by another since it was read

}  // namespace vq::sdkerr
