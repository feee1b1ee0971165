#include "ValidationRules.h"

#include "CaseInsensitiveMap.h"
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

using Pairs = std::initializer_list<std::pair<const char16_t*, Variant>>;

ComboEntries listOf(Pairs pairs) {
    ComboEntries list;
    for (const auto& [name, value] : pairs) list.Add(QString::fromUtf16(name), value);
    return list;
}

// The fixed lists, in display order, made once and shared by every entry that shows one.
const ComboEntries& fixedList(ListKind kind) {
    static const ComboEntries compDev =
        listOf({{u"Eng. Units", u"CompDev"}, {u"% of Span", u"CompDevPercent"}});
    static const ComboEntries excDev = listOf({{u"Eng. Units", u"ExcDev"}, {u"% of Span", u"ExcDevPercent"}});
    static const ComboEntries onOff = listOf({{u"Off", int16_t(0)}, {u"On", int16_t(1)}});
    static const ComboEntries precision = listOf({{u"Scaled", u"S"}, {u"Full", u"F"}});
    static const ComboEntries schedType =
        listOf({{u"Time-Based", u"T"}, {u"Natural", u"N"}, {u"Event-Based", u"E"}});
    static const ComboEntries none;
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

const CaseInsensitiveMap<int>& rowByAttribute() {
    static const CaseInsensitiveMap<int> map = [] {
        CaseInsensitiveMap<int> built;
        for (int row = 0; row < int(std::size(styleRows)); ++row)
            built.insert(styleRows[row].attributes, row);
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

bool ValidationRules::ServerNames::isVq3() const {
    return m_server->ServerKind() == u"VQ3";
}

// The point types depend only on the server's kind; both lists are made once.
const ComboEntries& ValidationRules::ServerNames::pointTypes() {
    static const auto listFor = [](bool vq3) {
        ComboEntries list;
        for (SdkPointType code : pointTypeCodes(vq3))
            list.Add(pointtype::name(code, !vq3), Variant(int32_t(code)));
        return list;
    };
    static const ComboEntries vq3Types = listFor(true);
    static const ComboEntries otherTypes = listFor(false);
    return isVq3() ? vq3Types : otherTypes;
}

const ComboEntries& ValidationRules::ServerNames::users() {
    return list(m_users, &SdkServer::Users);
}

const ComboEntries& ValidationRules::ServerNames::groups() {
    return list(m_groups, &SdkServer::Groups);
}

const ComboEntries& ValidationRules::ServerNames::named(ServerList kind) {
    static const ComboEntries none;
    if (kind == serverUsers) return users();
    return kind == serverGroups ? groups() : none;
}

// Owners and groups mean nothing on servers of the older kind.
const ComboEntries& ValidationRules::ServerNames::list(std::optional<ComboEntries>& cached,
                                                       QStringList (SdkServer::*names)() const) {
    static const ComboEntries notApplicable = [] {
        ComboEntries list;
        list.Add(QStringLiteral("not applicable"), Variant(QString()));
        return list;
    }();
    if (!isVq3()) return notApplicable;
    if (!cached) {
        cached.emplace();
        for (const QString& name : (m_server.get()->*names)()) cached->Add(name, Variant(name));
    }
    return *cached;
}

enumDisplayStyle ValidationRules::displayStyleFor(const QString& attributeName) {
    ServerNames none;
    return displayStyle(attributeName, none).style;
}

QStringList ValidationRules::styledAttributes() {
    QStringList names;
    for (const StyleRow& row : styleRows)
        for (const char16_t* name : row.attributes) names << QString::fromUtf16(name);
    return names;
}

int ValidationRules::styleRowOf(const QString& attributeName) {
    const int* row = rowByAttribute().find(attributeName);
    return row ? *row : -1;
}

ValidationRules::StyleAndList ValidationRules::displayStyle(const QString& attributeName,
                                                            ServerNames& server) {
    return displayStyleOfRow(styleRowOf(attributeName), server);
}

ValidationRules::ServerList ValidationRules::serverListOfRow(int row) {
    if (row < 0) return noServerList;
    if (styleRows[row].list == ListKind::Users) return serverUsers;
    return styleRows[row].list == ListKind::Groups ? serverGroups : noServerList;
}

// Without a server, lists that come from a server are empty.
ValidationRules::StyleAndList ValidationRules::displayStyleOfRow(int row, ServerNames& server) {
    if (row < 0) return {styletext, {}};
    const StyleRow& style = styleRows[row];
    switch (style.list) {
        case ListKind::PointTypes:
            return {style.style, server.server() ? server.pointTypes() : ComboEntries()};
        case ListKind::Users:
            return {style.style, server.server() ? server.users() : ComboEntries()};
        case ListKind::Groups:
            return {style.style, server.server() ? server.groups() : ComboEntries()};
        default:
            return {style.style, fixedList(style.list)};
    }
}

}  // namespace vq
