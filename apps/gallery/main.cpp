// vqgallery: every standalone attribute editor with sample values.
//   vqgallery                     shows the gallery window
//   vqgallery --screenshot FILE   renders it offscreen to a PNG file and exits; the picture is
//                                 drawn at twice the pixel density (QT_SCALE_FACTOR overrides)
#include "GalleryWindow.h"
#include "servers/WidgetServices.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>

#include <cstdio>

namespace {

// Read before QApplication exists, which decides the platform and scale.
QString screenshotPath(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--screenshot") == 0) return QString::fromLocal8Bit(argv[i + 1]);
    }
    return {};
}

int saveScreenshot(QWidget& window, const QString& path) {
    window.show();
    QApplication::processEvents();
    if (window.grab().save(path, "PNG")) return 0;
    std::fprintf(stderr, "vqgallery: cannot write %s\n", qPrintable(path));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // A screenshot needs no display, and stays sharp in a README at twice the density.
    if (!screenshotPath(argc, argv).isEmpty()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) qputenv("QT_SCALE_FACTOR", "2");
    }
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Every standalone attribute editor with sample values."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("screenshot"),
                      QStringLiteral("Render the window to a PNG file and exit."), QStringLiteral("file")});
    parser.process(app);

    if (!parser.isSet(QStringLiteral("screenshot"))) vq::installWidgetServices();
    vq::GalleryWindow window;
    if (parser.isSet(QStringLiteral("screenshot")))
        return saveScreenshot(window, parser.value(QStringLiteral("screenshot")));
    window.show();
    return QApplication::exec();
}
