#include "BindableChecks.h"
#include "SheetTest.h"

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// The sheet's two properties notify once per real change; Readonly marks only a real change, as
// it always did, and View marks every write. The sheet shows a collection: it has no single value.
TEST_F(SheetTest, BindableViewAndReadonlyNotifyOnlyOnARealChange) {
    bind();
    EXPECT_EQ(writeTwice(*sheet, "View", int32_t(viewCategorized)), u"notify 1 1, marked 1 2"_s);
    EXPECT_EQ(writeTwice(*sheet, "Readonly", true), u"notify 1 1, marked 1 1"_s);
    EXPECT_EQ(silentProperties(VQPointPropSheet::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(userPropertyOf(VQPointPropSheet::staticMetaObject), QString());
}

}  // namespace
