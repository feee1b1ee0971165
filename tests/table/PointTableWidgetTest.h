#pragma once

#include "ModalDialogs.h"
#include "WidgetDriving.h"
#include "model/ModelTestSupport.h"
#include "platform/ServicesContext.h"
#include "sdk/SdkPointList.h"
#include "table/PointTableGrid.h"
#include "table/PointTableModel.h"
#include "table/VQPointTable.h"

#include <QLabel>
#include <QTest>

namespace vq::test {

// A point table on an active form, filled with the classic points TI01..TI08 of a new archive,
// showing a few attributes, with the current cell on the first row's tag.
class PointTableWidgetTest : public ModelTest {
public:
    static constexpr int kPoints = 8;

    void SetUp() override {
        ModelTest::SetUp();
        server = makeServer();
        for (int i = 1; i <= kPoints; ++i) {
            SdkNamedValues attributes;
            attributes.Add(u"Descriptor"_s, Variant(u"Temperature %1"_s.arg(i)));
            attributes.Add(u"EngUnits"_s, Variant(u"degC"_s));
            storePoint(*server, tag(i - 1), u"classic"_s, pointtype::Float32, attributes);
        }
        table = new VQPointTable(&form);
        table->SetColumns(words("Descriptor EngUnits Span Zero"));
        form.resize(900, 420);
        table->setGeometry(form.rect());
        ASSERT_TRUE(showActive(form));
        table->AddPoints(*server->GetPointsSQL(u"1=1"_s, SdkNamedValues(), nullptr));
        QTRY_COMPARE(model()->unloadedRows(), 0);
        table->view()->setFocus();
        pressKeys(u"Ctrl+Home"_s);
    }
    void TearDown() override {
        delete table;
        ModelTest::TearDown();
    }

    static QString tag(int row) { return u"TI%1"_s.arg(row + 1, 2, 10, QChar(u'0')); }
    PointTableModel* model() const { return table->model(); }
    PointTableGrid* grid() const { return static_cast<PointTableGrid*>(table->view()); }
    QModelIndex at(int row, const char* attribute) const {
        return model()->index(row, model()->columnOf(QString::fromUtf8(attribute)));
    }
    // "a|b|c": the attribute's cells of rows `first` to `last` as the grid shows them.
    std::string column(const char* attribute, int first = 0, int last = kPoints - 1) const {
        QStringList texts;
        for (int row = first; row <= last; ++row) texts << at(row, attribute).data().toString();
        return texts.join(u'|').toStdString();
    }
    std::string status() const { return table->findChild<QLabel*>(u"Status"_s)->text().toStdString(); }
    // Moves the current cell with keys alone: to the first row's tag, then down and right.
    void goTo(int row, const char* attribute) {
        if (!form.isActiveWindow()) {
            ASSERT_TRUE(showActive(form));  // a dialog was closed
        }
        table->view()->setFocus();
        pressKeys(u"Ctrl+Home"_s);
        for (int step = 0; step < row; ++step) pressKeys(u"Down"_s);
        for (int step = 0; step < model()->columnOf(QString::fromUtf8(attribute)); ++step)
            pressKeys(u"Right"_s);
    }

    const ScopedServices pinnedDpi{&ServicesContext::logicalDpi, 96.0};
    QWidget form;
    VQPointTable* table = nullptr;
    std::shared_ptr<ArchiveServer> server;
};

}  // namespace vq::test
