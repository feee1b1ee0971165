#pragma once

#include "archive/dialect/SqlNode.h"

#include <QDateTime>
#include <QStringList>

#include <memory>

namespace vq {
class ArchiveServer;
}

namespace vq::test {

// A plain, slow evaluator of parsed where clauses over an archive loaded into memory: every
// combination of a point with the rows of the tables the clause names is tested one by one. It
// follows the dialect's documented meanings without any SQL, so that comparing its answers with
// the archive's checks the translation.
class ClauseEvaluator {
public:
    ClauseEvaluator(ArchiveServer& server, QDateTime now);
    ~ClauseEvaluator();

    // The tags of the matching points in tag order.
    QStringList evaluate(const SqlNode& clause) const;

private:
    struct Archive;
    std::unique_ptr<Archive> d;
};

}  // namespace vq::test
