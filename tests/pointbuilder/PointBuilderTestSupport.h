#pragma once

#include "ModalDialogs.h"
#include "PointBuilderWindow.h"
#include "WidgetDriving.h"
#include "model/ModelTestSupport.h"
#include "platform/ServicesContext.h"
#include "platform/Twips.h"
#include "propsheet/VQPointPropSheet.h"
#include "sdk/SdkServers.h"

#include <QAbstractButton>
#include <QTreeView>

namespace vq::test {

// Clicks the value cell of `name` in `sheet` and answers the widget that then has the focus.
inline QWidget* clickValueCell(VQPointPropSheet& sheet, const QString& name) {
    auto* grid = sheet.findChild<QTreeView*>(u"MSHFlexGrid1"_s);
    // Scrolled to by its name cell: the value column is wider than the grid shows.
    grid->scrollTo(sheet.cellIndex(name, columnName));
    const QModelIndex cell = sheet.cellIndex(name, columnValue);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    return QApplication::focusWidget();
}

inline void typeOver(QWidget* editor, const QString& text) {
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
}

inline void editInSheet(VQPointPropSheet& sheet, const QString& name, const QString& text) {
    QWidget* editor = clickValueCell(sheet, name);
    ASSERT_NE(editor, nullptr) << name.toStdString();
    typeOver(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
}

// Clicks the button of a message box that reads `text` (access keys aside).
inline void clickAnswer(QWidget* box, const QString& text) {
    for (auto* button : box->findChildren<QAbstractButton*>()) {
        if (button->text().remove(u'&') != text) continue;
        button->click();
        return;
    }
    ADD_FAILURE() << "no answer " << text.toStdString();
}

// A step for ModalDriver that answers the Point Builder's question with `text`.
inline std::function<void(QWidget*)> answering(const QString& text) {
    return [text](QWidget* box) { clickAnswer(box, text); };
}

// Whether the status bar holds `text`; a failure shows what it held.
inline ::testing::AssertionResult statusSays(const PointBuilderWindow& window, const char* text) {
    if (window.statusText().contains(QString::fromUtf8(text))) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the status says " << window.statusText().toStdString();
}

// The default server "plant", a real archive holding the classic points Boiler.Temp (span 200,
// compression deviation 2) and Pump.Flow, and a Point Builder window active at 96 DPI; modal dialogs are
// answered by the steps queued in `modals`.
class PointBuilderTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        SdkNamedValues attributes;
        attributes.Add(u"Descriptor"_s, u"Boiler temperature"_s);
        attributes.Add(u"Span"_s, 200.0);
        attributes.Add(u"CompDev"_s, 2.0);
        auto server = makeServer();
        storePoint(*server, u"Boiler.Temp"_s, u"classic"_s, pointtype::Float32, attributes);
        SdkNamedValues pump;
        pump.Add(u"Descriptor"_s, u"Feed pump flow"_s);
        storePoint(*server, u"Pump.Flow"_s, u"classic"_s, pointtype::Float32, pump);
        SdkApplication::instance()->Servers()->Add(u"plant"_s, path(u"plant"_s), true);
        window = std::make_unique<PointBuilderWindow>();
        window->resize(1200, 700);
        ASSERT_TRUE(showActive(*window));
    }
    void TearDown() override {
        window.reset();
        EXPECT_EQ(modals.faults(), "");
        ModelTest::TearDown();
    }

    ModalDriver modals;
    const ScopedServices pinnedDpi{&ServicesContext::logicalDpi, 96.0};
    std::unique_ptr<PointBuilderWindow> window;
};

}  // namespace vq::test
