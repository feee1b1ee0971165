#include "platform/PrivateProfile.h"
#include "platform/PropertyBag.h"

#include "ErrorNumber.h"
#include "TestFiles.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <tuple>

using namespace Qt::StringLiterals;
using vq::PropertyBag;
using vq::Variant;

namespace {

class PrivateProfileTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("VQ_INI_DIR", m_dir.path().toUtf8()); }
    void TearDown() override { qunsetenv("VQ_INI_DIR"); }

    QTemporaryDir m_dir;
};

}  // namespace

// A value is stored only when it differs from its default in value or type; writing the default
// again removes an earlier value.
TEST(PropertyBagTest, StoresOnlyValuesThatDifferFromTheirDefault) {
    const std::tuple<const char*, Variant, Variant, bool> rows[] = {
        // name, value, default, stored
        {"Enabled", true, true, false},
        {"Enabled", false, true, true},
        {"SecurityScope", int32_t(0), int32_t(0), false},
        {"SecurityScope", int16_t(0), int32_t(0), true},
        {"Caption", u"On"_s, u"on"_s, true},
        {"Caption", u""_s, u""_s, false},
        {"Time", 0.0, int32_t(0), true},
        {"Time", Variant::null(), Variant(), true},
    };
    for (const auto& [name, value, defaultValue, stored] : rows) {
        PropertyBag bag;
        bag.WriteProperty(QString::fromLatin1(name), value, defaultValue);
        EXPECT_EQ(bag.contains(QString::fromLatin1(name)), stored) << name;
        EXPECT_EQ(bag.ReadProperty(QString::fromLatin1(name), defaultValue), value) << name;
    }

    PropertyBag bag;
    bag.WriteProperty(u"BackColor"_s, int32_t(0xFF), int32_t(0xFFFFFF));
    bag.WriteProperty(u"BACKCOLOR"_s, int32_t(0xFFFFFF), int32_t(0xFFFFFF));
    EXPECT_TRUE(bag.count() == 0 && bag.ReadProperty(u"BackColor"_s, int32_t(7)) == Variant(int32_t(7)));
}

// Every value type comes back with its type and exact value, through JSON text.
TEST(PropertyBagTest, JsonRoundTripKeepsTypesAndValues) {
    const std::pair<QString, Variant> values[] = {
        {u"I16"_s, int16_t(-32768)},
        {u"I32"_s, int32_t(0x7FFFFFFF)},
        {u"Single"_s, 0.1f},
        {u"Double"_s, 0.1 + 0.2},
        {u"Huge"_s, 1e308},
        {u"Inf"_s, -INFINITY},
        {u"Flag"_s, false},
        {u"Text"_s, u"o:rw g:r w:\r\n\"quoted\""_s},
        {u"When"_s, Variant::date(2024, 2, 29, 13, 5, 7)},
        {u"Nothing"_s, Variant::null()},
    };
    PropertyBag bag;
    for (const auto& [name, value] : values) bag.WriteProperty(name, value, u"default"_s);
    bag.WriteProperty(u"NaN"_s, std::nan(""), 0.0);

    // Through text, as a container saves it.
    const QByteArray text = QJsonDocument(bag.toJson()).toJson(QJsonDocument::Compact);
    const PropertyBag back = PropertyBag::fromJson(QJsonDocument::fromJson(text).object());
    EXPECT_EQ(back.count(), int(std::size(values)) + 1);
    for (const auto& [name, value] : values)
        EXPECT_EQ(back.ReadProperty(name, Variant()), value) << name.toStdString();
    EXPECT_TRUE(std::isnan(back.ReadProperty(u"NaN"_s, 0.0).toDouble()));
}

// Saved text that does not hold a value of its declared type is refused with the property named,
// rather than read as some other value.
TEST(PropertyBagTest, MalformedJsonIsRefused) {
    for (const char* text :
         {R"({"Enabled": true})", R"({"Enabled": {"type": "Bool", "value": true}})",
          R"({"Enabled": {"type": "Boolean", "value": "yes"}})",
          R"({"Scope": {"type": "Int16", "value": 40000}})", R"({"Scope": {"type": "Int32", "value": 1.5}})",
          R"({"When": {"type": "Date", "value": "yesterday"}})",
          R"({"Time": {"type": "Double", "value": "fast"}})"}) {
        const QJsonObject json = QJsonDocument::fromJson(QByteArray(text)).object();
        const vq::Error error = vq::test::raised([&] { PropertyBag::fromJson(json); });
        EXPECT_TRUE(error.number() == vq::errc::InvalidArgument &&
                    error.description().contains(json.keys().front()))
            << text;
    }
}

// The reading rules the installation root depends on, file by file; the file's name on disk is
// in other letters than the one asked for.
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
        QFile::remove(m_dir.filePath(u"vqpc.ini"_s));
        if (!file.isEmpty()) vq::test::writeFile(m_dir.filePath(u"vqpc.ini"_s), file);
        QString returned = u"stale"_s;
        const int count = vq::GetPrivateProfileString(u"VQPC"_s, u"VQHOME"_s, u"C:\\VQPC  "_s, returned,
                                                      bufferLength, u"VQPC.INI"_s);
        EXPECT_EQ(std::pair(returned, count), std::pair(expected, int(expected.size()))) << what;
    }
}

// A bare file name is looked up in the directory the environment names, or the user's own; a
// path is used as given.
TEST_F(PrivateProfileTest, FindsTheFileInTheProfileDirectoryOrWhereAPathSays) {
    EXPECT_EQ(vq::defaultProfileDirectory(), m_dir.path());
    vq::test::writeFile(m_dir.filePath(u"site.ini"_s), "[VQPC]\nVQHOME=/srv/vq\n");
    qunsetenv("VQ_INI_DIR");
    EXPECT_TRUE(vq::defaultProfileDirectory().endsWith(u"/VQTagwright"_s));
    QString returned;
    vq::GetPrivateProfileString(u"VQPC"_s, u"VQHOME"_s, u""_s, returned, 81, m_dir.filePath(u"site.ini"_s));
    EXPECT_EQ(returned, u"/srv/vq"_s);
}
