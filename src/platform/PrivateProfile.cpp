#include "platform/PrivateProfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringConverter>

#include <optional>

namespace vq {

namespace {

QString sectionName(const QString& line) {
    if (!line.startsWith(u'[')) return {};
    const qsizetype close = line.indexOf(u']');
    return close < 0 ? QString() : line.mid(1, close - 1).trimmed();
}

QString unquoted(const QString& value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

// UTF-8, or the single-byte code page older tools wrote when the bytes are no valid UTF-8.
std::optional<QStringList> readLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar::ByteOrderMark)) text.remove(0, 1);
    return text.split(u'\n');
}

std::optional<QString> readValue(const QString& path, const QString& section, const QString& key) {
    const std::optional<QStringList> lines = readLines(path);
    if (!lines) return std::nullopt;
    bool inSection = false;
    bool sectionSeen = false;
    for (const QString& rawLine : *lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u';')) continue;
        if (line.startsWith(u'[')) {
            // Only the first section of a name counts.
            if (inSection) return std::nullopt;
            inSection = !sectionSeen && sectionName(line).compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (inSection && equals > 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return unquoted(line.mid(equals + 1).trimmed());
    }
    return std::nullopt;
}

QString withoutTrailingBlanks(QString text) {
    while (!text.isEmpty() && text.back().isSpace()) text.chop(1);
    return text;
}

}  // namespace

QString defaultProfileDirectory() {
    const QString overridden = qEnvironmentVariable("VQ_INI_DIR");
    if (!overridden.isEmpty()) return overridden;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/VQTagwright");
}

QString profileFilePath(const QString& fileName) {
    const QFileInfo given(fileName);
    const QDir dir = fileName.contains(u'/') ? given.absoluteDir() : QDir(defaultProfileDirectory());
    const QString exact = dir.filePath(given.fileName());
    if (QFileInfo::exists(exact)) return exact;
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(given.fileName(), Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return exact;
}

int GetPrivateProfileString(const QString& section, const QString& key, const QString& defaultValue,
                            QString& returned, int bufferLength, const QString& fileName) {
    returned.clear();
    if (bufferLength < 1) return 0;
    const QString value =
        readValue(profileFilePath(fileName), section, key).value_or(withoutTrailingBlanks(defaultValue));
    returned = value.left(bufferLength - 1);
    return int(returned.size());
}

}  // namespace vq
