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

// Enter restores the chosen change's values as edits: shown in the sheets and the status bar,
// written by nothing but the Save that follows, which records a change set of its own. A tag is
// fixed once a point is stored: a rename's old tag stays, and the status says so.
TEST_F(PointHistoryTest, RestoredValuesAreEditsThatASaveWrites) {
    struct Case {
        const char* behaviour;
        std::function<void()> given;
        const char* tag;
        int down;  // arrow presses to the change set restored
        const char* status;
        const char* restored;  // shown, then stored after the save
        const char* recorded;  // the save's change set
    };
    const Case cases[] = {
        {"a span changed back",
         [&] {
             saveEdits({{"Span", "300"}, {"Descriptor", "Boiler outlet"}});
         },
         "Boiler.Temp", 1, "Edited (1): span | Invalid: none | Restored Span from",
         "Descriptor=Boiler outlet Span=200", "Span 300>200"},
        {"a rename's tag left as it is",
         [&] {
             SdkNamedValues renamed, failed;
             renamed.Add(u"Tag"_s, u"Boiler.Renamed"_s);
             renamed.Add(u"Descriptor"_s, u"Renamed"_s);
             reconnect()->Points()->Item(u"Boiler.Temp"_s)->PointAttributes()->SetAttributes(renamed, failed);
         },
         "Boiler.Renamed", 0, "not restored (read-only): Tag", "Descriptor=Boiler outlet Span=200",
         "Descriptor Renamed>Boiler outlet"},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.behaviour);
        row.given();
        const QString tag = QString::fromUtf8(row.tag);
        ASSERT_TRUE(window->openPoint(tag));
        const std::string stored = storedValues(reconnect(), tag, "Descriptor Span");
        modals.then(u"dlgPointHistory"_s, [&](QWidget* dialog) {
            auto* sets = child<QTreeWidget>(dialog, "lstChangeSets");
            for (int i = 0; i < row.down; ++i) QTest::keyClick(sets, Qt::Key_Down);
            QTest::keyClick(sets, Qt::Key_Return);
        });
        EXPECT_TRUE(window->showHistory());
        EXPECT_TRUE(statusSays(*window, row.status));
        EXPECT_EQ(values(*window->entries(), "Descriptor Span"), row.restored);
        EXPECT_TRUE(window->isWindowModified());
        EXPECT_EQ(storedValues(reconnect(), tag, "Descriptor Span"), stored);

        ASSERT_TRUE(window->save());
        EXPECT_EQ(storedValues(reconnect(), tag, "Descriptor Span"), row.restored);
        SdkHistoryFilter newest;
        newest.tag = tag;
        newest.limit = 1;
        const SdkAttributeChange change =
            reconnect()->changeHistory()->changeSets(newest).front().points.front().attributes.front();
        EXPECT_EQ(change.attribute + u' ' + change.before + u'>' + change.after,
                  QString::fromUtf8(row.recorded));
    }
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
