#pragma once

#include "core/Variant.h"

namespace vq {

/// One pair of a value list: the name a list editor shows and the value it stores.
class ComboEntry {
public:
    /// The pair (`name`, `value`).
    ComboEntry(QString name, Variant value) : m_name(std::move(name)), m_value(std::move(value)) {}

    /// The name a list editor shows.
    const QString& Name() const { return m_name; }
    /// The value the entry stores when the name is chosen.
    const Variant& Value() const { return m_value; }

private:
    QString m_name;
    Variant m_value;
};

}  // namespace vq
