#include "ModalDialogs.h"
#include "SampleServers.h"
#include "WidgetDriving.h"
#include "platform/FormRegistry.h"
#include "platform/ServicesContext.h"
#include "sdk/SdkErrors.h"
#include "servers/LogonWindow.h"
#include "servers/MultiServerPickList.h"

#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace vq::test {
namespace {

using WindowPlacesTest = SampleServersTest;

// From the keyboard the selection dialog comes up over its control and whole on the screen, not
// at a pointer resting in the screen's corner; a click still places it at the pointer.
TEST_F(WindowPlacesTest, ThePickListsDialogOpensBesideItsControlFromTheKeyboard) {
    const ScopedServices corner(&ServicesContext::mousePosition, [] { return QPoint(0, 0); });
    QWidget form;
    form.setGeometry(200, 150, 420, 80);
    auto* pickList = new MultiServerPickList(&form);
    pickList->setGeometry(10, 10, 300, 24);
    pickList->SetEnabled(true);
    ASSERT_TRUE(showActive(form));
    pickList->setFocus();
    QRect placed;
    whileShown([&] { QTest::keyClick(pickList, Qt::Key_Space); },
               [&](QWidget* dialog) {
                   placed = dialog->geometry();
                   static_cast<QDialog*>(dialog)->reject();
               });
    EXPECT_TRUE(placed.contains(pickList->mapToGlobal(pickList->rect().center())))
        << placed.x() << "," << placed.y();
    EXPECT_TRUE(pickList->screen()->availableGeometry().contains(placed)) << placed.x() << "," << placed.y();
}

// Refusals that take three lines make the window taller; the fields keep their height.
TEST_F(WindowPlacesTest, TheLogonWindowKeepsItsFieldsWhenItsMessageGrows) {
    LogonWindow window(servers()->Item(u"vqsouth"_s));
    ASSERT_TRUE(showActive(window));
    const QString why = QStringList(12, u"the archive refused the password given"_s).join(u"; "_s);
    for (int attempt = 0; attempt < 3; ++attempt)
        window.showRefusal(Error(sdkerr::LogonFailed, u"vqsouth"_s, why));
    QApplication::processEvents();
    auto* message = child<QLabel>(&window, "lblMessage");
    ASSERT_GE(message->height(), 3 * message->fontMetrics().lineSpacing());
    EXPECT_GE(message->height(), message->heightForWidth(message->width()));
    for (const char* field : {"txtUser", "txtPassword"}) {
        auto* box = child<QLineEdit>(&window, field);
        EXPECT_GE(box->height(), box->sizeHint().height()) << field;
    }
}

}  // namespace
}  // namespace vq::test
