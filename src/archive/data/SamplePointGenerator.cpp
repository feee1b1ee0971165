#include "archive/data/SamplePointGenerator.h"

#include "sdk/SdkPointType.h"

#include <QStringView>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <span>
#include <string_view>
#include <utility>

namespace vq {

namespace {

using Text = std::u16string_view;

// splitmix64: a few multiplications per draw, and any (seed, index) gives an independent stream.
constexpr uint64_t mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

class Rng {
public:
    explicit Rng(uint64_t seed) : m_state(seed) {}
    uint64_t next() { return mix(m_state += 0x9E3779B97F4A7C15ull); }
    double unit() { return double(next() >> 11) * 0x1.0p-53; }
    // In [0, n), by multiplication instead of a division.
    uint32_t below(uint32_t n) { return uint32_t(((next() >> 32) * n) >> 32); }
    bool chance(double p) { return unit() < p; }

private:
    uint64_t m_state;
};

// ---- catalogue -------------------------------------------------------------------------------

struct DigitalSetDef {
    Text name;
    std::array<Text, 6> states;
    int count;
};

enum SetId : int8_t {
    OnOff,
    OpenClosed,
    PumpState,
    Modes,
    AlarmState,
    YesNo,
    BatchPhase,
    LocalRemote,
    NoSet = -1
};

constexpr DigitalSetDef kDigitalSets[] = {
    {u"OnOff", {u"OFF", u"ON"}, 2},
    {u"OpenClosed", {u"CLOSED", u"OPEN"}, 2},
    {u"PumpState", {u"STOPPED", u"RUNNING", u"TRIPPED"}, 3},
    {u"Modes", {u"MANUAL", u"AUTO", u"CASCADE"}, 3},
    {u"AlarmState", {u"NORMAL", u"LO", u"HI", u"LOLO", u"HIHI"}, 5},
    {u"YesNo", {u"NO", u"YES"}, 2},
    {u"BatchPhase", {u"IDLE", u"CHARGE", u"HEAT", u"REACT", u"COOL", u"DISCHARGE"}, 6},
    {u"LocalRemote", {u"LOCAL", u"REMOTE"}, 2},
};

// Plant areas: 1000 unit slots in all, so that a unit holds about a thousandth of a large archive.
struct Area {
    char16_t letter;
    int digits;
    int first;
    int count;
    std::span<const Text> equipment;
};

constexpr Text kProcessEquipment[] = {u"Reactor",    u"Column",   u"Heat exchanger", u"Separator",
                                      u"Compressor", u"Furnace",  u"Dryer",          u"Evaporator",
                                      u"Feed drum",  u"Absorber", u"Stripper",       u"Crystallizer"};
constexpr Text kBoilerEquipment[] = {u"Boiler",      u"Economizer",   u"Deaerator",
                                     u"Superheater", u"Steam header", u"Turbine"};
constexpr Text kTankEquipment[] = {u"Tank", u"Sphere", u"Loading bay", u"Pipeline", u"Blending tank"};
constexpr Text kWaterEquipment[] = {u"Clarifier", u"Sand filter", u"Cooling tower",
                                    u"Basin",     u"RO train",    u"Chlorinator"};

constexpr Area kAreas[] = {
    {u'U', 3, 100, 900, kProcessEquipment},
    {u'B', 2, 1, 40, kBoilerEquipment},
    {u'T', 2, 1, 30, kTankEquipment},
    {u'W', 2, 1, 30, kWaterEquipment},
};
constexpr int kUnitSlots = 1000;
constexpr int kGroupSize = 20;  // consecutive indices share a unit and run through adjacent loop numbers
constexpr uint64_t kSlotStride = 787;  // coprime to the slot count, so groups visit every slot in turn
static_assert(kAreas[0].count + kAreas[1].count + kAreas[2].count + kAreas[3].count == kUnitSlots);
static_assert(std::gcd(kSlotStride, uint64_t(kUnitSlots)) == 1);

struct Range {
    Text units;
    double zero;
    double span;
    Text totalUnits = {};  // flow ranges: what a totalizer of this flow counts in
    double perDay = 0;     // and how many total units a day at full span makes
};

// A descriptor reads "<head> <n> <tail>"; an empty head takes an equipment name of the point's unit.
// option picks the range of a numeric point or the text kind of a string point; -1 draws a range.
struct Phrase {
    Text head;
    Text tail;
    int8_t option = -1;
};

enum class Behaviour : uint8_t { Analog, Totalizer, Counter, Step, Digital, Text };
enum class Family : uint8_t { Classic, Totalizer, Alarm };
enum TextKind : int8_t { BatchText, GradeText, RecipeText };

struct Template {
    Text prefix;
    Text suffix;
    Text instrument;
    Behaviour behaviour;
    int32_t type;  // for Analog and Totalizer the VQ3 type is drawn
    Family family;
    Text source;
    int8_t digitalSet;
    int8_t typicalState;  // -1: drawn per point
    uint16_t weightVq3;
    uint16_t weightVq2;
    bool flow;
    std::span<const Phrase> phrases;
    std::span<const Range> ranges;
};

constexpr Range kFlowRanges[] = {
    {u"m3/h", 0, 50, u"m3", 24}, {u"m3/h", 0, 250, u"m3", 24},    {u"kg/h", 0, 5000, u"kg", 24},
    {u"t/h", 0, 120, u"t", 24},  {u"l/min", 0, 600, u"m3", 1.44}, {u"Nm3/h", 0, 10000, u"Nm3", 24},
};
constexpr Phrase kFlowPhrases[] = {
    {u"", u"feed flow"},    {u"", u"outlet flow"},      {u"", u"product flow"},
    {u"", u"recycle flow"}, {u"", u"steam flow"},       {u"", u"cooling water flow"},
    {u"", u"reflux flow"},  {u"", u"fuel gas flow", 5}, {u"", u"inlet flow"},
};
constexpr Phrase kTotalPhrases[] = {
    {u"", u"feed flow total"}, {u"", u"product flow total"}, {u"", u"steam flow total"}};

constexpr Range kTempRanges[] = {
    {u"degC", 0, 150}, {u"degC", 0, 400}, {u"degC", -40, 200}, {u"degC", 0, 1200}, {u"degC", 0, 100},
};
constexpr Phrase kTempPhrases[] = {
    {u"", u"temperature"},        {u"", u"outlet temperature"}, {u"", u"inlet temperature"},
    {u"", u"bed temperature"},    {u"", u"top temperature"},    {u"", u"bottom temperature"},
    {u"", u"jacket temperature"}, {u"", u"skin temperature"},
};

constexpr Range kPressRanges[] = {
    {u"kPa", 0, 1000}, {u"kPa", -100, 400}, {u"bar", 0, 40}, {u"MPa", 0, 16}, {u"kPa", 0, 250},
};
constexpr Phrase kPressPhrases[] = {
    {u"", u"pressure"},       {u"", u"outlet pressure"},    {u"", u"inlet pressure"},
    {u"", u"top pressure"},   {u"", u"discharge pressure"}, {u"", u"suction pressure"},
    {u"", u"steam pressure"},
};

constexpr Range kDpRanges[] = {{u"kPa", 0, 50}, {u"kPa", 0, 250}, {u"mbar", 0, 500}};
constexpr Phrase kDpPhrases[] = {{u"", u"differential pressure"},
                                 {u"", u"filter differential pressure"},
                                 {u"", u"tray differential pressure"}};

constexpr Range kLevelRanges[] = {{u"%", 0, 100}, {u"m", 0, 12}, {u"mm", 0, 2000}};
constexpr Range kPercentRange[] = {{u"%", 0, 100}};
constexpr Phrase kLevelPhrases[] = {{u"", u"level"},
                                    {u"", u"drum level"},
                                    {u"", u"interface level"},
                                    {u"", u"sump level"},
                                    {u"", u"bottom level"}};

constexpr Range kAnalysisRanges[] = {
    {u"pH", 0, 14}, {u"ppm", 0, 500}, {u"%", 0, 25}, {u"mg/l", 0, 20}, {u"uS/cm", 0, 2000},
};
constexpr Phrase kAnalysisPhrases[] = {
    {u"", u"pH", 0},
    {u"", u"outlet pH", 0},
    {u"", u"H2S content", 1},
    {u"", u"CO content", 1},
    {u"", u"flue gas oxygen", 2},
    {u"", u"oxygen content", 2},
    {u"", u"dissolved oxygen", 3},
    {u"", u"conductivity", 4},
};

constexpr Range kLabRanges[] = {{u"kg/m3", 600, 600}, {u"%", 80, 20}, {u"cP", 0, 500}, {u"ppm", 0, 1000}};
constexpr Phrase kLabPhrases[] = {{u"", u"lab density", 0},
                                  {u"", u"lab purity", 1},
                                  {u"", u"lab viscosity", 2},
                                  {u"", u"lab water content", 3}};

constexpr Range kSpeedRanges[] = {{u"rpm", 0, 1800}, {u"rpm", 0, 3600}, {u"rpm", 0, 12000}};
constexpr Phrase kSpeedPhrases[] = {
    {u"", u"speed"}, {u"", u"agitator speed", 0}, {u"", u"fan speed"}, {u"Feed pump", u"speed"}};

constexpr Range kCurrentRanges[] = {{u"A", 0, 50}, {u"A", 0, 200}, {u"A", 0, 800}};
constexpr Phrase kCurrentPhrases[] = {
    {u"Feed pump", u"motor current"},     {u"Cooling water pump", u"motor current"},
    {u"", u"agitator motor current"},     {u"", u"fan motor current"},
    {u"Transfer pump", u"motor current"},
};

constexpr Range kPowerRanges[] = {{u"kW", 0, 250}, {u"kW", 0, 2000}, {u"MW", 0, 60}};
constexpr Phrase kPowerPhrases[] = {
    {u"", u"power"}, {u"", u"heater power"}, {u"", u"drive power"}, {u"Feed pump", u"power"}};

constexpr Range kWeightRanges[] = {{u"t", 0, 50}, {u"kg", 0, 5000}};
constexpr Phrase kWeightPhrases[] = {{u"", u"weight"}, {u"", u"load cell weight"}, {u"", u"hopper weight"}};

constexpr Phrase kPositionPhrases[] = {{u"", u"inlet valve position"},
                                       {u"", u"outlet valve position"},
                                       {u"", u"damper position"},
                                       {u"", u"bypass valve position"},
                                       {u"", u"control valve position"}};

constexpr Range kVibrationRanges[] = {{u"mm/s", 0, 25}, {u"um", 0, 250}};
constexpr Phrase kVibrationPhrases[] = {{u"", u"bearing vibration"},
                                        {u"", u"shaft vibration"},
                                        {u"Feed pump", u"vibration"},
                                        {u"Cooling water pump", u"vibration"}};

constexpr Range kCalcRanges[] = {{u"%", 0, 100}, {u"kW", 0, 5000}, {u"kWh/t", 0, 400}};
constexpr Phrase kCalcPhrases[] = {{u"", u"efficiency", 0},
                                   {u"", u"heat duty", 1},
                                   {u"", u"specific energy", 2},
                                   {u"", u"conversion", 0},
                                   {u"", u"yield", 0}};

constexpr Range kCounterRanges[] = {{u"", 0, 100000}, {u"h", 0, 100000}};
constexpr Phrase kCounterPhrases[] = {{u"Feed pump", u"start count", 0},
                                      {u"Cooling water pump", u"start count", 0},
                                      {u"", u"running hours", 1},
                                      {u"Transfer pump", u"running hours", 1},
                                      {u"", u"batch count", 0}};

constexpr Range kStepRanges[] = {{u"", 0, 99}, {u"", 0, 999}};
constexpr Phrase kStepPhrases[] = {
    {u"", u"sequence step", 0}, {u"", u"recipe number", 1}, {u"", u"active product code", 1}};

constexpr Phrase kTextPhrases[] = {{u"", u"batch ID", BatchText},
                                   {u"", u"product grade", GradeText},
                                   {u"", u"recipe name", RecipeText},
                                   {u"", u"current batch", BatchText}};

constexpr Phrase kPumpStatusPhrases[] = {
    {u"Feed pump", u"status"},       {u"Cooling water pump", u"status"}, {u"Transfer pump", u"status"},
    {u"Condensate pump", u"status"}, {u"Circulation pump", u"status"},   {u"Dosing pump", u"status"},
    {u"Booster pump", u"status"},
};
constexpr Phrase kSelectorPhrases[] = {{u"Feed pump", u"local remote selector"},
                                       {u"Transfer pump", u"local remote selector"},
                                       {u"Booster pump", u"local remote selector"}};
constexpr Phrase kValvePhrases[] = {{u"", u"inlet valve"},  {u"", u"outlet valve"},    {u"", u"drain valve"},
                                    {u"", u"bypass valve"}, {u"", u"isolation valve"}, {u"", u"vent valve"}};
constexpr Phrase kMotorPhrases[] = {{u"", u"agitator status"},
                                    {u"", u"fan status"},
                                    {u"", u"mixer status"},
                                    {u"", u"heater status"},
                                    {u"", u"conveyor status"}};
constexpr Phrase kModePhrases[] = {{u"", u"feed flow controller mode"},
                                   {u"", u"outlet flow controller mode"},
                                   {u"", u"steam flow controller mode"}};
constexpr Phrase kTempAlarmPhrases[] = {
    {u"", u"temperature alarm"}, {u"", u"bed temperature alarm"}, {u"", u"outlet temperature alarm"}};
constexpr Phrase kPressAlarmPhrases[] = {{u"", u"pressure alarm"}, {u"", u"discharge pressure alarm"}};
constexpr Phrase kLevelAlarmPhrases[] = {{u"", u"level alarm"}, {u"", u"drum level alarm"}};
constexpr Phrase kInterlockPhrases[] = {
    {u"", u"interlock active"}, {u"", u"trip active"}, {u"", u"start permissive"}};
constexpr Phrase kBatchPhasePhrases[] = {{u"", u"batch phase"}};

constexpr std::span<const Range> kNoRanges;

using B = Behaviour;
using F = Family;
constexpr int32_t kF32 = pointtype::Float32;

// The mix of instruments; weights are per VQ3 and per VQ2 archive (0: not on that kind).
constexpr Template kTemplates[] = {
    {u"FIC", u"", u"FT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 55, 55, true, kFlowPhrases,
     kFlowRanges},
    {u"FI", u"", u"FT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 60, 60, true, kFlowPhrases,
     kFlowRanges},
    {u"FQI", u"", u"FQ", B::Totalizer, pointtype::Float64, F::Totalizer, u"T", NoSet, -1, 30, 20, false,
     kTotalPhrases, kFlowRanges},
    {u"TI", u"", u"TE", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 110, 110, false, kTempPhrases,
     kTempRanges},
    {u"TIC", u"", u"TT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 40, 40, false, kTempPhrases,
     kTempRanges},
    {u"PI", u"", u"PT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 90, 90, false, kPressPhrases,
     kPressRanges},
    {u"PIC", u"", u"PT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 35, 35, false, kPressPhrases,
     kPressRanges},
    {u"PDI", u"", u"PDT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 25, 25, false, kDpPhrases, kDpRanges},
    {u"LI", u"", u"LT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 45, 45, false, kLevelPhrases,
     kLevelRanges},
    {u"LIC", u"", u"LT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 40, 40, false, kLevelPhrases,
     kPercentRange},
    {u"AI", u"", u"AT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 45, 45, false, kAnalysisPhrases,
     kAnalysisRanges},
    {u"AI", u".LAB", u"SP", B::Analog, kF32, F::Classic, u"L", NoSet, -1, 20, 20, false, kLabPhrases,
     kLabRanges},
    {u"SI", u"", u"ST", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 20, 20, false, kSpeedPhrases,
     kSpeedRanges},
    {u"II", u"", u"IT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 30, 30, false, kCurrentPhrases,
     kCurrentRanges},
    {u"JI", u"", u"JT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 20, 20, false, kPowerPhrases,
     kPowerRanges},
    {u"WI", u"", u"WT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 15, 15, false, kWeightPhrases,
     kWeightRanges},
    {u"ZI", u"", u"ZT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 25, 25, false, kPositionPhrases,
     kPercentRange},
    {u"VI", u"", u"VT", B::Analog, kF32, F::Classic, u"R", NoSet, -1, 15, 15, false, kVibrationPhrases,
     kVibrationRanges},
    {u"UY", u"", u"UY", B::Analog, kF32, F::Classic, u"C", NoSet, -1, 20, 20, false, kCalcPhrases,
     kCalcRanges},
    {u"KQI", u"", u"KQ", B::Counter, pointtype::Int32, F::Classic, u"R", NoSet, -1, 20, 0, false,
     kCounterPhrases, kCounterRanges},
    {u"KI", u"", u"KI", B::Step, pointtype::Int16, F::Classic, u"R", NoSet, -1, 20, 20, false, kStepPhrases,
     kStepRanges},
    {u"KB", u"", u"KB", B::Text, pointtype::String, F::Classic, u"R", NoSet, -1, 25, 0, false, kTextPhrases,
     kNoRanges},
    {u"P", u".STS", u"P", B::Digital, pointtype::Digital, F::Classic, u"R", PumpState, 1, 35, 35, false,
     kPumpStatusPhrases, kNoRanges},
    {u"XV", u"", u"ZSO", B::Digital, pointtype::Digital, F::Classic, u"R", OpenClosed, -1, 30, 30, false,
     kValvePhrases, kNoRanges},
    {u"M", u".STS", u"M", B::Digital, pointtype::Digital, F::Classic, u"R", OnOff, 1, 15, 15, false,
     kMotorPhrases, kNoRanges},
    {u"FIC", u".MODE", u"FIC", B::Digital, pointtype::Digital, F::Classic, u"R", Modes, 1, 20, 20, false,
     kModePhrases, kNoRanges},
    {u"TA", u"", u"TT", B::Digital, pointtype::Digital, F::Alarm, u"R", AlarmState, 0, 10, 10, false,
     kTempAlarmPhrases, kNoRanges},
    {u"PA", u"", u"PT", B::Digital, pointtype::Digital, F::Alarm, u"R", AlarmState, 0, 8, 8, false,
     kPressAlarmPhrases, kNoRanges},
    {u"LA", u"", u"LT", B::Digital, pointtype::Digital, F::Alarm, u"R", AlarmState, 0, 8, 8, false,
     kLevelAlarmPhrases, kNoRanges},
    {u"XS", u"", u"XS", B::Digital, pointtype::Digital, F::Classic, u"R", YesNo, 0, 10, 10, false,
     kInterlockPhrases, kNoRanges},
    {u"KS", u"", u"KS", B::Digital, pointtype::Digital, F::Classic, u"R", BatchPhase, -1, 8, 8, false,
     kBatchPhasePhrases, kNoRanges},
    {u"HS", u"", u"HS", B::Digital, pointtype::Digital, F::Classic, u"R", LocalRemote, 1, 10, 10, false,
     kSelectorPhrases, kNoRanges},
};
constexpr int kTemplateCount = int(std::size(kTemplates));

template <bool Vq2>
constexpr std::array<uint32_t, kTemplateCount> cumulativeWeights() {
    std::array<uint32_t, kTemplateCount> sums{};
    uint32_t sum = 0;
    for (int i = 0; i < kTemplateCount; ++i) {
        sum += Vq2 ? kTemplates[i].weightVq2 : kTemplates[i].weightVq3;
        sums[i] = sum;
    }
    return sums;
}
constexpr auto kWeightsVq3 = cumulativeWeights<false>();
constexpr auto kWeightsVq2 = cumulativeWeights<true>();

// ---- identity: everything about a point but its strings and values -------------------------

struct Identity {
    int tpl = 0;
    int slot = 0;
    uint64_t loop = 0;
    int32_t type = 0;
    bool baseClass = false;
    int phrase = 0;
    int range = -1;
    int equipment = 0;
    int number = 1;
    double position = 0;  // where the typical value sits in the span
    uint64_t valueSeed = 0;
};

const Area& areaOf(int slot) {
    for (const Area& area : kAreas) {
        if (slot < area.count) return area;
        slot -= area.count;
    }
    return kAreas[0];
}

int unitNumberOf(int slot) {
    for (const Area& area : kAreas) {
        if (slot < area.count) return area.first + slot;
        slot -= area.count;
    }
    return 0;
}

Rng pointRng(uint64_t seedKey, uint64_t index) {
    return Rng(seedKey ^ (index * 0xD1B54A32D192ED03ull));
}

int drawTemplate(Rng& rng, bool vq2) {
    const auto& sums = vq2 ? kWeightsVq2 : kWeightsVq3;
    const uint32_t r = rng.below(sums.back());
    int i = 0;
    while (r >= sums[i]) ++i;
    return i;
}

// Only the first draw, for the look-back of totalizers.
int templateAt(uint64_t seedKey, bool vq2, uint64_t index) {
    Rng rng = pointRng(seedKey, index);
    return drawTemplate(rng, vq2);
}

Identity identify(uint64_t seedKey, bool vq2, uint64_t index) {
    Identity id;
    // The tag comes from the index: a group of consecutive indices shares a unit slot, the slots are
    // interleaved over the index range, and the loop number is unique within a slot.
    const uint64_t group = index / kGroupSize;
    id.slot = int((group % kUnitSlots * kSlotStride + 113) % kUnitSlots);
    const uint64_t cycle = group / kUnitSlots;
    const uint64_t rotated = cycle / 500 * 500 + (cycle % 500 + 37 * uint64_t(id.slot)) % 500;
    id.loop = rotated * kGroupSize + index % kGroupSize;

    Rng rng = pointRng(seedKey, index);
    id.tpl = drawTemplate(rng, vq2);
    const Template& t = kTemplates[id.tpl];
    id.type = t.type;
    const double typeDraw = rng.unit();
    if (t.behaviour == Behaviour::Analog) {
        if (vq2)
            id.type = typeDraw < 0.9 ? pointtype::Float32 : pointtype::Float16;
        else
            id.type = typeDraw < 0.86 ? pointtype::Float32
                                      : (typeDraw < 0.93 ? pointtype::Float64 : pointtype::Float16);
    } else if (t.behaviour == Behaviour::Totalizer) {
        id.type = (vq2 || typeDraw < 0.4) ? pointtype::Float32 : pointtype::Float64;
    }
    id.baseClass = !vq2 && t.family == Family::Classic && typeDraw > 0.8;
    id.phrase = int(rng.below(uint32_t(t.phrases.size())));
    const int option = t.phrases[id.phrase].option;
    if (!t.ranges.empty()) id.range = option >= 0 ? option : int(rng.below(uint32_t(t.ranges.size())));

    // Most points of a group belong to the group's equipment, as the instruments around one vessel do.
    Rng groupRng(seedKey ^ mix(group + 0x51ED2701ull));
    const uint32_t equipmentCount = uint32_t(areaOf(id.slot).equipment.size());
    id.equipment = int(groupRng.below(equipmentCount));
    id.number = 1 + int(groupRng.below(9));
    if (rng.chance(0.25)) {
        id.equipment = int(rng.below(equipmentCount));
        id.number = 1 + int(rng.below(9));
    }
    id.position = rng.unit();
    id.valueSeed = rng.next();
    return id;
}

// ---- text --------------------------------------------------------------------------------------

void appendText(QString& s, Text text) {
    s.append(QStringView(text.data(), qsizetype(text.size())));
}

void appendNumber(QString& s, uint64_t value, int width) {
    char16_t buffer[24];
    int n = 0;
    do {
        buffer[23 - n++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n < width) buffer[23 - n++] = u'0';
    s.append(QStringView(buffer + 24 - n, n));
}

// The catalogue lives for the whole program, so its texts need no copy.
QString staticText(Text text) {
    if (text.empty()) return QString();
    return QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

QString tagOf(const Identity& id) {
    const Template& t = kTemplates[id.tpl];
    const Area& area = areaOf(id.slot);
    QString tag;
    tag.reserve(24);
    tag.append(QChar(area.letter));
    appendNumber(tag, uint64_t(unitNumberOf(id.slot)), area.digits);
    tag.append(u'-');
    appendText(tag, t.prefix);
    tag.append(u'-');
    appendNumber(tag, id.loop, 4);
    appendText(tag, t.suffix);
    return tag;
}

QString descriptorOf(const Identity& id) {
    const Template& t = kTemplates[id.tpl];
    const Phrase& phrase = t.phrases[id.phrase];
    QString text;
    text.reserve(48);
    appendText(text, phrase.head.empty() ? areaOf(id.slot).equipment[id.equipment] : phrase.head);
    text.append(u' ');
    appendNumber(text, uint64_t(id.number), 1);
    text.append(u' ');
    appendText(text, phrase.tail);
    return text;
}

// A flow point before the totalizer: preferably in its own group, then in earlier groups of its
// unit, then anywhere close before it.
int64_t flowSourceFor(uint64_t seedKey, bool vq2, uint64_t index) {
    auto isFlow = [&](uint64_t j) { return kTemplates[templateAt(seedKey, vq2, j)].flow; };
    const uint64_t groupStart = index - index % kGroupSize;
    for (uint64_t j = index; j-- > groupStart;)
        if (isFlow(j)) return int64_t(j);
    const uint64_t group = index / kGroupSize;
    for (uint64_t k = 1; k <= 4 && k * kUnitSlots <= group; ++k) {
        const uint64_t start = (group - k * kUnitSlots) * kGroupSize;
        for (uint64_t j = start + kGroupSize; j-- > start;)
            if (isFlow(j)) return int64_t(j);
    }
    const uint64_t floor = groupStart > 200 ? groupStart - 200 : 0;
    for (uint64_t j = groupStart; j-- > floor;)
        if (isFlow(j)) return int64_t(j);
    return -1;
}

// Readings keep about five significant digits of their span, as an instrument would give them.
class SpanRounding {
public:
    explicit SpanRounding(double span) {
        while (span / m_step >= 100000) m_step *= 10;
        while (m_step == 1 && span * m_scale < 10000) m_scale *= 10;
    }
    // Dividing by an exact power of ten gives the double nearest the decimal, so values print short.
    double operator()(double value) const {
        return m_step > 1 ? std::round(value / m_step) * m_step : std::round(value * m_scale) / m_scale;
    }

private:
    double m_step = 1;
    double m_scale = 1;
};

const QString& className(Family family, bool baseClass, bool vq2) {
    static const QString classic = QStringLiteral("classic");
    static const QString base = QStringLiteral("base");
    static const QString totalizer = QStringLiteral("totalizer");
    static const QString alarm = QStringLiteral("alarm");
    if (vq2) return classic;
    switch (family) {
        case Family::Totalizer:
            return totalizer;
        case Family::Alarm:
            return alarm;
        case Family::Classic:
            break;
    }
    return baseClass ? base : classic;
}

QString textValue(int kind, uint32_t serial) {
    QString text;
    text.reserve(12);
    switch (kind) {
        case GradeText:
            text.append(QStringLiteral("GRADE-"));
            text.append(QChar(u'A' + char16_t(serial / 100 % 6)));
            appendNumber(text, serial % 100, 2);
            break;
        case RecipeText:
            text.append(QStringLiteral("RCP-"));
            appendNumber(text, serial % 1000, 3);
            break;
        default:
            text.append(QStringLiteral("BATCH-"));
            appendNumber(text, serial, 5);
            break;
    }
    return text;
}

// ---- one point, step by step ----------------------------------------------------------------

// The names and the class of a point; the range its values and span come from (a totalizer's is
// its flow's), or null for a point without one.
const Range* describe(SamplePoint& p, const Identity& id, uint64_t seedKey, bool vq2, uint64_t index) {
    const Template& t = kTemplates[id.tpl];
    p.tag = tagOf(id);
    p.className = className(t.family, id.baseClass, vq2);
    p.pointType = id.type;
    p.pointSource = staticText(t.source);
    p.instrumentTag.reserve(12);
    appendText(p.instrumentTag, t.instrument);
    p.instrumentTag.append(u'-');
    appendNumber(p.instrumentTag, id.loop, 4);
    p.descriptor = descriptorOf(id);
    const Range* range = id.range >= 0 ? &t.ranges[id.range] : nullptr;
    if (t.behaviour != Behaviour::Totalizer) return range;
    // A day's total of its flow, so the source decides the units and the span.
    const int64_t source = flowSourceFor(seedKey, vq2, index);
    if (source < 0) return range;
    const Identity sourceId = identify(seedKey, vq2, uint64_t(source));
    p.sourceTag = tagOf(sourceId);
    p.descriptor = descriptorOf(sourceId) + QStringLiteral(" total");
    return &kTemplates[sourceId.tpl].ranges[sourceId.range];
}

// When a point's values were taken: the newest within the last minute, the others a day back.
struct ValueTimes {
    double newest;
    double step;
    int count;
    double at(int k) const { return newest + (count - 1 - k) * step; }
};

void fillAnalog(SamplePoint& p, const Range& range, bool totalizer, double position, Rng& rng,
                const ValueTimes& times) {
    p.engUnits = staticText(totalizer ? range.totalUnits : range.units);
    p.zero = range.zero;
    p.span = totalizer ? range.span * range.perDay : range.span;
    const SpanRounding round(p.span);
    p.typicalValue = round(p.zero + p.span * (totalizer ? 0.4 + 0.4 * position : 0.25 + 0.55 * position));
    static constexpr double kCompFractions[] = {0.001, 0.002, 0.002, 0.005, 0.01};
    p.compDev = p.span * kCompFractions[rng.below(uint32_t(std::size(kCompFractions)))];
    p.excDev = p.compDev / 2;
    const double noise = p.span * (0.002 + 0.02 * rng.unit());
    for (int k = 0; k < times.count; ++k) {
        double value;
        if (totalizer)  // counts up from the daily reset towards the current total
            value = p.typicalValue * (1 - times.at(k) / 86400.0);
        else
            value = p.typicalValue + noise * (2 * rng.unit() - 1);
        p.values.emplace_back(times.at(k), round(std::clamp(value, p.zero, p.zero + p.span)), 0);
    }
}

// Counters only grow; sequence steps jump about and end at the typical one.
void fillWholeNumbers(SamplePoint& p, const Range& range, bool counter, const Identity& id, Rng& rng,
                      const ValueTimes& times) {
    p.engUnits = staticText(range.units);
    p.zero = range.zero;
    p.span = range.span;
    p.compDev = std::max(1.0, p.span * 0.002);
    p.excDev = std::max(1.0, p.span * 0.001);
    const int32_t typical = int32_t(p.zero + p.span * (counter ? 0.05 + 0.5 * id.position : id.position));
    p.typicalValue = typical;
    const int32_t increment = int32_t(rng.below(3));
    const int n = times.count;
    for (int k = 0; k < n; ++k) {
        int32_t v = typical;
        if (counter)
            v = std::max<int32_t>(0, typical - (n - 1 - k) * increment);
        else if (k != n - 1)
            v = int32_t(rng.below(uint32_t(p.span) + 1));
        if (id.type == pointtype::Int16)
            p.values.emplace_back(times.at(k), int16_t(v), v);
        else
            p.values.emplace_back(times.at(k), v, v);
    }
}

void fillDigital(SamplePoint& p, const Template& t, const Identity& id, Rng& rng, const ValueTimes& times) {
    const DigitalSetDef& set = kDigitalSets[t.digitalSet];
    p.digitalSet = staticText(set.name);
    p.span = set.count - 1;
    const int32_t typical = t.typicalState >= 0 ? t.typicalState : int32_t(id.position * set.count);
    p.typicalValue = typical;
    for (int k = 0; k < times.count; ++k) {
        const int32_t code = rng.chance(0.85) ? typical : int32_t(rng.below(uint32_t(set.count)));
        p.values.emplace_back(times.at(k), code, code);
    }
}

// Batches advance; grades and recipes change now and then.
void fillText(SamplePoint& p, int kind, double position, const ValueTimes& times) {
    const uint32_t first = 1000 + uint32_t(position * 90000);
    for (int k = 0; k < times.count; ++k) {
        const uint32_t serial = kind == BatchText ? first + uint32_t(k) : first + uint32_t(k / 8);
        p.values.emplace_back(times.at(k), textValue(kind, serial), 0);
    }
}

// The current value of a point without data: zero or empty, in the point's own type.
void markNoData(SampleValue& current, int32_t type) {
    current.status = SamplePointGenerator::NoDataStatus;
    switch (type) {
        case pointtype::String:
            current.value = Variant(QString());
            break;
        case pointtype::Int16:
            current.value = Variant(int16_t(0));
            break;
        case pointtype::Int32:
        case pointtype::Digital:
            current.value = Variant(int32_t(0));
            break;
        default:
            current.value = Variant(0.0);
            break;
    }
}

}  // namespace

SamplePointGenerator::SamplePointGenerator(QString serverKind, uint32_t seed)
    : m_serverKind(std::move(serverKind)),
      m_seed(seed),
      m_vq2(m_serverKind.compare(QLatin1String("VQ2"), Qt::CaseInsensitive) == 0) {}

std::vector<SampleDigitalSet> SamplePointGenerator::digitalSets() {
    std::vector<SampleDigitalSet> sets;
    sets.reserve(std::size(kDigitalSets));
    for (const DigitalSetDef& def : kDigitalSets) {
        SampleDigitalSet set{staticText(def.name), {}};
        for (int i = 0; i < def.count; ++i) set.states.append(staticText(def.states[i]));
        sets.push_back(std::move(set));
    }
    return sets;
}

SamplePoint SamplePointGenerator::point(int64_t index, int valuesPerPoint) const {
    const uint64_t seedKey = mix(uint64_t(m_seed) * 0x9E3779B97F4A7C15ull + (m_vq2 ? 2 : 3));
    const Identity id = identify(seedKey, m_vq2, uint64_t(index));
    const Template& t = kTemplates[id.tpl];
    SamplePoint p;
    const Range* range = describe(p, id, seedKey, m_vq2, uint64_t(index));

    // The draws come in a fixed order, so that a point never changes between runs.
    Rng rng(id.valueSeed);
    const bool noData = rng.below(200) == 0;
    const int n = std::max(valuesPerPoint, 0);
    p.values.reserve(size_t(n));
    const double newest = rng.unit() * 60;
    const ValueTimes times{newest, n > 1 ? (86400.0 - 60) / (n - 1) : 0, n};
    switch (t.behaviour) {
        case Behaviour::Analog:
        case Behaviour::Totalizer:
            fillAnalog(p, *range, t.behaviour == Behaviour::Totalizer, id.position, rng, times);
            break;
        case Behaviour::Counter:
        case Behaviour::Step:
            fillWholeNumbers(p, *range, t.behaviour == Behaviour::Counter, id, rng, times);
            break;
        case Behaviour::Digital:
            fillDigital(p, t, id, rng, times);
            break;
        case Behaviour::Text:
            fillText(p, t.phrases[id.phrase].option, id.position, times);
            break;
    }
    if (noData && n > 0) markNoData(p.values.back(), id.type);
    return p;
}

}  // namespace vq
