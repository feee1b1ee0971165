#include "archive/data/SampleArchives.h"

#include "archive/data/ArchiveSeeder.h"
#include "archive/server/ArchiveServer.h"
#include "archive/server/ServerRegistry.h"

#include <QDir>
#include <QFileInfo>

namespace vq {

std::vector<SampleArchives::Sample> SampleArchives::samples() {
    return {
        {QStringLiteral("vqsouth"), QStringLiteral("VQ3"), QStringLiteral("VQ 3.4.1"), 2000, true},
        {QStringLiteral("vqnorth"), QStringLiteral("VQ3"), QStringLiteral("VQ 3.2.357"), 800, false},
        {QStringLiteral("vqlegacy"), QStringLiteral("VQ2"), QStringLiteral("VQ 2.08"), 500, false},
    };
}

QStringList SampleArchives::ensure(ServerRegistry& registry) {
    QStringList created;
    std::vector<ServerEntry> entries = registry.load();
    bool registryChanged = false;
    for (const Sample& sample : samples()) {
        const QString location = QStringLiteral("archives/%1.vqa").arg(sample.name);
        const QString path = registry.resolve(location);
        if (!QFileInfo::exists(path)) {
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
        const bool listed = std::any_of(entries.begin(), entries.end(), [&](const ServerEntry& entry) {
            return entry.name.compare(sample.name, Qt::CaseInsensitive) == 0;
        });
        if (!listed) {
            const bool hasDefault =
                std::any_of(entries.begin(), entries.end(), [](const ServerEntry& e) { return e.isDefault; });
            entries.push_back({sample.name, location, sample.isDefault && !hasDefault});
            registryChanged = true;
        }
    }
    if (registryChanged) registry.save(entries);
    return created;
}

}  // namespace vq
