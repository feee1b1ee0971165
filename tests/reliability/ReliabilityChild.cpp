// The writing child of the reliability tests: it writes edit sets through the server library as
// a program would.
#include "EditPlan.h"
#include "archive/server/ArchiveServer.h"
#include "archive/server/ArchiveServers.h"
#include "core/Error.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"

#include <QCoreApplication>

#include <cstdio>

using namespace vq;

namespace {

// edits FILE COUNT POINTS: edit sets 0 to COUNT-1 of the plan, one transaction each.
int edits(const QStringList& args) {
    auto server = ArchiveServer::open(QStringLiteral("reliability"), args[0]);
    server->Open(QStringLiteral("vqadmin"), QString());
    const test::EditPlan plan{args[2].toInt()};
    for (int k = 0; k < args[1].toInt(); ++k) {
        SdkNamedValues failed;
        server->Points()->Item(plan.tag(k))->PointAttributes()->SetAttributes(plan.edit(k), failed);
    }
    return 0;
}

// servers REGISTRY ARCHIVE PREFIX COUNT: adds the servers PREFIX0 to PREFIX(COUNT-1), all on ARCHIVE.
int servers(const QStringList& args) {
    ArchiveServers list{ServerRegistry(args[0])};
    std::printf("ready\n");
    std::fflush(stdout);
    for (int i = 0; i < args[3].toInt(); ++i) list.Add(args[2] + QString::number(i), args[1], false);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    try {
        const QString mode = args.isEmpty() ? QString() : args.takeFirst();
        if (mode == u"edits" && args.size() == 3) return edits(args);
        if (mode == u"servers" && args.size() == 4) return servers(args);
        std::fprintf(stderr,
                     "usage: vq_reliability_child edits FILE COUNT POINTS\n"
                     "       vq_reliability_child servers REGISTRY ARCHIVE PREFIX COUNT\n");
        return 2;
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.description()));
        return 1;
    }
}
