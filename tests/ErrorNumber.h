#pragma once

#include "core/Error.h"

#include <cstdint>

namespace vq::test {

// The number of the Error that `body` raises, or 0 when it raises none.
template <typename Body>
int32_t errorNumberOf(Body&& body) {
    try {
        body();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

// The Error that `body` raises, or one numbered 0 when it raises none.
template <typename Body>
Error raised(Body&& body) {
    try {
        body();
    } catch (const Error& error) {
        return error;
    }
    return Error(0, QString(), QStringLiteral("nothing was raised"));
}

}  // namespace vq::test
