#pragma once

#include "core/CoreExport.h"

#include "core/Variant.h"

namespace vq {

/// A name and the value it stands for, fixed when made: an entry of a value list (ComboEntry) and
/// an attribute as the server library hands it out (SdkPointAttribute) are both this pair.
class VQ_CORE_EXPORT NameValuePair {
public:
    /// The pair (`name`, `value`).
    NameValuePair(QString name, Variant value) : m_name(std::move(name)), m_value(std::move(value)) {}

    /// The name: what a list editor shows, or an attribute's name in the catalogue's spelling.
    const QString& Name() const { return m_name; }
    /// The value: what a list entry stores when chosen, or an attribute's value as loaded (for a
    /// point class, its default).
    const Variant& Value() const { return m_value; }

private:
    QString m_name;
    Variant m_value;
};

}  // namespace vq
