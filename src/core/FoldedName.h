#pragma once

#include "core/CoreExport.h"

#include <QString>

namespace vq {

/// Hashes and compares names without regard to case, without making folded copies: attribute
/// names are looked up for every attribute of every point loaded, and in every name/value set.
struct VQ_CORE_EXPORT FoldedNameHash {
    /// Lets unordered containers look up a QStringView without making a QString.
    using is_transparent = void;
    /// The hash of the case-folded name.
    size_t operator()(QStringView name) const noexcept;
};

/// Names nearly always arrive in the catalogue's own spelling, so an exact match is tried first.
struct VQ_CORE_EXPORT FoldedNameEqual {
    /// Lets unordered containers look up a QStringView without making a QString.
    using is_transparent = void;
    /// True when the names are equal without regard to case.
    bool operator()(QStringView a, QStringView b) const noexcept {
        return a.size() == b.size() && (a == b || equalFolded(a, b));
    }
    /// The comparison after the exact match failed: character by character, case-folded.
    static bool equalFolded(QStringView a, QStringView b) noexcept;
};

}  // namespace vq
