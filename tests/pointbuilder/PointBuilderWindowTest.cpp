// The window stays true to what it shows: the chooser names the open point, the title the program
// once, and no edit is dropped or kept without asking.
#include "PointBuilderTestSupport.h"

#include <QComboBox>
#include <QLineEdit>

namespace vq::test {
namespace {

TEST_F(PointBuilderTest, TheChooserAndTitleNameTheOpenPointAndTheKeysOpenAndStartPoints) {
    makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, u"north"_s);
    SdkApplication::instance()->Servers()->Add(u"north"_s, path(u"north"_s), false);
    window->showConnections();  // the server box learns of north
    EXPECT_EQ(window->windowTitle(), u"Point Builder"_s);
    auto* tag = child<QLineEdit>(*window, "txtTag");
    auto* server = child<QComboBox>(*window, "cboServer");
    QTest::keyClicks(tag, u"boiler.temp"_s);
    QTest::keyClick(tag, Qt::Key_O, Qt::ControlModifier);
    // The server spells the tag; the platform adds the program's name after the title
    EXPECT_EQ(tag->text() + u' ' + window->windowTitle(), u"Boiler.Temp Boiler.Temp on plant[*]"_s);
    ASSERT_TRUE(window->selectServer(u"north"_s));
    tag->setText(u"Other"_s);
    window->revert();
    EXPECT_EQ(tag->text() + u' ' + server->currentText(), u"Boiler.Temp plant"_s);

    tag->setText(u"Fan.Speed"_s);
    QTest::keyClick(tag, Qt::Key_N, Qt::ControlModifier);
    EXPECT_TRUE(statusSays(*window, "new classic point on plant"));
}

TEST_F(PointBuilderTest, QuitWithUnsavedEditsOffersSaveDiscardAndCancel) {
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"Cancel", false, "Descriptor=Boiler temperature"},
        {"Discard", true, "Descriptor=Boiler temperature"},
        {"Save", true, "Descriptor=Mine"},
    };
    for (const auto& [answer, closed, stored] : cases) {
        SCOPED_TRACE(answer);
        ASSERT_TRUE(showActive(*window));
        ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
        editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
        modals.then(u"msgChoice"_s, answering(QString::fromUtf8(answer)));
        EXPECT_EQ(window->close(), closed);
        EXPECT_EQ(storedValues(reconnect(), u"Boiler.Temp"_s, "Descriptor"), stored);
    }
}

// A new point holds its typed tag as an edit; left untouched it has nothing to lose.
TEST_F(PointBuilderTest, RevertAsksBeforeDroppingEditsAndAnUntouchedNewPointAsksNothing) {
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    editInSheet(*window->alphabeticSheet(), u"Descriptor"_s, u"Mine"_s);
    for (const char* answer : {"Keep editing", "Revert"}) {
        modals.then(u"msgChoice"_s, answering(QString::fromUtf8(answer)));
        window->revert();
    }
    EXPECT_EQ(values(*window->entries(), "Descriptor"), "Descriptor=Boiler temperature");
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Fan.Speed"_s));
    window->revert();
    ASSERT_TRUE(window->newPoint(u"classic"_s, u"Fan.Two"_s));
    EXPECT_EQ(messages(), QStringList());
    // A value typed but not committed is an edit to lose
    ASSERT_TRUE(showActive(*window));
    typeOver(clickValueCell(*window->alphabeticSheet(), u"Descriptor"_s), u"Typed"_s);
    modals.then(u"msgChoice"_s, answering(u"Discard"_s));
    EXPECT_TRUE(window->close());
}

}  // namespace
}  // namespace vq::test
