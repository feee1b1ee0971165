#pragma once

#include <QString>

#include <optional>

namespace vq {

// An access string such as "o:rw g:r w:": read and write rights of the owner, the group and
// the world. A class that is not named has no rights.
class SecurityString {
public:
    struct Rights {
        bool read = false;
        bool write = false;
    };

    // None when the text is not an access string.
    static std::optional<SecurityString> parse(const QString& text);

    Rights owner() const { return m_owner; }
    Rights group() const { return m_group; }
    Rights world() const { return m_world; }
    // What a user has: the owner's rights when `isOwner`, else the group's when `inGroup()` holds
    // (asked only then, as it reads the user's groups), else the world's.
    template <class InGroup>
    Rights rightsOf(bool isOwner, InGroup inGroup) const {
        return isOwner ? m_owner : inGroup() ? m_group : m_world;
    }

private:
    Rights m_owner, m_group, m_world;
};

}  // namespace vq
