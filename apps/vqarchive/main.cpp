#include "ArchiveTool.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    // What an installed package answers, whatever the server list holds.
    if (arguments == QStringList{QStringLiteral("--version")}) {
        out << "vqarchive " << VQ_VERSION_TEXT << Qt::endl;
        return 0;
    }
    return vq::ArchiveTool(out, err).run(arguments);
}
