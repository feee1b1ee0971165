// The Point Builder, the point properties dialog and the gallery's pages at 200%: every visible
// child stays inside its parent, at the size each asks for and larger. The scale factor is read
// when QApplication starts, so it is set while the program initialises.
#include "GalleryWindow.h"
#include "ServersPage.h"
#include "dialogs/VQPointPropertySheetForm.h"
#include "platform/Twips.h"
#include "pointbuilder/PointBuilderTestSupport.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkPoints.h"
#include "search/VQTagSearch.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QTabWidget>
#include <QTest>

namespace vq::test {
namespace {

const bool kScaled = (qputenv("QT_SCALE_FACTOR", "2"), true);

// Each visible child that leaves its parent, as "sheetAlphabetic > MSHFlexGrid1"; content
// scrolled in a viewport is meant to leave it.
QStringList strayChildren(const QWidget& root) {
    QStringList stray;
    for (const QWidget* child : root.findChildren<QWidget*>()) {
        const QWidget* parent = child->parentWidget();
        if (child->isWindow() || !child->isVisibleTo(&root) || !parent) continue;
        auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
        if (area && area->viewport() == parent) continue;
        // The attribute editor hides its child's own border behind its sunken edge, on purpose.
        const int hidden = parent->objectName() == u"clientArea"_s ? twipsToPixels(30) : 0;
        if (!parent->rect().adjusted(-hidden, -hidden, hidden, hidden).contains(child->geometry()))
            stray << QString::fromLatin1(parent->metaObject()->className()) + u' ' + parent->objectName() +
                         u" > "_s + child->objectName();
    }
    return stray;
}

// The Point Builder's own fixture: the server "plant" holding Boiler.Temp, its window open.
using HighDpiTest = PointBuilderTest;

TEST_F(HighDpiTest, EveryWindowsChildrenStayInsideTheirControlsAtTwiceTheScale) {
    ASSERT_TRUE(window->openPoint(u"Boiler.Temp"_s));
    window->resize(PointBuilderWindow::firstSize());
    auto properties = std::make_unique<VQPointPropertySheetForm>();
    auto list = SdkPointList::create();
    list->Add(reconnect()->Points()->Item(u"Boiler.Temp"_s));
    properties->SetPointList(list);
    auto gallery = std::make_unique<GalleryWindow>();
    auto pages = std::make_unique<QTabWidget>();
    pages->addTab(new ServersPage, u"Servers and digital sets"_s);
    pages->addTab(new VQTagSearch, u"Point search"_s);
    const std::pair<QWidget*, QSize> windows[] = {{window.get(), {1400, 900}},
                                                  {properties.get(), {900, 1000}},
                                                  {gallery.get(), {900, 500}},
                                                  {pages.get(), {1100, 800}}};
    for (const auto& [tested, larger] : windows) {
        tested->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tested));
        EXPECT_EQ(tested->devicePixelRatio(), 2.0);
        for (QSize size : {tested->size(), larger}) {
            tested->resize(size);
            QApplication::processEvents();
            EXPECT_EQ(strayChildren(*tested).join(u'\n'), QString()) << tested->metaObject()->className();
        }
    }
    pages->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_EQ(strayChildren(*pages).join(u'\n'), QString());
}

}  // namespace
}  // namespace vq::test
