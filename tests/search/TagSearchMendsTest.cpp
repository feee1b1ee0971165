#include "ErrorNumber.h"
#include "SampleServers.h"
#include "WidgetDriving.h"
#include "archive/server/ArchiveServer.h"
#include "search/TagSearchQuery.h"
#include "search/VQTagSearch.h"

#include <QComboBox>

#include <functional>

namespace vq::test {
namespace {

using TagSearchMendsTest = SampleServersTest;

QStringList items(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
    return out;
}

// Reset refills the tables quietly; choosing the table of before again must still bring its columns.
TEST_F(TagSearchMendsTest, TheTableChosenAgainAfterResetListsItsOwnColumns) {
    VQTagSearch search;
    auto* tables = child<QComboBox>(&search, "cboSQLTable");
    const int comp = tables->findText(u"VQcomp"_s);
    ASSERT_GT(comp, 0);
    tables->setCurrentIndex(comp);
    search.Reset();
    ASSERT_EQ(tables->currentIndex(), 0);
    tables->setCurrentIndex(comp);
    EXPECT_EQ(items(child<QComboBox>(&search, "cboSQLColumn")), tagsearch::sqlColumns(u"VQcomp"_s));
}

// The query helpers pass a failure on as it came: the procedures that call them put their own
// contexts in front, so each context appears once and none is made up.
TEST_F(TagSearchMendsTest, TheQueryHelpersAddNoContextsOfTheirOwn) {
    QTemporaryDir dir;
    const SdkServerPtr gone = ArchiveServer::open(u"gone"_s, dir.filePath(u"gone.vqa"_s));
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"point classes of a server that cannot be read", [&] { tagsearch::gatherPointClasses({gone}); }},
        {"the version test of such a server", [&] { tagsearch::qualifiesForPointClass(*gone); }},
        {"a condition without a table",
         [] {
             tagsearch::addWhereCondition({}, {QString(), u"Tag"_s, u"="_s, u"x"_s});
         }},
    };
    for (const auto& [behaviour, fail] : cases) {
        SCOPED_TRACE(behaviour);
        const Error error = raised(fail);
        EXPECT_NE(error.number(), 0);
        EXPECT_FALSE(error.source().contains(u"VQTagSearch:"_s, Qt::CaseInsensitive))
            << error.source().toStdString();
    }
}

}  // namespace
}  // namespace vq::test
