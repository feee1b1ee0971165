#include "ModelTestSupport.h"

#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;

namespace {

using FillTest = ModelTest;

// "Name:Category" for each of `names`.
std::string categoriesOf(PropSheetEntries& entries, const char* names) {
    return each(
        names, [&](const QString& name) { return entries.Item(Variant(name))->CategoryName(); }, u':');
}

TEST_F(FillTest, EachServerAndClassIsFilledWithItsOwnSetsAndCategoriesHoweverTheFillsInterleave) {
    // Given a VQ3 server with a classic and a totalizer point, and a VQ2 server with a classic one
    auto vq3 = makeServer();
    storePoint(*vq3, u"Flow"_s, u"classic"_s, pointtype::Float32);
    storePoint(*vq3, u"Total"_s, u"totalizer"_s, pointtype::Float32);
    auto vq2 = makeServer(u"VQ2"_s, u"VQ 2.08"_s, u"old"_s);
    SdkNamedValues equation;
    equation.Add(u"PointSource"_s, u"C"_s);
    storePoint(*vq2, u"Calc"_s, u"classic"_s, pointtype::Float32, equation);
    const auto fill = [](const std::shared_ptr<ArchiveServer>& server, const char16_t* tag) {
        auto entries = std::make_unique<PropSheetEntries>();
        entries->AddAttributesForPoint(server->Points()->Item(QString::fromUtf16(tag)));
        return entries;
    };

    // When the points are filled in turn, the first class twice
    for (int round = 0; round < 2; ++round) {
        auto classic = fill(vq3, u"Flow");
        EXPECT_EQ(categoriesOf(*classic, "Location1 Span PtOwner Descriptor"),
                  "Location1:Classic Span:Archive PtOwner:Security Descriptor:Overview");
        EXPECT_EQ(classic->GetAttributeSetName(u"Location1"_s), u"classic"_s);
        EXPECT_EQ(categoriesText(classic->Categories()),
                  "Overview- Display+ System+ Archive+ Security+ Classic+");
        auto totalizer = fill(vq3, u"Total");
        EXPECT_FALSE(totalizer->Exists(Variant(u"Location1"_s)));
        EXPECT_EQ(categoriesOf(*totalizer, "Period SourceTag"), "Period:Totalizer SourceTag:Overview");
        auto old = fill(vq2, u"Calc");
        // Then the VQ2 point's source still moves its equation attributes
        EXPECT_EQ(categoriesOf(*old, "Location1 Clamp Period"),
                  "Location1:Classic Clamp:Equation Period:Equation");
        EXPECT_EQ(categoriesText(old->Categories()),
                  "Overview- Display+ System+ Classic+ Archive+ Equation+");
    }
    EXPECT_EQ(messages(), QStringList());
}

TEST_F(FillTest, ListsAndDisplaysBeforeEditsAreThoseOfTheLoadedPointAndEntriesOutliveTheCollectionReadOnly) {
    // Given a stored point whose owner placeholder reads as the user, loaded for editing
    auto server = makeServer();
    storePoint(*server, u"Level"_s, u"classic"_s, pointtype::Float32);
    auto entries = std::make_unique<PropSheetEntries>();
    entries->AddAttributesForPoint(server->Points()->Item(u"Level"_s));
    const PropSheetEntryPtr owner = entries->Item(Variant(u"PtOwner"_s));
    const PropSheetEntryPtr compDev = entries->Item(Variant(u"CompDev"_s));
    const PropSheetEntryPtr type = entries->Item(Variant(u"PointType"_s));
    const std::weak_ptr<PropSheetEntry> watched = entries->Item(Variant(u"Zero"_s));

    // When the deviation is shown in per cent and a host empties the type list before asking
    entries->SetValue(u"CompDevPercent"_s, 4);
    type->ValueList().Clear();

    // Then the displays before edits are those of the values as loaded, with the lists they had
    EXPECT_EQ(compDev->DisplayValueBeforeEdits(), Variant(u"0.2  Eng. Units"_s));
    EXPECT_EQ(type->DisplayValueBeforeEdits(), Variant(u"Float32"_s));
    EXPECT_EQ(compDev->GetDisplayValue() + u'|' + type->GetDisplayValue(), u"4  % of Span|NotFound"_s);

    // When the collection goes, then an entry merely watched goes with it: no cycle holds it
    entries.reset();
    EXPECT_TRUE(watched.expired());
    // And entries kept past it still read, the owner even the server's users
    EXPECT_TRUE(compDev->IsValueEdited());
    EXPECT_EQ(owner->GetValueBeforeEdits(), Variant(u"vqadmin"_s));
    EXPECT_EQ(owner->DisplayValueBeforeEdits(), Variant(u"vqadmin"_s));
    EXPECT_EQ(owner->ValueList().GetIndexByName(u"vqadmin"_s), 0);
    EXPECT_GT(owner->ValueList().Count(), 0);
    EXPECT_EQ(messages(), QStringList());
    // But refuse edits by name rather than reaching freed memory
    const Error gone = raised([&] { compDev->SetValue(5); });
    EXPECT_TRUE(gone.description().contains(u"\"CompDev\" can no longer be edited"_s))
        << gone.description().toStdString();
    EXPECT_THROW(compDev->SetPendingValue(5), Error);
}

}  // namespace
