#include "platform/StoredProperties.h"

namespace vq::stored {

QList<QMetaProperty> storedProperties(const QMetaObject& meta) {
    QList<QMetaProperty> stored;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i)
        if (meta.property(i).isStored()) stored.append(meta.property(i));
    return stored;
}

Variant emptyValueOf(const QMetaProperty& property) {
    switch (property.typeId()) {
        case QMetaType::Bool:
            return false;
        case QMetaType::Short:
            return int16_t(0);
        case QMetaType::Int:
        case QMetaType::UInt:
            return int32_t(0);
        case QMetaType::QString:
            return QString();
        default:
            return Variant();
    }
}

Variant storedAs(const QVariant& value, Variant::Type type) {
    switch (type) {
        case Variant::Type::Boolean:
            return value.toBool();
        case Variant::Type::Int16:
            return int16_t(value.toInt());
        case Variant::Type::Int32:
            // Colours are unsigned; their bits are kept as they are.
            return int32_t(value.toLongLong());
        case Variant::Type::String:
            return value.toString();
        default:
            return Variant();
    }
}

QVariant propertyValue(const Variant& value) {
    switch (value.type()) {
        case Variant::Type::Boolean:
            return value.toBool();
        case Variant::Type::Int16:
        case Variant::Type::Int32:
            return value.toInt32();
        case Variant::Type::String:
            return value.toString();
        default:
            return QVariant();
    }
}

}  // namespace vq::stored
