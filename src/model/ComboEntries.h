#pragma once

#include "model/ModelExport.h"

#include "ComboEntry.h"
#include "core/KeyedCollection.h"

#include <memory>

namespace vq {

/// The value list of one entry: (name, value) pairs in insertion order, keyed by name without
/// regard to case. Positions count from 1 where a position is given, from 0 where one is returned.
/// A failing operation shows its error and returns its default. Copies share their pairs until one
/// of them changes: every entry of a kind offers the same list.
class VQ_MODEL_EXPORT ComboEntries {
public:
    /// The name of the pair at `position`, counted from 1.
    QString GetNameByIndex(int position) const;
    /// The first pair with that name; 0 when none has it.
    int GetIndexByName(const QString& name) const;
    /// The position (from 0) of the pair whose name GetNameByValue() gives; 0 when none matches.
    int GetIndexByValue(const Variant& value) const;
    /// Values compare as text without regard to case; "NotFound" when no pair matches.
    QString GetNameByValue(const Variant& value) const;
    /// The value of the pair with that name.
    Variant GetValueByName(const QString& name) const;
    /// The value of the pair at `position`, counted from 1.
    Variant GetValueByIndex(int position) const;
    /// The number of pairs.
    int Count() const { return m_entries ? m_entries->count() : 0; }
    /// Removes every pair; copies made before keep theirs.
    void Clear() { m_entries.reset(); }
    /// Appends a pair; a name already present is reported and nothing is added.
    void Add(const QString& name, const Variant& value);

private:
    using Pairs = KeyedCollection<ComboEntry>;
    const Pairs& pairs() const;

    std::shared_ptr<Pairs> m_entries;  // null while empty
};

}  // namespace vq
