#pragma once

#include "PointBuilderWindow.h"
#include "model/ModelTestSupport.h"
#include "platform/Twips.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkServers.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTreeView>

namespace vq::test {

// Clicks the value cell of `name` in `sheet`, as a user would, and answers the widget that then
// has the focus (the in-place editor's child when the cell is editable).
inline QWidget* clickValueCell(VQPointPropSheet& sheet, const QString& name) {
    auto* grid = sheet.findChild<QTreeView*>(u"MSHFlexGrid1"_s);
    // Scrolled to by its name cell: the value column is wider than the grid shows.
    grid->scrollTo(sheet.cellIndex(name, columnName));
    const QModelIndex cell = sheet.cellIndex(name, columnValue);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    return QApplication::focusWidget();
}

// Replaces the text of the focused editor with `text`, key by key.
inline void typeOver(QWidget* editor, const QString& text) {
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
}

// Types `text` into the value cell of `name` and commits it with Enter.
inline void editInSheet(VQPointPropSheet& sheet, const QString& name, const QString& text) {
    QWidget* editor = clickValueCell(sheet, name);
    ASSERT_NE(editor, nullptr) << name.toStdString();
    typeOver(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// Whether the status bar holds `text`; a failure shows what it held.
inline ::testing::AssertionResult statusSays(const PointBuilderWindow& window, const char* text) {
    if (window.statusText().contains(QString::fromUtf8(text))) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the status says " << window.statusText().toStdString();
}

inline QString labelText(const QWidget& parent, const char* name) {
    return parent.findChild<QLabel*>(QString::fromLatin1(name))->text();
}

template <typename Widget>
Widget* child(const QWidget& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

// A real archive "plant" in a temporary folder, listed as the default server, holding the
// classic point Boiler.Temp (span 200, compression deviation 2), and a Point Builder window on an
// active form at a pinned 96 DPI.
class PointBuilderTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        setLogicalDpiOverride(96);
        auto server = makeServer();
        SdkNamedValues attributes;
        attributes.Add(u"Descriptor"_s, u"Boiler temperature"_s);
        attributes.Add(u"Span"_s, 200.0);
        attributes.Add(u"CompDev"_s, 2.0);
        storePoint(*server, u"Boiler.Temp"_s, u"classic"_s, pointtype::Float32, attributes);
        SdkApplication::instance()->Servers()->Add(u"plant"_s, path(u"plant"_s), true);
        window = std::make_unique<PointBuilderWindow>();
        window->resize(1200, 700);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override {
        window.reset();
        setLogicalDpiOverride(0);
        ModelTest::TearDown();
    }

    std::unique_ptr<PointBuilderWindow> window;
};

}  // namespace vq::test
