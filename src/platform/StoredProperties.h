#pragma once

#include "platform/PlatformExport.h"

#include "core/Variant.h"
#include "platform/PropertyBag.h"

#include <QList>
#include <QMetaObject>
#include <QMetaProperty>
#include <QObject>
#include <QString>

#include <cstring>
#include <initializer_list>

namespace vq {

// What the meta-object cannot say about a persisted property. Every property a control declares
// itself is persisted unless it is declared STORED false; it is read through READ, loaded through
// WRITE and stored as its own type with that type's empty value as default. A note changes this
// for one property: another default (whose type is then the stored type), a loader that only
// stores the value without applying it, a saver that bypasses READ, a property that a new control
// keeps as it is, or a stored name that differs from the property's.
template <typename Control>
struct PersistedNote {
    const char* property;
    Variant defaultValue;
    void (*load)(Control&, const Variant&) = nullptr;
    Variant (*saved)(const Control&) = nullptr;
    bool resetByInit = true;
    const char* storedAs = nullptr;
};

namespace stored {

// The STORED properties `meta` declares itself (not those of its base classes), in declaration order.
VQ_PLATFORM_EXPORT QList<QMetaProperty> storedProperties(const QMetaObject& meta);
// The empty value of the property's type, typed as it is stored (colours as 32-bit integers).
VQ_PLATFORM_EXPORT Variant emptyValueOf(const QMetaProperty& property);
// `value` as a Variant of `type`; a Variant without a fixed type keeps the value's own.
VQ_PLATFORM_EXPORT Variant storedAs(const QVariant& value, Variant::Type type);
// A stored value as the property's WRITE takes it.
VQ_PLATFORM_EXPORT QVariant propertyValue(const Variant& value);

}  // namespace stored

// One persisted property as the walker sees it: the meta-object's part and the note, if any.
template <typename Control>
struct StoredSlot {
    QMetaProperty property;
    const PersistedNote<Control>* note;

    QString name() const {
        return QString::fromLatin1(note && note->storedAs ? note->storedAs : property.name());
    }
    Variant defaultValue() const { return note ? note->defaultValue : stored::emptyValueOf(property); }
    bool resetByInit() const { return !note || note->resetByInit; }
    void load(Control& control, const Variant& value) const {
        if (note && note->load)
            note->load(control, value);
        else
            property.write(&control, stored::propertyValue(value));
    }
    Variant saved(const Control& control) const {
        if (note && note->saved) return note->saved(control);
        return stored::storedAs(property.read(&control), defaultValue().type());
    }
};

template <typename Control, typename Notes>
QList<StoredSlot<Control>> storedSlots(const Notes& notes) {
    QList<StoredSlot<Control>> all;
    for (const QMetaProperty& property : stored::storedProperties(Control::staticMetaObject)) {
        const PersistedNote<Control>* found = nullptr;
        for (const PersistedNote<Control>& note : notes)
            if (std::strcmp(note.property, property.name()) == 0) found = &note;
        all.append({property, found});
    }
    return all;
}

// A new control: every persisted property takes its default, except those noted to keep theirs.
template <typename Control, typename Notes = std::initializer_list<PersistedNote<Control>>>
void initStoredProperties(Control& control, const Notes& notes = {}) {
    for (const StoredSlot<Control>& slot : storedSlots<Control>(notes))
        if (slot.resetByInit()) slot.load(control, slot.defaultValue());
}

template <typename Control, typename Notes = std::initializer_list<PersistedNote<Control>>>
void readStoredProperties(Control& control, const PropertyBag& bag, const Notes& notes = {}) {
    for (const StoredSlot<Control>& slot : storedSlots<Control>(notes))
        slot.load(control, bag.ReadProperty(slot.name(), slot.defaultValue()));
}

// Only values that differ from their defaults end up in the bag.
template <typename Control, typename Notes = std::initializer_list<PersistedNote<Control>>>
void writeStoredProperties(const Control& control, PropertyBag& bag, const Notes& notes = {}) {
    for (const StoredSlot<Control>& slot : storedSlots<Control>(notes))
        bag.WriteProperty(slot.name(), slot.saved(control), slot.defaultValue());
}

}  // namespace vq
