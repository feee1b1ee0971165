#include "AccessibleWalk.h"
#include "SampleServers.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"

#include <QApplication>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableView>

namespace vq::test {
namespace {

using TagSearchAccessibilityTest = SampleServersTest;

// Both pages of the point search, with results listed, and the digital set search are announced
// item by item: every field, list, button, tab, pick list and result cell the keyboard reaches has
// a name and a description.
TEST_F(TagSearchAccessibilityTest, EveryFocusableItemHasAnAccessibleNameAndDescription) {
    VQTagSearch search;
    search.resize(900, 640);
    search.show();
    search.SetSelectedServers(names({u"vqsouth"_s}));
    search.SetTagMask(u"B01*"_s);
    search.search();
    ASSERT_GT(search.findChild<QTableView*>()->model()->rowCount(), 0);
    EXPECT_EQ(unnamedFocusables(&search).join(u'\n'), QString());
    auto* mask = search.findChild<QLineEdit*>(u"txtTagMask"_s);  // speaks with its label's caption
    EXPECT_EQ(QAccessible::queryAccessibleInterface(mask)->text(QAccessible::Name), u"Tag Mask"_s);
    search.findChild<QTabWidget*>(u"SSTab1"_s)->setCurrentIndex(1);
    EXPECT_EQ(unnamedFocusables(&search).join(u'\n'), QString());

    VQDigSetSearch sets;
    sets.resize(700, 480);
    sets.SetCurrentServer(servers()->Item(u"vqsouth"_s));
    sets.show();
    EXPECT_EQ(unnamedFocusables(&sets).join(u'\n'), QString());
}

}  // namespace
}  // namespace vq::test
