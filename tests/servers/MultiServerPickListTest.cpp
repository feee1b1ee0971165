#include "ModalDialogs.h"
#include "SampleServers.h"
#include "platform/FormRegistry.h"
#include "platform/PropertyBag.h"
#include "platform/ScreenServices.h"
#include "platform/ServicesContext.h"
#include "platform/SystemColors.h"
#include "platform/TextMetrics.h"
#include "platform/Twips.h"
#include "servers/MultiServerPickList.h"
#include "servers/MultiServerPickListMenuForm.h"
#include "servers/MultiServerPickListSelectForm.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

namespace vq::test {
namespace {

QStringList lines(const QListWidget& list, bool selectedOnly = false) {
    QStringList out;
    for (int row = 0; row < list.count(); ++row)
        if (!selectedOnly || list.item(row)->isSelected()) out << list.item(row)->text();
    return out;
}

QStringList menuTexts(const QMenu& menu) {
    QStringList out;
    for (const QAction* action : menu.actions())
        if (action->isVisible()) out << (action->isSeparator() ? u"-"_s : action->text());
    return out;
}

void clickItem(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() != text) continue;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return;
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
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
        form.show();
        QApplication::setActiveWindow(&form);
        pickList->setFocus();
    }
    std::string selected() { return text(pickList->SelectedServers()); }

    QWidget form;
    MultiServerPickList* pickList = nullptr;
};

TEST_F(PickListTest, SelectionChangesOnlyWhenTheNamesDoAndTheGetterKeepsItsObject) {
    QSignalSpy selections(pickList, &MultiServerPickList::OnSelection);
    pickList->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
    const SdkNamedValuesPtr first = pickList->SelectedServers();
    EXPECT_EQ(pickList->SelectedServers(), first);
    EXPECT_EQ(pickList->displayText(), u"vqsouth, vqnorth"_s);
    EXPECT_EQ(pickList->toolTip(), u"vqsouth, vqnorth"_s);

    pickList->SetSelectedServers(names({u"VQNORTH"_s, u"vqsouth"_s}));
    EXPECT_EQ(selections.count(), 1);
    EXPECT_EQ(pickList->SelectedServers(), first);
    EXPECT_EQ(pickList->displayText(), u"vqsouth, vqnorth"_s);

    pickList->SetSelectedServers(names({u"vqsouth"_s}));
    EXPECT_EQ(selections.count(), 2);
    EXPECT_NE(pickList->SelectedServers(), first);
    EXPECT_EQ(selected(), "vqsouth");
    EXPECT_TRUE(pickList->IsServerSelected(u"VQSouth"_s));
    EXPECT_FALSE(pickList->IsServerSelected(u"vqnorth"_s));
}

TEST_F(PickListTest, RemovalFollowsTheServerListExactlyByName) {
    pickList->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
    QSignalSpy selections(pickList, &MultiServerPickList::OnSelection);
    pickList->RemoveServerFromList(u"vqlegacy"_s);  // not selected
    pickList->RemoveServerFromList(u"VQNORTH"_s);   // selected, but not spelt so
    EXPECT_EQ(selections.count(), 0);

    servers()->Remove(u"vqnorth"_s);
    EXPECT_EQ(selections.count(), 1);
    EXPECT_EQ(selected(), "vqsouth");
}

TEST_F(PickListTest, ArrowKeysCycleThroughServersAndTheRememberedChoice) {
    pickList->SetSelectedServers(names({u"vqnorth"_s, u"vqlegacy"_s}));
    pickList->SetSelectedServers(names({u"vqsouth"_s}));
    QStringList visited;
    for (int step = 0; step < 5; ++step) {
        QTest::keyClick(pickList, Qt::Key_Down);
        visited << QString::fromStdString(selected());
    }
    EXPECT_EQ(visited.join(u' '), u"vqnorth vqnorth,vqlegacy vqlegacy vqsouth vqnorth"_s);

    QTest::keyClick(pickList, Qt::Key_Up);
    QTest::keyClick(pickList, Qt::Key_Up);
    EXPECT_EQ(selected(), "vqlegacy");

    pickList->SetEnabled(false);
    QTest::keyClick(pickList, Qt::Key_Up);
    EXPECT_EQ(selected(), "vqlegacy");
}

TEST_F(PickListTest, DialogListsConnectedServersFirstAndKeepsTheChoiceWhenNothingIsPicked) {
    pickList->SetSelectedServers(names({u"vqlegacy"_s}));
    const ScopedServices mouse(&ServicesContext::mousePosition, [] { return QPoint(400, 20); });
    auto* dialog = static_cast<MultiServerPickListSelectForm*>(
        FormRegistry::current().find(u"MultiServerPickListSelectForm"_s));
    ASSERT_NE(dialog, nullptr);
    auto* list = dialog->findChild<QListWidget*>(u"lstServerList"_s);

    whileShown([&] { QTest::mouseClick(pickList, Qt::LeftButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_EQ(shown, dialog);
                   EXPECT_EQ(dialog->windowTitle(), u"Multi-Server Pick List"_s);
                   EXPECT_EQ(dialog->pos(), QPoint(400 - dialog->width() / 4, 0));
                   EXPECT_EQ(lines(*list),
                             QStringList({u"vqsouth"_s, u"vqlegacy"_s, QString(87, u'-'), u"vqnorth"_s}));
                   EXPECT_EQ(lines(*list, true), QStringList{u"vqlegacy"_s});
                   list->clearSelection();
                   QTest::mouseClick(dialog->findChild<QPushButton*>(u"cmdOK"_s), Qt::LeftButton);
               });
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(selected(), "vqlegacy");

    // Closing the window counts as OK; the separator is never a server.
    whileShown([&] { QTest::keyClick(pickList, Qt::Key_Space); },
               [&](QWidget*) {
                   list->selectAll();
                   dialog->close();
               });
    EXPECT_EQ(selected(), "vqsouth,vqlegacy,vqnorth");
}

TEST_F(PickListTest, DialogScrollsAFarSelectionIntoView) {
    QStringList many;
    for (int i = 1; i <= 24; ++i) {
        many << u"alias%1"_s.arg(i, 2, 10, QChar(u'0'));
        servers()->Add(many.last(), archivePath(u"vqnorth"_s), false);
    }
    pickList->SetSelectedServers(names({u"alias12"_s}));  // line 15: 2 connected, separator, vqnorth, ...
    auto* dialog = static_cast<MultiServerPickListSelectForm*>(
        FormRegistry::current().find(u"MultiServerPickListSelectForm"_s));
    whileShown([&] { pickList->ShowSelectForm(); },
               [&](QWidget*) {
                   EXPECT_EQ(dialog->topLine(), 15 - 5);
                   dialog->findChild<QPushButton*>(u"cmdCancel"_s)->click();
               });
}

TEST_F(PickListTest, PopupMenuOffersEveryServerAndRebuildsItsItems) {
    QMenu* menu = static_cast<MultiServerPickListMenuForm*>(
                      FormRegistry::current().find(u"MultiServerPickListMenuForm"_s))
                      ->menu();
    whileShown([&] { QTest::mouseClick(pickList, Qt::RightButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_EQ(shown, menu);
                   EXPECT_EQ(menuTexts(*menu), QStringList({u"Select All Connected"_s, u"vqsouth"_s,
                                                            u"vqlegacy"_s, u"-"_s, u"vqnorth"_s}));
                   clickItem(menu, u"Select All Connected"_s);
               });
    EXPECT_EQ(selected(), "vqsouth,vqlegacy");

    connect(u"vqnorth"_s);
    servers()->Remove(u"vqlegacy"_s);
    whileShown(
        [&] { QTest::keyClick(pickList, Qt::Key_F10, Qt::ShiftModifier); },
        [&](QWidget*) {
            EXPECT_EQ(menuTexts(*menu), QStringList({u"Select All Connected"_s, u"vqsouth"_s, u"vqnorth"_s}));
            clickItem(menu, u"vqnorth"_s);
        });
    EXPECT_EQ(selected(), "vqnorth");

    pickList->SetEnabled(false);
    QTest::mouseClick(pickList, Qt::RightButton, {}, QPoint(5, 5));  // no menu: nothing to answer it
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(PickListTest, NamesAreAbbreviatedToTheirShareOfTheWidth) {
    const QString longName = u"vqsouth-production-historian-primary"_s;
    servers()->Add(longName, archivePath(u"vqsouth"_s), false);
    pickList->setFixedWidth(120);
    pickList->SetSelectedServers(names({longName}));
    // The longest prefix that fits together with the "..." behind it.
    const QString shown = pickList->displayText();
    ASSERT_TRUE(shown.endsWith(u"..."_s)) << shown.toStdString();
    const QString prefix = shown.chopped(3);
    EXPECT_GT(prefix.size(), 3);
    EXPECT_TRUE(longName.startsWith(prefix));
    EXPECT_LT(textWidthTwips(shown, pickList->Font()), pickList->textWidthTwips());
    EXPECT_GE(textWidthTwips(longName.left(prefix.size() + 1) + u"..."_s, pickList->Font()),
              pickList->textWidthTwips());
    EXPECT_EQ(pickList->toolTip(), longName);

    // Two names each get half the width; the tooltip still has them whole.
    pickList->SetSelectedServers(names({longName, u"vqlegacy"_s}));
    const QString both = pickList->displayText();
    EXPECT_TRUE(both.contains(u"..."_s));
    EXPECT_LT(textWidthTwips(both, pickList->Font()),
              pickList->textWidthTwips() + textWidthTwips(u"..."_s, pickList->Font()));
    EXPECT_EQ(pickList->toolTip(), longName + u", vqlegacy"_s);

    EXPECT_EQ(MultiServerPickList::GetAbbreviatedServerName(u"vqsouth"_s, 1, pickList->Font()), u"..."_s);
}

TEST_F(PickListTest, AChoiceMadeBeforeTheControlIsSizedFitsOnceItIs) {
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
    EXPECT_TRUE(textRowHas(SystemColor::Highlight));
    EXPECT_EQ(buttonEdge(), systemColor(SystemColor::ButtonHighlight).rgb());
    whileShown([&] { QTest::mousePress(pickList, Qt::LeftButton, {}, QPoint(5, 5)); },
               [&](QWidget* shown) {
                   EXPECT_EQ(buttonEdge(), systemColor(SystemColor::DarkShadow3D).rgb());
                   shown->hide();
               });
    EXPECT_EQ(buttonEdge(), systemColor(SystemColor::ButtonHighlight).rgb());

    pickList->SetEnabled(false);
    EXPECT_FALSE(textRowHas(SystemColor::Highlight));
    EXPECT_TRUE(textRowHas(SystemColor::ButtonFace));
    EXPECT_EQ(pickList->focusPolicy(), Qt::NoFocus);
}

TEST_F(PickListTest, EnabledPersistsWithItsDefaultAndFormsGoWithTheControl) {
    PropertyBag bag;
    pickList->WriteProperties(bag);
    EXPECT_EQ(bag.names(), QStringList{u"Enabled"_s});
    auto* other = new MultiServerPickList(&form);
    other->WriteProperties(bag);
    EXPECT_EQ(bag.count(), 0);
    bag.WriteProperty(u"Enabled"_s, true, false);
    other->ReadProperties(bag);
    EXPECT_TRUE(other->Enabled());

    QObject* dialog = FormRegistry::current().find(u"MultiServerPickListSelectForm"_s);
    ASSERT_NE(dialog, nullptr);
    delete other;
    EXPECT_EQ(FormRegistry::current().find(u"MultiServerPickListSelectForm"_s), nullptr);
    EXPECT_EQ(FormRegistry::current().find(u"MultiServerPickListMenuForm"_s), nullptr);
    // The remaining pick list loads them again when it needs them.
    whileShown([&] { pickList->ShowSelectForm(); },
               [&](QWidget* shown) {
                   EXPECT_EQ(shown->objectName(), u"MultiServerPickListSelectForm"_s);
                   shown->hide();
               });
}

}  // namespace
}  // namespace vq::test
