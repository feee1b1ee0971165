#include "PointBuilderWindow.h"
#include "TestFiles.h"
#include "model/ModelTestSupport.h"
#include "platform/HelpViewer.h"
#include "platform/ServicesContext.h"
#include "search/VQDigSetSearch.h"
#include "search/VQTagSearch.h"
#include "servers/Environment.h"

#include <QAction>
#include <QFileInfo>
#include <QPushButton>

namespace vq::test {
namespace {

struct PageRecorder : HelpViewer {
    long long showTopic(const QString& filePath, int topic) override {
        shown << u"%1#%2"_s.arg(QFileInfo(filePath).fileName()).arg(topic);
        return 1;
    }
    QStringList shown;
};

using HelpTopicsTest = ModelTest;

// Each Help asks for its topic's guide page, for the guide's start where that page is missing,
// and says in one line that there is no guide where none is found.
TEST_F(HelpTopicsTest, EachHelpOpensItsGuidePageOrTheStartOrSaysThereIsNone) {
    const auto viewer = std::make_shared<PageRecorder>();
    const ScopedServices help(&ServicesContext::helpViewer, viewer);
    qputenv("VQ_INI_DIR", m_dir.path().toUtf8());
    qputenv("VQ_GUIDE_DIR", m_dir.path().toUtf8());
    const std::pair<QString, std::function<void()>> callers[] = {
        {u"searching.html"_s, [] { VQTagSearch().findChild<QPushButton*>(u"cmdHelp"_s)->click(); }},
        {u"digital-sets.html"_s, [] { VQDigSetSearch().findChild<QPushButton*>(u"cmdHelp"_s)->click(); }},
        {u"pointbuilder.html"_s, [] { PointBuilderWindow().findChild<QAction*>(u"actGuide"_s)->trigger(); }}};
    writeFile(m_dir.filePath(u"index.html"_s), {});
    for (const auto& [page, askForHelp] : callers) {
        writeFile(m_dir.filePath(page), {});
        askForHelp();
        QFile::remove(m_dir.filePath(page));
        askForHelp();
    }
    QFile::remove(m_dir.filePath(u"index.html"_s));
    for (const auto& caller : callers) caller.second();
    qunsetenv("VQ_INI_DIR");
    qunsetenv("VQ_GUIDE_DIR");
    EXPECT_EQ(viewer->shown,
              (QStringList{u"searching.html#23128"_s, u"index.html#23128"_s, u"digital-sets.html#21001"_s,
                           u"index.html#21001"_s, u"pointbuilder.html#30001"_s, u"index.html#30001"_s}));
    EXPECT_EQ(messages(), QStringList(3, kNoUserGuideText));
}

}  // namespace
}  // namespace vq::test
