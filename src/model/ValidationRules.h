#pragma once

#include "enumDisplayStyle.h"
#include "sdk/SdkFwd.h"

#include <QStringList>

#include <optional>

namespace vq {

class PropSheetEntry;

// Which editor style and value list an attribute gets. Only entries ask it.
class ValidationRules {
    friend class PropSheetEntry;
    friend class PropSheetEntries;

public:
    // The users and groups of a server, read once for all entries of one point.
    class ServerNames {
    public:
        void reset(SdkServerPtr server);
        SdkServer* server() const { return m_server.get(); }
        const QStringList& users();
        const QStringList& groups();

    private:
        SdkServerPtr m_server;
        std::optional<QStringList> m_users;
        std::optional<QStringList> m_groups;
    };

private:
    struct StyleAndList {
        enumDisplayStyle style;
        SdkNamedValuesPtr valueList;  // (name, value) pairs in display order
    };
    // Without a server, lists that come from a server are empty.
    static StyleAndList displayStyle(const QString& attributeName, ServerNames& server);
};

}  // namespace vq
