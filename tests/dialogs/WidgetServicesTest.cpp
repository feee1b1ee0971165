#include "dialogs/WidgetServices.h"

#include "SampleServers.h"
#include "core/MessageService.h"
#include "dialogs/DialogServices.h"
#include "dialogs/TagwrightDlgs.h"
#include "editors/VQPointAttributeEdit.h"
#include "platform/AttributeSearchDialogs.h"
#include "platform/MessageBoxService.h"
#include "platform/PointPropertyDialogs.h"
#include "platform/ServicesContext.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkConnectDialog.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"
#include "servers/MultiServerPickList.h"
#include "servers/WidgetConnectDialog.h"

#include <gtest/gtest.h>

namespace vq::test {
namespace {

// What the context holds of the library's windows: "messages=box logon=windowed dialogs=library".
std::string windows() {
    const ServicesContext& context = services();
    const bool box = dynamic_cast<MessageBoxService*>(&messageService()) != nullptr;
    const bool windowed = dynamic_cast<WidgetConnectDialog*>(SdkConnectDialog::create().get()) != nullptr;
    // One object answers both seams when the library's dialogs are in.
    const bool library =
        context.searchDialogs && dynamic_cast<PointPropertyDialogs*>(context.searchDialogs.get()) ==
                                     context.pointPropertyDialogs.get();
    return std::string("messages=") + (box ? "box" : "other") +
           " logon=" + (windowed ? "windowed" : "headless") + " dialogs=" +
           (library                 ? "library"
            : context.searchDialogs ? "other"
                                    : "none");
}

class WidgetServicesTest : public SampleServersTest {
protected:
    // Whatever an earlier test left, each starts without the library's windows.
    const ScopedServices bare{[](ServicesContext& context) {
        context.messages = nullptr;
        context.connectDialog = nullptr;
        context.searchDialogs = nullptr;
        context.pointPropertyDialogs = nullptr;
    }};
};

// Making any of the library's widgets or its dialogs object installs nothing: only a host does.
TEST_F(WidgetServicesTest, MakingWidgetsInstallsNothing) {
    {
        VQPointPropSheet sheet;
        VQPointAttributeEdit edit;
        VQTagSearch tagSearch;
        VQDigSetSearch setSearch;
        MultiServerPickList pickList;
        TagwrightDlgs dialogs;
    }
    EXPECT_EQ(windows(), "messages=other logon=headless dialogs=none");
}

// installWidgetServices() brings every window of the library at once and keeps the rest of the
// context; the scope around it gives the previous context back.
TEST_F(WidgetServicesTest, InstallBringsEveryWindowAndKeepsTheRest) {
    {
        const ScopedServices pinned(&ServicesContext::logicalDpi, 123.0);
        installWidgetServices();
        EXPECT_EQ(windows(), "messages=box logon=windowed dialogs=library");
        EXPECT_EQ(services().logicalDpi, 123.0);
    }
    EXPECT_EQ(windows(), "messages=other logon=headless dialogs=none");
    const ScopedServices dialogsOnly(useLibraryDialogs);
    EXPECT_EQ(windows(), "messages=other logon=headless dialogs=library");
}

}  // namespace
}  // namespace vq::test
