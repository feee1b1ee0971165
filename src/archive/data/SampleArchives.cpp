#include "archive/data/SampleArchives.h"

#include "archive/data/ArchiveSeeder.h"
#include "archive/server/ArchiveServer.h"
#include "archive/server/ServerRegistry.h"

#include <QDir>
#include <QFileInfo>

namespace vq {

namespace {

QString location(const SampleArchives::Sample& sample) {
    return QStringLiteral("archives/%1.vqa").arg(sample.name);
}

// Written only when a sample is missing from the list, merged into the list as it is then.
void listSamples(ServerRegistry& registry) {
    const auto unlisted = [](const std::vector<ServerEntry>& entries) {
        std::vector<SampleArchives::Sample> missing;
        for (const SampleArchives::Sample& sample : SampleArchives::samples()) {
            const bool listed = std::any_of(entries.begin(), entries.end(), [&](const ServerEntry& entry) {
                return entry.name.compare(sample.name, Qt::CaseInsensitive) == 0;
            });
            if (!listed) missing.push_back(sample);
        }
        return missing;
    };
    if (unlisted(registry.load()).empty()) return;
    registry.update([&](std::vector<ServerEntry>& entries) {
        for (const SampleArchives::Sample& sample : unlisted(entries)) {
            const bool hasDefault =
                std::any_of(entries.begin(), entries.end(), [](const ServerEntry& e) { return e.isDefault; });
            entries.push_back({sample.name, location(sample), sample.isDefault && !hasDefault});
        }
    });
}

}  // namespace

std::vector<SampleArchives::Sample> SampleArchives::samples() {
    return {
        {QStringLiteral("vqsouth"), QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"), 2000, true},
        {QStringLiteral("vqnorth"), QStringLiteral("VQ3"), QStringLiteral("VQ 3.2.357"), 800, false},
        {QStringLiteral("vqlegacy"), QStringLiteral("VQ2"), QStringLiteral("VQ 2.08"), 500, false},
    };
}

QStringList SampleArchives::ensure(ServerRegistry& registry) {
    QStringList created;
    for (const Sample& sample : samples()) {
        const QString path = registry.resolve(location(sample));
        if (QFileInfo::exists(path)) continue;
        QDir().mkpath(QFileInfo(path).absolutePath());
        auto server = ArchiveServer::create(path, sample.name, sample.kind, sample.version);
        if (sample.kind == u"VQ3") {
            server->addGroup(QStringLiteral("vqengineers"));
            server->addGroup(QStringLiteral("vqoperators"));
            server->addUser(QStringLiteral("engineer"), QStringLiteral("engineer"),
                            {QStringLiteral("vqengineers")});
            server->addUser(QStringLiteral("operator"), QStringLiteral("operator"),
                            {QStringLiteral("vqoperators")});
        }
        server->Open(QStringLiteral("vqadmin"), QString());
        ArchiveSeeder::seed(*server, sample.points, 3);
        created.append(sample.name);
    }
    listSamples(registry);
    return created;
}

}  // namespace vq
