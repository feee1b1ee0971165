#include "ModelTestSupport.h"

#include "sdk/SdkErrors.h"
#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;

namespace {

using StaleEditTest = ModelTest;

// Two engineers have the same point open, each through a connection of their own.
TEST_F(StaleEditTest, ASaveOverAPointChangedSinceItWasReadIsRefusedUntilTheNewerPointIsRead) {
    auto server = makeServer();
    storePoint(*server, u"U1-TI-1"_s, u"classic"_s, pointtype::Float32);
    auto first = std::make_shared<PropSheetEntries>();
    first->AddAttributesForPoint(server->Points()->Item(u"U1-TI-1"_s));
    auto second = std::make_shared<PropSheetEntries>();
    second->AddAttributesForPoint(reconnect()->Points()->Item(u"U1-TI-1"_s));

    // One's own saves never count as someone else's change.
    edit(*first, "Descriptor=first");
    ASSERT_TRUE(first->SaveEdits());
    edit(*first, "Descriptor=again");
    ASSERT_TRUE(first->SaveEdits());

    edit(*second, "Descriptor=second EngUnits=degC");
    EXPECT_FALSE(second->SaveEdits());
    ASSERT_FALSE(messages().isEmpty());
    EXPECT_TRUE(messages().last().contains(u"was changed by vqadmin at"_s))
        << messages().last().toStdString();
    EXPECT_TRUE(messages().last().contains(QString::number(sdkerr::PointChanged)));
    EXPECT_EQ(storedValues(server, u"U1-TI-1"_s, "Descriptor EngUnits"), "Descriptor=again EngUnits=");
    EXPECT_EQ(values(*second, "Descriptor EngUnits"), "Descriptor=second EngUnits=degC");
    EXPECT_TRUE(second->AreValuesEdited());

    // Having read the newer point, the second engineer saves the edits over it.
    second->Point()->PointAttributes()->LoadAll();
    EXPECT_TRUE(second->SaveEdits());
    EXPECT_EQ(storedValues(server, u"U1-TI-1"_s, "Descriptor EngUnits"), "Descriptor=second EngUnits=degC");

    edit(*first, "Descriptor=third");
    EXPECT_FALSE(first->SaveEdits());
}

}  // namespace
