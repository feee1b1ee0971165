#include "SheetTest.h"

#include <QImage>

using namespace vq;
using namespace vq::test;

namespace {

using RenderTest = SheetTest;

// True when some pixel inside `area` is plainly red (the text of an invalid value).
bool hasRedText(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (const QColor p = image.pixelColor(x, y); p.red() > 160 && p.green() < 100 && p.blue() < 100)
                return true;
    return false;
}

// Both views drawn, with the pictures kept in $VQ_PROPSHEET_SHOTS for a person to look at.
TEST_F(RenderTest, GreyReadOnlyCellsRedInvalidValuesAndTheEditorOverItsCell) {
    const QString folder = qEnvironmentVariable("VQ_PROPSHEET_SHOTS");
    sheet->resize(twipsToPixels(QSize(5000, 5200)));
    edit(*entries, "Tag=Boiler.Temp Descriptor=Feed_water_temperature");
    sheet->SetEntryReadOnly(u"Scan"_s, true);
    bind(viewCategorized);
    click("[Archive]", columnSign);
    edit(*entries, "Span=0");
    click("Archiving", columnValue, 10);
    const QImage categorized = sheet->grab().toImage();
    if (!folder.isEmpty()) categorized.save(folder + u"/propsheet-categorized.png"_s);
    EXPECT_EQ(categorized.pixelColor(cell("Scan", columnValue).center()),
              systemColor(SystemColor::ButtonFace));
    EXPECT_EQ(categorized.pixelColor(cell("Shutdown", columnValue).center()),
              systemColor(SystemColor::Window));
    // Grid lines run along each cell's right and bottom edges.
    const QRect name = cell("Scan", columnName);
    for (const QPoint line :
         {QPoint(name.center().x(), name.bottom()), QPoint(name.right(), name.center().y())})
        EXPECT_NE(categorized.pixelColor(line), systemColor(SystemColor::ButtonFace));
    EXPECT_TRUE(hasRedText(categorized, cell("Span", columnValue)));
    EXPECT_FALSE(hasRedText(categorized, cell("Zero", columnValue)));
    EXPECT_EQ(editor()->geometry().top(), cell("Archiving", columnValue).top());

    sheet->SetView(viewAlphabetic);
    click("Scan", columnName);
    const QImage alphabetic = sheet->grab().toImage();
    if (!folder.isEmpty()) alphabetic.save(folder + u"/propsheet-alphabetic.png"_s);
    EXPECT_EQ(alphabetic.pixelColor(cell("Scan", columnValue).center()),
              systemColor(SystemColor::ButtonFace));
}

}  // namespace
