#include "ValidationRules.h"

#include "CaseInsensitiveMap.h"
#include "sdk/SdkNamedValues.h"
#include "sdk/SdkPointType.h"
#include "sdk/SdkServer.h"

#include <vector>

namespace vq {

namespace {

enum class ListKind { None, CompDevTwin, ExcDevTwin, OnOff, PointTypes, Precision, SchedType, Users, Groups };

struct StyleRow {
    std::initializer_list<const char16_t*> attributes;
    enumDisplayStyle style;
    ListKind list;
};

const StyleRow styleRows[] = {
    {{u"CompDev", u"CompDevPercent"}, styletxtcombofortwin, ListKind::CompDevTwin},
    {{u"ExcDev", u"ExcDevPercent"}, styletxtcombofortwin, ListKind::ExcDevTwin},
    {{u"Archiving", u"Scan", u"Shutdown", u"Step", u"Clamp", u"Compressing"},
     styleonoffswitch,
     ListKind::OnOff},
    {{u"PointType"}, stylecombo, ListKind::PointTypes},
    {{u"Precision"}, stylecombo, ListKind::Precision},
    {{u"SchedType"}, stylecombo, ListKind::SchedType},
    {{u"DataOwner", u"PtOwner"}, stylecombo, ListKind::Users},
    {{u"DataGroup", u"PtGroup"}, stylecombo, ListKind::Groups},
    {{u"DigitalSet"}, styledigsetsearch, ListKind::None},
    {{u"SourceTag"}, styletagsearch, ListKind::None},
    {{u"DataAccess", u"PtAccess"}, stylesecuritycontrol, ListKind::None},
};

using Pairs = std::vector<std::pair<const char16_t*, Variant>>;

// The fixed lists, in display order.
const Pairs& fixedList(ListKind kind) {
    static const Pairs compDev = {{u"Eng. Units", u"CompDev"}, {u"% of Span", u"CompDevPercent"}};
    static const Pairs excDev = {{u"Eng. Units", u"ExcDev"}, {u"% of Span", u"ExcDevPercent"}};
    static const Pairs onOff = {{u"Off", int16_t(0)}, {u"On", int16_t(1)}};
    static const Pairs precision = {{u"Scaled", u"S"}, {u"Full", u"F"}};
    static const Pairs schedType = {{u"Time-Based", u"T"}, {u"Natural", u"N"}, {u"Event-Based", u"E"}};
    static const Pairs none;
    switch (kind) {
        case ListKind::CompDevTwin:
            return compDev;
        case ListKind::ExcDevTwin:
            return excDev;
        case ListKind::OnOff:
            return onOff;
        case ListKind::Precision:
            return precision;
        case ListKind::SchedType:
            return schedType;
        default:
            return none;
    }
}

const std::vector<SdkPointType>& pointTypeCodes(bool vq3) {
    using namespace pointtype;
    static const std::vector<SdkPointType> vq3Codes = {Blob,    Digital, Float16, Float32,
                                                       Float64, Int16,   Int32,   String};
    static const std::vector<SdkPointType> otherCodes = {Digital, Float16, Float32, Int16};
    return vq3 ? vq3Codes : otherCodes;
}

using ServerNames = ValidationRules::ServerNames;

void addServerList(SdkNamedValues& list, ListKind kind, ServerNames& server) {
    const bool vq3 = server.server()->ServerKind() == u"VQ3";
    if (kind == ListKind::PointTypes) {
        for (SdkPointType code : pointTypeCodes(vq3))
            list.Add(pointtype::name(code, !vq3), Variant(int32_t(code)));
    } else if (!vq3) {
        list.Add(QStringLiteral("not applicable"), Variant(QString()));
    } else {
        for (const QString& name : kind == ListKind::Users ? server.users() : server.groups())
            list.Add(name, Variant(name));
    }
}

const CaseInsensitiveMap<const StyleRow*>& rowByAttribute() {
    static const CaseInsensitiveMap<const StyleRow*> map = [] {
        CaseInsensitiveMap<const StyleRow*> built;
        for (const StyleRow& row : styleRows) built.insert(row.attributes, &row);
        return built;
    }();
    return map;
}

}  // namespace

void ValidationRules::ServerNames::reset(SdkServerPtr server) {
    m_server = std::move(server);
    m_users.reset();
    m_groups.reset();
}

const QStringList& ValidationRules::ServerNames::users() {
    if (!m_users) m_users = m_server->Users();
    return *m_users;
}

const QStringList& ValidationRules::ServerNames::groups() {
    if (!m_groups) m_groups = m_server->Groups();
    return *m_groups;
}

ValidationRules::StyleAndList ValidationRules::displayStyle(const QString& attributeName,
                                                            ServerNames& server) {
    StyleAndList result{styletext, SdkNamedValues::create()};
    const StyleRow* const* row = rowByAttribute().find(attributeName);
    if (!row) return result;
    result.style = (*row)->style;
    const ListKind kind = (*row)->list;
    if (kind == ListKind::PointTypes || kind == ListKind::Users || kind == ListKind::Groups) {
        if (server.server()) addServerList(*result.valueList, kind, server);
    } else {
        for (const auto& [name, value] : fixedList(kind))
            result.valueList->Add(QString::fromUtf16(name), value);
    }
    return result;
}

}  // namespace vq
