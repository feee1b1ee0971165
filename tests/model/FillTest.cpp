#include "ModelTestSupport.h"

#include "sdk/SdkAttributeSets.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPointType.h"

#include <thread>

using namespace vq;
using namespace vq::test;

namespace {

using FillTest = ModelTest;

// "Name:Category" for each of `names`.
std::string categoriesOf(PropSheetEntries& entries, const char* names) {
    QStringList parts;
    for (const QString& name : QString::fromUtf8(names).split(u' '))
        parts << name + u':' + entries.Item(Variant(name))->CategoryName();
    return parts.join(u' ').toStdString();
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

TEST_F(FillTest, ListsAndDisplaysBeforeEditsReadWhenFirstAskedForAreThoseOfTheLoadedPoint) {
    // Given a stored point whose owner placeholder reads as the user, loaded for editing
    auto server = makeServer();
    storePoint(*server, u"Level"_s, u"classic"_s, pointtype::Float32);
    auto entries = std::make_unique<PropSheetEntries>();
    entries->AddAttributesForPoint(server->Points()->Item(u"Level"_s));
    const PropSheetEntryPtr owner = entries->Item(Variant(u"PtOwner"_s));
    const PropSheetEntryPtr compDev = entries->Item(Variant(u"CompDev"_s));
    const PropSheetEntryPtr type = entries->Item(Variant(u"PointType"_s));

    // When the deviation is shown in per cent and a host empties the type list before asking
    entries->SetValue(u"CompDevPercent"_s, 4);
    type->ValueList().Clear();

    // Then the displays before edits are those of the values as loaded, with the lists they had
    EXPECT_EQ(compDev->DisplayValueBeforeEdits(), Variant(u"0.2  Eng. Units"_s));
    EXPECT_EQ(compDev->GetDisplayValue(), u"4  % of Span"_s);
    EXPECT_EQ(type->DisplayValueBeforeEdits(), Variant(u"Float32"_s));
    EXPECT_EQ(type->GetDisplayValue(), u"NotFound"_s);

    // And an owner kept past its collection still reads the server's users
    entries.reset();
    EXPECT_EQ(owner->GetValueBeforeEdits(), Variant(u"vqadmin"_s));
    EXPECT_EQ(owner->DisplayValueBeforeEdits(), Variant(u"vqadmin"_s));
    EXPECT_EQ(owner->ValueList().GetIndexByName(u"vqadmin"_s), 0);
    EXPECT_GT(owner->ValueList().Count(), 0);
    EXPECT_EQ(messages(), QStringList());
}

TEST_F(FillTest, EntriesOfAThreadThatEndedOutliveItAndFillsThereMatchFillsHere) {
    // Given a point filled on a worker thread, one of its entries kept when the thread ends
    auto server = makeServer();
    storePoint(*server, u"Level"_s, u"classic"_s, pointtype::Float32);
    const SdkPointPtr point = server->Points()->Item(u"Level"_s);
    PropSheetEntryPtr kept;
    std::string there;
    std::thread([&] {
        PropSheetEntries entries;
        entries.AddAttributesForPoint(point);
        there = values(entries, "Span PtOwner CreationDate Location4");
        kept = entries.Item(Variant(u"Span"_s));
    }).join();

    // Then the same point filled here reads the same, and the kept entry still reads and goes
    PropSheetEntries here;
    here.AddAttributesForPoint(point);
    EXPECT_EQ(values(here, "Span PtOwner CreationDate Location4"), there);
    EXPECT_EQ(kept->GetDisplayValue(), u"100"_s);
    kept.reset();
    EXPECT_EQ(messages(), QStringList());
}

TEST_F(FillTest, ReadingEveryAttributeVisitsWhatAllListsInOrder) {
    auto server = makeServer();
    const SdkPointPtr point = storePoint(*server, u"Level"_s, u"classic"_s, pointtype::Float32);
    for (const SdkPointAttributesPtr& attributes :
         {point->PointAttributes(),
          server->PointClasses()->Item(u"classic"_s)->AttributeSets()->Item(u"base"_s)}) {
        QStringList visited;
        attributes->ForEach(
            [&](const QString& name, const Variant& value) { visited << name + u'=' + value.toString(); });
        QStringList listed;
        for (const SdkPointAttributePtr& attribute : attributes->All())
            listed << attribute->Name() + u'=' + attribute->Value().toString();
        EXPECT_EQ(visited, listed);
        EXPECT_GT(visited.size(), 30);
    }
}

}  // namespace
