#include "platform/HelpViewer.h"

#include <QDesktopServices>
#include <QUrl>

namespace vq {

namespace {
std::shared_ptr<HelpViewer>& installed() {
    static std::shared_ptr<HelpViewer> viewer = std::make_shared<DesktopHelpViewer>();
    return viewer;
}
}  // namespace

long long DesktopHelpViewer::showTopic(const QString& filePath, int) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath)) ? 1 : 0;
}

HelpViewer& helpViewer() {
    return *installed();
}

std::shared_ptr<HelpViewer> setHelpViewer(std::shared_ptr<HelpViewer> viewer) {
    auto previous = installed();
    installed() = viewer ? std::move(viewer) : std::make_shared<DesktopHelpViewer>();
    return previous;
}

}  // namespace vq
