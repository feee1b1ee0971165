#pragma once

#include "core/Variant.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace vq {

// A digital state set for sample archives; the code of a state is its position.
struct SampleDigitalSet {
    QString name;
    QStringList states;
};

// One archived event of a sample point.
struct SampleValue {
    // Spelled out so that emplace_back builds one with every compiler.
    SampleValue(double seconds, Variant v, int32_t s)
        : secondsBeforeNow(seconds), value(std::move(v)), status(s) {}

    double secondsBeforeNow;
    Variant value;
    int32_t status;
};

// A sample point with its attributes and its archived events.
struct SamplePoint {
    QString tag;            // unique per generator; only A-Z a-z 0-9 - . _
    QString className;      // "classic", "base", "totalizer" or "alarm" ("classic" only on VQ2)
    int32_t pointType = 0;  // 6, 8, 11, 12, 13, 101 or 105 (6, 11, 12, 101 on VQ2)
    QString descriptor;
    QString engUnits;     // "" for digital and string points
    QString pointSource;  // "R", "L" (lab), "C" (calculated), "T" (totalizer)
    double zero = 0;
    double span = 0;  // > 0 for numeric types; states - 1 for digital points; 0 for strings
    double typicalValue = 0;
    double compDev = 0;  // engineering units; 0 for digital and string points
    double excDev = 0;
    QString digitalSet;               // one of digitalSets() for digital points
    QString sourceTag;                // totalizers: a flow point at an earlier index, or ""
    QString instrumentTag;            // "FT-1023"
    std::vector<SampleValue> values;  // oldest first; the last is the current value
};

// Deterministic, plant-like sample points for seeding archives of any size. A point is a pure
// function of (server kind, seed, index), so a seeder can generate points in any order or in
// parallel, and the tag of every index is unique (it is built from the index, not drawn).
//
// Values: floating points give doubles near the typical value with status 0; integer points give
// the integer as value and status; digital points give the state code as value and status; string
// points give text such as "BATCH-00421" with status 0. The events are spread evenly over the last
// 24 hours. About one point in 200 has the current status -253 ("No Data") with a zero value (empty
// text on string points).
class SamplePointGenerator {
public:
    static constexpr int32_t NoDataStatus = -253;

    explicit SamplePointGenerator(QString serverKind /* "VQ3" or "VQ2" */, uint32_t seed = 1);

    static std::vector<SampleDigitalSet> digitalSets();

    SamplePoint point(int64_t index, int valuesPerPoint) const;

    const QString& serverKind() const { return m_serverKind; }
    uint32_t seed() const { return m_seed; }

private:
    QString m_serverKind;
    uint32_t m_seed;
    bool m_vq2;
};

}  // namespace vq
