#pragma once

#include "archive/ArchiveExport.h"

#include <QString>

#include <optional>
#include <vector>

namespace vq {

// The archive's one schema version and the ordered steps that bring an older archive up to it.
// Each engine runs the steps still due when it opens an archive, under the archive's write lock,
// doing its own part of each step, and records the version reached as the fact "schema"; a new
// archive is its base tables plus every step. A step only adds what is missing, so running it
// again changes nothing.
class VQ_ARCHIVE_EXPORT ArchiveMigrations {
public:
    struct Step {
        // The schema version the archive has once the step ran.
        int version;
        // What the step adds, as a failure names it ("adding the search tables").
        const char* what;
    };

    // Oldest first.
    static const std::vector<Step>& steps();
    // The version of the newest step: what every archive opened for writing has.
    static int currentVersion();
    // The version an archive records in its fact "schema"; one without it predates the steps.
    static int versionOf(const std::optional<QString>& schemaFact);
    // The steps an archive at `version` still lacks, oldest first.
    static std::vector<const Step*> due(int version);
    // The message of an engine that has no part for `step`: a step added to the list but not
    // to that engine.
    static QString missingStep(const char* engine, const Step& step);
};

}  // namespace vq
