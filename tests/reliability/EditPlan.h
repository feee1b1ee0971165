#pragma once

#include "sdk/SdkNamedValues.h"

#include <QString>

namespace vq::test {

// The edits a writer makes, the same in the writing child and in the test that checks them.
// Writer `client` (0 to 3) makes edit k on a point of its own or, every other edit, on one that
// all writers share. Each edit set writes one number into three attributes and into the
// writer's own location column, so that a point shows both a torn edit set (the three disagree)
// and a lost edit (a writer's location is not its last edit of that point).
struct EditPlan {
    int client = 0;
    int sharedPoints = 0;
    int ownPoints = 1;

    static QString sharedTag(int i) { return QStringLiteral("S-%1").arg(i); }
    static QString ownTag(int client, int i) { return QStringLiteral("C%1-%2").arg(client).arg(i); }
    static QString locationOf(int client) { return QStringLiteral("Location%1").arg(client + 1); }
    // The location value edit k leaves; 0 and 1 are class defaults.
    static int mark(int k) { return k + 100; }
    static QString text(int client, int k) { return QStringLiteral("c%1 e%2").arg(client).arg(k); }

    QString tag(int k) const {
        if (sharedPoints > 0 && k % 2 == 0) return sharedTag((k / 2) % sharedPoints);
        return ownTag(client, (k / 2) % ownPoints);
    }
    SdkNamedValues edit(int k) const {
        SdkNamedValues values;
        values.Add(QStringLiteral("Descriptor"), Variant(text(client, k)));
        values.Add(QStringLiteral("ExDesc"), Variant(text(client, k)));
        values.Add(QStringLiteral("EngUnits"), Variant(QStringLiteral("c%1").arg(client)));
        values.Add(locationOf(client), Variant(int32_t(mark(k))));
        return values;
    }
};

}  // namespace vq::test
