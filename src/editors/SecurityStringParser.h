#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace vq {

// Reads and writes a point's security string: three tokens joined by single blanks, for the owner,
// the group and the world, each a scope letter, a colon and a short code ("o:rw g:r w:").
// An access level is 0 None, 1 Read Only, 2 Write Only, 3 Read/Write; list positions follow it.
class SecurityStringParser {
public:
    static constexpr int kLevelCount = 4;
    static constexpr int kScopeCount = 3;

    // "None", "Read Only", "Write Only", "Read/Write"; "" for any other number.
    static QString GetLongName(int16_t level);
    // "", "r", "w", "rw"; "" for any other number.
    static QString GetShortName(int16_t level);
    // The level of the token at `position` (0 owner, 1 group, 2 world), ignoring case and the
    // token's scope letter; an unreadable or empty token reads as 0. Throws vq::Error 9 when
    // the string has no token at that position.
    static int32_t GetIndex(const QString& security, int32_t position);
    // As GetIndex, but a missing token reads as level 0.
    static int32_t GetIndexOrNone(const QString& security, int32_t position);

    // "o:", "g:", "w:" each followed by the short code of its level, joined by single blanks.
    static QString BuildSecurityString(const std::array<int32_t, kScopeCount>& levels);
};

}  // namespace vq
