#include "BenchRatios.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return vq::bench::runWithRatios(argc, argv);
}
