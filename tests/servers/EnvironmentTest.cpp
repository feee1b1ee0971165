#include "servers/Environment.h"

#include "TestFiles.h"

#include "core/RecordingMessageService.h"
#include "platform/HelpViewer.h"
#include "platform/ServicesContext.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

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

    void writeIni(const QByteArray& contents) { vq::test::writeFile(iniPath(), contents); }
    QString iniPath() const { return QDir(m_iniDir.path()).filePath(u"VQPC.INI"_s); }

    QTemporaryDir m_iniDir;
    std::shared_ptr<RecordingHelpViewer> m_viewer = std::make_shared<RecordingHelpViewer>();
    vq::ScopedServices m_services{&vq::ServicesContext::helpViewer, m_viewer};
    vq::ScopedMessageRecorder m_messages;
};

}  // namespace

// Without a file the root is the default; a root read from the file is cut to 80 characters.
TEST_F(EnvironmentTest, VQHomeComesFromTheIniWithItsDefaultAndLimit) {
    EXPECT_EQ(vq::GetVQHome(), u"C:\\VQPC"_s);
    const QByteArray longRoot(120, 'r');
    writeIni("[VQPC]\nVQHOME=" + longRoot + "\n");
    EXPECT_EQ(vq::GetVQHome(), QString::fromLatin1(longRoot.left(80)));
    EXPECT_TRUE(m_messages->texts().isEmpty());
}

// The viewer gets the file in the platform's form and the topic; a missing file is reported
// with the path as built, backslashes and all; an empty root is reported in an untitled box.
TEST_F(EnvironmentTest, HelpTopicOpensAnExistingFileOrSaysItIsMissing) {
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkpath(u"help"_s));
    vq::test::writeFile(root.path() + u"/help/VQSDKToolsUsr.chm"_s, {});

    writeIni("[VQPC]\nVQHOME=" + root.path().toUtf8() + "\n");
    EXPECT_EQ(vq::ShowHelpTopic(vq::kPointSearchHelpFile, vq::kPointSearchHelpTopic), 4242);
    EXPECT_EQ(m_viewer->shown, QStringList{root.path() + u"/help/VQSDKToolsUsr.chm#23128"_s});
    EXPECT_TRUE(m_messages->texts().isEmpty());

    EXPECT_EQ(vq::ShowHelpTopic(vq::kDigSetSearchHelpFile, vq::kDigSetSearchHelpTopic), 0);
    ASSERT_EQ(m_messages->messages().size(), 1);
    EXPECT_EQ(m_messages->messages()[0].text,
              u"The file %1\\Tagwright\\Tagwright.chm does not exist"_s.arg(root.path()));
    EXPECT_EQ(m_messages->messages()[0].title, u"File Does Not Exist"_s);

    m_messages->clear();
    writeIni("[VQPC]\nVQHOME=D:\\Apps\\VQPC\n");
    vq::ShowHelpTopic(vq::kPointSearchHelpFile, vq::kPointSearchHelpTopic);
    writeIni("[VQPC]\nVQHOME=\n");
    vq::ShowHelpTopic(vq::kPointSearchHelpFile, vq::kPointSearchHelpTopic);
    EXPECT_EQ(m_messages->texts(),
              (QStringList{u"The file D:\\Apps\\VQPC\\help\\VQSDKToolsUsr.chm does not exist"_s,
                           u"Invalid VQPC.INI"_s, u"The file \\help\\VQSDKToolsUsr.chm does not exist"_s}));
    EXPECT_TRUE(m_messages->messages()[1].title.isEmpty());
    EXPECT_EQ(m_viewer->shown.size(), 1);
}
