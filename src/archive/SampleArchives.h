#pragma once

#include <QStringList>

#include <vector>

namespace vq {

class ServerRegistry;

// The sample servers a fresh installation starts with: a "VQ3" server at version 3.4, one at
// version 3.2 and a "VQ2" server, each with sample points, users and digital state sets.
class SampleArchives {
public:
    struct Sample {
        QString name;
        QString kind;
        QString version;
        int points;
        bool isDefault;
    };

    static std::vector<Sample> samples();
    // Creates the sample archives missing from "archives" beside the registry and lists every
    // sample in the registry; returns the names of the archives it created.
    static QStringList ensure(ServerRegistry& registry);
};

}  // namespace vq
