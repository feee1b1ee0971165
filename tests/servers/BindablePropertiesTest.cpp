#include "BindableChecks.h"
#include "SampleServers.h"
#include "servers/MultiServerPickList.h"

namespace vq::test {
namespace {

using PickListBindingTest = SampleServersTest;

// The choice is the pick list's value: Designer, QDataWidgetMapper and bindings follow it by its
// names, and it notifies only when the chosen servers really change.
TEST_F(PickListBindingTest, TheChoiceIsTheUserPropertyAndNotifiesOnlyRealChanges) {
    MultiServerPickList list;
    list.InitProperties();
    EXPECT_EQ(userPropertyOf(*list.metaObject()), u"SelectedServerNames"_s);
    EXPECT_EQ(silentProperties(MultiServerPickList::staticMetaObject).join(u' '), QString());

    // The selection marks its property only on a change, as it always did.
    EXPECT_EQ(writeTwice(list, "SelectedServerNames", QStringList{u"vqnorth"_s, u"vqsouth"_s}),
              u"notify 1 1, marked 1 1"_s);
    EXPECT_EQ(writeTwice(list, "Enabled", !list.Enabled()), u"notify 1 1, marked 1 2"_s);
}

}  // namespace
}  // namespace vq::test
