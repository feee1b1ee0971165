#include "SheetTest.h"

#include <QImage>

using namespace vq;
using namespace vq::test;

namespace {

using RenderTest = SheetTest;

// True when some pixel inside `area` is plainly red (the text of an invalid value).
bool hasRedText(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() > 160 && pixel.green() < 100 && pixel.blue() < 100) return true;
        }
    return false;
}

// Saves the picture when VQ_PROPSHEET_SHOTS names a folder, for a person to look at.
void keep(const QImage& image, const char* name) {
    const QString folder = qEnvironmentVariable("VQ_PROPSHEET_SHOTS");
    if (!folder.isEmpty()) image.save(folder + u'/' + QString::fromUtf8(name));
}

TEST_F(RenderTest, BothViewsShowGreyReadOnlyCellsRedInvalidValuesAndTheEditorOverItsCell) {
    sheet->resize(twipsToPixels(QSize(5000, 5200)));
    edit(*entries, "Tag=Boiler.Temp Descriptor=Feed_water_temperature");
    sheet->SetEntryReadOnly(u"Scan"_s, true);
    bind(viewCategorized);
    click(categoryRow("Archive"), 2);
    edit(*entries, "Span=0");
    click(row("ExcMin"), 4, 10);

    const QImage categorized = sheet->grab().toImage();
    keep(categorized, "propsheet-categorized.png");
    EXPECT_EQ(categorized.pixelColor(cell(row("Scan"), 4).center()), systemColor(SystemColor::ButtonFace));
    EXPECT_EQ(categorized.pixelColor(cell(row("Shutdown"), 4).center()), systemColor(SystemColor::Window));
    EXPECT_TRUE(hasRedText(categorized, cell(row("Span"), 4)));
    EXPECT_FALSE(hasRedText(categorized, cell(row("Zero"), 4)));
    EXPECT_EQ(editor()->geometry().top(), cell(row("ExcMin"), 4).top());

    sheet->SetView(viewAlphabetic);
    click(row("Scan"), 3);
    const QImage alphabetic = sheet->grab().toImage();
    keep(alphabetic, "propsheet-alphabetic.png");
    EXPECT_EQ(alphabetic.pixelColor(cell(row("Scan"), 4).center()), systemColor(SystemColor::ButtonFace));
}

}  // namespace
