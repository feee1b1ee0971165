// Test programs hash passwords under libsodium's lightest Argon2id limits, so that the many
// archives and log-ons of the tests stay quick; the library itself keeps the interactive limits.
#include "archive/server/PasswordHash.h"

namespace {
const bool lightHashing = (vq::PasswordHash::setLimits({1, 8192}), true);
}  // namespace
