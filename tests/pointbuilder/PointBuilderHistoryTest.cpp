// The open point's history in the Point Builder: its change sets newest first with each value
// before and after, restored values that come back as edits for a usual save, and the entry
// disabled where there is no history to show.
#include "PointBuilderTestSupport.h"
#include "PointHistoryDialog.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkChangeHistory.h"

#include <QAction>
#include <QFile>
#include <QPushButton>
#include <QTreeWidget>

namespace vq::test {
namespace {

// A list's rows, "col1 col2|..." for the columns asked.
std::string rows(QWidget* dialog, const char* list, std::initializer_list<int> columns) {
    QStringList texts;
    auto* tree = child<QTreeWidget>(dialog, list);
    for (int row = 0; row < tree->topLevelItemCount(); ++row) {
        QStringList cells;
        for (const int column : columns) cells << tree->topLevelItem(row)->text(column);
        texts << cells.join(u' ');
    }
    return texts.join(u'|').toStdString();
}

class PointHistoryTest : public PointBuilderTest {
protected:
    // Boiler.Temp opened, and each "Name=Value" saved as an edit of its own.
    void saveEdits(std::initializer_list<std::pair<const char*, const char*>> edits) {
        ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
        for (const auto& [name, value] : edits) {
            editInSheet(*window->alphabeticSheet(), QString::fromUtf8(name), QString::fromUtf8(value));
            ASSERT_TRUE(window->save());
        }
    }
    size_t changeSetCount() {
        SdkHistoryFilter filter;
        filter.tag = u"Boiler.Temp"_s;
        return reconnect()->changeHistory()->changeSets(filter).size();
    }
};

// Ctrl+H shows the change sets newest first; arrows choose one and the attributes follow; Esc
// closes without touching the sheets.
TEST_F(PointHistoryTest, ListsTheChangeSetsNewestFirstWithEachValueBeforeAndAfter) {
    saveEdits({{"Descriptor", "Boiler outlet"}, {"Span", "300"}});
    std::string listed, newest, older, created;
    modals.then(u"dlgPointHistory"_s, [&](QWidget* dialog) {
        listed = rows(dialog, "lstChangeSets", {1, 2});
        newest = rows(dialog, "lstAttributes", {0, 1, 2});
        auto* sets = child<QTreeWidget>(dialog, "lstChangeSets");
        QTest::keyClick(sets, Qt::Key_Down);
        older = rows(dialog, "lstAttributes", {0, 1, 2});
        QTest::keyClick(sets, Qt::Key_End);
        created = child<QPushButton>(dialog, "cmdRestore")->isEnabled() ? "restorable" : "not restorable";
        QTest::keyClick(sets, Qt::Key_Escape);
    });
    QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(listed,
              "vqadmin Span|vqadmin Descriptor|vqadmin Tag, Descriptor, CompDev, Span, DataGroup, DataOwner, "
              "PtGroup, PtOwner");
    EXPECT_EQ(newest, "Span 200 300");
    EXPECT_EQ(older, "Descriptor Boiler temperature Boiler outlet");
    EXPECT_EQ(created, "not restorable");
    EXPECT_TRUE(statusSays(*window, "Edited: none"));
}

// Enter restores the chosen change's values as edits: shown in both sheets and the status bar,
// written by nothing but the Save that follows, which records a change set of its own.
TEST_F(PointHistoryTest, RestoredValuesAreEditsThatASaveWrites) {
    saveEdits({{"Span", "300"}, {"Descriptor", "Boiler outlet"}});
    modals.then(u"dlgPointHistory"_s, [](QWidget* dialog) {
        auto* sets = child<QTreeWidget>(dialog, "lstChangeSets");
        QTest::keyClick(sets, Qt::Key_Down);  // the span's change
        QTest::keyClick(sets, Qt::Key_Return);
    });
    EXPECT_TRUE(window->showHistory());
    EXPECT_TRUE(statusSays(*window, "Edited (1): span | Invalid: none | Restored Span from"));
    EXPECT_EQ(window->categorizedSheet()->cellIndex(u"Span"_s, columnValue).data().toString(), u"200"_s);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor Span"),
              "Descriptor=Boiler outlet Span=300");

    const size_t before = changeSetCount();
    ASSERT_TRUE(window->save());
    EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor Span"),
              "Descriptor=Boiler outlet Span=200");
    SdkHistoryFilter newest;
    newest.tag = u"Boiler.Temp"_s;
    newest.limit = 1;
    const SdkChangeSet saved = reconnect()->changeHistory()->changeSets(newest).front();
    EXPECT_EQ(changeSetCount(), before + 1);
    EXPECT_EQ(
        saved.points.front().attributes.front().before + u'>' + saved.points.front().attributes.front().after,
        u"300>200"_s);
}

// Where the entry is off, its tip says why in one line; a read that fails tells once.
TEST_F(PointHistoryTest, TheEntryIsOffWithoutAStoredPointOrAHistory) {
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

    // The archive file emptied under the open point: the read fails and says so once.
    ASSERT_TRUE(QFile::resize(path(u"plant"_s), 0));
    EXPECT_FALSE(window->showHistory());
    EXPECT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages().join(u'|').startsWith(u"PointBuilderWindow:History"_s))
        << messages().join(u'|').toStdString();
}

}  // namespace
}  // namespace vq::test
