#include "platform/UserGuide.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

// Set by cmake/Docs.cmake; the fallbacks keep the file compiling on its own.
#ifndef VQ_GUIDE_INSTALL_DIR
#define VQ_GUIDE_INSTALL_DIR "share/doc/vqtagwright-tools/html"
#endif
#ifndef VQ_GUIDE_INSTALL_PREFIX
#define VQ_GUIDE_INSTALL_PREFIX "/usr/local"
#endif
#ifndef VQ_GUIDE_BUILD_ROOT
#define VQ_GUIDE_BUILD_ROOT ""
#endif

namespace vq {
namespace {

bool holdsGuide(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(QDir(folder).filePath(QStringLiteral("index.html"))).isFile();
}

QString programFolder() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

QStringList guideCandidates() {
    const QString installed = userGuideInstallDir();
    QStringList candidates;
    const QString program = programFolder();
    if (!program.isEmpty()) candidates << QDir::cleanPath(program + QStringLiteral("/../") + installed);
    candidates << QDir::cleanPath(QStringLiteral(VQ_GUIDE_INSTALL_PREFIX "/") + installed);
    // The build's guide serves only programs of that build, never an installed copy of them.
    const QString buildRoot = QStringLiteral(VQ_GUIDE_BUILD_ROOT);
    if (!buildRoot.isEmpty() && !program.isEmpty() && program.startsWith(buildRoot + u'/'))
        candidates << buildRoot + QStringLiteral("/docs/html");
    return candidates;
}

}  // namespace

QString userGuideInstallDir() {
    return QStringLiteral(VQ_GUIDE_INSTALL_DIR);
}

QString userGuideFolder() {
    if (qEnvironmentVariableIsSet("VQ_GUIDE_DIR")) {
        const QString own = qEnvironmentVariable("VQ_GUIDE_DIR");
        return holdsGuide(own) ? QDir::cleanPath(own) : QString();
    }
    for (const QString& candidate : guideCandidates())
        if (holdsGuide(candidate)) return candidate;
    return QString();
}

QString userGuidePage(const QString& page) {
    const QString folder = userGuideFolder();
    if (folder.isEmpty()) return QString();
    const QString path = QDir(folder).filePath(page);
    return QFileInfo(path).isFile() ? path : QDir(folder).filePath(QStringLiteral("index.html"));
}

}  // namespace vq
