#include "ArchiveTestSupport.h"

#include "archive/ArchiveApplication.h"
#include "archive/ArchiveServers.h"

#include <QFile>
#include <QSignalSpy>

using namespace vq;
using namespace vq::test;

namespace {

// Archives "a.vqa" and "b.vqa" beside a registry file that does not exist yet.
class ArchiveServersTest : public ArchiveTest {
protected:
    void SetUp() override {
        ArchiveTest::SetUp();
        ArchiveServer::create(filePath(QStringLiteral("a.vqa")), QStringLiteral("a"), QStringLiteral("VQ3"),
                              QStringLiteral("VQ 3.4.1"));
        ArchiveServer::create(filePath(QStringLiteral("b.vqa")), QStringLiteral("b"), QStringLiteral("VQ2"),
                              QStringLiteral("VQ 2.5"));
    }
    void TearDown() override {
        SdkApplication::setFactory({});
        ServerRegistry::setDefaultPath(QString());
    }

    QString registryPath() const { return filePath(QStringLiteral("servers.json")); }
    std::unique_ptr<ArchiveServers> servers() const {
        return std::make_unique<ArchiveServers>(ServerRegistry(registryPath()));
    }

    // "Name:kind ..." with a star on the default, as a fresh list read from the registry sees them.
    static std::string listed(const SdkServers& servers) {
        QStringList parts;
        const SdkServerPtr defaultServer = servers.DefaultServer();
        for (const SdkServerPtr& server : servers.All())
            parts << server->Name() + u':' + server->ServerKind() + (server == defaultServer ? u"*" : u"");
        return parts.join(u' ').toStdString();
    }
};

TEST_F(ArchiveServersTest, AddAndRemoveArePersistedAndAnnounced) {
    auto list = servers();
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(list->DefaultServer(), nullptr);
    list->Add(QStringLiteral("Alpha"), filePath(QStringLiteral("a.vqa")), false);
    list->Add(QStringLiteral("Beta"), QStringLiteral("b.vqa"), true);  // relative to the registry's folder
    EXPECT_EQ(listed(*servers()), "Alpha:VQ3 Beta:VQ2*");

    EXPECT_EQ(raised([&] { list->Add(QStringLiteral("ALPHA"), QStringLiteral("b.vqa"), false); }).number(),
              sdkerr::ServerUnknown);
    const Error missing =
        raised([&] { list->Add(QStringLiteral("Gamma"), QStringLiteral("gone.vqa"), true); });
    EXPECT_EQ(missing.number(), sdkerr::ServerUnavailable);
    EXPECT_TRUE(missing.description().contains(QStringLiteral("gone.vqa")));
    list->Add(QStringLiteral("Gamma"), filePath(QStringLiteral("a.vqa")), true);
    EXPECT_EQ(listed(*servers()), "Alpha:VQ3 Beta:VQ2 Gamma:VQ3*");

    QSignalSpy removed(list.get(), &SdkServers::OnRemove);
    list->Remove(QStringLiteral("gamma"));
    EXPECT_EQ(raised([&] { list->Remove(QStringLiteral("Gamma")); }).number(), sdkerr::ServerUnknown);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toString(), QStringLiteral("Gamma"));
    auto fresh = servers();
    EXPECT_EQ(listed(*fresh), "Alpha:VQ3* Beta:VQ2");  // without a default the first one serves
    EXPECT_EQ(raised([&] { fresh->Item(QStringLiteral("Gamma")); }).number(), sdkerr::ServerUnknown);
    EXPECT_EQ(fresh->Item(QStringLiteral("beta"))->Name(), QStringLiteral("Beta"));
    EXPECT_TRUE(QFile::exists(filePath(QStringLiteral("a.vqa"))));  // the archive itself stays
}

TEST_F(ArchiveServersTest, LogOnThroughTheListAnnouncesTheOpenedServer) {
    auto list = servers();
    list->Add(QStringLiteral("Alpha"), filePath(QStringLiteral("a.vqa")), true);
    QSignalSpy opened(list.get(), &SdkServers::OnOpen);
    SdkServerPtr alpha = list->Item(QStringLiteral("alpha"));
    EXPECT_EQ(raised([&] { alpha->Open(QStringLiteral("vqadmin"), QStringLiteral("wrong")); }).number(),
              sdkerr::LogonFailed);
    EXPECT_EQ(opened.count(), 0);
    alpha->Open(QStringLiteral("vqadmin"), QString());
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).toString(), QStringLiteral("Alpha"));
    EXPECT_EQ(alpha->Name(), QStringLiteral("Alpha"));  // the registry's name, not the file's
}

TEST_F(ArchiveServersTest, DamagedRegistryIsRefused) {
    const QByteArray damaged[] = {
        "{ this is not json",
        "[]",
        R"({"servers": [{"name": "Alpha"}]})",
    };
    for (const QByteArray& text : damaged) {
        SCOPED_TRACE(text.toStdString());
        QFile file(registryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        EXPECT_EQ(raised([&] { servers(); }).number(), sdkerr::RegistryInvalid);
    }
}

TEST_F(ArchiveServersTest, InstalledApplicationServesTheChosenRegistry) {
    servers()->Add(QStringLiteral("Alpha"), QStringLiteral("a.vqa"), true);
    ArchiveApplication::install(registryPath());
    SdkServersPtr installed = SdkApplication::instance()->Servers();
    EXPECT_EQ(installed, SdkApplication::instance()->Servers());
    EXPECT_EQ(listed(*installed), "Alpha:VQ3*");
    installed->DefaultServer()->Open(QStringLiteral("vqadmin"), QString());
    EXPECT_EQ(installed->Item(1)->UserName(), QStringLiteral("vqadmin"));
}

}  // namespace
