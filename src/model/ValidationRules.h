#pragma once

#include "model/ModelExport.h"

#include "ComboEntries.h"
#include "enumDisplayStyle.h"
#include "sdk/SdkFwd.h"

#include <QStringList>

#include <optional>

namespace vq {

class PropSheetEntry;

/// Which editor style and value list an attribute gets. Only entries ask it.
class VQ_MODEL_EXPORT ValidationRules {
    friend class PropSheetEntry;
    friend class PropSheetEntries;

public:
    /// The lists an entry reads from its server only when it is first shown or asked for them.
    enum ServerList {
        noServerList,  ///< the list, if any, is not the server's
        serverUsers,   ///< the server's users
        serverGroups   ///< the server's groups
    };

    /// The lists that come from a server (point types, users, groups), made once for all entries
    /// of one point.
    class ServerNames {
    public:
        /// Forgets the lists made so far; the next ones come from `server`.
        void reset(SdkServerPtr server);
        /// The server the lists come from; null when none was given.
        SdkServer* server() const { return m_server.get(); }
        /// The point types a server of this kind offers, named as that kind names them.
        const ComboEntries& pointTypes();
        /// The server's users, read on first use.
        const ComboEntries& users();
        /// The server's groups, read on first use.
        const ComboEntries& groups();
        /// The users or the groups, as `kind` says.
        const ComboEntries& named(ServerList kind);

    private:
        const ComboEntries& list(std::optional<ComboEntries>& cached,
                                 QStringList (SdkServer::*names)() const);
        bool isVq3() const;

        SdkServerPtr m_server;
        std::optional<ComboEntries> m_users;
        std::optional<ComboEntries> m_groups;
    };

    /// The style an attribute gets when no server is asked, for editors built before they are bound.
    static enumDisplayStyle displayStyleFor(const QString& attributeName);
    /// @{
    /// The attributes with a style of their own, and the position of an attribute's style row
    /// (-1 for none), so that the attribute catalogue can keep it with its other facts.
    static QStringList styledAttributes();
    static int styleRowOf(const QString& attributeName);
    /// @}

private:
    struct StyleAndList {
        enumDisplayStyle style;
        ComboEntries valueList;  // shared with every entry of the same kind
    };
    // Without a server, lists that come from a server are empty.
    static StyleAndList displayStyle(const QString& attributeName, ServerNames& server);
    static StyleAndList displayStyleOfRow(int row, ServerNames& server);
    // The server list a style row takes, which displayStyleOfRow() reads there and then.
    static ServerList serverListOfRow(int row);
};

}  // namespace vq
