#pragma once

#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>
#include <QSignalSpy>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

namespace vq::test {

// The properties a class declares itself (not those of QWidget) that can change yet have no
// NOTIFY signal: bindings and Designer would never see them move.
inline QStringList silentProperties(const QMetaObject& meta) {
    QStringList silent;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty property = meta.property(i);
        if (!property.hasNotifySignal() && !property.isConstant())
            silent << QString::fromLatin1(property.name());
    }
    return silent;
}

// The name of a class's USER property, empty when it has none.
inline QString userPropertyOf(const QMetaObject& meta) {
    const QMetaProperty user = meta.userProperty();
    return user.isValid() ? QString::fromLatin1(user.name()) : QString();
}

// Writes `value` to `property` twice through the meta-object, as Designer and bindings do, and
// says how often the property's NOTIFY signal and PropertyChanged went out after each write, as
// "notify 1 1, marked 1 2": a real change notifies once, writing it again does not, and
// PropertyChanged keeps firing whenever its setter marks the property (even with no change).
inline QString writeTwice(QObject& control, const char* name, const QVariant& value) {
    const QMetaObject& meta = *control.metaObject();
    const QMetaProperty property = meta.property(meta.indexOfProperty(name));
    if (!property.isValid()) return QStringLiteral("no property");
    if (!property.hasNotifySignal()) return QStringLiteral("no NOTIFY");
    QSignalSpy notified(&control, property.notifySignal());
    const QMetaMethod marker = meta.method(meta.indexOfSignal("PropertyChanged(QString)"));
    QSignalSpy marked(&control, marker);
    if (!property.write(&control, value)) return QStringLiteral("not written");
    const qsizetype notifiedOnce = notified.count();
    const qsizetype markedOnce = marker.isValid() ? marked.count() : 0;
    const QVariant shown = property.read(&control);
    property.write(&control, shown);
    return QStringLiteral("notify %1 %2, marked %3 %4")
        .arg(notifiedOnce)
        .arg(notified.count())
        .arg(markedOnce)
        .arg(marker.isValid() ? marked.count() : 0);
}

}  // namespace vq::test
