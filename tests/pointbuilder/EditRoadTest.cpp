// The road of one edit with real widgets: a click on a value cell opens the in-place editor, keys
// hand pending values to the entry, Enter commits, the dependents recompute and every bound view
// (both sheets, the compression panel, the status bar) follows the collection's events.
#include "PointBuilderTestSupport.h"
#include "editors/VQCompressionSpecs.h"

namespace vq::test {
namespace {

struct RoadCase {
    const char* typed;
    const char* rulesAfter;  // of Span and its dependents
    QColor valueColour;      // of the Span value cell in both sheets
    const char* deviationLabel;
    const char* invalid;  // the status bar's invalid list
};

void PrintTo(const RoadCase& road, std::ostream* out) {
    *out << "typed " << road.typed;
}

class EditRoadTest : public PointBuilderTest, public ::testing::WithParamInterface<RoadCase> {};

TEST_P(EditRoadTest, TypedSpanReachesEveryBoundView) {
    const RoadCase& road = GetParam();
    // Given Boiler.Temp open, span 200 and a compression deviation of 2 (1 % of span)
    ASSERT_TRUE(window->selectServer(u"plant"_s));
    ASSERT_TRUE(window->openPoint(u"boiler.temp"_s));
    PropSheetEntries& entries = *window->entries();
    EventLog events(entries);
    VQPointPropSheet& sheet = *window->alphabeticSheet();
    const char* dependents = "Span CompDev ExcDev TypicalValue";
    const std::string rulesBefore = rules(entries, dependents);
    EXPECT_EQ(labelText(*window->compressionPanel(), "lblDeviationValue"), u"1.00"_s);

    // When the span's value cell is clicked and the new value typed
    QWidget* editor = clickValueCell(sheet, u"Span"_s);
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(window->alphabeticSheet()->isAncestorOf(editor));
    typeOver(editor, QString::fromUtf8(road.typed));

    // Then the entry holds it as pending only: nothing is committed or redrawn yet
    const std::string typing = events.take();
    EXPECT_EQ(typing.rfind("pending:Span", 0), 0u) << typing;
    EXPECT_EQ(typing.find("value:"), std::string::npos) << typing;
    EXPECT_EQ(values(entries, "Span"), "Span=200");
    EXPECT_TRUE(entries.AreValuesEdited());
    EXPECT_TRUE(statusSays(*window, "typing in span")) << window->statusText().toStdString();

    // When Enter is pressed
    QTest::keyClick(editor, Qt::Key_Return);

    // Then the entry is committed, its dependents recomputed, and every view rewritten
    EXPECT_EQ(events.take(), "display:CompDev display:ExcDev display:TypicalValue value:Span");
    EXPECT_EQ(values(entries, "Span"), "Span=" + std::string(road.typed));
    EXPECT_NE(rules(entries, dependents), rulesBefore);
    EXPECT_EQ(rules(entries, dependents), road.rulesAfter);
    for (VQPointPropSheet* view : {window->alphabeticSheet(), window->categorizedSheet()}) {
        const int row = view->rowOf(u"Span"_s);
        EXPECT_EQ(view->gridModel().TextMatrix(row, 4), QString::fromUtf8(road.typed));
        EXPECT_EQ(view->gridModel().CellForeColor(row, 4), road.valueColour);
    }
    EXPECT_EQ(labelText(*window->compressionPanel(), "lblDeviationValue"),
              QString::fromUtf8(road.deviationLabel));
    EXPECT_TRUE(statusSays(*window, "Edited (1): span")) << window->statusText().toStdString();
    EXPECT_TRUE(statusSays(*window, road.invalid)) << window->statusText().toStdString();
    EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Spans, EditRoadTest,
    ::testing::Values(RoadCase{"400", "Span=66 CompDev=6[400..0] ExcDev=6[400..0] TypicalValue=6[400..0]",
                               Qt::black, "0.50", "Invalid: none"},
                      RoadCase{"0", "Span=66 CompDev=6[0..0] ExcDev=6[0..0] TypicalValue=6[0..0]", Qt::red,
                               "Infinity", "Invalid (4): compdev, excdev, span, typicalvalue"}),
    [](const auto& info) { return std::string(info.param.typed == std::string("0") ? "Zero" : "Wider"); });

}  // namespace
}  // namespace vq::test
