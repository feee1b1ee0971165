#include "CaseInsensitiveMap.h"

namespace vq {

size_t FoldedNameHash::operator()(QStringView name) const noexcept {
    size_t hash = 1469598103934665603ULL;
    for (QChar c : name) {
        const char16_t u = c.unicode();
        const char16_t folded = u < 128 ? ((u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u)
                                        : char16_t(QChar::toCaseFolded(char32_t(u)));
        hash = (hash ^ folded) * 1099511628211ULL;
    }
    return hash;
}

}  // namespace vq
