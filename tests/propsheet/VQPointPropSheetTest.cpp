#include "SheetTest.h"

#include "platform/PropertyBag.h"

#include <QSignalSpy>

#include <functional>

using namespace vq;
using namespace vq::test;

namespace {

using LayoutTest = SheetTest;
using ColourTest = SheetTest;

const char* const kOverviewEntries =
    "(Tag) descriptor digitalset dignumber digstartcode exdesc pointsource pointtype ptclassname res";

struct LayoutCase {
    const char* name;
    int32_t view;
    std::function<void(SheetTest&, PropSheetEntries&)> given;        // before binding
    std::function<void(VQPointPropSheet&, PropSheetEntries&)> when;  // after binding
    std::string shown;
    int signWidth;
};

TEST_F(LayoutTest, ViewsSortAndHideRowsByHeightOnly) {
    const auto nothing = [](auto&, auto&) {};
    const auto hideDescriptor = [](VQPointPropSheet&, PropSheetEntries& e) {
        e.Item(Variant("Descriptor"))->SetVisible(false);
    };
    const std::string alphabetic = kOverviewEntries;
    const std::string categorized = std::string("[+Archive] [+Classic] [+Display] [-Overview] ") +
                                    kOverviewEntries + " [+Security] [+System]";
    const LayoutCase cases[] = {
        {"alphabetic: no category rows, by display name", viewAlphabetic, nothing, nothing, alphabetic, 0},
        {"categorized: entries under their category", viewCategorized, nothing, nothing, categorized, 275},
        {"a view change re-sorts at once", viewCategorized, nothing,
         [](VQPointPropSheet& s, PropSheetEntries&) { s.SetView(viewAlphabetic); }, alphabetic, 0},
        {"a collapsed category hides its entries", viewCategorized,
         [](SheetTest&, PropSheetEntries& e) {
             e.Categories().Item(Variant("Overview"))->SetCollapsed(true);
         },
         nothing, "[+Archive] [+Classic] [+Display] [+Overview] [+Security] [+System]", 275},
        {"an invisible entry stays hidden under an expanded category", viewCategorized, nothing,
         hideDescriptor,
         "[+Archive] [+Classic] [+Display] [-Overview] (Tag) digitalset dignumber digstartcode exdesc "
         "pointsource "
         "pointtype ptclassname res [+Security] [+System]",
         275},
        {"an invisible entry is hidden in alphabetic view", viewAlphabetic, nothing, hideDescriptor,
         "(Tag) digitalset dignumber digstartcode exdesc pointsource pointtype ptclassname res", 0},
        {"an empty collection leaves the header and the spare row", viewCategorized,
         [](SheetTest& t, PropSheetEntries&) { t.entries = std::make_shared<PropSheetEntries>(); }, nothing,
         "", 275},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(reconnect(), u"classic"_s);
        c.given(*this, *entries);
        bind(c.view);
        c.when(*sheet, *entries);
        EXPECT_EQ(shownOverview(), c.shown);
        EXPECT_EQ(grid().Rows(), 2 + entries->Count() + entries->Categories().Count());
        EXPECT_EQ(sheet->ColWidth(2), c.signWidth);
        EXPECT_EQ(view()->isColumnHidden(2), c.signWidth == 0);
    }
}

TEST_F(LayoutTest, ColumnsFollowTheViewAndTheControlNeverShrinksBelowItsMinimum) {
    using W = std::array<int, 5>;
    EXPECT_EQ(VQPointPropSheet::layoutFor({5000, 4000}, viewAlphabetic).columnWidths,
              (W{0, 0, 0, 1725, 5000}));
    EXPECT_EQ(VQPointPropSheet::layoutFor({5000, 4000}, viewCategorized).columnWidths,
              (W{0, 0, 275, 1725, 5000}));
    EXPECT_EQ(VQPointPropSheet::layoutFor({1000, 300}, viewAlphabetic).control, QSize(2000, 825));

    sheet->resize(10, 10);
    EXPECT_EQ(sheet->size(), twipsToPixels(QSize(2000, 825)));
    EXPECT_EQ(sheet->ColWidth(4), 2000);
    EXPECT_EQ(view()->horizontalHeader()->height(), twipsToPixels(275));
}

TEST_F(LayoutTest, ASignClickTogglesItsCategoryAndARefillTakesTheFlagsAgain) {
    bind(viewCategorized);
    const int archive = categoryRow("Archive");
    const auto archiveShown = [&] { return grid().RowHeight(row("Span")) > 0; };
    ASSERT_FALSE(archiveShown());

    click(archive, 3);
    EXPECT_FALSE(archiveShown()) << "only the sign toggles";
    click(archive, 2);
    EXPECT_TRUE(archiveShown());
    EXPECT_EQ(grid().row(archive).sign, PropSheetGridRow::Sign::Expanded);
    click(archive, 2);
    EXPECT_FALSE(archiveShown());

    click(archive, 2);
    sheet->SetPropSheetEntries(entries);
    EXPECT_FALSE(archiveShown());
}

// "name-background value-background value-text" of an entry's row.
std::string colours(const PropSheetGridModel& grid, int row) {
    const auto background = [&](int column) {
        return grid.CellBackColor(row, column) == systemColor(SystemColor::ButtonFace) ? "fixed" : "normal";
    };
    const QColor text = grid.CellForeColor(row, 4);
    return std::string(background(3)) + ' ' + background(4) + ' ' +
           (text == QColor(255, 0, 0) ? "red"
            : text == QColor(0, 0, 0) ? "black"
                                      : "other");
}

struct ColourCase {
    const char* name;
    std::function<void(SheetTest&)> when;
    const char* attribute;
    const char* expected;
};

TEST_F(ColourTest, ReadOnlyCellsAreGreyAndInvalidValuesRedAfterAnEdit) {
    const auto nothing = [](SheetTest&) {};
    const ColourCase cases[] = {
        {"editable entry", nothing, "Descriptor", "fixed normal black"},
        {"read-only entry", nothing, "PointID", "fixed fixed black"},
        {"read-only override", [](SheetTest& t) { t.sheet->SetEntryReadOnly(u"Descriptor"_s, true); },
         "Descriptor", "fixed fixed black"},
        {"override lifted",
         [](SheetTest& t) {
             t.sheet->SetEntryReadOnly(u"Descriptor"_s, true);
             t.sheet->SetEntryReadOnly(u"Descriptor"_s, false);
         },
         "Descriptor", "fixed normal black"},
        {"invalid value after an edit", [](SheetTest& t) { edit(*t.entries, "Span=0"); }, "Span",
         "fixed normal red"},
        {"valid again after the next edit", [](SheetTest& t) { edit(*t.entries, "Span=0 Span=50"); }, "Span",
         "fixed normal black"},
        {"dependent redrawn through its display event",
         [](SheetTest& t) { edit(*t.entries, "Span=10 CompDev=20"); }, "CompDev", "fixed normal red"},
    };
    for (const ColourCase& c : cases) {
        SCOPED_TRACE(c.name);
        entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(reconnect(), u"classic"_s);
        delete sheet;
        sheet = new VQPointPropSheet(&form);
        bind();
        c.when(*this);
        EXPECT_EQ(colours(grid(), row(c.attribute)), c.expected);
    }
}

TEST_F(ColourTest, FillingLeavesInvalidValuesBlackAndCategoryRowsFixed) {
    edit(*entries, "Span=0");
    ASSERT_FALSE(entry("Span").IsValid());
    bind(viewCategorized);
    EXPECT_EQ(colours(grid(), row("Span")), "fixed normal black");
    const int overview = categoryRow("Overview");
    EXPECT_EQ(colours(grid(), overview), "fixed fixed black");
    EXPECT_TRUE(grid().data(grid().cellIndex(overview, 3), Qt::FontRole).value<QFont>().bold());
}

TEST_F(ColourTest, ReadonlySheetGreysEveryValueCell) {
    bind();
    QSignalSpy repaints(&grid(), &QAbstractItemModel::dataChanged);
    sheet->SetReadonly(true);
    for (int r = PropSheetGridModel::kFirstDataRow; r < grid().Rows(); ++r)
        EXPECT_TRUE(grid().isFixedCell(r, 4)) << grid().TextMatrix(r, 0).toStdString();
    sheet->SetReadonly(false);
    EXPECT_EQ(colours(grid(), row("Descriptor")), "fixed normal black");
    EXPECT_EQ(repaints.count(), 2);
}

TEST_F(ColourTest, EntryOverridesRecolourOnlyWhenTheyChangeSomething) {
    bind();
    QSignalSpy repaints(&grid(), &QAbstractItemModel::dataChanged);
    const auto set = [&](bool readOnly) {
        repaints.clear();
        sheet->SetEntryReadOnly(u"descriptor"_s, readOnly);
        return std::to_string(repaints.count()) + (sheet->GetEntryReadOnly(u"Descriptor"_s) ? " ro" : " rw");
    };
    EXPECT_EQ(set(false), "0 rw") << "first call with False adds without recolouring";
    EXPECT_EQ(set(false), "0 rw");
    EXPECT_EQ(set(true), "1 ro");
    EXPECT_EQ(set(true), "0 ro");
    EXPECT_EQ(set(false), "1 rw");
    EXPECT_FALSE(sheet->GetEntryReadOnly(u"Span"_s));
}

TEST_F(LayoutTest, PersistsViewAndReadOnlyAndMarksThemChanged) {
    QStringList changed;
    QObject::connect(sheet, &VQPointPropSheet::PropertyChanged,
                     [&](const QString& name) { changed << name; });
    PropertyBag bag;
    sheet->WriteProperties(bag);
    EXPECT_EQ(bag.count(), 0);

    sheet->SetView(viewCategorized);
    sheet->SetReadonly(true);
    sheet->SetReadonly(true);
    EXPECT_EQ(changed.join(u' '), u"View ReadOnly"_s);
    sheet->WriteProperties(bag);

    VQPointPropSheet restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(restored.View(), viewCategorized);
    EXPECT_TRUE(restored.Readonly());
    EXPECT_EQ(restored.ColWidth(2), 275);
}

TEST_F(LayoutTest, RebindingForgetsTheOldCollection) {
    bind();
    auto old = entries;
    sheet->SetPropSheetEntries(std::make_shared<PropSheetEntries>());
    EXPECT_EQ(grid().Rows(), 2);
    edit(*old, "Span=0");
    EXPECT_EQ(grid().Rows(), 2);
    EXPECT_EQ(sheet->rowOf(u"Span"_s), 0);
}

}  // namespace
