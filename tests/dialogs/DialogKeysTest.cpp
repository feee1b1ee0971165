#include "SampleServers.h"
#include "WidgetDriving.h"
#include "dialogs/VQPointPropertySheetForm.h"
#include "dialogs/VQTagSearchForm.h"
#include "sdk/SdkPointList.h"
#include "search/VQTagSearch.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>

namespace vq::test {
namespace {

// The point search dialog at the size it asks for, after a search of vqsouth for "B01-T*" that
// chose the top row.
class TagSearchFormTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        search(*control, u"B01-T*"_s);
        ASSERT_TRUE(showActive(*form));
    }
    static void search(VQTagSearch& target, const QString& mask) {
        target.SetSelectedServers(names({u"vqsouth"_s}));
        target.SetTagMask(mask);
        child<QPushButton>(&target, "cmdSearch")->click();
    }
    // The named child that holds the focus, one Tab after another from `start` until back there.
    QStringList walk(const char* start, const char* tab) {
        child<QWidget>(control, start)->setFocus();
        QStringList seen;
        do {
            QWidget* w = QApplication::focusWidget();
            while (w->objectName().isEmpty() || w->objectName().startsWith(u"qt_")) w = w->parentWidget();
            seen << w->objectName();
            pressKeys(QString::fromLatin1(tab));
        } while (QApplication::focusWidget() != child<QWidget>(control, start)->focusProxy() &&
                 QApplication::focusWidget() != child<QWidget>(control, start) && seen.size() < 60);
        return seen;
    }

    const std::unique_ptr<VQTagSearchForm> form = std::make_unique<VQTagSearchForm>();
    VQTagSearch* const control = form->control();
    QTableView* const results = child<QTableView>(control, "stSearchResults");
};

TEST_F(TagSearchFormTest, TabWalksThroughTheResultsListAndShiftTabWalksTheSameWayBack) {
    const QStringList forward = walk("txtTagMask", "Tab");
    EXPECT_TRUE(forward.join(u' ').contains(u"txtValue stSearchResults cmdConnections"_s));
    QStringList backward = walk("txtTagMask", "Shift+Tab");
    std::reverse(backward.begin() + 1, backward.end());
    EXPECT_EQ(backward, forward);
}

// Enter on a chosen result hands it over in the dialog only; elsewhere it searches, as the list
// tells a screen reader. OK and Cancel have access keys no other caption uses.
TEST_F(TagSearchFormTest, EnterAndTheAccessKeysInTheDialog) {
    const struct {
        const char* behaviour;
        bool bareControl, chosen;
        const char* focus;
        bool handedOver;
    } cases[] = {
        {"dialog, chosen result", false, true, "stSearchResults", true},
        {"dialog, nothing chosen", false, false, "stSearchResults", false},
        {"dialog, criteria field", false, true, "txtTagMask", false},
        {"bare control, chosen result", true, true, "stSearchResults", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        VQTagSearch bare;
        VQTagSearch& target = c.bareControl ? bare : *control;
        if (c.bareControl) search(bare, u"*"_s);
        ASSERT_TRUE(showActive(*target.window()));
        if (!c.chosen) target.ClearSelectedTags();
        QSignalSpy handed(&target, &VQTagSearch::OnPointListSelection);
        child<QWidget>(&target, c.focus)->setFocus();
        pressKeys(u"Return"_s);
        EXPECT_EQ(handed.count(), c.handedOver ? 1 : 0);
        const QString description = child<QTableView>(&target, "stSearchResults")->accessibleDescription();
        EXPECT_EQ(description.contains(u"Enter searches"_s), c.bareControl) << description.toStdString();
    }
    QStringList keys;  // of the page shown
    for (const QWidget* w : control->findChildren<QWidget*>())
        if (w->isVisibleTo(form.get()))
            keys << QRegularExpression(u"&(.)"_s).match(w->property("text").toString()).captured(1).toUpper();
    keys.removeAll(QString());
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << keys.join(u' ').toStdString();
    ASSERT_TRUE(showActive(*form));
    QSignalSpy handed(control, &VQTagSearch::OnPointListSelection);
    pressKeys(u"Alt+K"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return handed.count() == 1; }));  // access keys click animated
    ASSERT_TRUE(showActive(*form));
    pressKeys(u"Alt+A"_s);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
}

// Dark (text) pixels of `widget` between the columns `from` and `to`.
int inkBetween(QWidget* widget, int from, int to) {
    const QImage image = widget->grab().toImage();
    int ink = 0;
    for (int x = std::max(from, 0); x < std::min(to, image.width()); ++x)
        for (int y = 0; y < image.height(); ++y) ink += qGray(image.pixel(x, y)) < 96;
    return ink;
}

TEST_F(TagSearchFormTest, TheDialogsKeepTheirShapeAndShowWhatTheyHold) {
    const int width = form->width();  // a long status is cut, whole in its tooltip
    auto* status = child<QLabel>(control, "statServerResults");
    const QString longStatus = QStringList(30, u"vqsouth: not connected"_s).join(u" \u00b7 "_s);
    status->setText(longStatus);
    status->grab();
    EXPECT_TRUE(form->width() == width && status->toolTip() == longStatus);
    auto* header = results->horizontalHeader();  // the third header in sight where its column starts
    const int third = header->sectionViewportPosition(2);
    EXPECT_GT(inkBetween(header, third, third + header->fontMetrics().horizontalAdvance(u"Description"_s)),
              20);
    child<QTabWidget>(control, "SSTab1")->setCurrentIndex(1);  // the condition row whole, even at
    form->resize(form->minimumSizeHint());                     // the dialog's smallest size
    QApplication::processEvents();
    for (const char* name : {"cboSQLTable", "cboSQLColumn", "txtSQLValue", "cmdAddWhereClause"}) {
        const QWidget* part = child<QWidget>(control, name);
        EXPECT_EQ(part->visibleRegion().boundingRect(), part->rect()) << name;
        EXPECT_GE(part->width(), part->minimumSizeHint().width()) << name;
    }
    const auto* value = child<QWidget>(control, "txtSQLValue");
    EXPECT_GE(value->width(), value->fontMetrics().horizontalAdvance(u"B01-FIC-6012"_s) + 8);

    VQPointPropertySheetForm properties;  // closed by its button, below the sheets
    properties.SetPointList(control->PointList());
    ASSERT_TRUE(showActive(properties));
    auto* close = child<QPushButton>(&properties, "cmdClose");
    EXPECT_GT(close->y(), child<QTabWidget>(&properties, "SSTab1")->geometry().bottom());
    EXPECT_TRUE(properties.rect().contains(close->geometry()));
    close->click();
    EXPECT_FALSE(properties.isVisible());
}

}  // namespace
}  // namespace vq::test
