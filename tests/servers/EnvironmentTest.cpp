#include "servers/Environment.h"

#include "TestFiles.h"

#include "core/RecordingMessageService.h"
#include "platform/HelpViewer.h"
#include "platform/ScreenServices.h"
#include "platform/Twips.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// Records what it was asked to show and answers with a window number.
class RecordingHelpViewer : public vq::HelpViewer {
public:
    long long showTopic(const QString& filePath, int topic) override {
        shown.append(u"%1#%2"_s.arg(filePath).arg(topic));
        return 4242;
    }
    QStringList shown;
};

class EnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VQ_INI_DIR", m_iniDir.path().toUtf8());
        m_previousViewer = vq::setHelpViewer(m_viewer);
    }
    void TearDown() override {
        qunsetenv("VQ_INI_DIR");
        vq::setHelpViewer(m_previousViewer);
    }

    void writeIni(const QByteArray& contents) {
        vq::test::writeFile(m_iniDir.filePath(u"VQPC.INI"_s), contents);
    }

    QTemporaryDir m_iniDir;
    std::shared_ptr<RecordingHelpViewer> m_viewer = std::make_shared<RecordingHelpViewer>();
    std::shared_ptr<vq::HelpViewer> m_previousViewer;
    vq::ScopedMessageRecorder m_messages;
};

}  // namespace

// Without a file the root is the default; a root read from the file is cut to 80 characters.
TEST_F(EnvironmentTest, VQHomeComesFromTheIniWithItsDefaultAndLimit) {
    EXPECT_EQ(vq::GetVQHome(), u"C:\\VQPC"_s);
    writeIni("[VQPC]\nVQHOME=" + QByteArray(120, 'r') + "\n");
    EXPECT_EQ(vq::GetVQHome(), QString(80, u'r'));
}

// The viewer gets the file in the platform's form and the topic; a missing file is reported with
// the path as built, backslashes and all; an empty root in an untitled box.
TEST_F(EnvironmentTest, HelpTopicOpensAnExistingFileOrSaysItIsMissing) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(u"help"_s));
    vq::test::writeFile(root.path() + u"/help/VQSDKToolsUsr.chm"_s, {});
    const auto show = [&](const QByteArray& home, const QString& file, int32_t topic) {
        writeIni("[VQPC]\nVQHOME=" + home + "\n");
        return vq::ShowHelpTopic(file, topic);
    };
    EXPECT_EQ(show(root.path().toUtf8(), vq::kPointSearchHelpFile, vq::kPointSearchHelpTopic), 4242);
    EXPECT_EQ(m_viewer->shown, QStringList{root.path() + u"/help/VQSDKToolsUsr.chm#23128"_s});
    EXPECT_EQ(show(root.path().toUtf8(), vq::kDigSetSearchHelpFile, vq::kDigSetSearchHelpTopic), 0);
    show("D:\\Apps\\VQPC", vq::kPointSearchHelpFile, vq::kPointSearchHelpTopic);
    show("", vq::kPointSearchHelpFile, vq::kPointSearchHelpTopic);
    QStringList told;
    for (const auto& message : m_messages->messages()) told << message.title + u": "_s + message.text;
    EXPECT_EQ(
        told,
        (QStringList{
            u"File Does Not Exist: The file %1\\Tagwright\\Tagwright.chm does not exist"_s.arg(root.path()),
            u"File Does Not Exist: The file D:\\Apps\\VQPC\\help\\VQSDKToolsUsr.chm does not exist"_s,
            u": Invalid VQPC.INI"_s,
            u"File Does Not Exist: The file \\help\\VQSDKToolsUsr.chm does not exist"_s}));
    EXPECT_EQ(m_viewer->shown.size(), 1);
}

// Pixels times twips per pixel, halves to even; 240 when the platform cannot tell or fails.
TEST_F(EnvironmentTest, ScrollBarWidthInTwips) {
    const std::tuple<double, std::function<std::optional<int>()>, int32_t> rows[] = {
        {96, [] { return 17; }, 255},
        {960, [] { return 3; }, 4},  // 4.5 twips -> 4
        {960, [] { return 5; }, 8},  // 7.5 twips -> 8
        {96, [] { return std::optional<int>(); }, 240},
        {96, []() -> std::optional<int> { throw std::runtime_error("no metrics"); }, 240},
    };
    for (const auto& [dpi, pixels, twips] : rows) {
        vq::setLogicalDpiOverride(dpi);
        vq::setScrollBarWidthSource(pixels);
        EXPECT_EQ(vq::GetScrollBarWidth(), twips) << dpi;
    }
    vq::setScrollBarWidthSource({});
    vq::setLogicalDpiOverride(0);
}
