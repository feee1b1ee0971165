#include "CaseInsensitiveMap.h"

#include <cstring>

namespace vq {

namespace {

constexpr uint64_t nonAsciiBits = 0xFF80FF80FF80FF80ULL;
constexpr uint64_t lowerCaseBits = 0x0020002000200020ULL;

// Letters that differ only in case get the same code; ASCII signs that differ in bit 5 collide,
// which the equality test sorts out.
char16_t foldedCode(char16_t u) {
    const char16_t folded = u < 128 ? u : char16_t(QChar::toCaseFolded(char32_t(u)));
    return folded < 128 ? char16_t(folded | 0x20) : folded;
}

uint64_t foldedWord(const char16_t* chars, qsizetype count) {
    uint64_t word = 0;
    for (qsizetype i = 0; i < count; ++i) word |= uint64_t(foldedCode(chars[i])) << (16 * i);
    return word;
}

size_t mix(size_t hash, uint64_t word) {
    return (hash ^ word) * 0x9E3779B97F4A7C15ULL;
}

}  // namespace

// Four characters at a time: every attribute name of every point loaded is hashed several times.
size_t FoldedNameHash::operator()(QStringView name) const noexcept {
    const char16_t* chars = name.utf16();
    qsizetype left = name.size();
    size_t hash = 1469598103934665603ULL ^ size_t(left);
    for (; left >= 4; chars += 4, left -= 4) {
        uint64_t word;
        std::memcpy(&word, chars, sizeof word);
        const bool ascii = Q_BYTE_ORDER == Q_LITTLE_ENDIAN && !(word & nonAsciiBits);
        hash = mix(hash, ascii ? (word | lowerCaseBits) : foldedWord(chars, 4));
    }
    if (left > 0) hash = mix(hash, foldedWord(chars, left));
    return hash ^ (hash >> 32);
}

}  // namespace vq
