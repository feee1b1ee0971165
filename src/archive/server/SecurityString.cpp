#include "archive/server/SecurityString.h"

#include <QStringList>

namespace vq {

std::optional<SecurityString> SecurityString::parse(const QString& text) {
    const QStringList tokens = text.simplified().split(u' ', Qt::SkipEmptyParts);
    if (tokens.isEmpty()) return std::nullopt;
    SecurityString result;
    bool seen[3] = {false, false, false};
    for (const QString& token : tokens) {
        if (token.size() < 2 || token[1] != u':') return std::nullopt;
        const QString who = token.left(1).toLower();
        const int slot = who == u"o" ? 0 : who == u"g" ? 1 : who == u"w" ? 2 : -1;
        if (slot < 0 || seen[slot]) return std::nullopt;
        seen[slot] = true;
        Rights rights;
        for (QChar c : QStringView(token).mid(2)) {
            const QChar lower = c.toLower();
            if (lower == u'r' && !rights.read)
                rights.read = true;
            else if (lower == u'w' && !rights.write)
                rights.write = true;
            else
                return std::nullopt;
        }
        (slot == 0 ? result.m_owner : slot == 1 ? result.m_group : result.m_world) = rights;
    }
    return result;
}

}  // namespace vq
