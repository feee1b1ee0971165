#include "platform/Hourglass.h"
#include "platform/ScreenServices.h"
#include "platform/ServicesContext.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

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
        ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_TRUE(vq::Hourglass::isShown());
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(vq::Hourglass::isShown());
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
    struct Row {
        double dpi;
        std::function<std::optional<int>()> pixels;
        int32_t twips;
    };
    const std::vector<Row> rows = {
        {96, [] { return 17; }, 255},
        {960, [] { return 3; }, 4},  // 4.5 twips -> 4
        {960, [] { return 5; }, 8},  // 7.5 twips -> 8
        {96, [] { return std::optional<int>(); }, 240},
        {96, []() -> std::optional<int> { throw std::runtime_error("no metrics"); }, 240},
    };
    for (const Row& row : rows) {
        const vq::ScopedServices services([&](vq::ServicesContext& context) {
            context.logicalDpi = row.dpi;
            context.scrollBarWidth = row.pixels;
        });
        EXPECT_EQ(vq::GetScrollBarWidth(), row.twips) << row.dpi;
    }
}
