#include "SheetTest.h"

namespace vq::test {
namespace {

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

    try {
        entries->SetValue(u"Descriptor"_s, Variant(u"Reactor feed"_s));
        ADD_FAILURE() << "the failing view's error did not reach the caller";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), errc::Unexpected);
        EXPECT_TRUE(error.source().endsWith(u"\r\nFailingView"_s)) << error.source().toStdString();
    }
    EXPECT_EQ(entries->GetValue(u"Descriptor"_s).toString(), u"Reactor feed"_s);
    EXPECT_EQ(descriptor->Text(), u"Reactor feed"_s);
    EXPECT_EQ(grid().TextMatrix(row("Descriptor"), PropSheetGridRow::kValueColumn), u"Reactor feed"_s);

    // The error is raised once: the next edit reaches every view as before.
    QObject::disconnect(entries.get(), nullptr, &failing, nullptr);
    entries->SetValue(u"Descriptor"_s, Variant(u"Reactor outlet"_s));
    EXPECT_EQ(descriptor->Text(), u"Reactor outlet"_s);
}

// Colouring a row only decorates it: a failure there shows no message, and the row still takes
// its new value and its place. The failure is injected where the grid announces the recoloured row.
TEST_F(SheetTest, AFailureToColourARowIsSilent) {
    bind();
    QObject failing;
    QObject::connect(&grid(), &QAbstractItemModel::dataChanged, &failing,
                     [] { throw Error(errc::Unexpected, u"FailingRepaint"_s, u"cannot paint"_s); });
    entries->SetValue(u"Span"_s, Variant(int32_t(0)));
    QObject::disconnect(&grid(), nullptr, &failing, nullptr);
    EXPECT_EQ(messages(), QStringList());
    EXPECT_EQ(grid().TextMatrix(row("Span"), PropSheetGridRow::kValueColumn), u"0"_s);
}

}  // namespace
}  // namespace vq::test
