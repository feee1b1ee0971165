#include "platform/MessageBoxService.h"

#include "ModalDialogs.h"
#include "platform/ServicesContext.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vq::MessageButtons;
using vq::MessageResult;

// CR LF breaks become lines, markup stays text, no icon; the buttons and title as asked.
TEST(MessageBoxServiceTest, BoxShowsTextLinesButtonsAndTitle) {
    QApplication::setApplicationDisplayName(u"Point Builder"_s);
    const auto box = vq::MessageBoxService::createBox(u"VQTagSearch:cmdOKClick\r\n<b>5</b>"_s,
                                                      MessageButtons::Ok, QString());
    EXPECT_EQ(box->text(), u"VQTagSearch:cmdOKClick\n<b>5</b>"_s);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->windowTitle(), u"Point Builder"_s);

    const auto ask = vq::MessageBoxService::createBox(u"Save?"_s, MessageButtons::OkCancel, u"File"_s);
    EXPECT_EQ(ask->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(ask->windowTitle(), u"File"_s);
}

// The installed service shows a modal box and answers with the button the user pressed.
TEST(MessageBoxServiceTest, InstalledServiceAnswersWithThePressedButton) {
    const vq::ScopedServices services(&vq::ServicesContext::messages,
                                      std::make_shared<vq::MessageBoxService>());
    EXPECT_NE(dynamic_cast<vq::MessageBoxService*>(&vq::messageService()), nullptr);

    for (const auto& [button, answer] : {std::pair{QMessageBox::Cancel, MessageResult::Cancel},
                                         std::pair{QMessageBox::Ok, MessageResult::Ok}})
        vq::test::whileShown(
            [&] { EXPECT_EQ(vq::messageService().show(u"Save?"_s, MessageButtons::OkCancel, {}), answer); },
            [&](QWidget* box) { qobject_cast<QMessageBox*>(box)->button(button)->click(); });
}
