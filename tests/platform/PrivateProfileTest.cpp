#include "platform/PrivateProfile.h"

#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("VQ_INI_DIR", m_dir.path().toUtf8()); }
    void TearDown() override { qunsetenv("VQ_INI_DIR"); }

    void writeFile(const QString& name, const QByteArray& contents) {
        vq::test::writeFile(m_dir.filePath(name), contents);
    }

    QTemporaryDir m_dir;
};

}  // namespace

// The reading rules the installation root depends on, file by file.
TEST_F(PrivateProfileTest, ReadsLikeTheClientToolsDo) {
    const QByteArray longValue = "D:\\" + QByteArray(100, 'x');
    // what, the file (none when empty), the buffer length, what is read
    const std::tuple<const char*, QByteArray, int, QString> rows[] = {
        {"case of names, CR LF, blanks", "[vqpc]\r\n  vqhome =  D:\\VQ  \r\n", 81, u"D:\\VQ"_s},
        {"quotes removed", "[VQPC]\nVQHOME=\"C:\\Program Files\\VQ\"\n", 81, u"C:\\Program Files\\VQ"_s},
        {"empty value is not the default", "[VQPC]\nVQHOME=\n", 81, u""_s},
        {"key in another section", "[Other]\nVQHOME=X\n[VQPC]\nOTHER=Y\n", 81, u"C:\\VQPC"_s},
        {"first occurrence wins", "[VQPC]\nVQHOME=first\nVQHOME=second\n", 81, u"first"_s},
        {"commented key", "[VQPC]\n;VQHOME=old\nVQHOME=new\n", 81, u"new"_s},
        {"only the first section counts", "[VQPC]\nA=1\n[VQPC]\nVQHOME=late\n", 81, u"C:\\VQPC"_s},
        {"no file", "", 81, u"C:\\VQPC"_s},
        {"cut to the buffer", "[VQPC]\nVQHOME=" + longValue + "\n", 81,
         QString::fromLatin1(longValue.left(80))},
        {"default cut too", "", 4, u"C:\\"_s},
        {"no room at all", "[VQPC]\nVQHOME=D:\\\n", 0, u""_s},
        {"UTF-8", "\xEF\xBB\xBF[VQPC]\nVQHOME=D:\\Mes donn\xC3\xA9\x65s\n", 81, u"D:\\Mes données"_s},
        {"Latin-1", "[VQPC]\nVQHOME=D:\\Mes donn\xE9\x65s\n", 81, u"D:\\Mes données"_s},
    };
    for (const auto& [what, file, bufferLength, expected] : rows) {
        QFile::remove(m_dir.filePath(u"VQPC.INI"_s));
        if (!file.isEmpty()) writeFile(u"VQPC.INI"_s, file);
        QString returned = u"stale"_s;
        const int count = vq::GetPrivateProfileString(u"VQPC"_s, u"VQHOME"_s, u"C:\\VQPC  "_s, returned,
                                                      bufferLength, u"VQPC.INI"_s);
        EXPECT_EQ(returned, expected) << what;
        EXPECT_EQ(count, expected.size()) << what;
    }
}

// A bare file name is looked up in the directory the environment names, whatever the case of
// the file's name on disk; a path is used as given.
TEST_F(PrivateProfileTest, FindsTheFileInTheProfileDirectory) {
    EXPECT_EQ(vq::defaultProfileDirectory(), m_dir.path());
    writeFile(u"vqpc.ini"_s, "[VQPC]\nVQHOME=/opt/vq\n");
    writeFile(u"site.ini"_s, "[VQPC]\nVQHOME=/srv/vq\n");
    qunsetenv("VQ_INI_DIR");
    EXPECT_TRUE(vq::defaultProfileDirectory().endsWith(u"/VQTagwright"_s));
    QString returned;
    vq::GetPrivateProfileString(u"VQPC"_s, u"VQHOME"_s, u""_s, returned, 81, m_dir.filePath(u"site.ini"_s));
    EXPECT_EQ(returned, u"/srv/vq"_s);
    qputenv("VQ_INI_DIR", m_dir.path().toUtf8());
    EXPECT_EQ(vq::GetPrivateProfileString(u"VQPC"_s, u"VQHOME"_s, u""_s, returned, 81, u"VQPC.INI"_s), 7);
    EXPECT_EQ(returned, u"/opt/vq"_s);
}
