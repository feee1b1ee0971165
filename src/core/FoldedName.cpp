#include "core/FoldedName.h"

#include <algorithm>
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

// Up to four characters folded as one word.
uint64_t foldedWordAt(const char16_t* chars, qsizetype count) {
    uint64_t word = 0;
    if (count == 4)
        std::memcpy(&word, chars, sizeof word);
    else
        for (qsizetype i = 0; i < count; ++i) word |= uint64_t(chars[i]) << (16 * i);
    if (Q_BYTE_ORDER != Q_LITTLE_ENDIAN || (word & nonAsciiBits)) return foldedWord(chars, count);
    const uint64_t used = count == 4 ? ~uint64_t(0) : (uint64_t(1) << (16 * count)) - 1;
    return (word | lowerCaseBits) & used;
}

}  // namespace

// Every attribute name of every point loaded is hashed several times, so only the length and
// the first and last four characters are hashed: attribute names differ there, and the
// equality test sorts out the rare name that shares them.
size_t FoldedNameHash::operator()(QStringView name) const noexcept {
    if (name.isEmpty()) return 0;
    const char16_t* chars = name.utf16();
    const qsizetype count = std::min<qsizetype>(name.size(), 4);
    size_t hash = mix(1469598103934665603ULL ^ size_t(name.size()), foldedWordAt(chars, count));
    hash = mix(hash, foldedWordAt(chars + name.size() - count, count));
    return hash ^ (hash >> 32);
}

bool FoldedNameEqual::equalFolded(QStringView a, QStringView b) noexcept {
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a.utf16()[i];
        const char16_t y = b.utf16()[i];
        if (x == y) continue;
        const char16_t lower = char16_t(x | 0x20);
        const bool asciiLetter = x < 128 && y < 128 && lower >= u'a' && lower <= u'z';
        if (!asciiLetter) return a.sliced(i).compare(b.sliced(i), Qt::CaseInsensitive) == 0;
        if (lower != char16_t(y | 0x20)) return false;
    }
    return true;
}

}  // namespace vq
