// The pieces under the point search that carry arithmetic of their own: time texts and the
// interpolated and summary values. (Masks are the point search's evaluator table's.)
#include "archive/dialect/ArchiveSummary.h"
#include "archive/dialect/TimeText.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>

namespace vq {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(TimeText, ReadsNowTodayYesterdayOffsetsAndAbsoluteTimes) {
    const QDateTime now(QDate(2024, 3, 10), QTime(12, 0));
    const double at = double(now.toSecsSinceEpoch());
    const double midnight = double(QDate(2024, 3, 10).startOfDay().toSecsSinceEpoch());
    const struct {
        const char* text;
        double seconds;
    } cases[] = {
        {"*", at},
        {"*-1h", at - 3600},
        {"*+30m", at + 1800},
        {"* - 1d + 2h", at - 86400 + 7200},
        {"-2d", at - 172800},
        {"t", midnight},
        {"Y+8h", double(QDate(2024, 3, 9).startOfDay().addSecs(8 * 3600).toSecsSinceEpoch())},
        {"2024-03-01 08:00", double(QDateTime(QDate(2024, 3, 1), QTime(8, 0)).toSecsSinceEpoch())},
        {"1-Mar-24", double(QDate(2024, 3, 1).startOfDay().toSecsSinceEpoch())},
        {"3/1/2024 8:00:30", double(QDateTime(QDate(2024, 3, 1), QTime(8, 0, 30)).toSecsSinceEpoch())},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeText::seconds(QString::fromUtf8(c.text), now), c.seconds) << c.text;
    for (const char* bad : {"", "soon", "*-1x", "*1h", "t-", "2024-13-01"})
        EXPECT_FALSE(TimeText::seconds(QString::fromUtf8(bad), now).has_value()) << bad;

    EXPECT_EQ(TimeText::span(u"1h30m"_s), 5400);
    EXPECT_EQ(TimeText::span(u" 90s "_s), 90);
    for (const char* bad : {"0m", "-1h", "often", ""})
        EXPECT_FALSE(TimeText::span(QString::fromUtf8(bad))) << bad;
}

QString shown(const ArchiveSummary::Result& r) {
    auto text = [](const std::optional<double>& v) {
        return v ? QString::number(std::round(*v * 100) / 100) : u"-"_s;
    };
    return text(r.value) + u'/' + text(r.pctGood);
}

TEST(ArchiveSummary, InterpolatesAndSummarisesGoodValuesOnly) {
    using E = ArchiveSummary::Event;
    const E start{0, 10, 0};
    const std::vector<E> inside = {{100, 20, 0}, {200, 0, -253}, {250, 40, 0}, {260, std::nullopt, 0}};
    // Over (0, 300]: 10 for 100 s, 20 for 100 s, bad for 50 s, 40 for 10 s, then text for 40 s.
    const struct {
        ArchiveSummary::Function function;
        const char* shown;
    } cases[] = {
        {ArchiveSummary::Avg, "16.19/70"}, {ArchiveSummary::Total, "0.04/70"},
        {ArchiveSummary::Mean, "30/70"},   {ArchiveSummary::Min, "20/70"},
        {ArchiveSummary::Max, "40/70"},    {ArchiveSummary::Range, "20/70"},
        {ArchiveSummary::Std, "10/70"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(ArchiveSummary::summarize(c.function, 300, 300, start, inside)).toStdString(),
                  c.shown)
            << int(c.function);
    EXPECT_EQ(shown(ArchiveSummary::summarize(ArchiveSummary::Mean, 300, 300, std::nullopt, {})), u"-/0"_s);

    EXPECT_EQ(shown(ArchiveSummary::interpolate(50, start, E{100, 20, 0})), u"15/100"_s);
    EXPECT_EQ(shown(ArchiveSummary::interpolate(220, E{200, 0, -253}, E{250, 40, 0})), u"0/0"_s);
    EXPECT_EQ(shown(ArchiveSummary::interpolate(400, E{250, 40, 0}, std::nullopt)), u"40/100"_s);
    EXPECT_EQ(shown(ArchiveSummary::interpolate(-5, std::nullopt, start)), u"-/-"_s);
}

}  // namespace
}  // namespace vq
