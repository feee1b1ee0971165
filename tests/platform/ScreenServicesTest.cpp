#include "platform/Hourglass.h"
#include "platform/MessageBoxService.h"
#include "platform/ScreenServices.h"
#include "platform/ServicesContext.h"
#include "platform/SystemColors.h"

#include "ModalDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPalette>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <tuple>

using namespace Qt::StringLiterals;

// The wait cursor stays while any guard lives, and goes when the last ends, also by an exception.
TEST(ScreenServicesTest, HourglassNestsAndAlwaysRestores) {
    {
        vq::Hourglass outer;
        try {
            vq::Hourglass inner;
            throw std::runtime_error("interrupted");
        } catch (const std::runtime_error&) {
        }
        const QCursor* cursor = QGuiApplication::overrideCursor();
        EXPECT_TRUE(cursor && cursor->shape() == Qt::WaitCursor && vq::Hourglass::isShown());
    }
    EXPECT_TRUE(QGuiApplication::overrideCursor() == nullptr && !vq::Hourglass::isShown());
}

// Plain colours are 0x00BBGGRR; flagged values follow the application palette.
TEST(ScreenServicesTest, PersistedColoursReadAsPlainOrThemeColours) {
    EXPECT_EQ(vq::colorFromOle(0x336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(vq::oleFromColor(QColor(0x99, 0x66, 0x33)), 0x336699u);

    const QPalette saved = QApplication::palette();
    QPalette themed = saved;
    themed.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    themed.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
    QApplication::setPalette(themed);
    EXPECT_EQ(vq::colorFromOle(vq::kSystemColorFlag | 5), QColor(1, 2, 3));
    EXPECT_EQ(vq::systemColor(vq::SystemColor::Highlight), QColor(4, 5, 6));
    EXPECT_EQ(vq::colorFromOle(vq::kSystemColorFlag | 999), vq::systemColor(vq::SystemColor::WindowText));
    QApplication::setPalette(saved);
}

// Pixels times twips per pixel, halves to even; 240 when the platform cannot tell or fails.
TEST(ScreenServicesTest, ScrollBarWidthInTwips) {
    using Pixels = std::function<std::optional<int>()>;
    const std::tuple<double, Pixels, int32_t> rows[] = {
        {96, [] { return 17; }, 255},
        {960, [] { return 3; }, 4},  // 4.5 twips -> 4
        {960, [] { return 5; }, 8},  // 7.5 twips -> 8
        {96, [] { return std::optional<int>(); }, 240},
        {96, []() -> std::optional<int> { throw std::runtime_error("no metrics"); }, 240},
    };
    for (const auto& [dpi, pixels, twips] : rows) {
        const vq::ScopedServices services([&](vq::ServicesContext& context) {
            context.logicalDpi = dpi;
            context.scrollBarWidth = pixels;
        });
        EXPECT_EQ(vq::GetScrollBarWidth(), twips) << dpi;
    }
}

// CR LF breaks become lines, markup stays text, no icon, the application's name when no title is
// given; shown, the box answers with the button the user pressed.
TEST(MessageBoxServiceTest, ShowsTextLinesButtonsAndTitleAndAnswersThePressedButton) {
    QApplication::setApplicationDisplayName(u"Point Builder"_s);
    const auto box = vq::MessageBoxService::createBox(u"VQTagSearch:cmdOKClick\r\n<b>5</b>"_s,
                                                      vq::MessageButtons::Ok, QString());
    EXPECT_EQ(box->windowTitle() + u'|' + box->text(), u"Point Builder|VQTagSearch:cmdOKClick\n<b>5</b>"_s);
    EXPECT_TRUE(box->textFormat() == Qt::PlainText && box->icon() == QMessageBox::NoIcon);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);

    const vq::ScopedServices services(&vq::ServicesContext::messages,
                                      std::make_shared<vq::MessageBoxService>());
    for (const auto& [button, answer] : {std::pair{QMessageBox::Cancel, vq::MessageResult::Cancel},
                                         std::pair{QMessageBox::Ok, vq::MessageResult::Ok}})
        vq::test::whileShown(
            [&] {
                EXPECT_EQ(vq::messageService().show(u"Save?"_s, vq::MessageButtons::OkCancel, u"File"_s),
                          answer);
            },
            [&](QWidget* shown) {
                auto* asked = qobject_cast<QMessageBox*>(shown);
                EXPECT_TRUE(asked->standardButtons() == (QMessageBox::Ok | QMessageBox::Cancel) &&
                            asked->windowTitle() == u"File"_s);
                asked->button(button)->click();
            });
}
