#pragma once

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QMenu>
#include <QPushButton>
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

// Clicks the push button of `parent` called `name`.
inline void clickButton(const QObject* parent, const char* name) {
    QTest::mouseClick(child<QPushButton>(parent, name), Qt::LeftButton);
}

// Scrolls `index` into view and clicks its middle.
inline void clickIndex(QAbstractItemView* view, const QModelIndex& index) {
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

// The texts of a list's items, top down.
inline QStringList comboItems(const QComboBox* box) {
    QStringList texts;
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

// The texts of one column of `model`, top down.
inline QStringList columnTexts(const QAbstractItemModel* model, int column) {
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row) texts << model->index(row, column).data().toString();
    return texts;
}

// Shows `window` and waits until the offscreen platform makes it the active one, so that focus
// and keys reach it as on a desktop.
inline ::testing::AssertionResult showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    if (QTest::qWaitForWindowActive(&window)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the window did not become active";
}

// Types `keys` to whichever widget has the focus at each step, as a user would: key names as
// QKeySequence reads them ("Down", "F2", "Shift+Tab", "Ctrl+F") and quoted text ('Feed_water',
// "_" for a blank).
inline void pressKeys(const QString& keys) {
    for (const QString& token : keys.split(u' ', Qt::SkipEmptyParts)) {
        if (!token.startsWith(u'\'')) {
            const QKeyCombination key = QKeySequence::fromString(token)[0];
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
            continue;
        }
        const QString text = token.mid(1).chopped(1).replace(u'_', u' ');
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key(c.toUpper().unicode()),
                                QString(c), Qt::NoModifier);
    }
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
