#include "PointBuilderWindow.h"
#include "TestFiles.h"
#include "model/ModelTestSupport.h"
#include "platform/HelpViewer.h"
#include "platform/ServicesContext.h"
#include "sdk/SdkServers.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"
#include "servers/Environment.h"

#include <QAction>
#include <QDir>
#include <QPushButton>

#include <functional>

namespace vq::test {
namespace {

// Records each page asked for as "page#topic", the page relative to the guide's folder.
struct RecordingHelpViewer : HelpViewer {
    long long showTopic(const QString& filePath, int topic) override {
        shown.append(u"%1#%2"_s.arg(QDir(guide).relativeFilePath(filePath)).arg(topic));
        return 7;
    }
    QString guide;
    QStringList shown;
};

void clickHelp(QWidget&& control) {
    control.findChild<QPushButton*>(u"cmdHelp"_s)->click();
}

struct HelpCaller {
    const char* name;
    std::function<void()> askForHelp;
    QString page;
};

const HelpCaller kCallers[] = {
    {"point search Help", [] { clickHelp(VQTagSearch()); }, u"searching.html#23128"_s},
    {"digital set search Help", [] { clickHelp(VQDigSetSearch()); }, u"digital-sets.html#21001"_s},
    {"Point Builder Help menu", [] { PointBuilderWindow().findChild<QAction*>(u"actGuide"_s)->trigger(); },
     u"pointbuilder.html#30001"_s},
};

// A guide folder of empty pages, no VQPC.INI, one server, and a viewer that records.
class HelpTopicsTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        makeServer();
        SdkApplication::instance()->Servers()->Add(u"plant"_s, path(u"plant"_s), true);
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"guide"_s) && QDir(m_dir.path()).mkpath(u"ini"_s));
        m_viewer->guide = m_dir.filePath(u"guide"_s);
        for (const char* page : {"index.html", "searching.html", "digital-sets.html", "pointbuilder.html"})
            writeFile(m_dir.filePath(u"guide/"_s + QString::fromLatin1(page)), {});
        qputenv("VQ_GUIDE_DIR", m_viewer->guide.toUtf8());
        qputenv("VQ_INI_DIR", m_dir.filePath(u"ini"_s).toUtf8());
    }
    void TearDown() override {
        qunsetenv("VQ_GUIDE_DIR");
        qunsetenv("VQ_INI_DIR");
        ModelTest::TearDown();
    }

    std::shared_ptr<RecordingHelpViewer> m_viewer = std::make_shared<RecordingHelpViewer>();
    ScopedServices m_help{&ServicesContext::helpViewer, m_viewer};
};

TEST_F(HelpTopicsTest, EachHelpOpensTheGuideAtItsPage) {
    for (const HelpCaller& caller : kCallers) {
        m_viewer->shown.clear();
        caller.askForHelp();
        EXPECT_EQ(m_viewer->shown, QStringList{caller.page}) << caller.name;
    }
    EXPECT_EQ(messages(), QStringList());
}

// A guide without the page opens at its start; no guide at all is one line, whatever the topic.
TEST_F(HelpTopicsTest, AMissingPageOpensTheGuidesStartAndAMissingGuideIsOneLine) {
    for (const HelpCaller& caller : kCallers) {
        const QString page = m_dir.filePath(u"guide/"_s + caller.page.section(u'#', 0, 0));
        ASSERT_TRUE(QFile::remove(page));
        m_viewer->shown.clear();
        caller.askForHelp();
        EXPECT_EQ(m_viewer->shown, QStringList{u"index.html#"_s + caller.page.section(u'#', 1)})
            << caller.name;
    }
    qputenv("VQ_GUIDE_DIR", m_dir.filePath(u"ini"_s).toUtf8());
    m_viewer->shown.clear();
    for (const HelpCaller& caller : kCallers) caller.askForHelp();
    EXPECT_EQ(m_viewer->shown, QStringList());
    QStringList told;
    for (const auto& message : m_messages->messages()) told << message.title + u": "_s + message.text;
    EXPECT_EQ(told, QStringList(3, u"Help: "_s + kNoUserGuideText));
}

}  // namespace
}  // namespace vq::test
