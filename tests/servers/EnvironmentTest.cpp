#include "servers/Environment.h"

#include "TestFiles.h"

#include "core/RecordingMessageService.h"
#include "platform/HelpViewer.h"
#include "platform/ServicesContext.h"

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
    void SetUp() override { qputenv("VQ_INI_DIR", m_iniDir.path().toUtf8()); }
    void TearDown() override { qunsetenv("VQ_INI_DIR"); }

    void writeIni(const QByteArray& contents) {
        vq::test::writeFile(m_iniDir.filePath(u"VQPC.INI"_s), contents);
    }

    QTemporaryDir m_iniDir;
    std::shared_ptr<RecordingHelpViewer> m_viewer = std::make_shared<RecordingHelpViewer>();
    vq::ScopedServices m_services{&vq::ServicesContext::helpViewer, m_viewer};
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
