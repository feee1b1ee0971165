#include "platform/ServicesContext.h"

#include "archive/server/ArchiveApplication.h"
#include "core/RecordingMessageService.h"
#include "platform/FormRegistry.h"
#include "platform/HelpViewer.h"
#include "platform/ScreenServices.h"
#include "platform/Twips.h"
#include "sdk/SdkApplication.h"

#include <QCursor>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>

using namespace Qt::StringLiterals;
using namespace vq;

namespace {

class NoHelp : public HelpViewer {
public:
    long long showTopic(const QString&, int) override { return 0; }
};

// What the widgets would read, as one line: "dpi=96 help=own mouse=cursor scroll=style forms=thread".
std::string readings(const FormRegistry& threadForms) {
    const QPoint mouse = mousePosition();
    const std::optional<int> scroll = scrollBarWidthPixels();
    return u"dpi=%1 help=%2 mouse=%3 scroll=%4 forms=%5"_s.arg(logicalDpi())
        .arg(dynamic_cast<DesktopHelpViewer*>(&helpViewer()) ? u"desktop"_s : u"own"_s,
             mouse == QCursor::pos() ? u"cursor"_s : u"%1,%2"_s.arg(mouse.x()).arg(mouse.y()),
             !scroll                     ? u"none"_s
             : services().scrollBarWidth ? QString::number(*scroll)
                                         : u"style"_s,
             &FormRegistry::current() == &threadForms ? u"thread"_s : u"own"_s)
        .toStdString();
}

// A server library factory that counts what it makes, so a test sees when one was made anew.
SdkApplicationFactory counting(int& made) {
    return [&made] {
        ++made;
        return std::make_shared<ArchiveApplication>();
    };
}

}  // namespace

// Given a context with built-in answers, when scopes change parts of it, then each scope sees
// its change on top of the outer one and leaves the outer one exactly as it found it.
TEST(ServicesContextTest, ScopesNestAndRestoreWhatTheyChanged) {
    FormRegistry& threadForms = FormRegistry::current();
    const std::string builtIn = readings(threadForms);
    ASSERT_EQ(
        builtIn,
        u"dpi=%1 help=desktop mouse=cursor scroll=style forms=thread"_s.arg(logicalDpi()).toStdString());
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

// The message service and server library live below the widgets: a context leaves alone what a
// lower layer installed itself, hands a changed factory down once and gives the one below back.
TEST(ServicesContextTest, HandsDownWhatChangedAndGivesBackWhatWasBelow) {
    const ScopedMessageRecorder recorder;
    int below = 0, own = 0;
    SdkApplication::setFactory(counting(below));
    const SdkApplicationPtr first = SdkApplication::instance();
    {
        const ScopedServices pinned(&ServicesContext::logicalDpi, 96.0);
        EXPECT_NE(dynamic_cast<RecordingMessageService*>(&messageService()), nullptr);
        EXPECT_EQ(SdkApplication::instance(), first) << "an unchanged server library keeps its state";
    }
    {
        const ScopedServices library(&ServicesContext::application,
                                     std::make_shared<const SdkApplicationFactory>(counting(own)));
        EXPECT_NE(SdkApplication::instance(), first);
        const ScopedServices pinned(&ServicesContext::logicalDpi, 96.0);
        SdkApplication::instance();
        EXPECT_EQ(own, 1) << "an unchanged factory is not handed down again";
    }
    SdkApplication::instance();
    EXPECT_EQ(below, 2) << "the factory below is back";
    SdkApplication::setFactory(nullptr);
}

// Loaded once, found whatever the case of the name, deleted on unload; a form that someone else
// deleted counts as unloaded and is made afresh on the next load. Each thread has its own forms.
TEST(ServicesContextTest, FormsLoadOncePerThreadFindIgnoringCaseAndUnload) {
    FormRegistry registry;
    int made = 0;
    const auto make = [&made] {
        ++made;
        return std::make_unique<QWidget>();
    };
    QObject* first = registry.load(u"frmTagSearch"_s, make);
    EXPECT_TRUE(registry.load(u"FRMTAGSEARCH"_s, make) == first && registry.find(u"frmtagsearch"_s) == first);
    EXPECT_TRUE(made == 1 && registry.names() == QStringList{u"frmTagSearch"_s});

    QPointer<QObject> watch(first);
    EXPECT_TRUE(registry.unload(u"FrmTagSearch"_s));
    EXPECT_TRUE(watch.isNull() && !registry.unload(u"frmTagSearch"_s));

    delete registry.load(u"frmDigSet"_s, make);
    EXPECT_TRUE(registry.find(u"frmDigSet"_s) == nullptr && registry.names().isEmpty());
    EXPECT_NE(registry.load<QWidget>(u"frmDigSet"_s), nullptr);
    EXPECT_EQ(made, 2);

    // Each thread sees only the forms it loaded itself.
    QObject* mine = FormRegistry::current().load<QObject>(u"frmShared"_s);
    QObject *seenThere = mine, *loadedThere = nullptr;
    std::thread([&] {
        seenThere = FormRegistry::current().find(u"frmShared"_s);
        loadedThere = FormRegistry::current().load<QObject>(u"frmShared"_s);
        FormRegistry::current().unload(u"frmShared"_s);
    }).join();
    EXPECT_TRUE(seenThere == nullptr && loadedThere != mine);
    EXPECT_EQ(FormRegistry::current().find(u"FRMSHARED"_s), mine);
    EXPECT_TRUE(FormRegistry::current().unload(u"frmShared"_s));
}
