#include "ModelTestSupport.h"

#include "model/ComboEntries.h"

using namespace vq;
using namespace vq::test;

namespace {

TEST(PropSheetCategoriesTest,
     CategorizeTakesTheFirstMatchingListThenTheVq2PointSourceOverridesAndOnlyAbsentNamesFail) {
    // attribute set, attribute, server kind, point source, category
    const std::tuple<const char*, const char*, const char*, Variant, const char*> cases[] = {
        {"Classic", "TotalCode", "VQ2", u"T"_s, "Totalizer"},
        {"Classic", "TotalCode", "VQ2", u"t"_s, "Totalizer"},
        {"Classic", "TotalCode", "VQ2", u"C"_s, "Classic"},
        {"Classic", "TotalCode", "VQ2", Variant::missing(), "Classic"},
        {"Classic", "ScheduleType", "VQ2", u"C"_s, "Equation"},
        {"totalizer", "TotalCode", "VQ3", u"T"_s, "Totalizer"},
        {"base", "TotalCode", "VQ3", u"T"_s, "Base"},
        {"alarm", "CompDevPercent", "VQ3", Variant::missing(), "Archive"},
        {"anything", "tag", "VQ3", Variant::missing(), "Overview"},
        {"anything", "PtClassId", "VQ3", Variant::missing(), "System"},
        {"anything", "PtOwner", "VQ2", u"T"_s, "Security"},
        {"anything", "Step", "VQ3", Variant::missing(), "Display"},
    };
    // Given an empty category collection
    PropSheetCategories categories;
    for (const auto& [setName, attribute, serverKind, pointSource, category] : cases) {
        // When an attribute is categorised, then it lands in the expected category
        EXPECT_EQ(categories
                      .Categorize(QString::fromUtf8(setName), QString::fromUtf8(attribute),
                                  QString::fromUtf8(serverKind), pointSource)
                      .toStdString(),
                  category)
            << setName << " " << attribute << " " << debugText(pointSource).toStdString();
    }
    // And each category is held once, collapsed unless it is the overview; a duplicate is ignored
    ScopedMessageRecorder recorder;
    categories.Add(std::make_shared<PropSheetCategory>(u"archive"_s, false));
    EXPECT_EQ(categoriesText(categories),
              "Totalizer+ Classic+ Equation+ Base+ Archive+ Overview- System+ Security+ Display+");
    // When a category is removed by position and an absent one by name, then only the latter is reported
    categories.RemoveEntry(Variant(int32_t(1)));
    categories.RemoveEntry(Variant(u"Pump"_s));
    EXPECT_EQ(recorder->texts(), QStringList{u"PropSheetCategories:RemoveEntry\r\nInvalid procedure call or "
                                             u"argument (no item with the key \"Pump\")\r\n5"_s});
    EXPECT_EQ(categories.Count(), 8);
}

TEST(ComboEntriesTest, LookupsCompareValuesAsTextAndReportBadPositionsUnderTheirOwnContexts) {
    // Given the on/off list
    ScopedMessageRecorder recorder;
    ComboEntries list;
    list.Add(u"Off"_s, int16_t(0));
    list.Add(u"On"_s, int16_t(1));
    // Then lookups read values as text and names without regard to case
    const std::pair<Variant, const char*> byValue[] = {
        {u"1"_s, "On"}, {int32_t(0), "Off"}, {u"2"_s, "NotFound"}, {1.0, "On"}};
    for (const auto& [value, name] : byValue) EXPECT_EQ(list.GetNameByValue(value).toStdString(), name);
    EXPECT_TRUE(list.GetIndexByName(u"on"_s) == 1 && list.GetIndexByValue(u"7"_s) == 0);
    EXPECT_EQ(list.GetNameByIndex(2), u"On"_s);
    EXPECT_EQ(list.GetValueByName(u"ON"_s), Variant(int16_t(1)));
    EXPECT_TRUE(recorder->texts().isEmpty());

    // When positions, names and duplicates fail
    EXPECT_EQ(list.GetNameByIndex(3), QString());
    EXPECT_EQ(list.GetValueByIndex(0), Variant());
    EXPECT_EQ(list.GetValueByName(u"Maybe"_s), Variant());
    list.Add(u"on"_s, int16_t(5));

    // Then each is reported under its context, and the list is unchanged
    EXPECT_EQ(recorder->texts(),
              (QStringList{
                  u"ComboEntries:Item\r\nSubscript out of range (position 3 of 2)\r\n9"_s,
                  u"ComboEntries:GetValueByIndex\r\nSubscript out of range (position 0 of 2)\r\n9"_s,
                  u"ComboEntries:GetNameByValue\r\nInvalid procedure call or argument (no item with the key "
                  u"\"Maybe\")\r\n5"_s,
                  u"ComboEntries:Add\r\nThis key is already associated with an element of this collection "
                  u"(\"on\")\r\n457"_s,
              }));
    EXPECT_EQ(list.Count(), 2);
}

}  // namespace
