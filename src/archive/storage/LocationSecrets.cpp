#include "archive/storage/LocationSecrets.h"

#include "core/Error.h"
#include "sdk/SdkErrors.h"

#include <QRegularExpression>
#include <QUrl>

#include <optional>

namespace vq {

namespace {

// A server URI cut where libpq cuts it. The user part ends at the last '@' before the first '/',
// so a password holding a stray '@' is still taken whole.
struct UriParts {
    QString scheme;
    QString user;
    std::optional<QString> password;  // as written, percent-encoded
    bool hasUserPart = false;
    QString hostAndPath;
    QStringList parameters;  // "key=value", as written
};

std::optional<UriParts> partsOf(const QString& location) {
    static const QRegularExpression uri(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]*)://(.*)$"),
                                        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch match = uri.match(location.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    UriParts parts;
    parts.scheme = match.captured(1);
    QString rest = match.captured(2);
    const qsizetype at = rest.left(rest.indexOf(u'/')).lastIndexOf(u'@');
    if (at >= 0) {
        const QString userPart = rest.left(at);
        const qsizetype colon = userPart.indexOf(u':');
        parts.hasUserPart = true;
        parts.user = userPart.left(colon);
        if (colon >= 0) parts.password = userPart.mid(colon + 1);
        rest = rest.mid(at + 1);
    }
    const qsizetype query = rest.indexOf(u'?');
    parts.hostAndPath = rest.left(query);
    if (query >= 0) parts.parameters = rest.mid(query + 1).split(u'&');
    return parts;
}

// A password parameter wherever it stands, for a URI too odd to cut as above (a '@' in its
// parameters and no path, which libpq takes for a user part).
const QRegularExpression& looseParameter() {
    static const QRegularExpression parameter(QStringLiteral("([?&])(?:ssl)?password=([^&]*)"),
                                              QRegularExpression::CaseInsensitiveOption);
    return parameter;
}

// libpq reads percent-encoded keys as well, so "pass%77ord" is a password too.
bool isSecretParameter(const QString& parameter) {
    const QString key = QUrl::fromPercentEncoding(parameter.section(u'=', 0, 0).toUtf8());
    return key.compare(u"password", Qt::CaseInsensitive) == 0 ||
           key.compare(u"sslpassword", Qt::CaseInsensitive) == 0;
}

}  // namespace

QStringList passwordsIn(const QString& location) {
    const std::optional<UriParts> parts = partsOf(location);
    if (!parts) return {};
    QStringList written;
    if (parts->password) written << *parts->password;
    for (const QString& parameter : parts->parameters)
        if (isSecretParameter(parameter)) written << parameter.section(u'=', 1);
    for (const QRegularExpressionMatch& match : looseParameter().globalMatch(location))
        written << match.captured(2);
    QStringList passwords;
    for (const QString& password : written)
        passwords << password << QUrl::fromPercentEncoding(password.toUtf8());
    passwords.removeAll(QString());
    passwords.removeDuplicates();
    return passwords;
}

bool locationHasPassword(const QString& location) {
    return !passwordsIn(location).isEmpty();
}

QString locationForDisplay(const QString& location) {
    const std::optional<UriParts> parts = partsOf(location);
    if (!parts) return location;
    QString shown = parts->scheme.toLower() + QStringLiteral("://");
    if (parts->hasUserPart) shown += parts->user + u'@';
    shown += parts->hostAndPath;
    QStringList kept;
    for (const QString& parameter : parts->parameters)
        if (!isSecretParameter(parameter)) kept << parameter;
    if (!kept.isEmpty()) shown += u'?' + kept.join(u'&');
    return shown.replace(looseParameter(), QStringLiteral("\\1"));
}

void refusePasswordInServerList(const QString& location, const QString& source) {
    if (!locationHasPassword(location)) return;
    throw Error(sdkerr::RegistryInvalid, source,
                QStringLiteral("The server list keeps no passwords, and \"%1\" was given with one: keep the "
                               "password in ~/.pgpass, a service file (PGSERVICE) or PGPASSWORD, and give "
                               "the location without it")
                    .arg(locationForDisplay(location)));
}

}  // namespace vq
