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

// CR LF breaks become lines, markup stays text, no icon, the application's name when no title is
// given; shown, the box answers with the button the user pressed.
TEST(MessageBoxServiceTest, ShowsTextLinesButtonsAndTitleAndAnswersThePressedButton) {
    QApplication::setApplicationDisplayName(u"Point Builder"_s);
    const auto box = vq::MessageBoxService::createBox(u"VQTagSearch:cmdOKClick\r\n<b>5</b>"_s,
                                                      MessageButtons::Ok, QString());
    EXPECT_EQ(box->text(), u"VQTagSearch:cmdOKClick\n<b>5</b>"_s);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->windowTitle(), u"Point Builder"_s);

    const vq::ScopedServices services(&vq::ServicesContext::messages,
                                      std::make_shared<vq::MessageBoxService>());
    for (const auto& [button, answer] : {std::pair{QMessageBox::Cancel, MessageResult::Cancel},
                                         std::pair{QMessageBox::Ok, MessageResult::Ok}})
        vq::test::whileShown(
            [&] {
                EXPECT_EQ(vq::messageService().show(u"Save?"_s, MessageButtons::OkCancel, u"File"_s), answer);
            },
            [&](QWidget* shown) {
                auto* asked = qobject_cast<QMessageBox*>(shown);
                EXPECT_EQ(asked->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
                EXPECT_EQ(asked->windowTitle(), u"File"_s);
                asked->button(button)->click();
            });
}
