#include "BindableChecks.h"
#include "ModalDialogs.h"
#include "SampleServers.h"
#include "WidgetDriving.h"
#include "platform/FormRegistry.h"
#include "platform/ServicesContext.h"
#include "platform/SystemColors.h"
#include "platform/TextMetrics.h"
#include "servers/MultiServerPickList.h"
#include "servers/MultiServerPickListMenuForm.h"
#include "servers/MultiServerPickListSelectForm.h"

#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>

namespace vq::test {
namespace {

QStringList lines(const QListWidget& list, bool selectedOnly = false) {
    QStringList out;
    for (int row = 0; row < list.count(); ++row)
        if (!selectedOnly || list.item(row)->isSelected()) out << list.item(row)->text();
    return out;
}

class PickListTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        connect(u"vqsouth"_s);
        connect(u"vqlegacy"_s);
        form.resize(420, 80);
        pickList = new MultiServerPickList(&form);
        pickList->setGeometry(10, 10, 300, 24);
        pickList->SetEnabled(true);
        ASSERT_TRUE(showActive(form));
        pickList->setFocus();
    }
    std::string selected() { return text(pickList->SelectedServers()); }
    static QObject* loaded(const QString& name) { return FormRegistry::current().find(name); }
    static MultiServerPickListSelectForm* selectForm() {
        return static_cast<MultiServerPickListSelectForm*>(loaded(u"MultiServerPickListSelectForm"_s));
    }

    QWidget form;
    MultiServerPickList* pickList = nullptr;
};

// The choice is the pick list's value (Designer, QDataWidgetMapper and bindings follow it by its
// names): it changes, and is announced, only when its names do; the getter keeps its object. A
// server leaving the list leaves the choice, matched exactly by name.
TEST_F(PickListTest, SelectionChangesOnlyWhenTheNamesDoAndFollowsTheServerList) {
    EXPECT_EQ(userPropertyOf(*pickList->metaObject()), u"SelectedServerNames"_s);
    EXPECT_EQ(silentProperties(MultiServerPickList::staticMetaObject).join(u' '), QString());
    EXPECT_EQ(writeTwice(*pickList, "SelectedServerNames", QStringList{u"vqnorth"_s, u"vqlegacy"_s}),
              u"notify 1 1, marked 1 1"_s);
    EXPECT_EQ(writeTwice(*pickList, "Enabled", !pickList->Enabled()), u"notify 1 1, marked 1 2"_s);
    QSignalSpy selections(pickList, &MultiServerPickList::OnSelection);
    pickList->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
    const SdkNamedValuesPtr first = pickList->SelectedServers();
    pickList->SetSelectedServers(names({u"VQNORTH"_s, u"vqsouth"_s}));
    EXPECT_EQ(pickList->SelectedServers(), first);
    EXPECT_EQ(pickList->displayText() + u'|' + pickList->toolTip(), u"vqsouth, vqnorth|vqsouth, vqnorth"_s);
    pickList->RemoveServerFromList(u"vqlegacy"_s);  // not selected
    pickList->RemoveServerFromList(u"VQNORTH"_s);   // selected, but not spelt so
    EXPECT_EQ(selections.count(), 1);
    servers()->Remove(u"vqnorth"_s);
    EXPECT_EQ(selections.count(), 2);
    EXPECT_NE(pickList->SelectedServers(), first);
    EXPECT_EQ(selected(), "vqsouth");
    EXPECT_TRUE(pickList->IsServerSelected(u"VQSouth"_s) && !pickList->IsServerSelected(u"vqnorth"_s));
}

TEST_F(PickListTest, ArrowKeysCycleThroughServersAndTheRememberedChoice) {
    pickList->SetSelectedServers(names({u"vqnorth"_s, u"vqlegacy"_s}));
    pickList->SetSelectedServers(names({u"vqsouth"_s}));
    QStringList visited;
    for (Qt::Key key :
         {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up}) {
        QTest::keyClick(pickList, key);
        visited << QString::fromStdString(selected());
    }
    EXPECT_EQ(visited.join(u' '), u"vqnorth vqnorth,vqlegacy vqlegacy vqsouth vqnorth vqsouth vqlegacy"_s);
    pickList->SetEnabled(false);
    QTest::keyClick(pickList, Qt::Key_Up);
    EXPECT_EQ(selected(), "vqlegacy");
}

TEST_F(PickListTest, DialogListsConnectedServersFirstAndKeepsTheChoiceWhenNothingIsPicked) {
    pickList->SetSelectedServers(names({u"vqlegacy"_s}));
    const ScopedServices mouse(&ServicesContext::mousePosition, [] { return QPoint(400, 20); });
    MultiServerPickListSelectForm* dialog = selectForm();
    ASSERT_NE(dialog, nullptr);
    auto* list = child<QListWidget>(dialog, "lstServerList");

    whileShown([&] { QTest::mouseClick(pickList, Qt::LeftButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_TRUE(shown == dialog && dialog->windowTitle() == u"Multi-Server Pick List"_s);
                   EXPECT_EQ(dialog->pos(), QPoint(400 - dialog->width() / 4, 0));
                   EXPECT_EQ(lines(*list),
                             QStringList({u"vqsouth"_s, u"vqlegacy"_s, QString(87, u'-'), u"vqnorth"_s}));
                   EXPECT_EQ(lines(*list, true), QStringList{u"vqlegacy"_s});
                   list->clearSelection();
                   QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
               });
    EXPECT_EQ(selected(), "vqlegacy");

    // Closing the window counts as OK; the separator is never a server.
    whileShown([&] { QTest::keyClick(pickList, Qt::Key_Space); },
               [&](QWidget*) {
                   list->selectAll();
                   dialog->close();
               });
    EXPECT_EQ(selected(), "vqsouth,vqlegacy,vqnorth");
}

// Deleting a pick list unloads the forms it used; one that remains loads them again. From the
// keyboard the dialog comes up over its control and whole on the screen, not at a pointer resting
// in the screen's corner (a click places it at the pointer, above), a far selection scrolled into view.
TEST_F(PickListTest, TheDialogComesBackBesideItsControlFromTheKeyboardWithAFarSelectionInView) {
    auto* other = new MultiServerPickList(&form);
    ASSERT_NE(selectForm(), nullptr);
    delete other;
    EXPECT_EQ(selectForm(), nullptr);
    EXPECT_EQ(loaded(u"MultiServerPickListMenuForm"_s), nullptr);
    for (int i = 1; i <= 24; ++i)
        servers()->Add(u"alias%1"_s.arg(i, 2, 10, QChar(u'0')), archivePath(u"vqnorth"_s), false);
    pickList->SetSelectedServers(names({u"alias12"_s}));  // line 15: 2 connected, separator, vqnorth, ...
    const ScopedServices corner(&ServicesContext::mousePosition, [] { return QPoint(0, 0); });
    form.move(200, 150);
    QRect placed;
    whileShown([&] { QTest::keyClick(pickList, Qt::Key_Space); },
               [&](QWidget* dialog) {
                   placed = dialog->geometry();
                   EXPECT_EQ(selectForm()->topLine(), 15 - 5);
                   static_cast<QDialog*>(dialog)->reject();
               });
    EXPECT_TRUE(placed.contains(pickList->mapToGlobal(pickList->rect().center())) &&
                pickList->screen()->availableGeometry().contains(placed))
        << placed.x() << "," << placed.y();
}

TEST_F(PickListTest, PopupMenuOffersEveryServerAndRebuildsItsItems) {
    QMenu* menu = static_cast<MultiServerPickListMenuForm*>(loaded(u"MultiServerPickListMenuForm"_s))->menu();
    whileShown([&] { QTest::mouseClick(pickList, Qt::RightButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_EQ(shown, menu);
                   EXPECT_EQ(menuTexts(menu), QStringList({u"Select All Connected"_s, u"vqsouth"_s,
                                                           u"vqlegacy"_s, u"-"_s, u"vqnorth"_s}));
                   clickMenuItem(menu, u"Select All Connected"_s);
               });
    EXPECT_EQ(selected(), "vqsouth,vqlegacy");

    connect(u"vqnorth"_s);
    servers()->Remove(u"vqlegacy"_s);
    whileShown(
        [&] { QTest::keyClick(pickList, Qt::Key_F10, Qt::ShiftModifier); },
        [&](QWidget*) {
            EXPECT_EQ(menuTexts(menu), QStringList({u"Select All Connected"_s, u"vqsouth"_s, u"vqnorth"_s}));
            clickMenuItem(menu, u"vqnorth"_s);
        });
    EXPECT_EQ(selected(), "vqnorth");

    pickList->SetEnabled(false);
    QTest::mouseClick(pickList, Qt::RightButton, {}, QPoint(5, 5));  // no menu: nothing to answer it
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

// A name gets the longest prefix that fits with "..." behind it, two names half the width each;
// the tooltip has them whole. A choice made before the control is sized fits once it is.
TEST_F(PickListTest, NamesAreAbbreviatedToTheirShareOfTheWidth) {
    const QString longName = u"vqsouth-production-historian-primary"_s;
    servers()->Add(longName, archivePath(u"vqsouth"_s), false);
    pickList->setFixedWidth(120);
    const auto width = [&](const QString& text) { return textWidthTwips(text, pickList->Font()); };
    pickList->SetSelectedServers(names({longName}));
    const QString prefix = pickList->displayText().chopped(3);
    EXPECT_TRUE(pickList->displayText().endsWith(u"..."_s) && prefix.size() > 3 &&
                longName.startsWith(prefix))
        << prefix.toStdString();
    EXPECT_LT(width(pickList->displayText()), pickList->textWidthTwips());
    EXPECT_GE(width(longName.left(prefix.size() + 1) + u"..."_s), pickList->textWidthTwips());
    pickList->SetSelectedServers(names({longName, u"vqlegacy"_s}));
    EXPECT_TRUE(pickList->displayText().contains(u"..."_s));
    EXPECT_LT(width(pickList->displayText()), pickList->textWidthTwips() + width(u"..."_s));
    EXPECT_EQ(pickList->toolTip(), longName + u", vqlegacy"_s);
    EXPECT_EQ(MultiServerPickList::GetAbbreviatedServerName(u"vqsouth"_s, 1, pickList->Font()), u"..."_s);
    auto* late = new MultiServerPickList(&form);
    late->SetSelectedServers(names({u"vqsouth"_s}));
    late->setGeometry(10, 40, 300, 24);
    EXPECT_EQ(late->displayText(), u"vqsouth"_s);
}

TEST_F(PickListTest, PaintsFocusDisabledAndPressedInTheSystemColours) {
    pickList->SetSelectedServers(names({u"vqsouth"_s}));
    QTRY_VERIFY(pickList->hasFocus());
    auto textRowHas = [&](SystemColor which) {
        const QImage image = pickList->grab().toImage();
        for (int x = 3; x < pickList->buttonRect().left(); ++x)
            if (image.pixel(x, pickList->height() / 2) == systemColor(which).rgb()) return true;
        return false;
    };
    auto buttonEdge = [&] {
        return pickList->grab().toImage().pixel(pickList->buttonRect().topLeft() + QPoint(3, 0));
    };
    EXPECT_TRUE(textRowHas(SystemColor::Highlight) &&
                buttonEdge() == systemColor(SystemColor::ButtonHighlight).rgb());
    whileShown([&] { QTest::mousePress(pickList, Qt::LeftButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_EQ(buttonEdge(), systemColor(SystemColor::DarkShadow3D).rgb());
                   shown->hide();
               });
    EXPECT_EQ(buttonEdge(), systemColor(SystemColor::ButtonHighlight).rgb());

    pickList->SetEnabled(false);
    EXPECT_TRUE(!textRowHas(SystemColor::Highlight) && textRowHas(SystemColor::ButtonFace));
    EXPECT_EQ(pickList->focusPolicy(), Qt::NoFocus);
}

}  // namespace
}  // namespace vq::test
