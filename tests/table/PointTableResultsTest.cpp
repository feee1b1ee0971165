#include "table/PointTableResults.h"

#include <gtest/gtest.h>

namespace vq {
namespace {

TEST(PointTableResults, SummariesNameEveryOutcomeThatHappened) {
    struct Case {
        PointTableSaveSummary save;
        const char* text;
    };
    const Case cases[] = {
        {{312, 3, 1, 0}, "312 saved, 3 refused, 1 changed meanwhile"},
        {{0, 0, 0, 0}, "0 saved"},
        {{5, 0, 2, 0}, "5 saved, 2 changed meanwhile"},
        {{80, 0, 0, 920}, "80 saved, 920 not saved (stopped)"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.save.text(), QString::fromLatin1(c.text));

    PointTableUndoSummary undo;
    EXPECT_EQ(undo.text(), QStringLiteral("nothing to undo"));
    undo.restored = 996;
    undo.changedSince = 1;
    EXPECT_EQ(undo.text(), QStringLiteral("996 put back, 1 changed again since"));

    PointTableRowResult refused{PointTableRowResult::Outcome::Refused,
                                QStringLiteral("span is 0"),
                                {QStringLiteral("Span"), QStringLiteral("Zero")}};
    EXPECT_EQ(refused.text(), QStringLiteral("Refused: Span, Zero"));
}

}  // namespace
}  // namespace vq
