// vqpointbuilder: create and edit points on the known servers.
//   vqpointbuilder [--registry FILE] [--server NAME] [--open TAG | --new CLASS | --find MASK]
//                  [--set NAME=VALUE]...
//   vqpointbuilder --screenshot FILE   renders the window with a point open to a PNG file and exits;
//                                      without --open or --new the first classic point is opened;
//                                      with --history the point's History dialog is drawn over it.
// The sample servers are created beside the server list on first start.
#include "PointBuilderLaunch.h"
#include "PointBuilderMessages.h"
#include "PointBuilderWindow.h"
#include "dialogs/DialogServices.h"
#include "dialogs/WidgetServices.h"
#include "platform/ServicesContext.h"

#include <QApplication>
#include <QDialog>
#include <QPainter>
#include <QTimer>

#include <cstdio>

namespace {

int saveScreenshot(QWidget& window, const QString& path) {
    window.show();
    QApplication::processEvents();
    if (window.grab().save(path, "PNG")) return 0;
    std::fprintf(stderr, "vqpointbuilder: cannot write %s\n", qPrintable(path));
    return 1;
}

// The dialog drawn centred over the window, framed, as a window manager would place it.
QImage withDialog(QWidget& window, QWidget& dialog) {
    QImage picture = window.grab().toImage();
    QPainter painter(&picture);
    QRect place(QPoint(), dialog.size());
    place.moveCenter(window.rect().center());
    painter.drawImage(place.topLeft(), dialog.grab().toImage());
    painter.setPen(QPen(QColor(96, 96, 96), 1));
    painter.drawRect(place.adjusted(-1, -1, 0, 0));
    return picture;
}

int saveHistoryScreenshot(vq::PointBuilderWindow& window, const QString& path) {
    window.show();
    QApplication::processEvents();
    int result = 1;
    QTimer shown;
    shown.setSingleShot(true);
    QObject::connect(&shown, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        result = withDialog(window, *dialog).save(path, "PNG") ? 0 : 1;
        dialog->reject();
    });
    shown.start(0);
    window.showHistory();
    if (result != 0)
        std::fprintf(stderr, "vqpointbuilder: cannot render the history to %s\n", qPrintable(path));
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    // A screenshot needs no display, and stays sharp in a README at twice the density.
    if (vq::PointBuilderLaunch::wantsScreenshot(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR")) qputenv("QT_SCALE_FACTOR", "2");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Point Builder"));
    vq::PointBuilderLaunch launch(QApplication::arguments());
    // The names the window's settings are kept under; a screenshot neither reads nor changes them.
    if (!launch.isScreenshot()) {
        QApplication::setOrganizationName(QStringLiteral("VQTagwright"));
        QApplication::setApplicationName(QStringLiteral("PointBuilder"));
    }
    // Offscreen nobody could close a window: a screenshot run tells on stderr and logs on headless.
    if (!launch.isScreenshot()) {
        vq::installWidgetServices();
        // Problems told the Point Builder's way; the library's plain messages keep their boxes.
        vq::ServicesContext context = vq::services();
        context.messages = std::make_shared<vq::PointBuilderMessages>();
        vq::installServices(std::move(context));
    }
    // The search dialogs behind the sheets' "..." buttons; a screenshot's --find uses them too.
    vq::installDialogServices();
    launch.prepareServers();

    vq::PointBuilderWindow window;
    if (!launch.apply(window)) return 1;
    if (launch.isScreenshot() && launch.wantsHistory())
        return saveHistoryScreenshot(window, launch.screenshotPath());
    if (launch.isScreenshot()) return saveScreenshot(window, launch.screenshotPath());
    window.show();
    return QApplication::exec();
}
