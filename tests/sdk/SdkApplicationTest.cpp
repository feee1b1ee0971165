#include "ErrorNumber.h"
#include "archive/server/ArchiveApplication.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkApplication.h"
#include "sdk/SdkConnectDialog.h"
#include "sdk/SdkErrors.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace vq;
using vq::test::errorNumberOf;

// Made once per factory: the services context tests.
TEST(SdkApplicationTest, IsMadeAnewAfterAResetAndNeverWithoutAFactory) {
    SdkApplication::setFactory([] { return std::make_shared<ArchiveApplication>(); });
    const SdkApplicationPtr first = SdkApplication::instance();
    SdkApplication::reset();
    EXPECT_TRUE(first && SdkApplication::instance() != first);
    SdkApplication::setFactory(nullptr);
    EXPECT_EQ(errorNumberOf([] { SdkApplication::instance(); }), sdkerr::NoServerLibrary);
}

TEST(SdkConnectDialogTest, HeadlessLogonOpensTheServer) {
    SdkConnectDialog::setFactory(nullptr);
    const SdkConnectDialogPtr dialog = SdkConnectDialog::create();
    ASSERT_TRUE(std::dynamic_pointer_cast<HeadlessConnectDialog>(dialog));

    QTemporaryDir dir;
    const SdkServerPtr archive =
        ArchiveServer::create(dir.filePath(u"alpha.vqa"_s), u"Alpha"_s, u"VQ3"_s, u"VQ 3.4.1"_s);
    SdkServerPtr server = archive;
    dialog->Logon(server, u"vqadmin"_s, QString(), false, false);
    EXPECT_TRUE(server == archive && archive->IsConnected() && archive->UserName() == u"vqadmin"_s);

    // A refused log-on reaches the caller.
    archive->Close();
    EXPECT_EQ(errorNumberOf([&] { dialog->Logon(server, u"vqadmin"_s, u"wrong"_s, false, false); }),
              sdkerr::LogonFailed);
    EXPECT_FALSE(archive->IsConnected());

    SdkServerPtr none;
    EXPECT_EQ(errorNumberOf([&] { dialog->Logon(none, u"vqadmin"_s, QString(), false, false); }),
              sdkerr::ServerUnknown);
}
