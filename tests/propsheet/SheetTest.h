#pragma once

#include "WidgetDriving.h"
#include "model/ModelTestSupport.h"

#include "editors/VQPointAttributeEdit.h"
#include "platform/ServicesContext.h"
#include "platform/SystemColors.h"
#include "platform/Twips.h"
#include "propsheet/PropSheetGridModel.h"
#include "propsheet/VQPointPropSheet.h"

#include <QHeaderView>
#include <QTableView>
#include <QTest>

namespace vq::test {

// A sheet on an active offscreen form at 96 DPI (15 twips to the pixel), and a new "classic"
// point of a real archive to bind it to.
class SheetTest : public ModelTest {
public:
    void SetUp() override {
        ModelTest::SetUp();
        entries = std::make_shared<PropSheetEntries>();
        entries->AddDefaultAttributes(makeServer(), u"classic"_s);
        sheet = new VQPointPropSheet(&form);
        sheet->setGeometry(QRect(QPoint(0, 0), twipsToPixels(QSize(5000, 4000))));
        form.resize(sheet->size());
        ASSERT_TRUE(showActive(form));
    }
    void TearDown() override {
        delete sheet;
        ModelTest::TearDown();
    }

    void bind(int32_t view = viewAlphabetic) {
        sheet->SetView(view);
        sheet->SetPropSheetEntries(entries);
    }
    const PropSheetGridModel& grid() const { return sheet->gridModel(); }
    QTableView* view() const { return sheet->findChild<QTableView*>(u"MSHFlexGrid1"_s); }
    VQPointAttributeEdit* editor() const {
        return sheet->findChild<VQPointAttributeEdit*>(u"VQPointAttributeEdit1"_s);
    }
    // The row of an entry, or of a category written in brackets ("[Archive]").
    int row(const char* name) const {
        const QString text = QString::fromUtf8(name);
        if (!text.startsWith(u'[')) return sheet->rowOf(text);
        for (int r = PropSheetGridModel::kFirstDataRow; r < grid().Rows(); ++r)
            if (grid().RowTag(r) == PropSheetGridRow::Category &&
                u'[' + grid().TextMatrix(r, 3) + u']' == text)
                return r;
        return 0;
    }

    // The shown category rows and the shown entries of the category "Overview", in grid order:
    // categories as "[-Name]" or "[+Name]" by their sign, entries by display name. Every row must be
    // 275 or 0 high and hidden in the view exactly when it is 0 high.
    std::string shownOverview() const {
        QStringList shown;
        for (int r = PropSheetGridModel::kFirstDataRow; r < grid().Rows(); ++r) {
            const PropSheetGridRow& gridRow = grid().row(r);
            EXPECT_EQ(view()->isRowHidden(r - 1), gridRow.height == 0) << r;
            EXPECT_TRUE(gridRow.height == 0 || gridRow.height == PropSheetGridModel::kRowHeight) << r;
            if (gridRow.height == 0) continue;
            if (gridRow.tag == PropSheetGridRow::Category)
                shown << (gridRow.sign == PropSheetGridRow::Sign::Collapsed ? u"[+"_s : u"[-"_s) +
                             gridRow.cells[3] + u']';
            else if (gridRow.group == u"Overview")
                shown << gridRow.cells[3];
        }
        return shown.join(u' ').toStdString();
    }

    // The cell in the view's pixels, relative to the sheet, cut to what the grid shows.
    QRect cell(int gridRow, int column) const {
        const QRect rect =
            view()->visualRect(grid().cellIndex(gridRow, column)).intersected(view()->viewport()->rect());
        return rect.translated(view()->viewport()->mapTo(sheet, QPoint(0, 0)));
    }
    // Scrolls a cell into view and clicks it `x` pixels from its left edge.
    void click(int gridRow, int column, int x = 4) {
        QCoreApplication::processEvents();  // the view lays out rows shown or hidden since
        view()->scrollTo(grid().cellIndex(gridRow, column));
        const QRect rect = view()->visualRect(grid().cellIndex(gridRow, column));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + x, rect.center().y()));
    }

    const ScopedServices pinnedDpi{&ServicesContext::logicalDpi, 96.0};
    QWidget form;
    VQPointPropSheet* sheet = nullptr;
    std::shared_ptr<PropSheetEntries> entries;
};

}  // namespace vq::test
