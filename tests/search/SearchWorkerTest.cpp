// The point search's worker thread against what the window does while the servers answer. Run
// under ThreadSanitizer too (make test-tsan): a race between the worker and the window shows there.
#include "SampleServers.h"
#include "WidgetDriving.h"
#include "archive/server/ArchiveServer.h"
#include "sdk/SdkPoint.h"
#include "sdk/SdkPointAttribute.h"
#include "sdk/SdkPointAttributes.h"
#include "sdk/SdkPointClass.h"
#include "sdk/SdkPointClasses.h"
#include "sdk/SdkPointList.h"
#include "search/VQTagSearch.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>

namespace vq::test {
namespace {

// Pairs every point with every archived value: seconds on vqsouth, so the window runs meanwhile.
const QString kSlowClause = u"VQcomp.Value > 0"_s;
constexpr int kRows = 40;  // rows whose descriptors are read again while the servers answer

class SearchWorkerTest : public SampleServersTest {
protected:
    void TearDown() override {
        delete form;
        SampleServersTest::TearDown();
    }

    // A host's form holding the control, deleted when closed.
    void makeForm() {
        form = new QWidget;
        form->setAttribute(Qt::WA_DeleteOnClose);
        control = new VQTagSearch(form);
        (new QVBoxLayout(form))->addWidget(control);
        form->resize(900, 640);
        form->show();
        control->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
    }

    // Searches with the slow clause; `step` runs every few ms while the search runs, until it
    // says it is done.
    void searchSlowly(const std::function<bool()>& step) {
        control->SetTagSearchView(1);
        control->SetAdvancedWhereClause(kSlowClause);
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (control && control->isSearching() && step()) poll.stop();
        });
        poll.start(2);
        VQTagSearch* searching = control;
        searching->search();  // may be deleted meanwhile: then nothing of it is touched again
    }

    QStringList descriptors(const SdkPointList& list) {
        QStringList texts;
        for (int i = 1; i <= std::min(kRows, list.Count()); ++i)
            texts << list.Item(i)->PointAttributes()->Item(u"Descriptor"_s)->Value().toString();
        return texts;
    }
    QStringList pointClasses() {
        auto* box = child<QComboBox>(control.data(), "cboPointClass");
        QStringList names;
        for (int i = 0; i < box->count(); ++i) names << box->itemText(i);
        for (const SdkPointClassPtr& pointClass : servers()->Item(u"vqsouth"_s)->PointClasses()->All())
            names << pointClass->Name();
        return names;
    }

    QPointer<QWidget> form;
    QPointer<VQTagSearch> control;
};

// The previous results stay on screen and are painted, their descriptors read from the same
// servers, and the point classes refreshed, all while the worker searches those servers.
TEST_F(SearchWorkerTest, TheWindowPaintsAndReadsTheServersWhileTheyAnswer) {
    makeForm();
    control->search();  // every point of both: the previous results
    const SdkPointListPtr previous = control->PointList();
    ASSERT_TRUE(previous && previous->Count() >= kRows);
    const QStringList shownDescriptors = descriptors(*previous);
    const QStringList shownClasses = pointClasses();
    auto* view = child<QTableView>(control.data(), "stSearchResults");
    int rounds = 0;
    QStringList readDescriptors, readClasses;
    searchSlowly([&] {
        view->viewport()->repaint();
        readDescriptors = descriptors(*previous);
        control->SetSelectedServers(names({u"vqsouth"_s, u"vqnorth"_s}));
        readClasses = pointClasses();
        if (++rounds < 10) return false;
        control->Stop();
        return true;
    });
    EXPECT_EQ(rounds, 10);
    EXPECT_EQ(readDescriptors, shownDescriptors);
    EXPECT_EQ(readClasses, shownClasses);
    EXPECT_TRUE(child<QLabel>(control.data(), "statServerResults")->text().contains(u"stopped"_s));
    EXPECT_TRUE(m_messages->messages().isEmpty()) << m_messages->texts().join(u'|').toStdString();
}

// A slot that deletes the control, or its form, while the servers answer: the search stops, the
// call returns, and nothing is reported.
TEST_F(SearchWorkerTest, ClosingTheControlWhileItSearchesEndsTheSearch) {
    const std::pair<const char*, std::function<void(QWidget*, VQTagSearch*)>> closings[] = {
        {"control deleted", [](QWidget*, VQTagSearch* searching) { delete searching; }},
        {"form deleted", [](QWidget* host, VQTagSearch*) { delete host; }},
        {"form closed", [](QWidget* host, VQTagSearch*) { host->close(); }},
        {"control deleted later", [](QWidget*, VQTagSearch* searching) { searching->deleteLater(); }},
    };
    const auto south = std::dynamic_pointer_cast<ArchiveServer>(servers()->Item(u"vqsouth"_s));
    for (const auto& [name, close] : closings) {
        makeForm();
        searchSlowly([&, close = close] {
            if (!south->isSearching()) return false;
            close(form, control);
            return true;
        });
        EXPECT_TRUE(control.isNull()) << name;
        EXPECT_FALSE(south->isSearching()) << name;
        delete form;
    }
    EXPECT_TRUE(m_messages->messages().isEmpty()) << m_messages->texts().join(u'|').toStdString();
}

}  // namespace
}  // namespace vq::test
