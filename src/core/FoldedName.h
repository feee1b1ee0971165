#pragma once

#include <QString>

namespace vq {

// Hashes and compares names without regard to case, without making folded copies: attribute
// names are looked up for every attribute of every point loaded, and in every name/value set.
struct FoldedNameHash {
    using is_transparent = void;
    size_t operator()(QStringView name) const noexcept;
};

// Names nearly always arrive in the catalogue's own spelling, so an exact match is tried first.
struct FoldedNameEqual {
    using is_transparent = void;
    bool operator()(QStringView a, QStringView b) const noexcept {
        return a.size() == b.size() && (a == b || equalFolded(a, b));
    }
    static bool equalFolded(QStringView a, QStringView b) noexcept;
};

}  // namespace vq
