#include "SheetTest.h"

#include "platform/PropertyBag.h"

#include <QSignalSpy>

#include <functional>

using namespace vq;
using namespace vq::test;

namespace {

using LayoutTest = SheetTest;
using ColourTest = SheetTest;
using Step = std::function<void(SheetTest&)>;
const Step nothing = [](SheetTest&) {};

const std::string kOverview =
    "(Tag) descriptor digitalset dignumber digstartcode exdesc pointsource pointtype ptclassname res";

TEST_F(LayoutTest, ViewsSortAndHideRowsByHeightOnly) {
    const Step hideDescriptor = [](SheetTest& t) {
        t.entries->Item(Variant("Descriptor"))->SetVisible(false);
    };
    const std::string withoutDescriptor =
        "(Tag) digitalset dignumber digstartcode exdesc pointsource pointtype ptclassname res";
    const std::string around = "[+Archive] [+Classic] [+Display] [-Overview] ";
    const struct {
        const char* name;
        int32_t view;
        Step given, when;  // before and after binding
        std::string shown;
    } cases[] = {
        {"alphabetic: no category rows, by display name", viewAlphabetic, nothing, nothing, kOverview},
        {"categorized: entries under their category", viewCategorized, nothing, nothing,
         around + kOverview + " [+Security] [+System]"},
        {"a view change re-sorts at once", viewCategorized, nothing,
         [](SheetTest& t) { t.sheet->SetView(viewAlphabetic); }, kOverview},
        {"a collapsed category hides its entries", viewCategorized,
         [](SheetTest& t) { t.entries->Categories().Item(Variant("Overview"))->SetCollapsed(true); }, nothing,
         "[+Archive] [+Classic] [+Display] [+Overview] [+Security] [+System]"},
        {"a sign click collapses its category, other columns do nothing", viewCategorized, nothing,
         [](SheetTest& t) { t.click(t.row("[Overview]"), 3), t.click(t.row("[Overview]"), 2); },
         "[+Archive] [+Classic] [+Display] [+Overview] [+Security] [+System]"},
        {"a second sign click expands it", viewCategorized, nothing,
         [](SheetTest& t) { t.click(t.row("[Archive]"), 2), t.click(t.row("[Archive]"), 2); },
         around + kOverview + " [+Security] [+System]"},
        {"a refill takes the categories' flags again", viewCategorized, nothing,
         [](SheetTest& t) { t.click(t.row("[Overview]"), 2), t.sheet->SetPropSheetEntries(t.entries); },
         around + kOverview + " [+Security] [+System]"},
        {"an invisible entry stays hidden under an expanded category", viewCategorized, nothing,
         hideDescriptor, around + withoutDescriptor + " [+Security] [+System]"},
        {"an invisible entry is hidden in alphabetic view", viewAlphabetic, nothing, hideDescriptor,
         withoutDescriptor},
        {"an empty collection leaves the header and the spare row", viewCategorized,
         [](SheetTest& t) { t.entries = std::make_shared<PropSheetEntries>(); }, nothing, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(reconnect(), u"classic"_s);
        c.given(*this);
        bind(c.view);
        c.when(*this);
        EXPECT_EQ(shownOverview(), c.shown);
        EXPECT_EQ(grid().Rows(), 2 + entries->Count() + entries->Categories().Count());
        EXPECT_EQ(sheet->ColWidth(2), sheet->View() == viewCategorized ? 275 : 0);
        EXPECT_EQ(view()->isColumnHidden(2), sheet->View() != viewCategorized);
    }
}

TEST_F(LayoutTest, ColumnsFollowTheViewAndTheControlNeverShrinksBelowItsMinimum) {
    using W = std::array<int, 5>;
    EXPECT_EQ(VQPointPropSheet::layoutFor({5000, 4000}, viewAlphabetic).columnWidths,
              (W{0, 0, 0, 1725, 5000}));
    EXPECT_EQ(VQPointPropSheet::layoutFor({5000, 4000}, viewCategorized).columnWidths,
              (W{0, 0, 275, 1725, 5000}));
    sheet->resize(10, 10);
    EXPECT_EQ(sheet->size(), twipsToPixels(QSize(2000, 825)));
    EXPECT_EQ(sheet->ColWidth(4), 2000);
    EXPECT_EQ(view()->horizontalHeader()->height(), twipsToPixels(275));
}

// Sorting by the sort key text alone would put "Alarm_x" after "Alarm limits" and its entries.
TEST(GridModelTest, CategorizedOrderKeepsEntriesUnderTheirOwnCategoryWhenNamesSharePrefixes) {
    const auto make = [](int tag, const char* group, const char* key) {
        PropSheetGridRow row;
        row.tag = tag, row.group = QString::fromUtf8(group), row.cells[1] = QString::fromUtf8(key);
        return row;
    };
    PropSheetGridModel model;
    model.setRows({make(2, "Alarm limits", "Alarm limits_y"), make(2, "Alarm", "Alarm_x"),
                   make(1, "Alarm limits", "Alarm limits"), make(1, "alarm", "alarm")});
    EXPECT_TRUE(model.sortRows(PropSheetGridModel::SortOrder::ByCategory));
    QStringList order;
    for (int r = PropSheetGridModel::kFirstDataRow; r < model.Rows(); ++r) order << model.TextMatrix(r, 1);
    EXPECT_EQ(order.join(u','), u"alarm,Alarm_x,Alarm limits,Alarm limits_y"_s);
    EXPECT_FALSE(model.sortRows(PropSheetGridModel::SortOrder::ByCategory)) << "in order: no layout change";
}

// "name-background value-background value-text[ bold]" of a row.
std::string colours(const PropSheetGridModel& grid, int row) {
    const auto background = [&](int column) {
        return grid.CellBackColor(row, column) == systemColor(SystemColor::ButtonFace) ? "fixed" : "normal";
    };
    const QColor text = grid.CellForeColor(row, 4);
    return std::string(background(3)) + ' ' + background(4) + ' ' +
           (text == QColor(255, 0, 0) ? "red"
            : text == QColor(0, 0, 0) ? "black"
                                      : "other") +
           (grid.data(grid.cellIndex(row, 3), Qt::FontRole).value<QFont>().bold() ? " bold" : "");
}

TEST_F(ColourTest, ReadOnlyCellsAreGreyAndInvalidValuesRedAfterAnEdit) {
    const auto readOnly = [](bool value) {
        return [value](SheetTest& t) { t.sheet->SetEntryReadOnly(u"Descriptor"_s, value); };
    };
    const struct {
        const char* name;
        Step when;
        const char* row;
        const char* expected;
    } cases[] = {
        {"editable entry", nothing, "Descriptor", "fixed normal black"},
        {"read-only entry", nothing, "PointID", "fixed fixed black"},
        {"category row", nothing, "[Overview]", "fixed fixed black bold"},
        {"read-only sheet", [](SheetTest& t) { t.sheet->SetReadonly(true); }, "Descriptor",
         "fixed fixed black"},
        {"read-only override", readOnly(true), "Descriptor", "fixed fixed black"},
        {"override lifted", [&](SheetTest& t) { readOnly(true)(t), readOnly(false)(t); }, "Descriptor",
         "fixed normal black"},
        {"invalid value after an edit", [](SheetTest& t) { edit(*t.entries, "Span=0"); }, "Span",
         "fixed normal red"},
        {"valid again after the next edit", [](SheetTest& t) { edit(*t.entries, "Span=0 Span=50"); }, "Span",
         "fixed normal black"},
        {"dependent redrawn on its display event",
         [](SheetTest& t) { edit(*t.entries, "Span=10 CompDev=20"); }, "CompDev", "fixed normal red"},
        {"a refill leaves invalid values black",
         [](SheetTest& t) { edit(*t.entries, "Span=0"), t.sheet->SetPropSheetEntries(t.entries); }, "Span",
         "fixed normal black"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(reconnect(), u"classic"_s);
        delete sheet;
        sheet = new VQPointPropSheet(&form);
        bind(viewCategorized);
        c.when(*this);
        EXPECT_EQ(colours(grid(), row(c.row)), c.expected);
    }
}

TEST_F(ColourTest, EntryOverridesRecolourOnlyWhenTheyChangeSomething) {
    bind();
    QSignalSpy repaints(&grid(), &QAbstractItemModel::dataChanged);
    for (const bool readOnly : {false, false, true, true, false})
        sheet->SetEntryReadOnly(u"descriptor"_s, readOnly);
    EXPECT_EQ(repaints.count(), 2) << "a first False and a repeated value recolour nothing";
    EXPECT_FALSE(sheet->GetEntryReadOnly(u"Descriptor"_s));
}

// The archive stamps every write with its time and writer; after a save the sheet shows the
// stamps it stored, not the ones loaded, and the point reads as unedited.
TEST_F(LayoutTest, AfterASaveTheChangeStampsShowWhatTheArchiveStored) {
    auto admin = reconnect();
    admin->addGroup(u"vqoperators"_s);
    admin->addUser(u"operator"_s, u"secret"_s, {u"vqoperators"_s});
    SdkNamedValues open;
    open.Add(u"PtAccess"_s, Variant(u"o:rw g:rw w:rw"_s));
    storePoint(*admin, u"Flow"_s, u"classic"_s, 12, open);
    entries = std::make_shared<PropSheetEntries>();
    entries->AddAttributesForPoint(
        reconnect(u"plant"_s, u"operator"_s, u"secret"_s)->Points()->Item(u"Flow"_s));
    bind();
    const auto shown = [this] {
        return (grid().TextMatrix(row("ChangeDate"), PropSheetGridRow::kValueColumn) + u' ' +
                grid().TextMatrix(row("Changer"), PropSheetGridRow::kValueColumn))
            .toStdString();
    };
    const std::string loaded = shown();

    edit(*entries, "Descriptor=Feed");
    ASSERT_TRUE(entries->SaveEdits()) << messages().join(u'|').toStdString();
    const SdkPointAttributesPtr stored = reconnect()->Points()->Item(u"Flow"_s)->PointAttributes();
    EXPECT_EQ(shown(), (stored->Item(u"ChangeDate"_s)->Value().toString() + u" operator"_s).toStdString());
    EXPECT_NE(shown(), loaded);
    EXPECT_EQ(entries->Item(Variant(u"Changer"_s))->GetValueBeforeEdits().toString(), u"operator"_s);
    EXPECT_FALSE(entries->AreValuesEdited());
}

TEST_F(LayoutTest, PersistsViewAndReadOnlyAndForgetsAnUnboundCollection) {
    QStringList changed;
    QObject::connect(sheet, &VQPointPropSheet::PropertyChanged,
                     [&](const QString& name) { changed << name; });
    sheet->SetView(viewCategorized);
    sheet->SetReadonly(true);
    sheet->SetReadonly(true);
    EXPECT_EQ(changed.join(u' '), u"View ReadOnly"_s);
    PropertyBag bag;
    sheet->WriteProperties(bag);
    VQPointPropSheet restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(std::pair(restored.View(), restored.Readonly()), std::pair(int32_t(viewCategorized), true));

    bind();
    sheet->SetPropSheetEntries(nullptr);  // unbinding empties the grid, and is no error
    edit(*entries, "Span=0");
    EXPECT_EQ(grid().Rows(), 2);
    EXPECT_EQ(messages(), QStringList());
}

}  // namespace
