// vqgallery: every standalone attribute editor with sample values, and on a second page the
// server pick list and the digital state set search over the sample servers.
//   vqgallery                      shows the gallery window
//   vqgallery --screenshot FILE    renders the editors page offscreen to a PNG file and exits
//   vqgallery --screenshots DIR    renders the server pick list, its dialog and menu, the digital
//                                  set search and the connection manager to PNG files in DIR
// Pictures are drawn at twice the pixel density (QT_SCALE_FACTOR overrides).
#include "GalleryWindow.h"
#include "ServerShots.h"
#include "ServersPage.h"
#include "archive/data/SampleArchives.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ServerRegistry.h"
#include "dialogs/WidgetServices.h"
#include "search/VQTagSearch.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// Read before QApplication exists, which decides the platform and scale.
bool rendersPictures(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], "--screenshot") == 0 || qstrcmp(argv[i], "--screenshots") == 0) return true;
    return false;
}

int saveScreenshot(QWidget& window, const QString& path) {
    window.show();
    QApplication::processEvents();
    if (window.grab().save(path, "PNG")) return 0;
    std::fprintf(stderr, "vqgallery: cannot write %s\n", qPrintable(path));
    return 1;
}

// The sample servers: the user's own for a window, fresh ones in `scratch` for pictures, so that
// the pictures do not depend on what a user did to theirs.
void installSampleServers(const QTemporaryDir* scratch) {
    const QString path = scratch ? scratch->filePath(QStringLiteral("servers.json")) : QString();
    vq::ServerRegistry registry(path.isEmpty() ? vq::ServerRegistry::defaultPath() : path);
    vq::SampleArchives::ensure(registry);
    vq::ArchiveApplication::install(registry.path());
}

}  // namespace

int main(int argc, char** argv) {
    // A screenshot needs no display, and stays sharp in a README at twice the density.
    if (rendersPictures(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) qputenv("QT_SCALE_FACTOR", "2");
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Every standalone attribute editor, the server pick list and the digital set search."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("screenshot"),
                      QStringLiteral("Render the editors page to a PNG file and exit."),
                      QStringLiteral("file")});
    parser.addOption({QStringLiteral("screenshots"),
                      QStringLiteral("Render the server and digital set pictures into a folder and exit."),
                      QStringLiteral("folder")});
    parser.process(app);

    if (parser.isSet(QStringLiteral("screenshot"))) {
        vq::GalleryWindow editors;
        return saveScreenshot(editors, parser.value(QStringLiteral("screenshot")));
    }
    QTemporaryDir scratch;
    const bool pictures = parser.isSet(QStringLiteral("screenshots"));
    installSampleServers(pictures ? &scratch : nullptr);
    if (pictures) return vq::saveServerShots(parser.value(QStringLiteral("screenshots")));

    vq::installWidgetServices();
    QTabWidget window;
    window.setWindowTitle(QStringLiteral("VQ gallery"));
    window.addTab(new vq::GalleryWindow, QStringLiteral("Editors"));
    window.addTab(new vq::ServersPage, QStringLiteral("Servers and digital sets"));
    window.addTab(new vq::VQTagSearch, QStringLiteral("Point search"));
    window.show();
    return QApplication::exec();
}
