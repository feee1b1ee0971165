#include "BindableChecks.h"
#include "ErrorNumber.h"
#include "SheetTest.h"
#include "platform/ScreenServices.h"
#include "platform/SystemColors.h"

#include <QAbstractProxyModel>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>

#include <functional>

namespace vq::test {
namespace {

using Step = std::function<void(SheetTest&)>;
const Step nothing = [](SheetTest&) {};

const std::string kOverview =
    "(Tag) descriptor digitalset dignumber digstartcode exdesc pointsource pointtype ptclassname res";

TEST_F(SheetTest, ViewsSortFoldAndHideRows) {
    const std::string open =
        "[+Archive] [+Classic] [+Display] [-Overview] " + kOverview + " [+Security] [+System]";
    const std::string folded = "[+Archive] [+Classic] [+Display] [+Overview] [+Security] [+System]";
    // What happens, the view, steps before and after binding, and the rows shown.
    const std::tuple<const char*, int32_t, Step, Step, std::string> cases[] = {
        {"alphabetic: no category rows, by display name", viewAlphabetic, nothing, nothing, kOverview},
        {"categorized: entries under their category", viewCategorized, nothing, nothing, open},
        {"a view change re-sorts at once", viewCategorized, nothing,
         [](SheetTest& t) { t.sheet->SetView(viewAlphabetic); }, kOverview},
        {"a collapsed category hides its entries", viewCategorized,
         [](SheetTest& t) { t.entries->Categories().Item(Variant("Overview"))->SetCollapsed(true); }, nothing,
         folded},
        {"a sign click collapses its category, other columns do nothing", viewCategorized, nothing,
         [](SheetTest& t) { t.click("[Overview]", columnName), t.click("[Overview]", columnSign); }, folded},
        {"a double click on a category row does not fold it", viewCategorized, nothing,
         [](SheetTest& t) {
             QTest::mouseDClick(t.view()->viewport(), Qt::LeftButton, {},
                                t.cell("[Overview]", columnName).center());
         },
         open},
        {"a refill takes the categories' flags again", viewCategorized, nothing,
         [](SheetTest& t) { t.click("[Overview]", columnSign), t.sheet->SetPropSheetEntries(t.entries); },
         open},
        {"a category keeps its fold across a view change", viewCategorized, nothing,
         [](SheetTest& t) {
             t.click("[Overview]", columnSign), t.sheet->SetView(viewAlphabetic),
                 t.sheet->SetView(viewCategorized);
         },
         folded},
        {"an invisible entry stays hidden under an expanded category", viewCategorized, nothing,
         [](SheetTest& t) { t.entries->Item(Variant("Descriptor"))->SetVisible(false); },
         QString::fromStdString(open).remove(u" descriptor"_s).toStdString()},
        {"a new display name moves the row", viewAlphabetic, nothing,
         [](SheetTest& t) { t.entries->Item(Variant("ExDesc"))->SetDisplayName(u"aaa"_s); },
         "(Tag) aaa descriptor digitalset dignumber digstartcode pointsource pointtype ptclassname res"},
        {"an empty collection leaves only the header", viewCategorized,
         [](SheetTest& t) { t.entries = std::make_shared<PropSheetEntries>(); }, nothing, ""},
    };
    for (const auto& [behaviour, shownView, given, when, shown] : cases) {
        SCOPED_TRACE(behaviour);
        entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(reconnect(), u"classic"_s);
        given(*this);
        bind(shownView);
        when(*this);
        EXPECT_EQ(shownOverview(), shown);
        EXPECT_EQ(view()->isColumnHidden(columnSign), sheet->View() != viewCategorized);
        EXPECT_EQ(view()->columnWidth(columnSign), sheet->View() == viewCategorized ? twipsToPixels(275) : 0);
    }
}

TEST_F(SheetTest, ColumnsFollowTheViewAndTheControlNeverShrinksBelowItsMinimum) {
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

TEST_F(SheetTest, ReadOnlyCellsAreGreyAndInvalidValuesRedAfterAnEdit) {
    // What happens, the step after binding, the row and its colours.
    const std::tuple<const char*, Step, const char*, const char*> cases[] = {
        {"editable entry", nothing, "Descriptor", "fixed normal black"},
        {"read-only entry", nothing, "PointID", "fixed fixed black"},
        {"category row", nothing, "[Overview]", "fixed fixed black bold"},
        {"read-only sheet", [](SheetTest& t) { t.sheet->SetReadonly(true); }, "Descriptor",
         "fixed fixed black"},
        {"read-only override", [](SheetTest& t) { t.sheet->SetEntryReadOnly(u"Descriptor"_s, true); },
         "Descriptor", "fixed fixed black"},
        {"valid again after the next edit", [](SheetTest& t) { edit(*t.entries, "Span=0 Span=50"); }, "Span",
         "fixed normal black"},
        {"dependent redrawn on its display event",
         [](SheetTest& t) { edit(*t.entries, "Span=10 CompDev=20"); }, "CompDev", "fixed normal red"},
        {"a refill leaves invalid values black",
         [](SheetTest& t) { edit(*t.entries, "Span=0"), t.sheet->SetPropSheetEntries(t.entries); }, "Span",
         "fixed normal black"},
    };
    for (const auto& [behaviour, when, row, expected] : cases) {
        SCOPED_TRACE(behaviour);
        entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(reconnect(), u"classic"_s);
        delete sheet;
        sheet = new VQPointPropSheet(&form);
        bind(viewCategorized);
        when(*this);
        EXPECT_EQ(colours(at(row, columnName)), expected);
    }
}

// The two properties notify once per real change; Readonly marks only a real change, as it always
// did, and View marks every write. The sheet shows a collection: it has no single value.
TEST_F(SheetTest, ViewAndReadonlyNotifyOnlyOnARealChangeAndUnbindingIsNoError) {
    bind();
    EXPECT_EQ(writeTwice(*sheet, "View", int32_t(viewCategorized)), u"notify 1 1, marked 1 2"_s);
    EXPECT_EQ(writeTwice(*sheet, "Readonly", true), u"notify 1 1, marked 1 1"_s);
    EXPECT_EQ(silentProperties(VQPointPropSheet::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(userPropertyOf(VQPointPropSheet::staticMetaObject), QString());
    sheet->SetPropSheetEntries(nullptr);  // unbinding empties the grid, and is no error
    edit(*entries, "Span=0");
    EXPECT_EQ(view()->model()->rowCount(), 0);
    EXPECT_EQ(messages(), QStringList());
}

// True when some pixel inside `area` is plainly red (the text of an invalid value).
bool hasRedText(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (const QColor p = image.pixelColor(x, y); p.red() > 160 && p.green() < 100 && p.blue() < 100)
                return true;
    return false;
}

// The colours as painted, with the picture kept in $VQ_PROPSHEET_SHOTS for a person to look at.
TEST_F(SheetTest, ThePaintedGridShowsGreyReadOnlyCellsGridLinesAndRedInvalidValues) {
    sheet->resize(twipsToPixels(QSize(5000, 5200)));
    sheet->SetEntryReadOnly(u"Scan"_s, true);
    bind(viewCategorized);
    click("[Archive]", columnSign);
    edit(*entries, "Span=0");
    const QImage shot = sheet->grab().toImage();
    if (const QString folder = qEnvironmentVariable("VQ_PROPSHEET_SHOTS"); !folder.isEmpty())
        shot.save(folder + u"/propsheet-categorized.png"_s);
    EXPECT_EQ(shot.pixelColor(cell("Scan", columnValue).center()), systemColor(SystemColor::ButtonFace));
    EXPECT_EQ(shot.pixelColor(cell("Shutdown", columnValue).center()), systemColor(SystemColor::Window));
    const QRect name = cell("Scan", columnName);  // one grid line along each cell's right and bottom
    const QColor line = shot.pixelColor(name.right(), name.center().y());
    EXPECT_NE(line, shot.pixelColor(name.center()));
    EXPECT_EQ(shot.pixelColor(name.center().x(), name.bottom()), line);
    EXPECT_TRUE(hasRedText(shot, cell("Span", columnValue)));
    EXPECT_FALSE(hasRedText(shot, cell("Zero", columnValue)));
}

// One collection, three views: a receiver that fails, then an attribute editor and a sheet. The
// failure must not cost the later views the event, and must still reach the one who edited.
TEST_F(SheetTest, AViewThatFailsCostsTheOtherViewsNothingAndItsErrorReachesTheEditor) {
    QObject failing;
    QObject::connect(entries.get(), &PropSheetEntries::OnValueEdit, &failing, [this](PropSheetEntry*) {
        entries->receive([] { throw Error(errc::Unexpected, u"FailingView"_s, u"cannot show it"_s); });
    });
    auto* descriptor = new VQPointAttributeEdit(&form);
    descriptor->SetAttributeName(u"Descriptor"_s);
    descriptor->SetPropSheetEntries(entries);
    bind();

    const Error error = raised([&] { entries->SetValue(u"Descriptor"_s, Variant(u"Reactor feed"_s)); });
    EXPECT_EQ(error.number(), errc::Unexpected);
    EXPECT_TRUE(error.source().endsWith(u"\r\nFailingView"_s)) << error.source().toStdString();
    EXPECT_EQ(descriptor->Text(), u"Reactor feed"_s);
    EXPECT_EQ(text("Descriptor"), u"Reactor feed"_s);

    // The error is raised once: the next edit reaches every view as before.
    QObject::disconnect(entries.get(), nullptr, &failing, nullptr);
    entries->SetValue(u"Descriptor"_s, Variant(u"Reactor outlet"_s));
    EXPECT_EQ(descriptor->Text(), u"Reactor outlet"_s);
}

// A failure while the grid redraws a row is told with the sheet's context, unless it is an
// invalid argument; either way the row shows its new value. The failure is injected where the
// grid announces the changed row.
TEST_F(SheetTest, AFailureToRedrawARowIsToldUnlessItIsAnInvalidArgument) {
    for (const auto& [number, told] : {std::pair{errc::InvalidArgument, false}, {errc::Unexpected, true}}) {
        bind();
        // Below the view's sorting model, which must not be left half way through a change.
        QAbstractItemModel* rows = static_cast<QAbstractProxyModel*>(view()->model())->sourceModel();
        QObject failing;
        QObject::connect(rows, &QAbstractItemModel::dataChanged, &failing,
                         [&] { throw Error(number, u"FailingRepaint"_s, u"cannot paint"_s); });
        entries->SetValue(u"Span"_s, Variant(int32_t(number == errc::Unexpected ? 7 : 0)));
        QObject::disconnect(rows, nullptr, &failing, nullptr);
        EXPECT_EQ(!messages().isEmpty(), told);
    }
    for (const QString& message : messages())
        EXPECT_TRUE(message.startsWith(u"VQPointPropsheet:UpdateGrid\r\n"_s)) << message.toStdString();
    EXPECT_EQ(text("Span"), u"7"_s);
}

// Only the value cell of an editable entry opens the editor, which lies over the cell with its
// style's margin and width and puts the caret where the click was.
TEST_F(SheetTest, TheValueCellOpensTheEditorOverItWithItsStylesMarginsAndTheCaretWhereClicked) {
    const ScopedServices scrollBar(&ServicesContext::scrollBarWidth, [] { return std::optional<int>(17); });
    edit(*entries, "Descriptor=Boiler_feed");
    // What is clicked, the view (categorized: a taller sheet, all rows fit, no scroll bar), whether
    // the sheet is read-only, the row and column, the click's x in pixels; then the editor's margin
    // and width adjustment in twips and the caret it sets (-1: no editor opens).
    const std::tuple<const char*, int32_t, bool, const char*, int, int, int, int, int> cases[] = {
        {"name column", viewAlphabetic, false, "Descriptor", columnName, 4, 0, 0, -1},
        {"category row outside its sign", viewCategorized, false, "[Overview]", columnName, 4, 0, 0, -1},
        {"category row's value column", viewCategorized, false, "[Overview]", columnValue, 4, 0, 0, -1},
        {"read-only entry's value", viewAlphabetic, false, "PointID", columnValue, 4, 0, 0, -1},
        {"value under a read-only sheet", viewAlphabetic, true, "Descriptor", columnValue, 4, 0, 0, -1},
        {"text style, left of the text", viewAlphabetic, false, "Descriptor", columnValue, 1, 30, -60, 0},
        {"text style, right of the text", viewAlphabetic, false, "Descriptor", columnValue, 150, 30, -60, 11},
        {"list style", viewAlphabetic, false, "PointType", columnValue, 150, 0, -10, 0},
        {"categorized", viewCategorized, false, "Descriptor", columnValue, 150, 30, -60, 11}};
    for (const auto& [clicked, shownView, readonlySheet, row, column, x, margin, adjustment, caret] : cases) {
        SCOPED_TRACE(clicked);
        const bool categorized = shownView == viewCategorized;
        sheet->SetReadonly(readonlySheet);
        sheet->resize(twipsToPixels(QSize(5000, categorized ? 6000 : 4000)));
        bind(shownView);
        if (categorized)  // all but one category folded: the rows fit
            for (const char* category : {"[Archive]", "[Classic]", "[Display]", "[Security]", "[System]"})
                if (view()->isExpanded(at(category, columnSign))) click(category, columnSign);
        click(row, column, x);
        // Never opened for the rows that come first: no attribute at all.
        EXPECT_EQ(editor()->AttributeName(), caret < 0 ? QString() : QString::fromUtf8(row));
        ASSERT_EQ(editor()->isVisible(), caret >= 0);
        if (caret < 0) continue;
        const int width = 5000 - (categorized ? 275 : 0) - 1725 - (categorized ? 0 : GetScrollBarWidth());
        EXPECT_EQ(editor()->pos(), cell(row, columnValue).topLeft() + QPoint(twipsToPixels(margin), 0));
        EXPECT_NEAR(editor()->width(), (width + adjustment) / 15.0, 1.0);
        EXPECT_EQ(std::pair(editor()->SelStart(), editor()->SelLength()), std::pair(caret, 0));
    }
}

TEST_F(SheetTest, TheGridsFocusScrollingOrAClickElsewhereHidesTheEditor) {
    bind();
    sheet->SetHelpContextID(u"Span"_s, 4711);
    const std::function<void()> closers[] = {
        [this] { view()->setFocus(); },
        [this] { view()->verticalScrollBar()->setValue(3); },
        [this] { click("Descriptor", columnName); },
    };
    for (const auto& close : closers) {
        click("Span", columnValue);
        ASSERT_TRUE(editor()->isVisible() && editor()->isAncestorOf(QApplication::focusWidget()));
        EXPECT_EQ(sheet->HelpContextID(), 4711);
        QApplication::focusWidget()->setProperty("text", QString());
        close();
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), view());
    }
    EXPECT_EQ(sheet->HelpContextID(), VQPointPropSheet::kDefaultHelpContextID);

    // One editor at a time: a click on another value moves it there.
    click("Span", columnValue);
    click("Descriptor", columnValue);
    EXPECT_TRUE(editor()->isVisible() && editor()->AttributeName() == u"Descriptor"_s);

    // Without an open editor a scroll (a refill, say) leaves the focus in the host's other controls.
    before->setFocus();
    view()->verticalScrollBar()->setValue(0);
    EXPECT_EQ(QApplication::focusWidget(), before);
}

}  // namespace
}  // namespace vq::test
