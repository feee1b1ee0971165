// The open point's history in the Point Builder: its change sets newest first with each value
// before and after, restored values that come back as edits for a usual save, and the entry
// disabled where there is no history to show.
#include "PointBuilderTestSupport.h"
#include "PointHistoryDialog.h"
#include "archive/server/ArchiveServer.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTreeWidget>

namespace vq::test {
namespace {

// A list's rows, "column1 column2|..." for the columns asked.
QString rows(QWidget* dialog, const char* list, std::initializer_list<int> columns) {
    QStringList texts;
    auto* tree = child<QTreeWidget>(dialog, list);
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        QStringList cells;
        for (const int column : columns) cells << tree->topLevelItem(row)->text(column);
        texts << cells.join(u' ');
    }
    return texts.join(u'|');
}

// Another program renamed the point; here its span is saved. Ctrl+H lists the three change sets
// newest first, through the rename; arrows choose one and the attributes follow. Enter restores
// the rename's values as edits, the fixed tag aside, and only the Save that follows writes them,
// as a change set of its own.
TEST_F(PointBuilderTest, HistoryListsTheChangesNewestFirstAndRestoresValuesAsEdits) {
    SdkNamedValues renamed, failed;
    renamed.Add(u"Tag"_s, u"Boiler.Renamed"_s);
    renamed.Add(u"Descriptor"_s, u"Renamed"_s);
    reconnect()->Points()->Item(u"Boiler.Temp"_s)->PointAttributes()->SetAttributes(renamed, failed);
    ASSERT_TRUE(window->openPoint(u"Boiler.Renamed"_s));
    editInSheet(*window->alphabeticSheet(), u"Span"_s, u"300"_s);
    ASSERT_TRUE(window->save());
    QStringList shown;
    modals.then(u"dlgPointHistory"_s, [&](QWidget* dialog) {
        auto* sets = child<QTreeWidget>(dialog, "lstChangeSets");
        shown << rows(dialog, "lstChangeSets", {1, 2}) << rows(dialog, "lstAttributes", {0, 1, 2});
        QTest::keyClick(sets, Qt::Key_End);
        shown << (child<QPushButton>(dialog, "cmdRestore")->isEnabled() ? u"restorable"_s
                                                                        : u"not restorable"_s);
        QTest::keyClick(sets, Qt::Key_Up);
        shown << rows(dialog, "lstAttributes", {0, 1, 2});
        QTest::keyClick(sets, Qt::Key_Return);
    });
    QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(
        shown.join(u" / "_s).toStdString(),
        "vqadmin Span|vqadmin Tag, Descriptor|vqadmin Tag, Descriptor, CompDev, Span, DataGroup, DataOwner, "
        "PtGroup, PtOwner / Span 200 300 / not restorable / "
        "Tag Boiler.Temp Boiler.Renamed|Descriptor Boiler temperature Renamed");
    EXPECT_TRUE(statusSays(*window, "Edited (1): descriptor | Invalid: none | Restored Descriptor from"));
    EXPECT_TRUE(statusSays(*window, "not restored (read-only): Tag"));
    EXPECT_TRUE(window->isWindowModified());
    const std::string before = storedValues(reconnect(), u"Boiler.Renamed"_s, "Tag Descriptor");
    ASSERT_TRUE(window->save());
    EXPECT_EQ(before + " > " + storedValues(reconnect(), u"Boiler.Renamed"_s, "Tag Descriptor"),
              "Tag=Boiler.Renamed Descriptor=Renamed > Tag=Boiler.Renamed Descriptor=Boiler temperature");
    SdkHistoryFilter newest{u"Boiler.Renamed"_s, {}, {}, {}, 0, 1, 0};
    const SdkAttributeChange saved =
        reconnect()->changeHistory()->changeSets(newest).front().points.front().attributes.front();
    EXPECT_EQ(saved.attribute + u' ' + saved.before + u'>' + saved.after,
              u"Descriptor Renamed>Boiler temperature"_s);
}

// Where the entry is off, its tip says why in one line; a read that fails tells once.
TEST_F(PointBuilderTest, HistoryIsOffWithoutAStoredPointOrAHistoryAndAFailedReadTellsOnce) {
    QAction* history = window->action(u"actHistory"_s);
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] {}, "off: Open a stored point to see its history"},
        {[&] { window->newPoint(u"classic"_s, u"Fan.Speed"_s); },
         "off: Open a stored point to see its history"},
        {[&] { window->openPoint(u"Pump.Flow"_s); }, "on: Shows who changed the open point"},
    };
    for (const auto& [when, expected] : cases) {
        when();
        const QString state = (history->isEnabled() ? u"on: "_s : u"off: "_s) + history->toolTip();
        EXPECT_TRUE(state.startsWith(QString::fromUtf8(expected))) << state.toStdString();
    }
    EXPECT_EQ(PointHistoryDialog::unavailableText(u"plant"_s, true, nullptr),
              u"The server plant keeps no change history"_s);
    ASSERT_TRUE(QFile::resize(path(u"plant"_s), 0));  // the archive file emptied under the open point
    EXPECT_FALSE(window->showHistory());
    EXPECT_TRUE(messages().size() == 1 && messages().join(u'|').startsWith(u"PointBuilderWindow:History"_s) &&
                messages()[0].contains(u"is damaged"_s))
        << messages().join(u'|').toStdString();
}

}  // namespace
}  // namespace vq::test
