#include "platform/HelpViewer.h"

#include "platform/ServicesContext.h"

#include <QDesktopServices>
#include <QUrl>

namespace vq {

long long DesktopHelpViewer::showTopic(const QString& filePath, int) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath)) ? 1 : 0;
}

HelpViewer& helpViewer() {
    static DesktopHelpViewer desktop;
    if (const auto& viewer = services().helpViewer) return *viewer;
    return desktop;
}

}  // namespace vq
