#include "EditorTestWindow.h"

#include "editors/ComboButton.h"
#include "editors/SecurityControl.h"
#include "editors/SecurityControlInd.h"
#include "editors/TxtButton.h"
#include "editors/TxtComboControl.h"

#include <QSignalSpy>

#include <functional>
#include <memory>

using namespace vq;
using namespace vq::test;

namespace {

template <typename T>
QWidget* make(QWidget* form) {
    return new T(form);
}

struct Key {
    QWidget* (*make)(QWidget*);
    const char* child;  // where the focus is
    Qt::Key key;
    const char* signal;
    int raised;
    int keysOnForm;  // a list passes Enter on to its form (a dialog's default button); a text box does not
};

// A key in one child of a control: the control's event goes out once, and the key reaches the form
// only where it always did. Typing a letter afterwards raises nothing more.
TEST(EditorKeys, EnterAndTabRaiseTheControlsEventOnce) {
    const Key keys[] = {
        {make<ComboButton>, "Combo1", Qt::Key_Return, "2OnEnterKeyPress()", 1, 1},
        {make<SecurityControl>, "cboOwner", Qt::Key_Return, "2OnEnterKeyPress()", 1, 1},
        {make<SecurityControl>, "cboWorld", Qt::Key_Return, "2OnEnterKeyPress()", 1, 1},
        {make<SecurityControlInd>, "Combo1", Qt::Key_Enter, "2OnEnterKeyPress()", 1, 1},
        {make<TxtComboControl>, "Combo1", Qt::Key_Return, "2OnEnterKeyPress()", 1, 1},
        {make<TxtComboControl>, "Text1", Qt::Key_Tab, "2TextLostFocus()", 1, 0},
        {make<TxtButton>, "Text1", Qt::Key_Return, "2OnEnterKeyPress()", 1, 0},
    };
    for (const Key& row : keys) {
        EditorTestWindow<QWidget> window(QSize(3000, 315));
        QWidget* control = row.make(window.editor);
        control->resize(twipsToPixels(QSize(3000, 315)));
        control->show();
        SCOPED_TRACE(std::string(control->metaObject()->className()) + " " + row.child + " " + row.signal);
        QSignalSpy raised(control, row.signal);
        auto* child = control->findChild<QWidget*>(QString::fromLatin1(row.child));
        ASSERT_NE(child, nullptr);
        child->setFocus();
        QTest::keyClick(kFocused, row.key);
        QTest::keyClick(child, Qt::Key_A);
        EXPECT_EQ(raised.count(), row.raised);
        EXPECT_EQ(window.formKeys.presses, row.keysOnForm);
    }
}

}  // namespace
