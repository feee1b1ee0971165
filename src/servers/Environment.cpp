#include "servers/Environment.h"

#include "core/MessageService.h"
#include "platform/HelpViewer.h"
#include "platform/PrivateProfile.h"
#include "platform/UserGuide.h"

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

namespace {

struct GuideTopic {
    int32_t topic;
    const char* page;
};

constexpr GuideTopic kGuideTopics[] = {
    {kPointSearchHelpTopic, "searching.html"},
    {kDigSetSearchHelpTopic, "digital-sets.html"},
    {kPointBuilderHelpTopic, "pointbuilder.html"},
};

// A VQPC.INI means the client's installation is set up here, so its missing help file is news.
bool clientInstallationSetUp() {
    return QFileInfo(profileFilePath(QStringLiteral("VQPC.INI"))).isFile();
}

}  // namespace

QString guidePageName(int32_t topic) {
    for (const GuideTopic& known : kGuideTopics)
        if (known.topic == topic) return QString::fromLatin1(known.page);
    return QStringLiteral("index.html");
}

long long ShowGuideTopic(int32_t topic) {
    const QString page = userGuidePage(guidePageName(topic));
    if (!page.isEmpty()) return helpViewer().showTopic(page, topic);
    messageService().show(kNoUserGuideText, MessageButtons::Ok, QStringLiteral("Help"));
    return 0;
}

long long ShowHelpTopic(const QString& relativeHelpFile, int32_t topic) {
    const QString fullPath = GetVQHome() + u'\\' + relativeHelpFile;
    const QString localPath = localHelpPath(fullPath);
    if (QFileInfo(localPath).isFile()) return helpViewer().showTopic(localPath, topic);
    if (!userGuideFolder().isEmpty() || !clientInstallationSetUp()) return ShowGuideTopic(topic);
    messageService().show(QStringLiteral("The file ") + fullPath + QStringLiteral(" does not exist"),
                          MessageButtons::Ok, QStringLiteral("File Does Not Exist"));
    return 0;
}

}  // namespace vq
