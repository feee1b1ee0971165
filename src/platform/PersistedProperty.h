#pragma once

#include "core/Variant.h"
#include "platform/PropertyBag.h"

#include <QString>

namespace vq {

// One design-time property of a control: its persisted name, its default, how the control reports
// the value to save and how it takes a loaded or default value. A control keeps one table of
// these, so InitProperties, ReadProperties and WriteProperties spell each name once.
template <typename Control>
struct PersistedProperty {
    QString name;
    Variant defaultValue;
    Variant (*saved)(const Control&);
    void (*load)(Control&, const Variant&);
    bool resetByInit = true;  // some controls keep a property as it is when initialised
};

template <typename Control, typename Table>
void initPersisted(Control& control, const Table& table) {
    for (const PersistedProperty<Control>& property : table)
        if (property.resetByInit) property.load(control, property.defaultValue);
}

template <typename Control, typename Table>
void readPersisted(Control& control, const Table& table, const PropertyBag& bag) {
    for (const PersistedProperty<Control>& property : table)
        property.load(control, bag.ReadProperty(property.name, property.defaultValue));
}

template <typename Control, typename Table>
void writePersisted(const Control& control, const Table& table, PropertyBag& bag) {
    for (const PersistedProperty<Control>& property : table)
        bag.WriteProperty(property.name, property.saved(control), property.defaultValue);
}

}  // namespace vq
