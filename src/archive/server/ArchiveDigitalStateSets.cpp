#include "archive/server/ArchiveDigitalStateSets.h"

#include "archive/server/ArchiveServer.h"
#include "archive/storage/ArchiveStorage.h"
#include "sdk/SdkDigitalStateSet.h"
#include "sdk/SdkErrors.h"
#include "sdk/SdkNamedValues.h"

namespace vq {

ArchiveDigitalStateSets::ArchiveDigitalStateSets(std::shared_ptr<ArchiveServer> server)
    : m_server(std::move(server)) {
    for (ArchiveDigitalSetRecord& set : m_server->storage().digitalSets())
        m_sets.push_back(std::make_shared<SdkDigitalStateSet>(set.name, std::move(set.states)));
}

SdkDigitalStateSetPtr ArchiveDigitalStateSets::Item(const QString& name) const {
    for (const SdkDigitalStateSetPtr& set : m_sets)
        if (set->Name().compare(name.trimmed(), Qt::CaseInsensitive) == 0) return set;
    m_server->raise(
        sdkerr::DigitalSetUnknown,
        QStringLiteral("There is no digital state set \"%1\" on server \"%2\"").arg(name, m_server->Name()));
}

bool ArchiveDigitalStateSets::Contains(const QString& name) const {
    for (const SdkDigitalStateSetPtr& set : m_sets)
        if (set->Name().compare(name.trimmed(), Qt::CaseInsensitive) == 0) return true;
    return false;
}

bool ArchiveDigitalStateSets::matchesMask(const QString& name, const QString& mask) {
    const QStringList pieces = mask.trimmed().split(u'*');
    if (pieces.size() == 1) return name.compare(pieces.front(), Qt::CaseInsensitive) == 0;
    // The first piece anchors the start, the last the end; the ones between float in order.
    if (!name.startsWith(pieces.front(), Qt::CaseInsensitive)) return false;
    qsizetype at = pieces.front().size();
    const qsizetype endLimit = name.size() - pieces.back().size();
    if (endLimit < at || !name.endsWith(pieces.back(), Qt::CaseInsensitive)) return false;
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i) {
        if (pieces[i].isEmpty()) continue;
        const qsizetype found = name.indexOf(pieces[i], at, Qt::CaseInsensitive);
        if (found < 0 || found + pieces[i].size() > endLimit) return false;
        at = found + pieces[i].size();
    }
    return true;
}

SdkNamedValuesPtr ArchiveDigitalStateSets::Search(const SdkNamedValues& masks, int condition) const {
    if (condition != And && condition != Or) {
        m_server->raise(
            sdkerr::DigitalSetUnknown,
            QStringLiteral("The search condition must be 0 (AND) or 1 (OR), not %1").arg(condition));
    }
    auto result = SdkNamedValues::create();
    if (masks.Count() == 0) return result;
    for (const SdkDigitalStateSetPtr& set : m_sets) {
        auto maskMatches = [&](const QString& mask) {
            for (const SdkDigitalState& state : set->States())
                if (matchesMask(state.Name(), mask)) return true;
            return false;
        };
        bool matched = condition == And;
        for (const SdkNamedValue& mask : masks) {
            const bool hit = maskMatches(mask.Name());
            if (condition == And && !hit) {
                matched = false;
                break;
            }
            if (condition == Or && hit) {
                matched = true;
                break;
            }
        }
        if (matched) result->Add(set->Name(), Variant(int16_t(0)));
    }
    return result;
}

}  // namespace vq
