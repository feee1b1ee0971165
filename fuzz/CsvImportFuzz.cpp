// Feeds arbitrary files to the CSV import of a throwaway copy of a small archive. A finding is a
// crash, an exception other than the archive's own errors, a damaged archive, or a row stored in
// part: every point the import did not report as created must be absent.
#include "archive/data/ArchiveSeeder.h"
#include "archive/data/PointCsv.h"
#include "archive/server/ArchiveServer.h"
#include "core/Error.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"

#include <QSet>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace vq;

struct Fixture {
    QTemporaryDir dir{QDir::tempPath() + QStringLiteral("/vq-fuzz-XXXXXX")};
    QString templatePath = dir.filePath(QStringLiteral("template.vqa"));
    QString workPath = dir.filePath(QStringLiteral("work.vqa"));
    int seeded = 0;
    QSet<QString> seededTags;  // case-folded

    Fixture() {
        auto server = ArchiveServer::create(templatePath, QStringLiteral("fuzz"), QStringLiteral("VQ3"),
                                            QStringLiteral("VQ 3.4.1"));
        server->Open(QStringLiteral("vqadmin"), QString());
        ArchiveSeeder::seed(*server, 20, 1);
        seeded = server->pointCount();
        const SdkPointListPtr all =
            server->GetPointsSQL(QStringLiteral("VQPoint.Tag = '*'"), SdkNamedValues(), nullptr);
        for (int i = 1; i <= all->Count(); ++i) seededTags.insert(all->Tag(i).toCaseFolded());
    }

    // A fresh copy of the template for every input, so inputs never see each other's points.
    std::shared_ptr<ArchiveServer> freshArchive() {
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(workPath + QLatin1String(suffix));
        if (!QFile::copy(templatePath, workPath)) std::abort();
        auto server = ArchiveServer::openFile(workPath);
        server->Open(QStringLiteral("vqadmin"), QString());
        return server;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

[[noreturn]] void finding(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fixture& f = fixture();
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextStream in(&bytes);
    {
        std::shared_ptr<ArchiveServer> server = f.freshArchive();
        PointCsv::ImportReport report;
        try {
            report = PointCsv::importPoints(*server, in);
        } catch (const Error&) {
            // A file the import cannot read at all is refused before anything is written.
            if (server->pointCount() != f.seeded) finding("a refused file left points behind");
            return 0;
        }
        if (server->pointCount() != f.seeded + report.created) finding("more or fewer points than reported");
        // A refused row of a new tag leaves no point behind.
        for (const PointCsv::Refusal& refusal : report.refused) {
            if (refusal.tag.trimmed().isEmpty() || f.seededTags.contains(refusal.tag.toCaseFolded()))
                continue;
            if (server->Points()->Contains(refusal.tag) && report.created == 0)
                finding("a refused row left a point");
        }
    }
    return 0;
}
