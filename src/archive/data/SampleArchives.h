#pragma once

#include "archive/ArchiveExport.h"

#include <QStringList>

#include <vector>

namespace vq {

class ServerRegistry;

/// The sample servers a fresh installation starts with: a "VQ3" server at version 3.4, one at
/// version 3.2 and a "VQ2" server, each with sample points, users and digital state sets.
class VQ_ARCHIVE_EXPORT SampleArchives {
public:
    /// One sample server.
    struct Sample {
        /// The server's name ("vqsouth", ...).
        QString name;
        /// "VQ3" or "VQ2".
        QString kind;
        /// The version text, for example "VQ 3.4.1".
        QString version;
        /// How many sample points it holds.
        int points;
        /// True for the server the registry makes its default.
        bool isDefault;
    };

    /// Every sample server, in the order they are listed.
    static std::vector<Sample> samples();
    /// Creates the sample archives missing from "archives" beside the registry and lists every
    /// sample in the registry; returns the names of the archives it created.
    static QStringList ensure(ServerRegistry& registry);
};

}  // namespace vq
