// One clear message per problem: the Point Builder leads with what went wrong, says what the user
// was doing, keeps the library's text under the details, and shows nothing after a cancelled log-on.
#include "PointBuilderMessages.h"
#include "PointBuilderTestSupport.h"
#include "sdk/SdkErrors.h"
#include "servers/WidgetConnectDialog.h"

#include <QMessageBox>

namespace vq::test {
namespace {

TEST(PointBuilderMessages, AProblemLeadsWithItsDescriptionAndKeepsTheLibrarysTextUnderTheDetails) {
    // what went wrong, what the user was doing, what is shown: text | informative text | details
    const std::tuple<ErrorMessage, const char*, const char*> cases[] = {
        {{u"PropSheetEntries:SaveEdits\r\nThe point \"X\" was not changed\r\n-2147220472\r\n"_s,
          u"PropSheetEntries:SaveEdits"_s, u"The point \"X\" was not changed\r\nSpan: must not be 0"_s,
          sdkerr::AttributesRefused},
         "saving X on plant",
         "The point \"X\" was not changed | This happened while saving X on plant. | "
         "PropSheetEntries:SaveEdits\nThe point \"X\" was not changed\n-2147220472\n\n"
         "Number: -2147220472 (0x80040408)"},
        {{u"VQTagSearch:Search\r\n\r\n5"_s, u"VQTagSearch:Search"_s, QString(), errc::InvalidArgument},
         "",
         "Something went wrong (error 5). |  | VQTagSearch:Search\n\n5\n\nNumber: 5 (0x5)"},
    };
    for (const auto& [error, doingText, shown] : cases) {
        SCOPED_TRACE(doingText);
        std::optional<PointBuilderMessages::Doing> doing;
        if (*doingText) doing.emplace(QString::fromUtf8(doingText));
        const std::unique_ptr<QMessageBox> box = PointBuilderMessages::createErrorBox(error);
        EXPECT_EQ(box->text() + u" | "_s + box->informativeText() + u" | "_s + box->detailedText(),
                  QString::fromUtf8(shown));
    }
    ModalDriver modals;  // none planned: a box would be closed and told
    PointBuilderMessages().showError(
        {u"VQTagSearch:ConnectOnSelect"_s, QString(), u"refused"_s, sdkerr::LogonFailed});
    EXPECT_EQ(modals.faults(), "");
}

// Cancel in the log-on window is the user's choice: the save ends there, told in the status bar.
TEST_F(PointBuilderTest, CancelInTheLogOnWindowDuringASaveShowsNothingMore) {
    const ScopedServices windows(&ServicesContext::connectDialog,
                                 [] { return std::make_shared<WidgetConnectDialog>(); });
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
    reconnect()->setPassword(u"vqadmin"_s, u"secret"_s);
    window->entries()->Server()->Close();
    modals.then(u"frmLogon"_s, [](QWidget* logon) { static_cast<QDialog*>(logon)->reject(); });
    EXPECT_FALSE(window->save());
    EXPECT_EQ(messages(), QStringList());
    EXPECT_TRUE(statusSays(*window, "Not saved: Boiler.Temp (not logged on to plant)"));
    EXPECT_EQ(values(*window->entries(), "Descriptor"), "Descriptor=Mine");
}

}  // namespace
}  // namespace vq::test
