#include "ArchiveTestSupport.h"
#include "TestFiles.h"

#include "archive/server/ArchiveServers.h"

using namespace vq;
using namespace vq::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// Archives "a.vqa" and "b.vqa" beside a registry file that does not exist yet.
class ArchiveServersTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        ArchiveServer::create(filePath(u"a.vqa"_s), u"a"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
        ArchiveServer::create(filePath(u"b.vqa"_s), u"b"_s, u"VQ2"_s, u"VQ 2.5"_s);
    }

    QString registryPath() const { return filePath(u"servers.json"_s); }
    std::unique_ptr<ArchiveServers> servers() const {
        return std::make_unique<ArchiveServers>(ServerRegistry(registryPath()));
    }

    // "Name:kind ..." with a star on the default, as a fresh list read from the registry sees them.
    static std::string listed(const SdkServers& servers) {
        QStringList parts;
        const SdkServerPtr defaultServer = servers.DefaultServer();
        for (const SdkServerPtr& server : servers.All())
            parts << server->Name() + u':' + server->ServerKind() +
                         (server == defaultServer ? u"*"_s : QString());
        return parts.join(u' ').toStdString();
    }
};

// Announcements and log-ons through the list are the server windows' tests'.
TEST_F(ArchiveServersTest, AddAndRemoveArePersisted) {
    auto list = servers();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->DefaultServer(), nullptr);
    list->Add(u"Alpha"_s, filePath(u"a.vqa"_s), false);
    list->Add(u"Beta"_s, u"b.vqa"_s, true);  // relative to the registry's folder
    EXPECT_EQ(listed(*servers()), "Alpha:VQ3 Beta:VQ2*");

    EXPECT_EQ(raised([&] { list->Add(u"ALPHA"_s, u"b.vqa"_s, false); }).number(), sdkerr::ServerExists);
    EXPECT_EQ(raised([&] { list->Add(u"Alpha "_s, u"b.vqa"_s, false); }).number(), sdkerr::ServerExists);
    const Error missing = raised([&] { list->Add(u"Gamma"_s, u"gone.vqa"_s, true); });
    EXPECT_EQ(missing.number(), sdkerr::ServerUnavailable);
    EXPECT_TRUE(missing.description().contains(u"gone.vqa"_s));
    list->Add(u"Gamma"_s, filePath(u"a.vqa"_s), true);
    EXPECT_EQ(listed(*servers()), "Alpha:VQ3 Beta:VQ2 Gamma:VQ3*");

    list->Remove(u"gamma"_s);
    EXPECT_EQ(raised([&] { list->Remove(u"Gamma"_s); }).number(), sdkerr::ServerUnknown);
    auto fresh = servers();
    EXPECT_EQ(listed(*fresh), "Alpha:VQ3* Beta:VQ2");  // without a default the first one serves
    EXPECT_EQ(raised([&] { fresh->Item(u"Gamma"_s); }).number(), sdkerr::ServerUnknown);
    EXPECT_EQ(fresh->Item(u"beta"_s)->Name(), u"Beta"_s);
}

TEST_F(ArchiveServersTest, DamagedRegistryIsRefused) {
    for (const char* text : {"{ this is not json", "[]", R"({"servers": [{"name": "Alpha"}]})"}) {
        writeFile(registryPath(), text);
        EXPECT_EQ(raised([&] { servers(); }).number(), sdkerr::RegistryInvalid) << text;
    }
}

}  // namespace
