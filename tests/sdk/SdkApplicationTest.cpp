#include "FakeServer.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkConnectDialog.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace vq;
using vq::test::errorNumberOf;
using vq::test::FakeServer;

namespace {

class FakeApplication : public SdkApplication {
public:
    SdkServersPtr Servers() override { return nullptr; }
    void TakePoint(const SdkPointPtr& point) override { m_last = point; }
    SdkPointPtr LastPoint() const override { return m_last; }

private:
    SdkPointPtr m_last;
};

}  // namespace

TEST(SdkApplicationTest, IsMadeOnceByTheInstalledFactory) {
    SdkApplication::setFactory(nullptr);
    EXPECT_EQ(errorNumberOf([] { SdkApplication::instance(); }), sdkerr::NoServerLibrary);

    int made = 0;
    SdkApplication::setFactory([&] {
        ++made;
        return std::make_shared<FakeApplication>();
    });
    const SdkApplicationPtr first = SdkApplication::instance();
    ASSERT_TRUE(first);
    EXPECT_EQ(SdkApplication::instance(), first);
    EXPECT_EQ(made, 1);

    SdkApplication::reset();
    EXPECT_NE(SdkApplication::instance(), first);
    EXPECT_EQ(made, 2);

    SdkApplication::setFactory(nullptr);
    EXPECT_EQ(errorNumberOf([] { SdkApplication::instance(); }), sdkerr::NoServerLibrary);
}

TEST(SdkConnectDialogTest, HeadlessLogonOpensTheServer) {
    SdkConnectDialog::setFactory(nullptr);
    const SdkConnectDialogPtr dialog = SdkConnectDialog::create();
    ASSERT_TRUE(std::dynamic_pointer_cast<HeadlessConnectDialog>(dialog));

    const auto fake = FakeServer::make(u"Alpha"_s);
    SdkServerPtr server = fake;
    dialog->Logon(server, u"vqadmin"_s, QString(), false, false);
    EXPECT_EQ(server, fake);
    EXPECT_EQ(fake->opens, 1);
    EXPECT_TRUE(fake->IsConnected());
    EXPECT_EQ(fake->UserName(), u"vqadmin"_s);

    // A refused log-on reaches the caller.
    fake->Close();
    EXPECT_EQ(errorNumberOf([&] { dialog->Logon(server, u"vqadmin"_s, u"wrong"_s, false, false); }),
              sdkerr::LogonFailed);
    EXPECT_FALSE(fake->IsConnected());

    SdkServerPtr none;
    EXPECT_EQ(errorNumberOf([&] { dialog->Logon(none, u"vqadmin"_s, QString(), false, false); }),
              sdkerr::ServerUnknown);

    const auto installed = std::make_shared<HeadlessConnectDialog>();
    SdkConnectDialog::setFactory([&] { return installed; });
    EXPECT_EQ(SdkConnectDialog::create(), installed);
    SdkConnectDialog::setFactory(nullptr);
    EXPECT_NE(SdkConnectDialog::create(), installed);
}
