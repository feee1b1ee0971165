#include "BindableChecks.h"
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

TEST_F(LayoutTest, ViewsSortFoldAndHideRows) {
    const Step hideDescriptor = [](SheetTest& t) {
        t.entries->Item(Variant("Descriptor"))->SetVisible(false);
    };
    const Step rename = [](SheetTest& t) { t.entries->Item(Variant("ExDesc"))->SetDisplayName(u"aaa"_s); };
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
         [](SheetTest& t) { t.click("[Overview]", columnName), t.click("[Overview]", columnSign); },
         "[+Archive] [+Classic] [+Display] [+Overview] [+Security] [+System]"},
        {"a double click on a category row does not fold it", viewCategorized, nothing,
         [](SheetTest& t) {
             QTest::mouseDClick(t.view()->viewport(), Qt::LeftButton, {},
                                t.cell("[Overview]", columnName).center());
         },
         around + kOverview + " [+Security] [+System]"},
        {"a second sign click expands it", viewCategorized, nothing,
         [](SheetTest& t) { t.click("[Archive]", columnSign), t.click("[Archive]", columnSign); },
         around + kOverview + " [+Security] [+System]"},
        {"a refill takes the categories' flags again", viewCategorized, nothing,
         [](SheetTest& t) { t.click("[Overview]", columnSign), t.sheet->SetPropSheetEntries(t.entries); },
         around + kOverview + " [+Security] [+System]"},
        {"a category keeps its fold across a view change", viewCategorized, nothing,
         [](SheetTest& t) {
             t.click("[Overview]", columnSign), t.sheet->SetView(viewAlphabetic),
                 t.sheet->SetView(viewCategorized);
         },
         "[+Archive] [+Classic] [+Display] [+Overview] [+Security] [+System]"},
        {"an invisible entry stays hidden under an expanded category", viewCategorized, nothing,
         hideDescriptor, around + withoutDescriptor + " [+Security] [+System]"},
        {"an invisible entry is hidden in alphabetic view", viewAlphabetic, nothing, hideDescriptor,
         withoutDescriptor},
        {"a new display name moves the row, categorized", viewCategorized, nothing, rename,
         around +
             "(Tag) aaa descriptor digitalset dignumber digstartcode pointsource pointtype ptclassname res "
             "[+Security] [+System]"},
        {"a new display name moves the row, alphabetic", viewAlphabetic, nothing, rename,
         "(Tag) aaa descriptor digitalset dignumber digstartcode pointsource pointtype ptclassname res"},
        {"an empty collection leaves only the header", viewCategorized,
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
        EXPECT_EQ(view()->isColumnHidden(columnSign), sheet->View() != viewCategorized);
        if (sheet->View() == viewCategorized) {
            EXPECT_EQ(view()->columnWidth(columnSign), twipsToPixels(275));
        }
    }
}

TEST_F(LayoutTest, ColumnsFollowTheViewAndTheControlNeverShrinksBelowItsMinimum) {
    using W = std::array<int, columnCount>;
    EXPECT_EQ(VQPointPropSheet::layoutFor({5000, 4000}, viewAlphabetic).columnWidths, (W{0, 1725, 5000}));
    EXPECT_EQ(VQPointPropSheet::layoutFor({5000, 4000}, viewCategorized).columnWidths, (W{275, 1725, 5000}));
    sheet->resize(10, 10);
    EXPECT_EQ(sheet->size(), twipsToPixels(QSize(2000, 825)));
    EXPECT_EQ(view()->columnWidth(columnValue), twipsToPixels(2000));
    EXPECT_EQ(view()->columnWidth(columnName), twipsToPixels(1725));
    EXPECT_EQ(view()->header()->height(), twipsToPixels(275));
}

// "name-background value-background value-text[ bold]" of a row.
std::string colours(const QModelIndex& name) {
    const auto background = [&](int column) {
        return name.siblingAtColumn(column).data(Qt::BackgroundRole) == systemColor(SystemColor::ButtonFace)
                   ? "fixed"
                   : "normal";
    };
    const QColor text = name.siblingAtColumn(columnValue).data(Qt::ForegroundRole).value<QColor>();
    return std::string(background(columnName)) + ' ' + background(columnValue) + ' ' +
           (text == QColor(255, 0, 0) ? "red"
            : text == QColor(0, 0, 0) ? "black"
                                      : "other") +
           (name.data(Qt::FontRole).value<QFont>().bold() ? " bold" : "");
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
        EXPECT_EQ(colours(at(c.row, columnName)), c.expected);
    }
}

TEST_F(ColourTest, EntryOverridesRecolourOnlyWhenTheyChangeSomething) {
    bind();
    QSignalSpy repaints(view()->model(), &QAbstractItemModel::dataChanged);
    std::string recoloured;
    for (const bool readOnly : {false, false, true, true, false}) {
        sheet->SetEntryReadOnly(u"descriptor"_s, readOnly);
        recoloured += repaints.isEmpty() ? '-' : 'R';
        repaints.clear();
    }
    EXPECT_EQ(recoloured, "--R-R") << "a first False and a repeated value recolour nothing";
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
    const auto shown = [this] { return (text("ChangeDate") + u' ' + text("Changer")).toStdString(); };
    const std::string loaded = shown();

    edit(*entries, "Descriptor=Feed");
    ASSERT_TRUE(entries->SaveEdits()) << messages().join(u'|').toStdString();
    const SdkPointAttributesPtr stored = reconnect()->Points()->Item(u"Flow"_s)->PointAttributes();
    EXPECT_EQ(shown(), (stored->Item(u"ChangeDate"_s)->Value().toString() + u" operator"_s).toStdString());
    EXPECT_NE(shown(), loaded);
    EXPECT_EQ(entries->Item(Variant(u"Changer"_s))->GetValueBeforeEdits().toString(), u"operator"_s);
    EXPECT_FALSE(entries->AreValuesEdited());
}

// The two properties notify once per real change; Readonly marks only a real change, as it always
// did, and View marks every write. The sheet shows a collection: it has no single value.
TEST_F(LayoutTest, BindableViewAndReadonlyNotifyOnlyOnARealChange) {
    bind();
    EXPECT_EQ(writeTwice(*sheet, "View", int32_t(viewCategorized)), u"notify 1 1, marked 1 2"_s);
    EXPECT_EQ(writeTwice(*sheet, "Readonly", true), u"notify 1 1, marked 1 1"_s);
    EXPECT_EQ(silentProperties(VQPointPropSheet::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(userPropertyOf(VQPointPropSheet::staticMetaObject), QString());
}

TEST_F(LayoutTest, PersistsViewAndReadOnlyAndForgetsAnUnboundCollection) {
    sheet->SetView(viewCategorized);
    sheet->SetReadonly(true);
    PropertyBag bag;
    sheet->WriteProperties(bag);
    VQPointPropSheet restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(std::pair(restored.View(), restored.Readonly()), std::pair(int32_t(viewCategorized), true));

    bind();
    sheet->SetPropSheetEntries(nullptr);  // unbinding empties the grid, and is no error
    edit(*entries, "Span=0");
    EXPECT_EQ(view()->model()->rowCount(), 0);
    EXPECT_EQ(messages(), QStringList());
}

}  // namespace
