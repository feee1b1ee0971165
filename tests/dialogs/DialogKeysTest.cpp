#include "SampleServers.h"
#include "WidgetDriving.h"
#include "dialogs/VQPointPropertySheetForm.h"
#include "dialogs/VQTagSearchForm.h"
#include "platform/Twips.h"
#include "sdk/SdkPointList.h"
#include "sdk/SdkServer.h"
#include "search/VQTagSearch.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace vq::test {
namespace {

// The point search dialog shown as the dialog services show it (at the size it asks for), after a
// search of vqsouth for "B01-T*" that chose the top row.
class TagSearchFormTest : public SampleServersTest {
protected:
    void SetUp() override {
        SampleServersTest::SetUp();
        form = std::make_unique<VQTagSearchForm>();
        control = form->control();
        control->SetSelectedServers(names({u"vqsouth"_s}));
        control->SetTagMask(u"B01-T*"_s);
        ASSERT_TRUE(showActive(*form));
        child<QPushButton>(control, "cmdSearch")->click();
        ASSERT_GT(results()->model()->rowCount(), 1);
    }
    void TearDown() override {
        form.reset();
        SampleServersTest::TearDown();
    }
    QTableView* results() { return child<QTableView>(control, "stSearchResults"); }
    // The named child that holds the focus (a pick list for its inner parts).
    QString focusName() {
        for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget())
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_")) return w->objectName();
        return u"-"_s;
    }
    // The focus owners one key after another, from `start`, until the focus is back there.
    QStringList walk(const char* start, Qt::KeyboardModifiers modifiers) {
        child<QWidget>(control, start)->setFocus();
        QStringList seen{focusName()};
        for (int step = 0; step < 60; ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
            if (focusName() == seen.first()) return seen;
            seen << focusName();
        }
        return seen;
    }

    std::unique_ptr<VQTagSearchForm> form;
    VQTagSearch* control = nullptr;
};

TEST_F(TagSearchFormTest, TabWalksThroughTheResultsListAndShiftTabWalksTheSameWayBack) {
    const QStringList forward = walk("txtTagMask", Qt::NoModifier);
    const QString walked = forward.join(u' ');
    EXPECT_TRUE(walked.contains(u"txtValue stSearchResults cmdConnections"_s)) << walked.toStdString();
    QStringList backward = walk("txtTagMask", Qt::ShiftModifier);
    std::reverse(backward.begin() + 1, backward.end());
    EXPECT_EQ(backward, forward);
}

// Enter on a chosen result hands it over in the dialog only; elsewhere it runs the search, as the
// results list tells a screen reader.
TEST_F(TagSearchFormTest, EnterOnAChosenResultIsOkInTheDialogAndSearchesElsewhere) {
    const struct {
        const char* behaviour;
        bool bareControl;
        const char* focus;
        bool chosen;
        bool handedOver;
    } cases[] = {
        {"dialog, chosen result", false, "stSearchResults", true, true},
        {"dialog, nothing chosen", false, "stSearchResults", false, false},
        {"dialog, criteria field", false, "txtTagMask", true, false},
        {"bare control, chosen result", true, "stSearchResults", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.behaviour);
        VQTagSearch bare;
        VQTagSearch* target = control;
        if (c.bareControl) {
            bare.SetSelectedServers(names({u"vqsouth"_s}));
            ASSERT_TRUE(showActive(bare));
            child<QPushButton>(&bare, "cmdSearch")->click();
            target = &bare;
        } else {
            ASSERT_TRUE(showActive(*form));
        }
        auto* list = child<QTableView>(target, "stSearchResults");
        if (!c.chosen) target->ClearSelectedTags();
        QSignalSpy handed(target, &VQTagSearch::OnPointListSelection);
        child<QWidget>(target, c.focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(handed.count(), c.handedOver ? 1 : 0);
        EXPECT_EQ(form->isVisible(), c.bareControl || !c.handedOver);
        // A search chose the top row again.
        if (!c.handedOver) {
            EXPECT_TRUE(list->selectionModel()->hasSelection());
        }
        const QString description = list->accessibleDescription();
        EXPECT_EQ(description.contains(u"Enter searches"_s), !c.handedOver && c.bareControl)
            << description.toStdString();
    }
}

// Every access key of the dialog is its own: OK and Cancel get ones nobody else has.
TEST_F(TagSearchFormTest, OkAndCancelHaveAccessKeysOfTheirOwn) {
    QStringList keys;
    const QRegularExpression key(u"&([^&])"_s);
    for (const QPushButton* button : control->findChildren<QPushButton*>())
        if (const auto match = key.match(button->text()); match.hasMatch())
            keys << match.captured(1).toUpper();
    for (const QLabel* label : control->findChildren<QLabel*>())  // the page shown
        if (const auto match = key.match(label->text()); match.hasMatch() && label->isVisibleTo(form.get()))
            keys << match.captured(1).toUpper();
    const auto* tabs = child<QTabWidget>(control, "SSTab1");
    for (int tab = 0; tab < tabs->count(); ++tab) keys << key.match(tabs->tabText(tab)).captured(1).toUpper();
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << keys.join(u' ').toStdString();

    QSignalSpy handed(control, &VQTagSearch::OnPointListSelection);
    QTest::keyClick(form.get(), Qt::Key_K, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return handed.count() == 1; }));  // an access key clicks animated
    ASSERT_TRUE(showActive(*form));
    QTest::keyClick(form.get(), Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }));
    EXPECT_FALSE(results()->selectionModel()->hasSelection());
}

// Dark pixels (text) in the columns [from, to) of a picture of `widget`.
int inkBetween(QWidget* widget, int from, int to) {
    const QImage image = widget->grab().toImage();
    int ink = 0;
    for (int x = std::max(from, 0); x < std::min(to, image.width()); ++x)
        for (int y = 0; y < image.height(); ++y) ink += qGray(image.pixel(x, y)) < 96;
    return ink;
}

TEST_F(TagSearchFormTest, TheDialogKeepsItsShapeAndShowsWhatItHolds) {
    const int width = form->width();
    // A long status is cut, in full in its tooltip; the dialog keeps its width.
    auto* status = child<QLabel>(control, "statServerResults");
    const QString longStatus = QStringList(30, u"vqsouth: not connected"_s).join(u" \u00b7 "_s);
    status->setText(longStatus);
    QApplication::processEvents();
    EXPECT_EQ(form->width(), width);
    EXPECT_LE(form->minimumSizeHint().width(), width);
    status->grab();
    EXPECT_EQ(status->toolTip(), longStatus);
    EXPECT_EQ(status->text(), longStatus);

    // The third column's header is in sight where the column starts.
    auto* header = results()->horizontalHeader();
    const int third = header->sectionViewportPosition(2);
    ASSERT_LT(third, header->width());
    EXPECT_GT(inkBetween(header, third, third + header->fontMetrics().horizontalAdvance(u"Description"_s)),
              20);

    // The advanced page shows its whole condition row, the value box wide enough for a typical value.
    child<QTabWidget>(control, "SSTab1")->setCurrentIndex(1);
    auto* value = child<QLineEdit>(control, "txtSQLValue");
    QApplication::processEvents();
    EXPECT_GE(value->visibleRegion().boundingRect().width(),
              value->fontMetrics().horizontalAdvance(u"B01-FIC-6012"_s) + 8);
    for (const char* name : {"cboSQLTable", "cboSQLColumn", "txtSQLValue", "cmdAddWhereClause"}) {
        const QWidget* part = child<QWidget>(control, name);
        EXPECT_EQ(part->visibleRegion().boundingRect(), part->rect()) << name;
        EXPECT_GE(part->width(), part->minimumSizeHint().width()) << name;
    }
}

// The point property dialog closes by its button, Enter and Esc, the button below the sheets.
TEST_F(TagSearchFormTest, ThePointPropertyDialogHasACloseButton) {
    const SdkPointListPtr found =
        connect(u"vqsouth"_s)->GetPointsSQL(u"VQPoint.Tag = 'B01-T*'"_s, {}, nullptr);
    const std::pair<const char*, std::function<void(QWidget*)>> closers[] = {
        {"button", [](QWidget* f) { child<QPushButton>(f, "cmdClose")->click(); }},
        {"Enter", [](QWidget*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }},
        {"Esc", [](QWidget*) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); }},
    };
    for (const auto& [how, close] : closers) {
        SCOPED_TRACE(how);
        VQPointPropertySheetForm properties;
        properties.SetPointList(found);
        ASSERT_TRUE(showActive(properties));
        const QRect button = child<QPushButton>(&properties, "cmdClose")->geometry();
        EXPECT_GT(button.top(), child<QTabWidget>(&properties, "SSTab1")->geometry().bottom());
        EXPECT_TRUE(properties.rect().contains(button));
        close(&properties);
        EXPECT_FALSE(properties.isVisible());
    }
}

}  // namespace
}  // namespace vq::test
