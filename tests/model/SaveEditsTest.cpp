#include "ModelTestSupport.h"

#include "sdk/SdkErrors.h"
#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;

namespace {

using SaveEditsTest = ModelTest;

const QString refusedNumber = QString::number(sdkerr::AttributesRefused);

QString refusal(const char* description, const char* failedAttributes) {
    return u"PropSheetEntries:SaveEdits\r\n"_s + QString::fromUtf8(description) + u"\r\n"_s + refusedNumber +
           u"\r\nErrors occurred while saving the following attributes:\r\n"_s +
           QString::fromUtf8(failedAttributes);
}

// Mode, point and edits: what a refused save must leave as it was.
std::string state(const PropSheetEntries& entries) {
    return QStringLiteral("mode=%1 point=%2 edits=%3")
        .arg(entries.Mode())
        .arg(entries.Point() ? entries.Point()->Name() : u"none"_s, entries.GetEdits()->toText())
        .toStdString();
}

TEST_F(SaveEditsTest, RefusedSavesShowEveryFailingAttributeKeepTheEditsAndSucceedOnceCorrected) {
    // behaviour, for a new point, edits, the message, the correction, what the point then stores
    const std::tuple<const char*, bool, const char*, QString, const char*, const char*> cases[] = {
        {"duplicate tag", true, "Tag=FLOW Span=10",
         refusal("The point \"FLOW\" was not created: Tag: a point with the tag \"Flow\" already exists",
                 "Tag (a point with the tag \"Flow\" already exists)"),
         "Tag=Flow.2", "Tag=Flow.2 Span=10"},
        {"unconvertible values", false, "ExcMax=abc CompMax=1e12 Span=20",
         refusal(
             "The point \"Flow\" was not changed: ExcMax: \"abc\" is not a number; CompMax: \"1e12\" is "
             "outside -2147483648 to 2147483647",
             "ExcMax (\"abc\" is not a number)\r\nCompMax (\"1e12\" is outside -2147483648 to 2147483647)"),
         "ExcMax=700 CompMax=9000", "Tag=Flow Span=20"},
    };
    int run = 0;
    for (const auto& [behaviour, newPoint, edits, message, correction, stored] : cases) {
        SCOPED_TRACE(behaviour);
        m_messages->clear();
        // Given a stored point "Flow" and a collection for a new point or for "Flow"
        const QString name = u"plant%1"_s.arg(++run);
        storePoint(*makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, name), u"Flow"_s, u"classic"_s, pointtype::Float32);
        auto connection = reconnect(name);
        PropSheetEntries entries;
        if (newPoint)
            entries.AddDefaultAttributes(connection, u"classic"_s);
        else
            entries.AddAttributesForPoint(connection->Points()->Item(u"Flow"_s));
        edit(entries, edits);
        const std::string before = state(entries);

        // When saved, then the archive's refusal is shown with each failing attribute and nothing changed
        EXPECT_FALSE(entries.SaveEdits());
        EXPECT_EQ(messages(), QStringList{message});
        EXPECT_EQ(state(entries), before);
        EXPECT_TRUE(entries.AreValuesEdited());

        // When corrected and saved again, then the point is stored
        edit(entries, correction);
        EXPECT_TRUE(entries.SaveEdits()) << messages().join(u'|').toStdString();
        EXPECT_EQ(storedValues(reconnect(name), entries.Point()->Name(), "Tag Span"), stored);
    }
}

TEST_F(SaveEditsTest, OnVersion32OneSecurityEditSendsAllSixSecurityAttributes) {
    const std::pair<const char*, const char*> versions[] = {
        {"VQ 3.2.357", "PtOwner=engineer DataOwner=loner DataGroup=vqadmin PtGroup=vqadmin"},
        {"VQ 3.4.1", "PtOwner=engineer DataOwner=loner DataGroup= PtGroup="},
    };
    int run = 0;
    for (const auto& [version, stored] : versions) {
        SCOPED_TRACE(version);
        // Given a point created by a user in no group, so that its groups are blank
        const QString name = u"plant%1"_s.arg(++run);
        auto server = makeServer(u"VQ3"_s, QString::fromUtf8(version), name);
        server->addUser(u"loner"_s, u"pw"_s, {});
        server->addUser(u"engineer"_s, u"pw"_s, {});
        storePoint(*reconnect(name, u"loner"_s, u"pw"_s), u"Valve"_s, u"classic"_s, pointtype::Int16);
        PropSheetEntries entries;
        entries.AddAttributesForPoint(reconnect(name)->Points()->Item(u"Valve"_s));

        // When only the point owner is edited and saved
        edit(entries, "PtOwner=engineer");
        EXPECT_EQ(text(entries.GetEdits()), "PtOwner=engineer");
        ASSERT_TRUE(entries.SaveEdits()) << messages().join(u'|').toStdString();

        // Then on 3.2 servers the blanked groups travel with it; elsewhere only the edit is written
        EXPECT_EQ(storedValues(reconnect(name), u"Valve"_s, "PtOwner DataOwner DataGroup PtGroup"), stored);
    }
}

TEST_F(SaveEditsTest, SavingAnEmptyCollectionFailsWithAMessageInsteadOfClaimingSuccess) {
    PropSheetEntries entries;
    EXPECT_FALSE(entries.SaveEdits());
    EXPECT_EQ(messages(), QStringList{u"PropSheetEntries:SaveEdits\r\nObject variable not set (no point to "
                                      u"save)\r\n91\r\n"_s});
}

// Two engineers have the same point open, each through a connection of their own. That the refused
// save writes nothing and keeps the edits is the Point Builder's stale-edit test, through Save.
TEST_F(SaveEditsTest, ASaveOverAPointChangedSinceItWasReadIsRefusedUntilTheNewerPointIsRead) {
    auto server = makeServer();
    storePoint(*server, u"U1-TI-1"_s, u"classic"_s, pointtype::Float32);
    PropSheetEntries first, second;
    first.AddAttributesForPoint(server->Points()->Item(u"U1-TI-1"_s));
    second.AddAttributesForPoint(reconnect()->Points()->Item(u"U1-TI-1"_s));
    // One's own saves never count as someone else's change
    for (const char* descriptor : {"Descriptor=first", "Descriptor=again"}) {
        edit(first, descriptor);
        ASSERT_TRUE(first.SaveEdits());
    }
    edit(second, "Descriptor=second EngUnits=degC");
    EXPECT_FALSE(second.SaveEdits());
    ASSERT_EQ(messages().size(), 1);
    EXPECT_TRUE(messages()[0].contains(u"was changed by vqadmin at"_s) &&
                messages()[0].contains(QString::number(sdkerr::PointChanged)))
        << messages()[0].toStdString();
    // Having read the newer point, the second saves over it, logging on again first; now the first is behind
    second.Point()->PointAttributes()->LoadAll();
    second.Server()->Close();
    EXPECT_TRUE(second.SaveEdits() && second.Server()->IsConnected());
    EXPECT_EQ(storedValues(server, u"U1-TI-1"_s, "Descriptor EngUnits Changer"),
              "Descriptor=second EngUnits=degC Changer=vqadmin");
    edit(first, "Descriptor=third");
    EXPECT_FALSE(first.SaveEdits());
}

// Save tells what SaveEdits shows: the same refusal with its attributes, nothing on screen, and a
// refused log-on as the one outcome where SaveEdits goes on to a second message.
TEST_F(SaveEditsTest, SaveReturnsTheOutcomeThatSaveEditsShows) {
    const std::tuple<const char*, bool, int32_t, const char*, int> cases[] = {
        // edits, logged off (the log-on lacks vqadmin's password), number, refused, SaveEdits' messages
        {"ExcMax=abc", false, sdkerr::AttributesRefused, "ExcMax (\"abc\" is not a number)", 1},
        {"Descriptor=x", true, sdkerr::LogonFailed, "", 2},
    };
    auto server = makeServer();
    storePoint(*server, u"Flow"_s, u"classic"_s, pointtype::Float32);
    server->setPassword(u"vqadmin"_s, u"secret"_s);
    for (const auto& [edits, loggedOff, number, refused, messagesOfSaveEdits] : cases) {
        SCOPED_TRACE(edits);
        const auto opened = [&] {
            auto entries = std::make_unique<PropSheetEntries>();
            entries->AddAttributesForPoint(
                reconnect(u"plant"_s, u"vqadmin"_s, u"secret"_s)->Points()->Item(u"Flow"_s));
            edit(*entries, edits);
            if (loggedOff) entries->Server()->Close();
            return entries;
        };
        m_messages->clear();
        const PointSaveResult result = opened()->Save();
        EXPECT_EQ(messages(), QStringList());
        EXPECT_EQ(result.error.number(), number);
        EXPECT_EQ(result.refusedLines().section(u"\r\n"_s, 1), QString::fromUtf8(refused));
        EXPECT_FALSE(opened()->SaveEdits());
        EXPECT_EQ(messages().size(), messagesOfSaveEdits) << messages().join(u'|').toStdString();
    }
}

}  // namespace
