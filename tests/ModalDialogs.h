#pragma once

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace vq::test {

// Runs `act` on the modal dialog or pop-up menu that `open` shows, once it is up.
inline void whileShown(const std::function<void()>& open, const std::function<void(QWidget*)>& act) {
    bool acted = false;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activePopupWidget();
        if (!shown) shown = QApplication::activeModalWidget();
        ASSERT_NE(shown, nullptr);
        acted = true;
        act(shown);
    });
    open();
    EXPECT_TRUE(acted);
}

}  // namespace vq::test
