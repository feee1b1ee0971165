#pragma once

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace vq::test {

// The child of `parent` called `name`; a missing one fails the test.
template <typename Widget>
Widget* child(const QObject* parent, const char* name) {
    auto* found = parent->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}
template <typename Widget>
Widget* child(const QObject& parent, const char* name) {
    return child<Widget>(&parent, name);
}

// Shows `window` and waits until the offscreen platform makes it the active one, so that focus
// and keys reach it as on a desktop.
inline ::testing::AssertionResult showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    if (QTest::qWaitForWindowActive(&window)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window did not become active";
}

// The visible items of `menu` as a user reads them, "-" for a separator.
inline QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        if (action->isVisible()) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

// Clicks the item of the shown `menu` that reads `text`.
inline void clickMenuItem(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() != text) continue;
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        return;
    }
    ADD_FAILURE() << "no menu item " << text.toStdString();
}

}  // namespace vq::test
