#pragma once

#include "sdk/SdkNamedValues.h"

#include <QString>

namespace vq::test {

// The edit sets a writer makes, the same in the writing child and in the test that checks them.
// Edit k goes to point k % points and writes one number into two texts and a location, so that a
// torn edit set shows as a point whose fields disagree.
struct EditPlan {
    int points = 1;

    QString tag(int k) const { return QStringLiteral("P-%1").arg(k % points); }
    // The location value edit k leaves; 0 and 1 are class defaults.
    static int mark(int k) { return k + 100; }
    // What edit k leaves in "Descriptor|ExDesc|Location1".
    static QString after(int k) { return QStringLiteral("e%1|e%1|%2").arg(k).arg(mark(k)); }
    SdkNamedValues edit(int k) const {
        SdkNamedValues values;
        values.Add(QStringLiteral("Descriptor"), Variant(QStringLiteral("e%1").arg(k)));
        values.Add(QStringLiteral("ExDesc"), Variant(QStringLiteral("e%1").arg(k)));
        values.Add(QStringLiteral("Location1"), Variant(int32_t(mark(k))));
        return values;
    }
};

}  // namespace vq::test
