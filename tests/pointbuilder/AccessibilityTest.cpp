#include "AccessibleWalk.h"
#include "PointBuilderTestSupport.h"

#include <QLineEdit>

namespace vq::test {
namespace {

// A screen reader names every field, list, button, tab and grid cell of the Point Builder that
// the keyboard reaches, with the point open so that the sheets' cells and editors exist.
TEST_F(PointBuilderTest, EveryFocusableItemHasAnAccessibleNameAndDescription) {
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    QApplication::processEvents();  // the sheets lay their rows out, as before a reader asks
    EXPECT_EQ(unnamedFocusables(window.get()).join(u'\n'), QString());
    // Fields are named by their captions, without the colon a reader would pause on.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(window->findChild<QLineEdit*>(u"txtTag"_s))
                  ->text(QAccessible::Name),
              u"Tag"_s);
    // A value cell names its attribute as well, since a reader moves cell by cell.
    auto* sheet = window->findChild<VQPointPropSheet*>(u"sheetAlphabetic"_s);
    auto* grid = sheet->findChild<QTreeView*>(u"MSHFlexGrid1"_s);
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
    ASSERT_NE(table, nullptr);
    const QModelIndex value = sheet->cellIndex(u"Descriptor"_s, columnValue);
    QAccessibleInterface* cell = table->cellAt(value.row(), value.column());
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), u"descriptor: Boiler temperature"_s);
    EXPECT_EQ(cell->text(QAccessible::Description), u"Attribute, editable"_s);
    // The in-place editor of a value cell speaks for its attribute.
    ASSERT_NE(clickValueCell(*sheet, u"Descriptor"_s), nullptr);
    EXPECT_EQ(unnamedFocusables(window.get()).join(u'\n'), QString());
}

}  // namespace
}  // namespace vq::test
