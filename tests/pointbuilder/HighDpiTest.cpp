// The Point Builder and the gallery at 200%: every visible child stays inside its parent.
// The scale factor is read when QApplication starts, so it is set while the program initialises,
// before the test main makes the application.
#include "GalleryWindow.h"
#include "PointBuilderWindow.h"
#include "ServersPage.h"
#include "dialogs/VQPointPropertySheetForm.h"
#include "model/ModelTestSupport.h"
#include "platform/Twips.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "sdk/SdkServers.h"
#include "search/VQTagSearch.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTabWidget>
#include <QTest>

namespace vq::test {
namespace {

const bool kScaled = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

// Each visible child whose rectangle leaves its parent's, as "sheetAlphabetic > MSHFlexGrid1:
// 0,0 300x200 outside 280x200". Content scrolled in a viewport is meant to leave it.
QStringList strayChildren(const QWidget& root) {
    QStringList stray;
    const auto name = [](const QWidget* widget) {
        return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                              : widget->objectName();
    };
    for (const QWidget* child : root.findChildren<QWidget*>()) {
        const QWidget* parent = child->parentWidget();
        if (child->isWindow() || !child->isVisibleTo(&root) || !parent) continue;
        if (auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
            area && area->viewport() == parent)
            continue;
        // The attribute editor hides its child's own border behind its sunken edge, on purpose.
        const int hidden = parent->objectName() == u"clientArea"_s ? twipsToPixels(30) : 0;
        if (parent->rect().adjusted(-hidden, -hidden, hidden, hidden).contains(child->geometry())) continue;
        const QRect r = child->geometry();
        stray << QStringLiteral("%1 > %2: %3,%4 %5x%6 outside %7x%8")
                     .arg(name(parent), name(child))
                     .arg(r.x())
                     .arg(r.y())
                     .arg(r.width())
                     .arg(r.height())
                     .arg(parent->width())
                     .arg(parent->height());
    }
    return stray;
}

// Lengths convert through the screen's own DPI here, as on a user's desktop: nothing pins it.
class HighDpiTest : public ModelTest {
protected:
    // Shown at the size it asks for, then larger, so both the tight and the roomy layout count.
    template <typename Window>
    void expectInside(Window& window, QSize larger) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(window.devicePixelRatio(), 2.0);
        QApplication::processEvents();
        EXPECT_EQ(strayChildren(window).join(u'\n'), QString())
            << "at " << window.width() << "x" << window.height();
        window.resize(larger);
        QApplication::processEvents();
        EXPECT_EQ(strayChildren(window).join(u'\n'), QString())
            << "at " << window.width() << "x" << window.height();
    }
};

TEST_F(HighDpiTest, PointBuilderChildrenStayInsideTheirControlsAtTwiceTheScale) {
    auto server = makeServer();
    SdkNamedValues attributes;
    attributes.Add(u"Descriptor"_s, u"Boiler temperature"_s);
    storePoint(*server, u"Boiler.Temp"_s, u"classic"_s, pointtype::Float32, attributes);
    SdkApplication::instance()->Servers()->Add(u"plant"_s, path(u"plant"_s), true);
    PointBuilderWindow window;
    ASSERT_TRUE(window.openPoint(u"Boiler.Temp"_s));
    expectInside(window, QSize(1400, 900));
}

TEST_F(HighDpiTest, PointPropertiesDialogStaysInsideItselfAtTwiceTheScale) {
    auto server = makeServer();
    storePoint(*server, u"Boiler.Temp"_s, u"classic"_s, pointtype::Float32, SdkNamedValues());
    auto list = SdkPointList::create();
    list->Add(server->Points()->Item(u"Boiler.Temp"_s));
    VQPointPropertySheetForm form;
    form.SetPointList(list);
    expectInside(form, QSize(900, 1000));
}

TEST_F(HighDpiTest, GalleryEditorsStayInsideTheirControlsAtTwiceTheScale) {
    GalleryWindow window;
    expectInside(window, QSize(900, 500));
}

// The gallery's other pages: the pick lists and the digital set search, then the point search.
TEST_F(HighDpiTest, GalleryServerAndSearchPagesStayInsideTheirControlsAtTwiceTheScale) {
    makeServer();
    SdkApplication::instance()->Servers()->Add(u"plant"_s, path(u"plant"_s), true);
    QTabWidget window;
    window.addTab(new ServersPage, u"Servers and digital sets"_s);
    window.addTab(new VQTagSearch, u"Point search"_s);
    expectInside(window, QSize(1100, 800));
    window.setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(strayChildren(window).join(u'\n'), QString());
}

}  // namespace
}  // namespace vq::test
