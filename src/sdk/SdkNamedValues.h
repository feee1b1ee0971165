#pragma once

#include "sdk/SdkExport.h"

#include "SdkFwd.h"
#include "SdkNamedValue.h"

#include <vector>

namespace vq {

/// The general name/value set of the server library: server selections, edit sets, masks,
/// dependency lists. Names compare without regard to case; pairs keep their insertion order;
/// positions count from 1. Looking up an absent name raises error 0x80040422.
class VQ_SDK_EXPORT SdkNamedValues {
public:
    /// An empty set, shared as the server library hands sets around.
    static SdkNamedValuesPtr create() { return std::make_shared<SdkNamedValues>(); }

    /// The number of pairs.
    int Count() const { return int(m_items.size()); }
    /// Appends a pair; a name already present raises error 457 and changes nothing.
    void Add(const QString& name, const Variant& value);
    /// The pair named `name`; an absent name raises error 0x80040422.
    const SdkNamedValue& Item(const QString& name) const;
    /// The pair at `position`, counted from 1; out of range raises error 9.
    const SdkNamedValue& Item(int position) const;
    /// A number selects by position, anything else by name.
    const SdkNamedValue& Item(const Variant& index) const;
    /// The value of the pair named `name`; an absent name raises error 0x80040422.
    const Variant& Value(const QString& name) const { return Item(name).Value(); }
    /// True when a pair is named `name`, without regard to case.
    bool Contains(const QString& name) const { return indexOf(name) >= 0; }
    /// Replaces the value of an existing pair, or appends a new one.
    void Set(const QString& name, const Variant& value);
    /// Removes the pair named `name`; an absent name raises error 0x80040422.
    void Remove(const QString& name);
    /// Removes every pair.
    void Clear();
    /// Merges `other` in its order: new names are appended; present names take the other value
    /// only when `replace` is set.
    void Merge(const SdkNamedValues& other, bool replace);

    /// @{
    /// Iterates the pairs (SdkNamedValue) in insertion order.
    auto begin() const { return m_items.cbegin(); }
    auto end() const { return m_items.cend(); }
    /// @}

    /// "Name=Value Name=Value", for messages and tests.
    QString toText() const;

private:
    int indexOf(const QString& name) const;
    void indexItem(int position) const;
    void rebuildIndex() const;

    std::vector<SdkNamedValue> m_items;
    // Open-addressing table of item position + 1 (0 is free), hashed on the case-folded name
    // without making folded copies; built once a set outgrows a plain scan.
    mutable std::vector<int> m_slots;
};

}  // namespace vq
