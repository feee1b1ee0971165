#include "servers/Environment.h"

#include "core/MessageService.h"
#include "platform/HelpViewer.h"
#include "platform/PrivateProfile.h"

#include <QFileInfo>

namespace vq {

QString GetVQHome() {
    QString buffer;
    const int length =
        GetPrivateProfileString(QStringLiteral("VQPC"), QStringLiteral("VQHOME"), QStringLiteral("C:\\VQPC"),
                                buffer, kVQHomeBufferLength, QStringLiteral("VQPC.INI"));
    if (length < 1) {
        messageService().show(QStringLiteral("Invalid VQPC.INI"), MessageButtons::Ok, QString());
        return QString();
    }
    return buffer.left(length);
}

QString localHelpPath(const QString& helpPath) {
    QString local = helpPath;
    return local.replace(u'\\', u'/');
}

long long ShowHelpTopic(const QString& relativeHelpFile, int32_t topic) {
    const QString fullPath = GetVQHome() + u'\\' + relativeHelpFile;
    const QString localPath = localHelpPath(fullPath);
    if (QFileInfo(localPath).isFile()) return helpViewer().showTopic(localPath, topic);
    messageService().show(QStringLiteral("The file ") + fullPath + QStringLiteral(" does not exist"),
                          MessageButtons::Ok, QStringLiteral("File Does Not Exist"));
    return 0;
}

}  // namespace vq
