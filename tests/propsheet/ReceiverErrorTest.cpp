#include "SheetTest.h"

#include <QAbstractProxyModel>

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
    const struct {
        int32_t number;
        bool told;
    } cases[] = {{errc::InvalidArgument, false}, {errc::Unexpected, true}};
    for (const auto& c : cases) {
        bind();
        // Below the view's sorting model, which must not be left half way through a change.
        QAbstractItemModel* rows = static_cast<QAbstractProxyModel*>(view()->model())->sourceModel();
        QObject failing;
        QObject::connect(rows, &QAbstractItemModel::dataChanged, &failing,
                         [&] { throw Error(c.number, u"FailingRepaint"_s, u"cannot paint"_s); });
        entries->SetValue(u"Span"_s, Variant(int32_t(c.number == errc::Unexpected ? 7 : 0)));
        QObject::disconnect(rows, nullptr, &failing, nullptr);
        EXPECT_EQ(!messages().isEmpty(), c.told);
    }
    for (const QString& message : messages())
        EXPECT_TRUE(message.startsWith(u"VQPointPropsheet:UpdateGrid\r\n"_s)) << message.toStdString();
    EXPECT_EQ(text("Span"), u"7"_s);
}

}  // namespace
}  // namespace vq::test
