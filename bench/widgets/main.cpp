#include "BenchRatios.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The widget benchmarks draw on the offscreen platform unless another is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The point search, the Point Builder and the tag completion each install their own servers.
    return vq::bench::runWithRatios(argc, argv, false);
}
