#include "ModelTestSupport.h"

#include "sdk/SdkErrors.h"
#include "sdk/SdkPointType.h"

using namespace vq;
using namespace vq::test;

namespace {

using PropSheetEntriesTest = ModelTest;

std::string listNames(const ComboEntries& list) {
    QStringList names;
    for (int position = 1; position <= list.Count(); ++position) names << list.GetNameByIndex(position);
    return names.join(u',').toStdString();
}

TEST_F(PropSheetEntriesTest, NewPointFromClassDefaultsIsEditedSavedAndReadBackThroughAFreshConnection) {
    // Given a new "classic" point on a VQ3 server
    auto server = makeServer();
    PropSheetEntries entries;
    entries.AddDefaultAttributes(server, u"classic"_s);
    EventLog events(entries);

    // Then placeholders read as the user, the admin group and blanks, none of them an edit
    EXPECT_EQ(entries.Mode(), modeNewPoint);
    EXPECT_EQ(
        values(entries, "Tag PointType DataOwner PtGroup CreationDate Creator Span Location4"),
        "Tag= PointType=12 DataOwner=vqadmin PtGroup=vqadmin CreationDate= Creator= Span=100 Location4=1");
    EXPECT_EQ(text(entries.GetEdits()), "");
    EXPECT_EQ(which(entries, "Tag PointType PtClassName CreationDate PointID DigitalSet Span",
                    &PropSheetEntry::GetReadOnly),
              "CreationDate PointID DigitalSet");
    EXPECT_EQ(entries.Item(Variant(u"PtClassId"_s))->Visible(), false);

    // When the user edits tag, descriptor, span and a deviation in per cent of span
    edit(entries, "Tag=Boiler.Temp Descriptor=Boiler Span=200 CompDevPercent=2.5");

    // Then dependents are redrawn, and the edits list the later-added attribute first
    EXPECT_EQ(events.take(),
              "value:Tag value:Descriptor display:CompDev display:ExcDev display:TypicalValue value:Span "
              "display:CompDev value:CompDev");
    EXPECT_EQ(values(entries, "CompDev CompDevPercent"), "CompDev=5 CompDevPercent=2.5");
    EXPECT_EQ(text(entries.GetEdits()), "Span=200 CompDevPercent=2.5 Descriptor=Boiler Tag=Boiler.Temp");
    EXPECT_TRUE(entries.AreValuesEdited());

    // When saved
    ASSERT_TRUE(entries.SaveEdits()) << messages().join(u'|').toStdString();

    // Then it edits the created point, nothing counts as edited, and the deviation is back in units
    EXPECT_EQ(entries.Mode(), modeEditPoint);
    ASSERT_TRUE(entries.Point());
    EXPECT_EQ(entries.Point()->Name(), u"Boiler.Temp"_s);
    EXPECT_EQ(SdkApplication::instance()->LastPoint(), entries.Point());
    EXPECT_EQ(text(entries.GetEdits()), "");
    EXPECT_FALSE(entries.AreValuesEdited());
    EXPECT_EQ(entries.Item(Variant(u"CompDev"_s))->GetDisplayValue(), u"5  Eng. Units"_s);
    EXPECT_EQ(events.take(), "display:CompDev");
    EXPECT_EQ(messages(), QStringList());

    // And a fresh connection reads what was typed, the coupled deviation and the filled security
    EXPECT_EQ(storedValues(reconnect(), u"boiler.temp"_s, "Descriptor Span CompDev ExcDev PtOwner PtGroup"),
              "Descriptor=Boiler Span=200 CompDev=5 ExcDev=0.1 PtOwner=vqadmin PtGroup=vqadmin");
    PropSheetEntries reloaded;
    reloaded.AddAttributesForPoint(reconnect()->Points()->Item(u"Boiler.Temp"_s));
    EXPECT_EQ(values(reloaded, "Tag Span CompDev CompDevPercent"),
              "Tag=Boiler.Temp Span=200 CompDev=5 CompDevPercent=2.5");
    EXPECT_EQ(which(reloaded, "Tag PointType PtClassName Descriptor", &PropSheetEntry::GetReadOnly),
              "Tag PointType PtClassName");
}

// The read-only entries among CompDev ExcDev Span Zero DigitalSet; the rules of CompDev ExcDev
// TypicalValue; what is read back after the save.
struct ExistingPointCase {
    const char* behaviour;
    SdkPointType storedType;
    const char *edits, *events, *readOnly, *rules, *editsSent, *stored;
};

const ExistingPointCase existingPointCases[] = {
    {"span sets the deviation and typical value ranges", pointtype::Float32, "Span=-50",
     "display:CompDev display:ExcDev display:TypicalValue value:Span", "DigitalSet",
     "CompDev=6[50..0] ExcDev=6[50..0] TypicalValue=6[-50..0]", "Span=-50", "Span=-50 CompDev=2 ExcDev=1"},
    {"a deviation switched to per cent of span", pointtype::Float32, "CompDevPercent=10",
     "display:CompDev value:CompDev", "DigitalSet", "CompDev=6[200..0] ExcDev=1 TypicalValue=1",
     "CompDevPercent=10", "Span=200 CompDev=20 ExcDev=1"},
    {"a digital type makes deviations read-only and refuses span", pointtype::Float32,
     "PointType=101 DigitalSet=SYSTEM Span=5",
     "display:CompDev display:ExcDev display:Span display:Zero display:DigitalSet display:TypicalValue "
     "value:PointType value:DigitalSet",
     "CompDev ExcDev Span Zero", "CompDev=1 ExcDev=1 TypicalValue=6[200..0]",
     "DigitalSet=SYSTEM PointType=101", "Span=200 CompDev=2 ExcDev=1"},
    {"a numeric type gives the deviations back", pointtype::Digital, "PointType=6",
     "display:CompDev display:ExcDev display:Span display:Zero display:DigitalSet display:TypicalValue "
     "value:PointType",
     "DigitalSet", "CompDev=1 ExcDev=1 TypicalValue=6[200..0]", "PointType=6", "Span=200 CompDev=2 ExcDev=1"},
};

TEST_F(PropSheetEntriesTest, ExistingPointEditsRedrawDependentsAndAreSavedAndReadBack) {
    int run = 0;
    for (const ExistingPointCase& c : existingPointCases) {
        SCOPED_TRACE(c.behaviour);
        // Given a stored point with Span=200 CompDev=2 ExcDev=1, loaded for editing
        const QString name = u"plant%1"_s.arg(++run);
        auto server = makeServer(u"VQ3"_s, u"VQ 3.4.1"_s, name);
        SdkNamedValues stored;
        stored.Add(u"Span"_s, 200.0);
        stored.Add(u"CompDev"_s, 2.0);
        stored.Add(u"ExcDev"_s, 1.0);
        if (c.storedType == pointtype::Digital) stored.Add(u"DigitalSet"_s, u"SYSTEM"_s);
        storePoint(*server, u"Flow"_s, u"classic"_s, c.storedType, stored);
        PropSheetEntries entries;
        entries.AddAttributesForPoint(reconnect(name)->Points()->Item(u"Flow"_s));
        EventLog events(entries);

        // When edited
        edit(entries, c.edits);

        // Then
        EXPECT_EQ(events.take(), c.events);
        EXPECT_EQ(which(entries, "CompDev ExcDev Span Zero DigitalSet", &PropSheetEntry::GetReadOnly),
                  c.readOnly);
        EXPECT_EQ(rules(entries, "CompDev ExcDev TypicalValue"), c.rules);
        EXPECT_EQ(text(entries.GetEdits()), c.editsSent);

        // And saved, a fresh connection reads the edit
        ASSERT_TRUE(entries.SaveEdits()) << messages().join(u'|').toStdString();
        EXPECT_EQ(storedValues(reconnect(name), u"Flow"_s, "Span CompDev ExcDev"), c.stored);
        EXPECT_EQ(text(entries.GetEdits()), "");
        EXPECT_EQ(messages(), QStringList());
    }
}

TEST_F(PropSheetEntriesTest, Vq2ServerShowsEverythingReadOnlyWithItsOwnListsAndSkipsMissingDependents) {
    // Given a new point on a VQ2 server, whose class has no DigitalSet
    auto server = makeServer(u"VQ2"_s, u"VQ 2.08"_s);
    PropSheetEntries entries;
    entries.AddDefaultAttributes(server, u"classic"_s);
    EventLog events(entries);

    // Then every entry is read-only, the type list is the old one, and nothing is blanked
    int writable = 0;
    for (int position = 1; position <= entries.Count(); ++position)
        writable += !entries.Item(Variant(int32_t(position)))->GetReadOnly();
    EXPECT_EQ(writable, 0);
    EXPECT_GT(entries.Count(), 40);
    EXPECT_EQ(listNames(entries.Item(Variant(u"PointType"_s))->ValueList()),
              "Digital,Float16,Float32,Integer");
    EXPECT_EQ(values(entries, "CreationDate Creator"), "CreationDate=12/31/1899 Creator=0");
    PropSheetEntry owner;
    ASSERT_TRUE(owner.Setup(u"PtOwner"_s, u""_s, u"String"_s, u"Security"_s, &entries));
    EXPECT_EQ(listNames(owner.ValueList()), "not applicable");
    EXPECT_EQ(owner.ValueList().GetValueByName(u"not applicable"_s), Variant(QString()));
    // A twin name makes no entry of its own
    EXPECT_FALSE(PropSheetEntry().Setup(u"ExcDevPercent"_s, 1, u"Single"_s, u"Archive"_s, &entries));

    // When the point type changes
    edit(entries, "PointType=101");

    // Then the absent DigitalSet is skipped without a message and TypicalValue still gets its rule
    EXPECT_EQ(messages(), QStringList());
    EXPECT_EQ(
        events.take(),
        "display:CompDev display:ExcDev display:Span display:Zero display:TypicalValue value:PointType");
    EXPECT_EQ(rules(entries, "TypicalValue"), "TypicalValue=6[100..0]");
}

// Given an existing "classic" point, loaded for editing, with the collection's events logged.
class StoredPointTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        server = makeServer();
        storePoint(*server, u"Level"_s, u"classic"_s, pointtype::Float32);
        entries.AddAttributesForPoint(reconnect()->Points()->Item(u"Level"_s));
    }
    PropSheetEntry& entry(const char16_t* name) { return *entries.Item(Variant(QString::fromUtf16(name))); }

    std::shared_ptr<ArchiveServer> server;
    PropSheetEntries entries;
    EventLog events{entries};
};

TEST_F(StoredPointTest, TwinNamesFindTheirEntriesAndAbsentNamesAreAQuietNoOrTheCollectionsError) {
    EXPECT_EQ(entries.Item(Variant(u"compdevpercent"_s)), entries.Item(Variant(u"CompDev"_s)));
    EXPECT_TRUE(entries.Exists(Variant(u"CompDevPercent"_s)) && entries.Exists(Variant(u"dataaccess"_s)));
    EXPECT_FALSE(entries.Exists(Variant(u"Nothing"_s)) || entries.Exists(Variant(int32_t(999))));
    const Error absent = raised([&] { entries.Item(Variant(u"Nothing"_s)); });
    EXPECT_EQ(absent.number(), errc::InvalidArgument);
    EXPECT_TRUE(absent.source().startsWith(u"PropSheetEntries:Item\r\n"_s));
    PropSheetEntries unknownClass;
    const Error noClass = raised([&] { unknownClass.AddDefaultAttributes(server, u"pump"_s); });
    EXPECT_EQ(noClass.number(), sdkerr::ClassUnknown);
    EXPECT_TRUE(noClass.source().startsWith(u"PropSheetEntries:AddDefaultAttributes\r\nVQArchive(plant)"_s));
}

TEST_F(StoredPointTest, PendingValuesAndRefusedEditsKeepTheBookkeepingRight) {
    PropSheetEntry& zero = entry(u"Zero");
    // When an editor hands over the number already held in other words, then commits it
    zero.SetPendingValue(u"0.0"_s);
    EXPECT_TRUE(entries.AreValuesEdited());
    entries.CommitPendingChanges();
    EXPECT_FALSE(entries.AreValuesEdited());

    // When an editor hands over a value, then the same value again, then commits a new one
    zero.SetPendingValue(u"7"_s);
    EXPECT_TRUE(entries.AreValuesEdited());
    zero.SetPendingValue(u"0"_s);
    EXPECT_FALSE(entries.AreValuesEdited());
    zero.SetPendingValue(u"7"_s);
    entries.CommitPendingChanges();
    EXPECT_EQ(events.take(),
              "pending:Zero pending:Zero pending:Zero pending:Zero display:TypicalValue value:Zero");
    EXPECT_EQ(rules(entries, "TypicalValue"), "TypicalValue=6[107..7]");
    EXPECT_TRUE(entry(u"TypicalValue").IsDependentValueEdited());

    // Then unchanged values, system attributes and foreign names change nothing
    EXPECT_TRUE(zero.SetValue(u"7.0"_s));
    EXPECT_FALSE(entry(u"PointID").SetValue(5));
    EXPECT_THROW(zero.SetValue(1, u"Span"_s), Error);
    EXPECT_EQ(events.take(), "");
    EXPECT_EQ(text(entries.GetEdits()), "Zero=7");

    // When a twin is edited in per cent and a value is cleared with Null
    edit(entries, "CompDevPercent=4");
    entries.SetValue(u"ExDesc"_s, Variant::null());
    EXPECT_EQ(entries.GetEdits()->Item(u"CompDevPercent"_s).Value(), Variant(u"4"_s));
    EXPECT_EQ(entries.GetBeforeEdits()->Item(u"CompDev"_s).Value(), Variant(0.2f));
    EXPECT_EQ(entries.GetValue(u"ExDesc"_s), Variant(QString()));
}

TEST_F(StoredPointTest, DisplayValuesFollowTheStyleAndNamesAndVisibilityRedrawOnlyWhenChanged) {
    edit(entries, "PointType=7 Descriptor=");
    EXPECT_EQ(entry(u"PointType").GetDisplayValue(), u"NotFound"_s);
    EXPECT_EQ(entry(u"Archiving").GetDisplayValue(), u"On"_s);
    edit(entries, "Span=abc");
    EXPECT_EQ(values(entries, "CompDevPercent"), "CompDevPercent=?");
    EXPECT_EQ(entries.PointType(), pointtype::Float32);
    events.take();

    PropSheetEntry& descriptor = entry(u"Descriptor");
    EXPECT_EQ(descriptor.SortKey(), u"Overview_descriptor"_s);  // cached until the name changes
    descriptor.SetDisplayName(u"DESCRIPTOR"_s);
    descriptor.SetVisible(true);
    EXPECT_EQ(events.take(), "");
    descriptor.SetDisplayName(u"Description"_s);
    descriptor.SetVisible(false);
    EXPECT_EQ(events.take(), "display:Descriptor display:Descriptor");
    EXPECT_EQ(descriptor.SortKey(), u"Overview_Description"_s);
    EXPECT_EQ(messages(), QStringList());
}

}  // namespace
