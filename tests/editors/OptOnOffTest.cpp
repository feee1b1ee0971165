#include "editors/OptOnOff.h"

#include "EditorTestWindow.h"
#include "platform/PropertyBag.h"

#include <QRadioButton>
#include <QSignalSpy>

#include <functional>
#include <vector>

using namespace Qt::StringLiterals;
using vq::OptOnOff;
using vq::PropertyBag;
using vq::test::EditorTestWindow;

namespace {

struct Window : EditorTestWindow<OptOnOff> {
    Window() : EditorTestWindow(QSize(1300, 300)) {}
    QRadioButton* optOn() const { return child<QRadioButton>("optOn"); }
    QRadioButton* optOff() const { return child<QRadioButton>("optOff"); }
    // Clicks on the button's indicator, away from the strip where the two buttons overlap.
    static void click(QRadioButton* option) { QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, 8)); }
    QString shown() const {
        return optOn()->isChecked() ? u"On"_s : optOff()->isChecked() ? u"Off"_s : u"none"_s;
    }
};

}  // namespace

TEST(OptOnOffTest, SizeIsFixedAt1300By300) {
    const OptOnOff::Layout layout = OptOnOff::layoutFor(QSize(2000, 500));
    EXPECT_EQ(layout.control, QSize(1300, 300));

    Window w;
    w.editor->resize(vq::twipsToPixels(QSize(2000, 500)));
    EXPECT_EQ(w.editor->size(), vq::twipsToPixels(layout.control));
    EXPECT_EQ(w.optOff()->geometry(), vq::twipsToPixels(layout.off));
}

// Writing `Value` moves the buttons silently and reads back as written; a click raises one event
// and makes `Value` 1 or 0.
TEST(OptOnOffTest, WrittenValuesAreSilentClicksRaiseOneEvent) {
    struct Row {
        int16_t written;
        QString shownAfterWrite;
        std::function<void(Window&)> act;
        int events;
        int16_t value;
        QString shown;
    };
    const std::vector<Row> rows = {
        {0, u"Off"_s, [](Window& w) { Window::click(w.optOn()); }, 1, 1, u"On"_s},
        {-1, u"On"_s, [](Window& w) { Window::click(w.optOff()); }, 1, 0, u"Off"_s},
        {-1, u"On"_s, [](Window& w) { Window::click(w.optOn()); }, 1, 1, u"On"_s},
        {0, u"Off"_s, [](Window& w) { w.editor->SetValue(7); }, 0, 7, u"On"_s},
        {1, u"On"_s,
         [](Window& w) {
             w.optOn()->setFocus();
             QTest::keyClick(vq::test::kFocused, Qt::Key_Right);
         },
         1, 0, u"Off"_s},
    };
    for (const Row& row : rows) {
        Window w;
        QSignalSpy clicks(w.editor, &OptOnOff::OnOptionClick);
        w.editor->SetValue(row.written);
        EXPECT_EQ(w.editor->Value(), row.written);
        EXPECT_EQ(w.shown(), row.shownAfterWrite) << row.written;
        row.act(w);
        EXPECT_EQ(clicks.count(), row.events) << row.written;
        EXPECT_EQ(w.editor->Value(), row.value) << row.written;
        EXPECT_EQ(w.shown(), row.shown) << row.written;
    }
}
