#include "BindableChecks.h"
#include "SampleServers.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace vq::test {
namespace {

using SearchBindingTest = SampleServersTest;

constexpr auto kChangeOnce = "notify 1 1, marked 1 2";      // the setter marks every write
constexpr auto kChangeUnmarked = "notify 1 1, marked 0 0";  // the setter never marks

struct Write {
    const char* property;
    QVariant value;  // invalid: the opposite of what the flag is
    const char* expected;
};

// Every property of both searches notifies once per real change and not when written again;
// the tag search's masks are what the user types, so its tag mask is the value a host binds.
TEST_F(SearchBindingTest, SearchPropertiesNotifyOnceAndTheTagMaskIsTheUserProperty) {
    VQTagSearch tagSearch;
    VQDigSetSearch digsetSearch;
    const Write tagWrites[] = {
        {"SearchResultsMultiselect", {}, kChangeOnce},
        {"VQServerPickListEnabled", {}, kChangeOnce},
        {"TagMask", u"FIC*"_s, kChangeOnce},
        {"DescriptorMask", u"*flow*"_s, kChangeOnce},
        {"PointSourceMask", u"R"_s, kChangeOnce},
        {"EngineeringUnitsMask", u"m3/h"_s, kChangeOnce},
        {"ValueMask", u"1*"_s, kChangeOnce},
        {"PointTypeMask", 2, kChangeOnce},
        {"TagSearchView", 1, kChangeOnce},
        {"AdvancedWhereClause", u"tag = 'FIC101'"_s, kChangeOnce},
        {"SQLTableComboIndex", 1, kChangeUnmarked},
        {"SQLConditionComboIndex", 2, kChangeUnmarked},
        {"AdvancedSQLValue", u"42"_s, kChangeUnmarked},
    };
    for (const Write& write : tagWrites) {
        const QVariant value =
            write.value.isValid() ? write.value : !tagSearch.property(write.property).toBool();
        EXPECT_EQ(writeTwice(tagSearch, write.property, value), QString::fromLatin1(write.expected))
            << write.property;
    }
    for (const char* flag : {"MultiSelect", "FixOnCurrentServer"})
        EXPECT_EQ(writeTwice(digsetSearch, flag, !digsetSearch.property(flag).toBool()),
                  QString::fromLatin1(kChangeOnce))
            << flag;
    EXPECT_EQ(silentProperties(VQTagSearch::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(silentProperties(VQDigSetSearch::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(userPropertyOf(VQTagSearch::staticMetaObject), u"TagMask"_s);
    // It picks sets rather than holding a value of its own.
    EXPECT_EQ(userPropertyOf(VQDigSetSearch::staticMetaObject), QString());
}

// The masks and the clause are read from the boxes on screen: what the user types notifies as a
// setter does, and a clause written again unchanged stays silent although its box reports a change.
TEST_F(SearchBindingTest, TypingInTheSearchBoxesNotifies) {
    VQTagSearch search;
    search.show();
    QSignalSpy view(&search, &VQTagSearch::TagSearchViewChanged);
    QSignalSpy clause(&search, &VQTagSearch::AdvancedWhereClauseChanged);
    auto* box = search.findChild<QLineEdit*>(u"txtTagMask"_s);
    box->clear();
    QSignalSpy tagMask(&search, &VQTagSearch::TagMaskChanged);
    QTest::keyClicks(box, u"FI*"_s);
    EXPECT_EQ(tagMask.count(), 3);
    EXPECT_EQ(search.TagMask(), u"FI*"_s);
    search.findChild<QTabWidget*>(u"SSTab1"_s)->setCurrentIndex(1);
    EXPECT_EQ(view.count(), 1);
    search.SetAdvancedWhereClause(u"tag = 'A'"_s);
    search.SetAdvancedWhereClause(u"tag = 'A'"_s);
    EXPECT_EQ(clause.count(), 1);
}

}  // namespace
}  // namespace vq::test
