#include "editors/SecurityStringParser.h"

#include "core/Error.h"

#include <QStringList>

namespace vq {

namespace {

struct Level {
    const char* longName;
    const char* shortName;
};

constexpr std::array<Level, SecurityStringParser::kLevelCount> kLevels{{
    {"None", ""},
    {"Read Only", "r"},
    {"Write Only", "w"},
    {"Read/Write", "rw"},
}};

constexpr std::array<char, SecurityStringParser::kScopeCount> kScopeLetters{'o', 'g', 'w'};

bool isLevel(int level) {
    return level >= 0 && level < SecurityStringParser::kLevelCount;
}

// Any scope letter is accepted at any position: a world token in position 0 reads as the owner's.
int32_t levelOfToken(const QString& token) {
    const QString folded = token.toLower();
    if (folded.size() < 2 || folded[1] != u':' || !QStringLiteral("ogw").contains(folded[0])) return 0;
    const QStringView code = QStringView(folded).mid(2);
    for (int level = 0; level < SecurityStringParser::kLevelCount; ++level)
        if (code == QLatin1String(kLevels[level].shortName)) return level;
    return 0;
}

}  // namespace

QString SecurityStringParser::GetLongName(int16_t level) {
    return isLevel(level) ? QString::fromLatin1(kLevels[level].longName) : QString();
}

QString SecurityStringParser::GetShortName(int16_t level) {
    return isLevel(level) ? QString::fromLatin1(kLevels[level].shortName) : QString();
}

int32_t SecurityStringParser::GetIndex(const QString& security, int32_t position) {
    // Every blank separates: two in a row leave an empty token between them.
    const QStringList tokens = security.split(u' ');
    if (position < 0 || position >= tokens.size())
        throw Error(errc::SubscriptOutOfRange, QStringLiteral("SecurityStringParser:GetIndex"),
                    QStringLiteral("Subscript out of range: the security string \"%1\" has no token %2")
                        .arg(security)
                        .arg(position));
    return levelOfToken(tokens[position]);
}

int32_t SecurityStringParser::GetIndexOrNone(const QString& security, int32_t position) {
    const qsizetype tokenCount = security.count(u' ') + 1;
    return position >= 0 && position < tokenCount ? GetIndex(security, position) : 0;
}

QString SecurityStringParser::BuildSecurityString(const std::array<int32_t, kScopeCount>& levels) {
    QStringList tokens;
    for (int scope = 0; scope < kScopeCount; ++scope)
        tokens.append(QString(QLatin1Char(kScopeLetters[scope])) + u':' +
                      (isLevel(levels[scope]) ? GetShortName(int16_t(levels[scope])) : QString()));
    return tokens.join(u' ');
}

}  // namespace vq
