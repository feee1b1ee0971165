#include "archive/storage/ArchiveMigrations.h"

namespace vq {

// Archives of version 1 (no search schema) or 2 (one index over tag and descriptor) get step 3.
// A new table or index is a new step at the end, never a change to one that archives already ran.
const std::vector<ArchiveMigrations::Step>& ArchiveMigrations::steps() {
    static const std::vector<Step> list = {
        {3, "adding what point searches need"},
        {4, "adding the change history"},
        {5, "packing the change history a row per point"},
    };
    return list;
}

int ArchiveMigrations::currentVersion() {
    return steps().back().version;
}

int ArchiveMigrations::versionOf(const std::optional<QString>& schemaFact) {
    return schemaFact ? schemaFact->toInt() : 0;
}

std::vector<const ArchiveMigrations::Step*> ArchiveMigrations::due(int version) {
    std::vector<const Step*> pending;
    for (const Step& step : steps())
        if (step.version > version) pending.push_back(&step);
    return pending;
}

QString ArchiveMigrations::missingStep(const char* engine, const Step& step) {
    return QStringLiteral("The %1 archive has no step to schema version %2 (%3)")
        .arg(QLatin1String(engine))
        .arg(step.version)
        .arg(QLatin1String(step.what));
}

}  // namespace vq
