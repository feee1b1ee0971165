#include "SdkSqlVocabulary.h"

namespace vq {

const QStringList& SqlPointColumns() {
    static const QStringList columns = {
        u"Tag"_qs,         u"Archiving"_qs,  u"ChangeDate"_qs,   u"Changer"_qs,      u"CompDev"_qs,
        u"CompMax"_qs,     u"CompMin"_qs,    u"Compressing"_qs,  u"Convers"_qs,      u"CreationDate"_qs,
        u"Creator"_qs,     u"Descriptor"_qs, u"DigNumber"_qs,    u"DigStartCode"_qs, u"EngUnits"_qs,
        u"ExcDev"_qs,      u"ExcMin"_qs,     u"ExcMax"_qs,       u"ExDesc"_qs,       u"InstrumentTag"_qs,
        u"FilterCode"_qs,  u"Location1"_qs,  u"Location2"_qs,    u"Location3"_qs,    u"Location4"_qs,
        u"Location5"_qs,   u"Pointid"_qs,    u"PointNumber"_qs,  u"PointClass"_qs,   u"PointType"_qs,
        u"PointSource"_qs, u"RecordType"_qs, u"Res"_qs,          u"Scan"_qs,         u"Span"_qs,
        u"SquareRoot"_qs,  u"TotalCode"_qs,  u"TypicalValue"_qs, u"Zero"_qs};
    return columns;
}

}  // namespace vq
