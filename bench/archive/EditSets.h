#pragma once

#include "sdk/SdkNamedValues.h"

#include <cstdint>

namespace vq::bench {

// Five attributes of a point of the class "classic", all different from the round before.
inline SdkNamedValues fiveAttributeEdits(int64_t round) {
    SdkNamedValues edits;
    edits.Add(QStringLiteral("Descriptor"), Variant(QStringLiteral("Feed flow to tank %1").arg(round)));
    edits.Add(QStringLiteral("Span"), Variant(200.0 + double(round % 2) * 50.0));
    edits.Add(QStringLiteral("Zero"), Variant(double(round % 2)));
    edits.Add(QStringLiteral("EngUnits"),
              Variant(round % 2 ? QStringLiteral("m3/h") : QStringLiteral("t/h")));
    edits.Add(QStringLiteral("CompDev"), Variant(round % 2 ? 0.5 : 0.25));
    return edits;
}

}  // namespace vq::bench
