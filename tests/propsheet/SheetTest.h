#pragma once

#include "WidgetDriving.h"
#include "editors/VQPointAttributeEdit.h"
#include "model/ModelTestSupport.h"
#include "platform/ServicesContext.h"
#include "platform/Twips.h"
#include "propsheet/ExpandSign.h"
#include "propsheet/PropSheetGridModel.h"
#include "propsheet/VQPointPropSheet.h"

#include <QLineEdit>
#include <QTest>
#include <QTreeView>

namespace vq::test {

// A sheet of 5000 x 4000 twips at 96 DPI on an active form, with a line edit before it and one
// after it in the tab order (beside it, out of the way of clicks), and a new "classic" point of a
// real archive to bind it to.
class SheetTest : public ModelTest {
public:
    void SetUp() override {
        ModelTest::SetUp();
        server = makeServer();
        entries->AddDefaultAttributes(server, u"classic"_s);
        before = new QLineEdit(&form);
        sheet = new VQPointPropSheet(&form);
        after = new QLineEdit(&form);
        sheet->setGeometry(QRect(QPoint(0, 0), twipsToPixels(QSize(5000, 4000))));
        before->move(sheet->width(), 0);
        after->move(sheet->width(), 40);
        form.resize(sheet->size() + QSize(before->width(), 0));
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
    QTreeView* view() const { return sheet->findChild<QTreeView*>(u"MSHFlexGrid1"_s); }
    VQPointAttributeEdit* editor() const {
        return sheet->findChild<VQPointAttributeEdit*>(u"VQPointAttributeEdit1"_s);
    }
    // A cell of an entry's row, or of a category's row written in brackets ("[Archive]").
    QModelIndex at(const char* name, int column) const {
        const QString text = QString::fromUtf8(name);
        if (!text.startsWith(u'[')) return sheet->cellIndex(text, column);
        const QAbstractItemModel* model = view()->model();
        for (int r = 0; r < model->rowCount(); ++r)
            if (u'[' + model->index(r, columnName).data().toString() + u']' == text)
                return model->index(r, column);
        return {};
    }
    QString text(const char* name, int column = columnValue) const {
        return at(name, column).data().toString();
    }

    // The rows the grid shows, top down: categories as "[-Name]" or "[+Name]" by their sign, and
    // the entries of the category "Overview" by display name. A category's sign must tell whether
    // the view shows its entries.
    std::string shownOverview() const {
        QStringList shown;
        for (QModelIndex row = view()->model()->index(0, 0); row.isValid(); row = view()->indexBelow(row)) {
            const QModelIndex name = row.siblingAtColumn(columnName);
            if (PropSheetGridModel::isCategory(row)) {
                const bool collapsed = row.data(Qt::DecorationRole).value<QPixmap>().cacheKey() ==
                                       expandSignPixmap(true).cacheKey();
                EXPECT_EQ(view()->isExpanded(row), !collapsed) << name.data().toString().toStdString();
                shown << (collapsed ? u"[+"_s : u"[-"_s) + name.data().toString() + u']';
            } else if (row.data(PropSheetGridModel::GroupRole) == u"Overview"_s) {
                shown << name.data().toString();
            }
        }
        return shown.join(u' ').toStdString();
    }

    // The cell in the view's pixels, relative to the sheet, cut to what the grid shows.
    QRect cell(const char* name, int column) const {
        const QRect rect = view()->visualRect(at(name, column)).intersected(view()->viewport()->rect());
        return rect.translated(view()->viewport()->mapTo(sheet, QPoint(0, 0)));
    }
    // Scrolls a cell into view and clicks it `x` pixels from its left edge.
    void click(const char* name, int column, int x = 4) {
        QCoreApplication::processEvents();  // the view lays out rows shown or hidden since
        view()->scrollTo(at(name, column));
        const QRect rect = view()->visualRect(at(name, column));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + x, rect.center().y()));
    }

    const ScopedServices pinnedDpi{&ServicesContext::logicalDpi, 96.0};
    QWidget form;
    QLineEdit* before = nullptr;
    VQPointPropSheet* sheet = nullptr;
    QLineEdit* after = nullptr;
    std::shared_ptr<ArchiveServer> server;
    std::shared_ptr<PropSheetEntries> entries = std::make_shared<PropSheetEntries>();
};

}  // namespace vq::test
