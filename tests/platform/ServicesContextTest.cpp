#include "platform/ServicesContext.h"

#include "archive/server/ArchiveApplication.h"
#include "core/RecordingMessageService.h"
#include "platform/FormRegistry.h"
#include "platform/HelpViewer.h"
#include "platform/MessageBoxService.h"
#include "platform/ScreenServices.h"
#include "platform/Twips.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkConnectDialog.h"

#include <QCursor>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace vq;

namespace {

class NoHelp : public HelpViewer {
public:
    long long showTopic(const QString&, int) override { return 0; }
};

// What the widgets would read, as one line: "dpi=96 help=own mouse=cursor scroll=style forms=thread".
std::string readings(const FormRegistry& threadForms) {
    const QString help = dynamic_cast<DesktopHelpViewer*>(&helpViewer()) ? u"desktop"_s : u"own"_s;
    const QPoint mouse = mousePosition();
    const QString mouseText =
        mouse == QCursor::pos() ? u"cursor"_s : u"%1,%2"_s.arg(mouse.x()).arg(mouse.y());
    const std::optional<int> scroll = scrollBarWidthPixels();
    const QString scrollText = !scroll                     ? u"none"_s
                               : services().scrollBarWidth ? QString::number(*scroll)
                                                           : u"style"_s;
    const QString forms = &FormRegistry::current() == &threadForms ? u"thread"_s : u"own"_s;
    return u"dpi=%1 help=%2 mouse=%3 scroll=%4 forms=%5"_s.arg(logicalDpi())
        .arg(help, mouseText, scrollText, forms)
        .toStdString();
}

class WindowedLogon : public HeadlessConnectDialog {};

bool windowedLogon() {
    return dynamic_cast<WindowedLogon*>(SdkConnectDialog::create().get()) != nullptr;
}

// Counts the applications it makes, so a test sees when the server library was made anew.
struct CountingFactory {
    int made = 0;
    SdkApplicationFactory factory() {
        return [this] {
            ++made;
            return std::make_shared<ArchiveApplication>();
        };
    }
};

}  // namespace

// Given a context with built-in answers, when scopes change parts of it, then each scope sees
// its change on top of the outer one and leaves the outer one exactly as it found it.
TEST(ServicesContextTest, ScopesNestAndRestoreWhatTheyChanged) {
    FormRegistry& threadForms = FormRegistry::current();
    const double screenDpi = logicalDpi();
    const std::string builtIn = readings(threadForms);
    ASSERT_EQ(builtIn,
              u"dpi=%1 help=desktop mouse=cursor scroll=style forms=thread"_s.arg(screenDpi).toStdString());
    FormRegistry ownForms;
    {
        const ScopedServices outer([](ServicesContext& context) {
            context.logicalDpi = 200;
            context.helpViewer = std::make_shared<NoHelp>();
        });
        {
            const ScopedServices inner([&](ServicesContext& context) {
                context.mousePosition = [] { return QPoint(-7, -9); };
                context.scrollBarWidth = [] { return 17; };
                context.formRegistry = [&]() -> FormRegistry& { return ownForms; };
            });
            EXPECT_EQ(readings(threadForms), "dpi=200 help=own mouse=-7,-9 scroll=17 forms=own");
        }
        EXPECT_EQ(readings(threadForms), "dpi=200 help=own mouse=cursor scroll=style forms=thread");
        const ScopedServices pinned(&ServicesContext::logicalDpi, 96.0);
        EXPECT_EQ(readings(threadForms), "dpi=96 help=own mouse=cursor scroll=style forms=thread");
    }
    EXPECT_EQ(readings(threadForms), builtIn);
}

// The message service, log-on dialog and server library live below the widgets: a context hands
// them down when they change, leaves alone what a lower layer installed itself, and gives it back
// when the context lets go.
TEST(ServicesContextTest, HandsDownWhatChangedAndGivesBackWhatWasBelow) {
    const ScopedMessageRecorder recorder;
    CountingFactory below, own;
    SdkApplication::setFactory(below.factory());
    SdkConnectDialog::setFactory(nullptr);
    const SdkApplicationPtr first = SdkApplication::instance();
    {
        const ScopedServices pinned(&ServicesContext::logicalDpi, 96.0);
        EXPECT_NE(dynamic_cast<RecordingMessageService*>(&messageService()), nullptr);
        EXPECT_EQ(SdkApplication::instance(), first) << "an unchanged server library keeps its state";
    }
    {
        const ScopedServices windows([&](ServicesContext& context) {
            context.messages = std::make_shared<MessageBoxService>();
            context.connectDialog = [] { return std::make_shared<WindowedLogon>(); };
            context.application = std::make_shared<const SdkApplicationFactory>(own.factory());
        });
        EXPECT_NE(dynamic_cast<MessageBoxService*>(&messageService()), nullptr);
        EXPECT_TRUE(windowedLogon());
        EXPECT_NE(SdkApplication::instance(), first);
        EXPECT_EQ(own.made, 1);
        const ScopedServices pinned(&ServicesContext::logicalDpi, 96.0);
        SdkApplication::instance();
        EXPECT_EQ(own.made, 1) << "an unchanged factory is not handed down again";
    }
    EXPECT_NE(dynamic_cast<RecordingMessageService*>(&messageService()), nullptr);
    EXPECT_FALSE(windowedLogon());
    SdkApplication::instance();
    EXPECT_EQ(below.made, 2) << "the factory below is back";
    SdkApplication::setFactory(nullptr);
}
