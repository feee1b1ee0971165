// The Points window of the Point Builder: rows added by tag, columns remembered, a row's point
// opened in the single-point view, and unsaved table edits asked about on quitting.
#include "PointBuilderSettings.h"
#include "PointBuilderTestSupport.h"
#include "PointTableWindow.h"
#include "dialogs/TagwrightDlgs.h"
#include "model/PropSheetEntries.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPoints.h"
#include "table/PointTableModel.h"
#include "table/VQPointTable.h"

#include <QStatusBar>

namespace vq::test {
namespace {

TEST_F(PointBuilderTest, ThePointsWindowAddsTagsRemembersColumnsAndOpensARowsPoint) {
    PointTableWindow* points = window->showPointsWindow();
    ASSERT_NE(points, nullptr);
    EXPECT_TRUE(points->addTag(u"boiler.temp"_s));
    EXPECT_TRUE(points->addTag(u"Pump.Flow"_s));
    EXPECT_FALSE(points->addTag(u"No.Such"_s));
    EXPECT_TRUE(points->statusBar()->currentMessage().contains(u"plant has no point \"No.Such\""_s));
    PointTableModel& model = *points->table()->model();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(points->windowTitle(), u"Points - 2 points"_s);

    points->table()->SetColumns({u"Descriptor"_s, u"Span"_s});
    EXPECT_EQ(window->settings().pointTableColumns(), u"Descriptor,Span"_s);
    PointBuilderSettings settings;
    TagwrightDlgs dialogs;
    const auto noServer = [] { return SdkServerPtr(); };
    PointTableWindow(settings, dialogs, noServer).table()->SetColumns({u"Span"_s, u"Zero"_s});
    EXPECT_EQ(PointTableWindow(settings, dialogs, noServer).table()->Columns(),
              (QStringList{u"Span"_s, u"Zero"_s}));

    Q_EMIT points->table()->OpenPoint(model.pointAt(1));
    EXPECT_EQ(window->entries()->GetValue(u"Tag"_s).toString(), u"Pump.Flow"_s);
}

TEST_F(PointBuilderTest, QuittingWithUnsavedTableEditsAsksAndCancelKeepsThem) {
    PointTableWindow* points = window->showPointsWindow();
    ASSERT_TRUE(points->addTag(u"Boiler.Temp"_s));
    PointTableModel& model = *points->table()->model();
    ASSERT_TRUE(model.setCellText(model.index(0, model.columnOf(u"Descriptor"_s)), u"Boiler outlet"_s));
    modals.then(answering(u"Cancel"_s));
    EXPECT_FALSE(window->close());
    EXPECT_EQ(model.pendingAttributeCount(), 1);
    modals.then(answering(u"Save"_s));
    EXPECT_TRUE(window->close());
    EXPECT_EQ(
        reconnect()->Points()->Item(u"Boiler.Temp"_s)->PointAttributes()->Item(u"Descriptor"_s)->Value(),
        Variant(u"Boiler outlet"_s));
}

}  // namespace
}  // namespace vq::test
